// The options attcalc adds to an ODBC connection string for the driver.
#include <gtest/gtest.h>

#include "db/Database.h"

using namespace attcalc;

TEST(OdbcDriverOptions, PostgresDriverLeavesTransactionsToAttcalcUnlessTheUserSaysOtherwise) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"Driver={PostgreSQL Unicode};Server=h;Database=d",
         "Driver={PostgreSQL Unicode};Server=h;Database=d;Protocol=7.4-0"},
        {"DRIVER={PostgreSQL ANSI};Server=h;", "DRIVER={PostgreSQL ANSI};Server=h;Protocol=7.4-0"},
        {"Driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so;Server=h",
         "Driver=/usr/lib/x86_64-linux-gnu/odbc/psqlodbcw.so;Server=h;Protocol=7.4-0"},
        // The user's own choice stands.
        {"Driver={PostgreSQL Unicode};protocol=7.4-2;Server=h", "Driver={PostgreSQL Unicode};protocol=7.4-2;Server=h"},
        // Other drivers, and a data source whose driver the string does not name.
        {"Driver={FreeTDS};Server=h;Database=d", "Driver={FreeTDS};Server=h;Database=d"},
        {"DSN=clock;Uid=u", "DSN=clock;Uid=u"},
    };
    for (const Case& c : cases) EXPECT_EQ(OdbcDriverOptions(c.in), c.out) << c.in;
}
