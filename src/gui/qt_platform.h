// The platform services as Qt provides them: message boxes with the beep and their
// style, questions with their default button, the item chooser, file choosers, text
// requests, progress dialogs that can be cancelled, the internal-error report and text
// measurement in a language's font.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

#include "base/platform.h"

namespace crv::gui {

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // The window dialogs belong to (the main window once it exists).
    void SetParentWindow(QWidget* parent) { m_parent = parent; }
    QWidget* ParentWindow() const { return m_parent; }

    void ShowMessage(std::string_view text, MessageKind kind = MessageKind::Warning,
                     bool beep = true) override;
    using Platform::Ask;
    Answer Ask(const Question& question) override;
    std::optional<std::size_t> ChooseItem(std::string_view prompt,
                                          const std::vector<std::string>& items,
                                          std::size_t defaultItem = 0) override;
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    std::optional<std::string> InputText(const TextRequest& request) override;
    void Beep() override;
    std::unique_ptr<Progress> BeginProgress(std::string_view text, std::int64_t range,
                                            bool cancellable = true) override;
    void InternalError(const char* file, int line, std::string_view detail) override;
    int TextWidth(const FontSpec& font, std::string_view text) override;
    FontMetrics MeasureFont(const FontSpec& font) override;

    // How many beeps sounded (the desktop tests check the beep of a message).
    int Beeps() const { return m_beeps; }

private:
    const QFontMetrics& Metrics(const FontSpec& spec);

    QPointer<QWidget> m_parent;
    int m_beeps = 0;
    bool m_reportingInternal = false;
    // Measuring runs for every line wrapped: metrics are made once per font.
    QHash<QString, std::shared_ptr<QFontMetrics>> m_metrics;
};

} // namespace crv::gui
