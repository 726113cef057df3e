// The process-wide host message handler. It is host configuration, not handle state, so it
// is the one shared value in the engine; reads copy it under a lock.
#include "zentab/host_messages.h"

#include <cstdio>
#include <mutex>

namespace crv::zt {

namespace {

std::mutex& HandlerMutex() {
    static std::mutex m;
    return m;
}

MessageSink& Handler() {
    static MessageSink h;
    return h;
}

bool WriteToStandardError(const Message& m) {
    std::string text = m.text;
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    std::fprintf(stderr, "zentab: [%d] %s\n", m.number, text.c_str());
    return true;
}

} // namespace

void SetHostMessageHandler(MessageSink handler) {
    std::lock_guard<std::mutex> lock(HandlerMutex());
    Handler() = std::move(handler);
}

bool SendToHost(const Message& message) {
    MessageSink h;
    {
        std::lock_guard<std::mutex> lock(HandlerMutex());
        h = Handler();
    }
    return h ? h(message) : WriteToStandardError(message);
}

} // namespace crv::zt
