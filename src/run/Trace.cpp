#include "run/Trace.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "db/Cp1256.h"

namespace attcalc {

Trace::Trace(const std::string& path) : path_(path) {
    f_ = std::fopen(path.c_str(), "wb");
    if (!f_) throw std::runtime_error("cannot create the trace file \"" + path + "\": " + std::strerror(errno));
}

Trace::~Trace() { Close(); }

void Trace::Line(std::string_view utf8) {
    if (!f_) return;
    std::string bytes = Utf8ToCp1256(utf8);
    bytes += "\r\n";
    if (std::fwrite(bytes.data(), 1, bytes.size(), f_) != bytes.size() || std::fflush(f_) != 0)
        throw std::runtime_error("cannot write the trace file \"" + path_ + "\"");
}

void Trace::Close() {
    if (f_) {
        std::fclose(f_);
        f_ = nullptr;
    }
}

}  // namespace attcalc
