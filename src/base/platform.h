// The services the engine asks of the outside world: messages, questions, choices,
// file choosers, progress displays, internal-error reports, text measurement and the
// trace log. Implementations: RecordingPlatform (tests), ConsolePlatform (crv), and
// the Qt one in src/gui/.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/trace_log.h"

namespace crv {

enum class MessageKind { Information, Warning, Error };
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

// A question as a message box would show it. Without a default the first button is it.
struct Question {
    std::string text;
    Buttons buttons = Buttons::YesNo;
    std::optional<Answer> defaultAnswer;
    bool beep = false;
    MessageKind kind = MessageKind::Warning;
    // A check box under the text ("&Display this warning in the future"), shown when
    // checked is set: it starts as *checked and the user's choice is written back.
    std::string checkBox = {};
    bool* checked = nullptr;

    Answer EffectiveDefault() const;
};

// A file dialog. The filter uses the "Name (*.ext)|*.ext|...||" form.
struct FileRequest {
    std::string title;
    std::string initialPath; // folder, or folder plus suggested file name
    std::string filter;
    bool save = false;
    bool mustExist = true;
};

// A request for one line of text (a name, a marker) in a small dialog.
struct TextRequest {
    std::string title;
    std::string prompt;
    std::string initial;
};

// A font as the settings files describe it: face, height (negative character height
// in pixels, as a logical font holds it), weight and style flags, colour.
struct FontSpec {
    std::string face;
    int height = -16;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint32_t color = 0;
    bool hasColor = false;
};

struct FontMetrics {
    int height = 0;
    int ascent = 0;
    int leading = 0;
};

// A progress display for one long operation. Destroying it closes the display.
class Progress {
public:
    virtual ~Progress() = default;
    virtual void SetPosition(std::int64_t position) = 0;
    void Step(std::int64_t by = 1) { SetPosition(m_position + by); }
    virtual void SetText(std::string_view text) = 0;
    // Polled by loops that may be Cancelled.
    virtual bool Cancelled() = 0;
    std::int64_t Position() const { return m_position; }

protected:
    std::int64_t m_position = 0;
};

class Platform {
public:
    virtual ~Platform() = default;

    // A message box: beeps (unless told not to) and waits for OK.
    virtual void ShowMessage(std::string_view text, MessageKind kind = MessageKind::Warning,
                             bool beep = true) = 0;
    virtual Answer Ask(const Question& question) = 0;
    Answer Ask(std::string_view text, Buttons buttons,
               std::optional<Answer> defaultAnswer = std::nullopt, bool beep = false);
    // Choose one of the items; nullopt when Cancelled.
    virtual std::optional<std::size_t> ChooseItem(std::string_view prompt,
                                                  const std::vector<std::string>& items,
                                                  std::size_t defaultItem = 0) = 0;
    // Choose a file; nullopt when Cancelled.
    virtual std::optional<std::string> ChooseFile(const FileRequest& request) = 0;
    // One line of text typed by the user; nullopt when Cancelled. Without a way to ask
    // (an implementation that does not override it), the request is Cancelled.
    virtual std::optional<std::string> InputText(const TextRequest& request);
    virtual void Beep() = 0;
    virtual std::unique_ptr<Progress> BeginProgress(std::string_view text, std::int64_t range,
                                                    bool cancellable = true) = 0;
    // A broken invariant: reported with file and line; the caller goes on where it can.
    virtual void InternalError(const char* file, int line, std::string_view detail) = 0;
    // Pixel width of text in a font, and the font's metrics.
    virtual int TextWidth(const FontSpec& font, std::string_view text) = 0;
    virtual FontMetrics MeasureFont(const FontSpec& font) = 0;

    TraceLog& Trace() { return m_trace; }

private:
    TraceLog m_trace;
};

// The text of the internal-error report.
std::string InternalErrorText(const char* file, int line, std::string_view detail);

// The services installed by the running program (or test). A program installs its
// implementation once at start-up; without one, a console implementation answers.
Platform& platform();

// Installs a platform for the lifetime of this object and restores the previous one.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& p);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform* m_previous;
};

} // namespace crv

// Checks an invariant; a failure is reported as an internal error and execution goes on.
#define CRV_ASSERT(cond)                                                                           \
    ((cond) ? (void)0 : ::crv::platform().InternalError(__FILE__, __LINE__, #cond))
