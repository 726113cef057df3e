// Platform services for crv: Messages and Questions go to standard error, each
// followed by an empty line; Questions are answered by --yes / --no or their default.
#pragma once

#include <cstdio>

#include "base/platform.h"

namespace crv {

enum class AnswerMode { Default, Yes, No };

class ConsolePlatform : public Platform {
public:
    explicit ConsolePlatform(AnswerMode mode = AnswerMode::Default, bool quiet = false,
                             std::FILE* out = stderr);

    void ShowMessage(std::string_view text, MessageKind kind, bool beep) override;
    using Platform::Ask;
    Answer Ask(const Question& question) override;
    std::optional<std::size_t> ChooseItem(std::string_view prompt,
                                          const std::vector<std::string>& items,
                                          std::size_t defaultItem) override;
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    // crv has no one to type the text: the request is shown and Cancelled.
    std::optional<std::string> InputText(const TextRequest& request) override;
    void Beep() override {}
    std::unique_ptr<Progress> BeginProgress(std::string_view text, std::int64_t range,
                                            bool cancellable) override;
    void InternalError(const char* file, int line, std::string_view detail) override;
    int TextWidth(const FontSpec& font, std::string_view text) override;
    FontMetrics MeasureFont(const FontSpec& font) override;

    // Number of internal errors reported; crv fails a command that met one.
    int InternalErrorCount() const { return m_internalErrors; }

private:
    void WriteBlock(std::string_view text, std::string_view answer);
    AnswerMode m_mode;
    bool m_quiet;
    std::FILE* m_out;
    int m_internalErrors = 0;
};

// The text of an answer as crv prints it after "-> ".
const char* AnswerText(Answer a);

// Width of text when every byte is one average character of the font; used where no
// real font rendering exists (crv, tests).
int MonospaceTextWidth(const FontSpec& font, std::string_view text);
FontMetrics MonospaceFontMetrics(const FontSpec& font);

} // namespace crv
