// placeholder so that an empty subsystem still forms a library
