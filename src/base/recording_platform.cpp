#include "base/recording_platform.h"

#include "base/console_platform.h"

namespace crv {

namespace {

class RecordedProgress : public Progress {
public:
    RecordedProgress(RecordingPlatform& owner, std::int64_t cancelAt)
        : m_owner(owner), m_cancelAt(cancelAt) {}
    void SetPosition(std::int64_t position) override { m_position = position; }
    void SetText(std::string_view text) override {
        m_owner.events.push_back({RecordingPlatform::EventKind::Progress, std::string(text)});
    }
    bool Cancelled() override { return m_cancelAt >= 0 && m_position >= m_cancelAt; }

private:
    RecordingPlatform& m_owner;
    std::int64_t m_cancelAt;
};

} // namespace

void RecordingPlatform::ShowMessage(std::string_view text, MessageKind kind, bool beep) {
    Event e{EventKind::Message, std::string(text)};
    e.messageKind = kind;
    e.beep = beep;
    events.push_back(std::move(e));
}

Answer RecordingPlatform::Ask(const Question& q) {
    Answer a = q.EffectiveDefault();
    if (!answers.empty()) {
        a = answers.front();
        answers.pop_front();
    }
    Event e{EventKind::Question, q.text};
    e.messageKind = q.kind;
    e.buttons = q.buttons;
    e.answer = a;
    e.beep = q.beep;
    events.push_back(std::move(e));
    return a;
}

std::optional<std::size_t> RecordingPlatform::ChooseItem(std::string_view prompt,
                                                         const std::vector<std::string>& items,
                                                         std::size_t defaultItem) {
    std::optional<std::size_t> c = defaultItem;
    if (!choices.empty()) {
        c = choices.front();
        choices.pop_front();
    }
    if (c && *c >= items.size())
        c.reset();
    events.push_back({EventKind::Choice, std::string(prompt)});
    return c;
}

std::optional<std::string> RecordingPlatform::ChooseFile(const FileRequest& request) {
    std::optional<std::string> f;
    if (!files.empty()) {
        f = files.front();
        files.pop_front();
    }
    events.push_back({EventKind::File, request.title});
    fileRequests.push_back(request);
    return f;
}

std::optional<std::string> RecordingPlatform::InputText(const TextRequest& request) {
    std::optional<std::string> t;
    if (!texts.empty()) {
        t = texts.front();
        texts.pop_front();
    }
    events.push_back({EventKind::Input, request.prompt});
    return t;
}

void RecordingPlatform::Beep() { events.push_back({EventKind::Beep, {}}); }

std::unique_ptr<Progress> RecordingPlatform::BeginProgress(std::string_view text, std::int64_t,
                                                           bool cancellable) {
    events.push_back({EventKind::Progress, std::string(text)});
    return std::make_unique<RecordedProgress>(*this, cancellable ? cancelProgressAt : -1);
}

void RecordingPlatform::InternalError(const char* file, int line, std::string_view detail) {
    events.push_back({EventKind::InternalError, InternalErrorText(file, line, detail)});
}

int RecordingPlatform::TextWidth(const FontSpec& font, std::string_view text) {
    return MonospaceTextWidth(font, text);
}

FontMetrics RecordingPlatform::MeasureFont(const FontSpec& font) {
    return MonospaceFontMetrics(font);
}

std::vector<std::string> RecordingPlatform::TextsOf(EventKind kind) const {
    std::vector<std::string> out;
    for (const auto& e : events)
        if (e.kind == kind)
            out.push_back(e.text);
    return out;
}

std::vector<std::string> RecordingPlatform::Messages() const { return TextsOf(EventKind::Message); }
std::vector<std::string> RecordingPlatform::Questions() const {
    return TextsOf(EventKind::Question);
}
std::vector<std::string> RecordingPlatform::ProgressTexts() const {
    return TextsOf(EventKind::Progress);
}
std::vector<std::string> RecordingPlatform::Inputs() const { return TextsOf(EventKind::Input); }
std::vector<std::string> RecordingPlatform::InternalErrors() const {
    return TextsOf(EventKind::InternalError);
}

int RecordingPlatform::Beeps() const {
    int n = 0;
    for (const auto& e : events)
        if (e.kind == EventKind::Beep ||
            ((e.kind == EventKind::Message || e.kind == EventKind::Question) && e.beep))
            ++n;
    return n;
}

} // namespace crv
