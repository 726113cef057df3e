#include "base/platform.h"

#include "base/console_platform.h"
#include "base/message_text.h"

namespace crv {

namespace {
Platform* g_installed = nullptr;
} // namespace

Answer Question::EffectiveDefault() const {
    if (defaultAnswer)
        return *defaultAnswer;
    switch (buttons) {
    case Buttons::Ok:
    case Buttons::OkCancel:
        return Answer::Ok;
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    }
    return Answer::Ok;
}

Answer Platform::Ask(std::string_view text, Buttons buttons, std::optional<Answer> defaultAnswer,
                     bool beep) {
    Question q;
    q.text = std::string(text);
    q.buttons = buttons;
    q.defaultAnswer = defaultAnswer;
    q.beep = beep;
    return Ask(q);
}

std::optional<std::string> Platform::InputText(const TextRequest&) { return std::nullopt; }

std::string InternalErrorText(const char* file, int line, std::string_view detail) {
    std::string text =
        FormatMessage("Internal error in %1, line %2.", {file, std::to_string(line)});
    if (!detail.empty())
        text += "\n(" + std::string(detail) + ")";
    text += "\n\nPlease report this error. Save your work under a new name and restart Corvane.";
    return text;
}

Platform& platform() {
    if (g_installed)
        return *g_installed;
    // Library use without an installed platform: answer like crv with no options.
    static ConsolePlatform fallback;
    return fallback;
}

ScopedPlatform::ScopedPlatform(Platform& p) : m_previous(g_installed) { g_installed = &p; }

ScopedPlatform::~ScopedPlatform() { g_installed = m_previous; }

} // namespace crv
