// The diagnostic trace log: off by default; once switched on, printf-style lines of at
// most 255 characters are appended to "crv.log" in the current folder.
#pragma once

#include <string>

namespace crv {

class TraceLog {
public:
    // Switches the log on for the rest of the run. The first lines record why (the
    // key press) and the build date and time. Later calls do nothing.
    void SwitchOn(const char* reason);
    bool IsOn() const { return m_on; }
    // Appends one formatted line (cut to 255 characters) when the log is on.
    void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // For tests: where the log is written (default "crv.log").
    void SetPath(std::string path) { m_path = std::move(path); }

private:
    void Append(const char* line);
    bool m_on = false;
    std::string m_path = "crv.log";
};

} // namespace crv
