// Connection strings: parsing, the providers they name, the ODBC strings they
// become, masking of passwords; and the SQL of the ODBC dialects.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "db/Database.h"
#include "db/Dialect.h"
#include "db/OdbcDialects.h"

using namespace attcalc;

namespace {

TEST(ConnectionString, ParsesPairsQuotesAndBraces) {
    ConnectionParams p = ParseConnectionString(
        " Provider = SQLOLEDB.1 ;Password=\"a;b\"\"c\";User ID='x''y';Driver={My {Odd}} Driver};Flag;;Empty=");
    EXPECT_EQ(p.Get("provider").value_or("?"), "SQLOLEDB.1");
    EXPECT_EQ(p.Get("PASSWORD").value_or("?"), "a;b\"c");
    EXPECT_EQ(p.Get("user id").value_or("?"), "x'y");
    EXPECT_EQ(p.Get("Driver").value_or("?"), "My {Odd} Driver");
    EXPECT_EQ(p.Get("Flag").value_or("?"), "");
    EXPECT_EQ(p.Get("Empty").value_or("?"), "");
    EXPECT_FALSE(p.Get("Initial Catalog").has_value());
}

TEST(ConnectionString, MasksPasswordsOnly) {
    struct Case { const char* in; const char* out; };
    const Case cases[] = {
        {"Provider=SQLOLEDB.1;Password=tulip;User ID=sa", "Provider=SQLOLEDB.1;Password=***;User ID=sa"},
        {"Driver={PostgreSQL Unicode};Uid=u;PWD=s3cret", "Driver={PostgreSQL Unicode};Uid=u;PWD=***"},
        {"pwd = {se;cret};Server=x", "pwd = ***;Server=x"},
        {"Password=\"a;b\";Data Source=.", "Password=***;Data Source=."},
        {"Password=;User ID=sa", "Password=;User ID=sa"},
        {"Data Source=.;Initial Catalog=clock", "Data Source=.;Initial Catalog=clock"},
    };
    for (const auto& c : cases) EXPECT_EQ(MaskPasswords(c.in), c.out) << c.in;
}

TEST(ConnectionString, ProvidersAndTheirTargets) {
    struct Case {
        std::string cs;
        DatabaseTarget::Kind kind;
        std::string expected;  // the SQLite path or the ODBC string
        bool sqlServer;
    };
    const std::vector<Case> cases = {
        {"Provider=SQLite;Data Source=clock.db", DatabaseTarget::Kind::Sqlite, "/opt/attcalc/clock.db", false},
        {"provider=sqlite;Data Source=/var/lib/clock.db", DatabaseTarget::Kind::Sqlite, "/var/lib/clock.db", false},
        {"Provider=SQLite;Data Source=:memory:", DatabaseTarget::Kind::Sqlite, ":memory:", false},
        // The built-in default: the local server, FreeTDS, SQL Server's port.
        {"Provider=SQLOLEDB.1;Password=tulip;Persist Security Info=True;User ID=sa;Initial Catalog=clock;Data Source=.",
         DatabaseTarget::Kind::Odbc,
         "Driver={FreeTDS};Server=127.0.0.1;Port=1433;TDS_Version=7.4;Database=clock;UID=sa;PWD={tulip}", true},
        {"Provider=SQLOLEDB;Data Source=db.example,1500;Initial Catalog=clock;User ID=sa;Password=p}w;d",
         DatabaseTarget::Kind::Odbc,
         "Driver={FreeTDS};Server=db.example;Port=1500;TDS_Version=7.4;Database=clock;UID=sa;PWD={p}}w}", true},
        {"Provider=SQLOLEDB.1;Data Source=(local)\\SQLEXPRESS;Initial Catalog=clock", DatabaseTarget::Kind::Odbc,
         "Driver={FreeTDS};Server=127.0.0.1\\SQLEXPRESS;TDS_Version=7.4;Database=clock", true},
        {"Provider=SQLOLEDB.1;Driver=ODBC Driver 18 for SQL Server;Data Source=srv,1433;Initial Catalog=clock",
         DatabaseTarget::Kind::Odbc, "Driver={ODBC Driver 18 for SQL Server};Server=srv,1433;Database=clock", true},
        {"Provider=MSDASQL;Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=clock;Uid=postgres",
         DatabaseTarget::Kind::Odbc,
         "Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=clock;Uid=postgres", false},
        {"Provider=MSDASQL.1;DSN=clock;PWD=a b", DatabaseTarget::Kind::Odbc, "DSN=clock;PWD={a b}", false},
        {"Provider=MSDASQL;Extended Properties=\"DSN=clock;UID=u\"", DatabaseTarget::Kind::Odbc, "DSN=clock;UID=u",
         false},
        {"Driver={PostgreSQL Unicode};Server=h;Database=d", DatabaseTarget::Kind::Odbc,
         "Driver={PostgreSQL Unicode};Server=h;Database=d", false},
        {"DSN=clock", DatabaseTarget::Kind::Odbc, "DSN=clock", false},
    };
    for (const auto& c : cases) {
        DatabaseTarget t = ResolveConnectionString(c.cs, "/opt/attcalc");
        EXPECT_EQ(t.kind, c.kind) << c.cs;
        EXPECT_EQ(t.kind == DatabaseTarget::Kind::Sqlite ? t.sqlitePath : t.odbc, c.expected) << c.cs;
        EXPECT_EQ(t.sqlServer, c.sqlServer) << c.cs;
    }
}

TEST(ConnectionString, UnknownOrMissingProviderFails) {
    try {
        ResolveConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=c:\\x.mdb", "/h");
        FAIL() << "accepted";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("Microsoft.Jet.OLEDB.4.0"), std::string::npos) << e.what();
    }
    try {
        ResolveConnectionString("Data Source=.;Password=hidden", "/h");
        FAIL() << "accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(std::string(e.what()).find("hidden"), std::string::npos) << e.what();
    }
    EXPECT_THROW(ResolveConnectionString("", "/h"), DbError);
    EXPECT_THROW(ResolveConnectionString("Provider=SQLite", "/h"), DbError);
}

TEST(ConnectionString, OpensRelativeSqliteFileInHome) {
    char tmpl[] = "/tmp/attcalc-cs-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    std::string home = tmpl;
    // A file that does not exist is an error, and none is left behind.
    try {
        OpenDatabase("Provider=SQLite;Data Source=clock.db", home);
        ADD_FAILURE() << "a missing database file was opened";
    } catch (const DbError& e) {
        EXPECT_EQ(std::string(e.what()), "the SQLite database file \"" + home + "/clock.db\" does not exist");
    }
    EXPECT_NE(access((home + "/clock.db").c_str(), F_OK), 0);
    OpenSqlite(home + "/clock.db");  // makes an empty database
    {
        auto db = OpenDatabase("Provider=SQLite;Data Source=clock.db", home);
        db->Execute("create table init (Init_Title nvarchar(30))");
    }
    auto again = OpenSqlite(home + "/clock.db");
    EXPECT_TRUE(again->TableExists("init"));
    std::remove((home + "/clock.db").c_str());
    rmdir(home.c_str());
}

TEST(OdbcDialect, SqlServerStatements) {
    auto d = MakeSqlServerDialect();
    EXPECT_EQ(d->Name(), "sqlserver");
    EXPECT_EQ(d->Table("qvlog"), "dbo.qvlog");
    EXPECT_EQ(d->Quote("O'Brien"), "N'O''Brien'");
    EXPECT_EQ(d->Quote(std::string("a\0b", 3)), "N'ab'");
    // A backslash before a line break would be taken as a line continuation.
    EXPECT_EQ(d->Quote("a\\\nb"), "N'a\\' + N'\nb'");
    EXPECT_EQ(d->Quote("a\\b"), "N'a\\b'");
    EXPECT_EQ(d->Quote("مرخصی"), "N'مرخصی'");
    EXPECT_EQ(d->SelectNone("init"), "select top 0 * from dbo.init");
    EXPECT_EQ(d->SelectTop(1, "*", "from dbo.init order by Init_Code"), "select top 1 * from dbo.init order by Init_Code");
    EXPECT_EQ(d->TypeName(FieldType::NVarChar, 30), "NVarChar(30)");
    EXPECT_EQ(d->TypeName(FieldType::SmallInt, 0), "SmallInt");
    EXPECT_EQ(d->TypeName(FieldType::Int, 0), "int");
    EXPECT_EQ(d->TypeName(FieldType::Bit, 0), "Bit");
    EXPECT_EQ(d->TypeName(FieldType::Money, 0), "money");
    EXPECT_EQ(d->TypeName(FieldType::Float, 0), "float");
    EXPECT_EQ(d->TypeName(FieldType::IntIdentity, 0), "int identity(1,1)");
    EXPECT_EQ(d->SavepointSql("x"), "save transaction x");
    EXPECT_EQ(d->RollbackToSavepointSql("x"), "rollback transaction x");
    EXPECT_EQ(d->ReleaseSavepointSql("x"), "");
    EXPECT_NE(d->ListTablesSql().find("'dbo'"), std::string::npos);
}

TEST(OdbcDialect, PostgresStatements) {
    auto d = MakePostgresDialect();
    EXPECT_EQ(d->Name(), "postgresql");
    EXPECT_EQ(d->Table("qvlog"), "qvlog");
    EXPECT_EQ(d->Quote("O'Brien\\"), "'O''Brien\\'");
    EXPECT_EQ(d->Quote(std::string("a\0b", 3)), "'ab'");
    EXPECT_EQ(d->SelectTop(2, "*", "from init"), "select * from init limit 2");
    EXPECT_EQ(d->TypeName(FieldType::NVarChar, 8), "varchar(8)");
    EXPECT_EQ(d->TypeName(FieldType::Bit, 0), "smallint");
    EXPECT_EQ(d->TypeName(FieldType::Money, 0), "numeric(19,4)");
    EXPECT_EQ(d->TypeName(FieldType::Float, 0), "double precision");
    EXPECT_EQ(d->SavepointSql("x"), "savepoint x");
    EXPECT_EQ(d->ReleaseSavepointSql("x"), "release savepoint x");
}

TEST(OdbcDialect, ChosenByDbmsName) {
    EXPECT_EQ(DialectForDbmsName("PostgreSQL")->Name(), "postgresql");
    EXPECT_EQ(DialectForDbmsName("Microsoft SQL Server")->Name(), "sqlserver");
    EXPECT_EQ(DialectForDbmsName("MySQL")->Name(), "odbc");
    EXPECT_EQ(DialectForDbmsName("")->Name(), "odbc");
}

}  // namespace
