// The build-identity rows of init (code 999): written only when they are not
// already exactly the build's compile date and revision.
#include <gtest/gtest.h>

#include "db/Database.h"
#include "support/TestSupport.h"

using namespace attcalc;
using namespace attcalc::test;

namespace {

struct Row { std::string title, value; };

// Runs info mode over an init table holding `rows` (code 999, with the row ids
// 50, 51, ...) and a setting of code 0 (row id 100, so that rows written
// anew get ids above 100); returns the code-999 rows after it as
// "rowid title=value" lines in rowid order.
std::vector<std::string> RunOver(const std::vector<Row>& rows) {
    TempDir dir;
    const std::string file = dir.file("clock.db");
    {
        auto d = OpenSqlite(file);
        d->Execute("create table init (Init_Title nvarchar(30), Init_Value nvarchar(50), Init_Code smallint)");
        d->Execute("insert into init (rowid, Init_Title, Init_Value, Init_Code) values (100, 'CalcFuture', '0', 0)");
        int id = 50;
        for (const Row& r : rows)
            d->ExecuteBound("insert into init (rowid, Init_Title, Init_Value, Init_Code) values (?, ?, ?, 999)",
                            {DbValue::Int(id++), DbValue::Text(r.title), DbValue::Text(r.value)});
    }
    RunResult r = RunAttcalc({"0"}, {"ATTCALC_HOME=" + dir.path().string()});
    EXPECT_EQ(r.status, 0) << r.err;
    auto d = OpenSqlite(file);
    EXPECT_EQ(d->Query("select * from init where init_code=0").Count(), 1u);
    Rows after = d->Query("select rowid as id, init_title, init_value from init where init_code=999 order by rowid");
    std::vector<std::string> out;
    for (std::size_t i = 0; i < after.Count(); ++i)
        out.push_back(after.Text(i, "id") + " " + after.Text(i, "init_title") + "=" + after.Text(i, "init_value"));
    return out;
}

}  // namespace

TEST(BuildIdentity, TheBuildsTwoRowsAreLeftAsTheyAre) {
    // Either order: the very rows stay, with their row ids.
    EXPECT_EQ(RunOver({{"compiledate", "1393/04/04"}, {"Revision", "10.0"}}),
              (std::vector<std::string>{"50 compiledate=1393/04/04", "51 Revision=10.0"}));
    EXPECT_EQ(RunOver({{"Revision", "10.0"}, {"compiledate", "1393/04/04"}}),
              (std::vector<std::string>{"50 Revision=10.0", "51 compiledate=1393/04/04"}));
}

TEST(BuildIdentity, AnyOtherSetIsReplacedByTheBuildsTwoRows) {
    struct Case { const char* what; std::vector<Row> rows; };
    const std::vector<Case> cases{
        {"none", {}},
        {"an older compile date", {{"compiledate", "1390/01/01"}, {"Revision", "10.0"}}},
        {"another revision", {{"compiledate", "1393/04/04"}, {"Revision", "9.0"}}},
        {"the revision missing", {{"compiledate", "1393/04/04"}}},
        {"an extra row", {{"compiledate", "1393/04/04"}, {"Revision", "10.0"}, {"junk", "x"}}},
        {"a row twice", {{"compiledate", "1393/04/04"}, {"Revision", "10.0"}, {"Revision", "10.0"}}},
        {"a title in other letter case", {{"CompileDate", "1393/04/04"}, {"Revision", "10.0"}}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> after = RunOver(c.rows);
        ASSERT_EQ(after.size(), 2u) << c.what;
        std::vector<std::string> titles;
        for (const std::string& line : after) {
            EXPECT_GT(std::stoi(line), 100) << c.what << ": rows written anew";
            titles.push_back(line.substr(line.find(' ') + 1));
        }
        EXPECT_EQ(titles, (std::vector<std::string>{"compiledate=1393/04/04", "Revision=10.0"})) << c.what;
    }
}
