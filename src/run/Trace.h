// The trace file: progress lines of a calculation, ended by CR LF, in
// Windows-1256.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace attcalc {

class Trace {
public:
    // Creates the file anew (emptied if it exists). Throws when it cannot.
    explicit Trace(const std::string& path);
    ~Trace();
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    // Writes one line given in UTF-8; it reaches the file at once, so that a
    // run that fails later leaves every line written before the failure.
    void Line(std::string_view utf8);
    void Close();

private:
    std::FILE* f_ = nullptr;
    std::string path_;
};

// Writes a progress label when tracing is on.
inline void TraceLine(Trace* t, std::string_view label) {
    if (t) t->Line(label);
}

}  // namespace attcalc
