// Platform services for tests: every message, question, choice and progress display is
// kept for assertions, and answers come from a script (or the question's default).
#pragma once

#include <deque>

#include "base/platform.h"

namespace crv {

class RecordingPlatform : public Platform {
public:
    enum class EventKind { Message, Question, Choice, File, Input, Beep, Progress, InternalError };
    struct Event {
        EventKind kind;
        std::string text;
        MessageKind messageKind = MessageKind::Warning;
        Buttons buttons = Buttons::Ok;
        Answer answer = Answer::Ok;
        bool beep = false;
    };

    void ShowMessage(std::string_view text, MessageKind kind, bool beep) override;
    using Platform::Ask;
    Answer Ask(const Question& question) override;
    std::optional<std::size_t> ChooseItem(std::string_view prompt,
                                          const std::vector<std::string>& items,
                                          std::size_t defaultItem) override;
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    std::optional<std::string> InputText(const TextRequest& request) override;
    void Beep() override;
    std::unique_ptr<Progress> BeginProgress(std::string_view text, std::int64_t range,
                                            bool cancellable) override;
    void InternalError(const char* file, int line, std::string_view detail) override;
    int TextWidth(const FontSpec& font, std::string_view text) override;
    FontMetrics MeasureFont(const FontSpec& font) override;

    // Scripted answers, used in order; when none is left the question's default is taken.
    std::deque<Answer> answers;
    // Scripted item choices (nullopt: cancel); default item when none is left.
    std::deque<std::optional<std::size_t>> choices;
    // Scripted file choices (nullopt: cancel); cancel when none is left.
    std::deque<std::optional<std::string>> files;
    // Scripted typed texts (nullopt: cancel); cancel when none is left.
    std::deque<std::optional<std::string>> texts;
    // Progress displays report Cancelled once this many steps were taken (-1: never).
    std::int64_t cancelProgressAt = -1;

    std::vector<Event> events;
    // Every file request, in order.
    std::vector<FileRequest> fileRequests;
    std::vector<std::string> Messages() const;  // texts of message boxes, in order
    std::vector<std::string> Questions() const; // texts of Questions, in order
    std::vector<std::string> ProgressTexts() const;
    std::vector<std::string> Inputs() const; // prompts of text requests, in order
    std::vector<std::string> InternalErrors() const;
    int Beeps() const;
    void Clear() { events.clear(); }

private:
    std::vector<std::string> TextsOf(EventKind kind) const;
};

} // namespace crv
