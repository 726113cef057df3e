#include "base/trace_log.h"

#include <cstdarg>
#include <cstdio>

namespace crv {

void TraceLog::SwitchOn(const char* reason) {
    if (m_on)
        return;
    m_on = true;
    Write("Trace switched on: %s", reason);
    Write("Build date %s, time %s", __DATE__, __TIME__);
}

void TraceLog::Write(const char* format, ...) {
    if (!m_on)
        return;
    char line[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    Append(line);
}

void TraceLog::Append(const char* line) {
    if (std::FILE* f = std::fopen(m_path.c_str(), "ab")) {
        std::fputs(line, f);
        std::size_t n = std::char_traits<char>::length(line);
        if (n == 0 || line[n - 1] != '\n')
            std::fputc('\n', f);
        std::fclose(f);
    }
}

} // namespace crv
