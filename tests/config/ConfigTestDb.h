// Databases for the configuration tests: an in-memory SQLite database, or a
// PostgreSQL schema of its own on the test server (dropped afterwards).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "db/Catalogue.h"
#include "db/Database.h"
#include "db/Dialect.h"
#include "run/Context.h"
#include "support/TestSupport.h"

namespace attcalc::test {

struct ConfigDb {
    std::unique_ptr<Database> db;
    TRunContext ctx;
    std::string schema;  // PostgreSQL only

    explicit ConfigDb(std::unique_ptr<Database> d) : db(std::move(d)) { ctx.db = db.get(); }
    ~ConfigDb() {
        if (!schema.empty()) {
            std::string err;
            db->TryExecute("set search_path to public", &err);
            db->TryExecute("drop schema " + schema + " cascade", &err);
        }
    }

    static std::unique_ptr<ConfigDb> Sqlite() { return std::make_unique<ConfigDb>(OpenSqlite(":memory:")); }

    // Null when no PostgreSQL server runs for the tests.
    static std::unique_ptr<ConfigDb> Postgres(const std::string& name) {
        std::string cs = PostgresConnectionString();
        if (cs.empty()) return nullptr;
        auto c = std::make_unique<ConfigDb>(OpenOdbc(cs, false));
        c->schema = "cfg_" + name + "_" + std::to_string(getpid());
        c->db->Execute("drop schema if exists " + c->schema + " cascade");
        c->db->Execute("create schema " + c->schema);
        c->db->Execute("set search_path to " + c->schema);
        return c;
    }

    void Create(const std::string& table) { CreateTableIfMissing(ctx, table); }
    void Exec(const std::string& sql) { db->Execute(sql); }
    std::int64_t Count(const std::string& sqlRest) {
        return db->Query("select count(*) as n " + sqlRest).Int(0, "n");
    }
};

}  // namespace attcalc::test
