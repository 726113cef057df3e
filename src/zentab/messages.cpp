// Filling in message arguments and routing messages to their handler.
#include "zentab/messages.h"

#include "zentab/host_messages.h"

namespace crv::zt {

std::string FormatMessageText(int number, const MessageArgs& args) {
    const MessageInfo& info = MessageAt(number);
    std::string out;
    int stringsUsed = 0;
    for (const char* p = info.text; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == 'l')
            ++p;
        switch (*p) {
        case '%':
            out += '%';
            break;
        case 's':
            out += stringsUsed++ == 0 ? args.a : args.b;
            break;
        case 'c':
            out += args.ch;
            break;
        case 'd':
        case 'u':
            out += std::to_string(args.number);
            break;
        case '\0':
            return out;
        default:
            out += '%';
            out += *p;
        }
    }
    return out;
}

void Reporter::Report(int number, const MessageArgs& args, int sourceLine) {
    Message m;
    m.number = number;
    m.stop = MessageAt(number).stop;
    m.text = FormatMessageText(number, args);
    m.sourceLine = sourceLine;
    if (m.stop)
        m_error = true;
    bool ok = m_sink ? m_sink(m) : SendToHost(m);
    if (!ok) {
        m_error = true;
        throw FatalStop{};
    }
}

} // namespace crv::zt
