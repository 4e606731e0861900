#include "run/Entry.h"

int main(int argc, char** argv) { return attcalc::AttcalcMain(argc, argv); }
