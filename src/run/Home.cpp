#include "run/Home.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace attcalc {

std::string AttcalcHome() {
    if (const char* h = std::getenv("ATTCALC_HOME"); h && *h) return h;
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path().string();
    return std::filesystem::current_path().string();
}

std::string ReadConnectionString(const std::string& home) {
    std::ifstream f(std::filesystem::path(home) / "cs.txt", std::ios::binary);
    if (!f) return kDefaultConnectionString;
    std::string cs;
    char c;
    while (f.get(c)) {
        unsigned char u = static_cast<unsigned char>(c);
        if (u == 26) break;
        if (u < 32) continue;
        cs += c;
    }
    return cs;
}

}  // namespace attcalc
