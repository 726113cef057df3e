#include "base/console_platform.h"

#include <cstdlib>
#include <unistd.h>

namespace crv {

namespace {

// Shows a percentage on a terminal; silent when standard error is redirected.
class ConsoleProgress : public Progress {
public:
    ConsoleProgress(std::FILE* out, std::string text, std::int64_t range)
        : m_out(out), m_text(std::move(text)), m_range(range),
          m_tty(out == stderr && isatty(fileno(stderr))) {}
    ~ConsoleProgress() override {
        if (m_tty && m_shown)
            std::fprintf(m_out, "\r%*s\r", static_cast<int>(m_text.size()) + 8, "");
    }
    void SetPosition(std::int64_t position) override {
        m_position = position;
        if (!m_tty || m_range <= 0)
            return;
        int percent = static_cast<int>(position * 100 / m_range);
        if (percent != m_lastPercent) {
            m_lastPercent = percent;
            m_shown = true;
            std::fprintf(m_out, "\r%s %d%%", m_text.c_str(), percent);
            std::fflush(m_out);
        }
    }
    void SetText(std::string_view text) override { m_text = std::string(text); }
    bool Cancelled() override { return false; }

private:
    std::FILE* m_out;
    std::string m_text;
    std::int64_t m_range;
    bool m_tty;
    bool m_shown = false;
    int m_lastPercent = -1;
};

} // namespace

const char* AnswerText(Answer a) {
    switch (a) {
    case Answer::Ok:
        return "OK";
    case Answer::Cancel:
        return "Cancel";
    case Answer::Yes:
        return "Yes";
    case Answer::No:
        return "No";
    }
    return "OK";
}

int MonospaceTextWidth(const FontSpec& font, std::string_view text) {
    return static_cast<int>(text.size()) * MonospaceFontMetrics(font).height / 2;
}

FontMetrics MonospaceFontMetrics(const FontSpec& font) {
    int h = std::abs(font.height);
    if (h < 2)
        h = 2;
    // A logical font's character height excludes internal leading; add a fifth for it.
    return FontMetrics{h + h / 5, h, h / 5};
}

ConsolePlatform::ConsolePlatform(AnswerMode mode, bool quiet, std::FILE* out)
    : m_mode(mode), m_quiet(quiet), m_out(out) {}

void ConsolePlatform::WriteBlock(std::string_view text, std::string_view answer) {
    std::fwrite(text.data(), 1, text.size(), m_out);
    std::fputc('\n', m_out);
    if (!answer.empty())
        std::fprintf(m_out, "-> %.*s\n", static_cast<int>(answer.size()), answer.data());
    std::fputc('\n', m_out);
    std::fflush(m_out);
}

void ConsolePlatform::ShowMessage(std::string_view text, MessageKind kind, bool) {
    if (m_quiet && kind == MessageKind::Information)
        return;
    WriteBlock(text, {});
}

Answer ConsolePlatform::Ask(const Question& q) {
    Answer a = q.EffectiveDefault();
    bool okButtons = q.buttons == Buttons::Ok || q.buttons == Buttons::OkCancel;
    if (m_mode == AnswerMode::Yes)
        a = okButtons ? Answer::Ok : Answer::Yes;
    else if (m_mode == AnswerMode::No)
        a = q.buttons == Buttons::Ok ? Answer::Ok : okButtons ? Answer::Cancel : Answer::No;
    WriteBlock(q.text, AnswerText(a));
    return a;
}

std::optional<std::size_t> ConsolePlatform::ChooseItem(std::string_view prompt,
                                                       const std::vector<std::string>& items,
                                                       std::size_t defaultItem) {
    if (defaultItem >= items.size()) {
        WriteBlock(prompt, "Cancel");
        return std::nullopt;
    }
    WriteBlock(prompt, items[defaultItem]);
    return defaultItem;
}

std::optional<std::string> ConsolePlatform::ChooseFile(const FileRequest& request) {
    WriteBlock(request.title, "Cancel");
    return std::nullopt;
}

std::optional<std::string> ConsolePlatform::InputText(const TextRequest& request) {
    std::string text = request.title;
    if (!text.empty() && !request.prompt.empty())
        text += '\n';
    text += request.prompt;
    WriteBlock(text, "Cancel");
    return std::nullopt;
}

std::unique_ptr<Progress> ConsolePlatform::BeginProgress(std::string_view text, std::int64_t range,
                                                         bool) {
    return std::make_unique<ConsoleProgress>(m_out, std::string(text), range);
}

void ConsolePlatform::InternalError(const char* file, int line, std::string_view detail) {
    ++m_internalErrors;
    WriteBlock(InternalErrorText(file, line, detail), {});
}

int ConsolePlatform::TextWidth(const FontSpec& font, std::string_view text) {
    return MonospaceTextWidth(font, text);
}

FontMetrics ConsolePlatform::MeasureFont(const FontSpec& font) {
    return MonospaceFontMetrics(font);
}

} // namespace crv
