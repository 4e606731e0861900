#include "support/TestSupport.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace attcalc::test {

TempDir::TempDir() {
    std::random_device rd;
    for (int i = 0; i < 100; ++i) {
        auto p = std::filesystem::temp_directory_path() / ("attcalc-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(p)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f << bytes;
    if (!f) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return "";
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

RunResult RunAttcalc(const std::vector<std::string>& args, const std::vector<std::string>& env) {
    TempDir tmp;
    std::string outPath = tmp.file("out"), errPath = tmp.file("err");
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        FILE* o = std::freopen(outPath.c_str(), "w", stdout);
        FILE* e = std::freopen(errPath.c_str(), "w", stderr);
        (void)o; (void)e;
        for (const auto& kv : env) putenv(const_cast<char*>(kv.c_str()));
        std::vector<char*> argv;
        std::string bin = ATTCALC_BINARY;
        argv.push_back(bin.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(bin.c_str(), argv.data());
        _exit(127);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    RunResult r;
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
    r.out = ReadFile(outPath);
    r.err = ReadFile(errPath);
    return r;
}

std::string PostgresConnectionString() {
    const char* v = std::getenv("ATTCALC_TEST_PG");
    return v ? v : "";
}

std::string WithConnectionValue(const std::string& cs, const std::string& key, const std::string& value) {
    std::string out;
    bool found = false;
    std::size_t pos = 0;
    while (pos < cs.size()) {
        std::size_t end = cs.find(';', pos);
        if (end == std::string::npos) end = cs.size();
        std::string part = cs.substr(pos, end - pos);
        std::size_t eq = part.find('=');
        std::string k = eq == std::string::npos ? part : part.substr(0, eq);
        while (!k.empty() && k.back() == ' ') k.pop_back();
        while (!k.empty() && k.front() == ' ') k.erase(0, 1);
        if (!part.empty()) {
            if (!out.empty()) out += ';';
            if (EqualsNoCase(k, key)) {
                out += k + "=" + value;
                found = true;
            } else {
                out += part;
            }
        }
        pos = end + 1;
    }
    if (!found) {
        if (!out.empty()) out += ';';
        out += key + "=" + value;
    }
    return out;
}

std::unique_ptr<Database> FreshPostgres(std::string* attcalcCs) {
    std::string cs = PostgresConnectionString();
    if (cs.empty()) throw std::runtime_error("no PostgreSQL server for the tests (ATTCALC_TEST_PG is unset)");
    static std::atomic<int> counter{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = "t" + std::to_string(getpid()) + "_" + std::to_string(++counter) + "_" +
                       std::to_string(static_cast<unsigned long long>(stamp) % 1000000007ULL);
    {
        auto admin = OpenOdbc(WithConnectionValue(cs, "Database", "postgres"), false);
        admin->Execute("create database " + name);
    }
    if (attcalcCs) {
        const char* a = std::getenv("ATTCALC_TEST_PG_CS");
        *attcalcCs = WithConnectionValue(a && *a ? std::string(a) : "Provider=MSDASQL;" + cs, "Database", name);
    }
    return OpenOdbc(WithConnectionValue(cs, "Database", name), false);
}

}  // namespace attcalc::test
