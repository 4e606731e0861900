// attcalc-demodb <database file> <year> <month> [<company size>]
// Creates a demo database for the salary month: the demo's persons, or, with
// a company size, that many persons for the benchmark. Prints one line per
// demo person: code, name and what the month shows.
#include <filesystem>
#include <iostream>

#include "demodb/DemoData.h"
#include "run/Entry.h"

int main(int argc, char** argv) {
    using namespace attcalc;
    if (argc < 4) {
        std::cerr << "usage: attcalc-demodb <database file> <year> <month> [<company size>]\n";
        return 2;
    }
    try {
        auto db = OpenSqlite(argv[1]);
        TRunContext ctx;
        ctx.db = db.get();
        ctx.home = std::filesystem::absolute(argv[1]).parent_path().string();
        const int year = ParseIntArg(argv[2], "year"), month = ParseIntArg(argv[3], "month");
        db->Begin();
        if (argc > 4) {
            demo::SeedCompany(ctx, year, month, ParseIntArg(argv[4], "company size"));
        } else {
            for (const auto& p : demo::SeedDemo(ctx, year, month))
                std::cout << p.code << "\t" << p.name << "\t" << p.story << "\n";
        }
        db->Commit();
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "attcalc-demodb: " << e.what() << "\n";
        return 1;
    }
}
