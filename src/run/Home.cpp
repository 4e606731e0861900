#include "run/Home.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "db/Database.h"

namespace attcalc {

std::string AttcalcHome() {
    // A folder named on purpose is never replaced by another: a misspelt
    // name would otherwise calculate on a different database.
    if (const char* h = std::getenv("ATTCALC_HOME")) {
        if (*h == '\0')
            throw std::runtime_error("ATTCALC_HOME is set but empty; name the attcalc folder or unset it");
        std::error_code ec;
        if (!std::filesystem::is_directory(h, ec))
            throw std::runtime_error("ATTCALC_HOME \"" + Abbreviate(h) + "\" is not an existing folder");
        return h;
    }
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path().string();
    return std::filesystem::current_path().string();
}

bool HasConnectionFile(const std::string& home) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(home) / "cs.txt", ec);
}

std::string ReadConnectionString(const std::string& home) {
    const std::filesystem::path path = std::filesystem::path(home) / "cs.txt";
    std::ifstream f(path, std::ios::binary);
    if (!f) return kDefaultConnectionString;
    // A connection string is a line or a few; anything larger is not one.
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxConnectionFileBytes)
        throw std::runtime_error("cs.txt is larger than 64 KiB (" + std::to_string(size) +
                                 " bytes) and holds no connection string");
    std::string cs;
    char buf[4096];
    while (f.read(buf, sizeof buf) || f.gcount() > 0) {
        for (std::streamsize i = 0; i < f.gcount(); ++i) {
            unsigned char u = static_cast<unsigned char>(buf[i]);
            if (u == 26) return cs;
            if (u < 32) continue;
            if (cs.size() >= kMaxConnectionFileBytes)
                throw std::runtime_error("cs.txt is larger than 64 KiB and holds no connection string");
            cs += buf[i];
        }
    }
    return cs;
}

}  // namespace attcalc
