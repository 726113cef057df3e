// Helpers of the desktop program's tests: the program started on a scratch copy of the
// sample project with a configuration folder of its own, and scripted answers to the
// modal dialogs it opens.
#pragma once

#include <QAbstractButton>
#include <QMessageBox>
#include <QString>
#include <deque>
#include <functional>
#include <memory>

#include "gui/desktop_app.h"
#include "support/test_support.h"

class QListWidget;
class QTimer;

namespace crv::test {

// Answers the modal dialogs the program opens, in order, each with the next step. A
// dialog nobody scripted is noted and closed, so that a test fails instead of hanging.
class ModalScript {
public:
    ModalScript();
    ~ModalScript();
    using Step = std::function<void(QWidget*)>;
    ModalScript& Then(Step step);
    // A message box answered by the button whose text (without '&') is button; its
    // text is kept in texts.
    ModalScript& Press(const QString& button);
    // A file chooser answered with path.
    ModalScript& ChooseFile(const std::string& path);
    std::vector<QString> texts;      // message box texts, in order
    std::vector<QString> unexpected; // dialogs nobody scripted
    bool Done() const { return m_steps.empty(); }

private:
    void Poll();
    std::deque<Step> m_steps;
    QWidget* m_last = nullptr;
    QTimer* m_timer;
};

// A settings or database file's text with its line ends as LF.
std::string Lines(const std::string& path);

// Clicks the button of box whose text without '&' is text.
void ClickButton(QWidget* dialog, const QString& text);
// Clicks the push button of parent whose object name is name.
void PressNamed(QWidget* parent, const char* name);
// Makes the page of that title current in the dialog's tab widget.
void ShowPage(QWidget* dialog, const QString& title);
// Makes current the item of list whose marker (its user data) or text is name.
void SelectItem(QListWidget* list, const QString& name);

class GuiTest : public ::testing::Test {
protected:
    GuiTest();
    ~GuiTest() override;
    // Starts the program on the scratch sample (or project, when given); no start dialog.
    gui::DesktopApp& Start(const std::string& project = {}, bool startDialog = false);
    gui::MainWindow& Window() { return m_app->Window(); }
    gui::DatabaseWindow* WindowOf(const std::string& title);
    void Trigger(const char* action);
    // Closes the main window as the user does; true when it closed.
    bool CloseProgram();
    std::string SamplePath(const std::string& name) const { return dir.File("sample/" + name); }

    ScratchDir dir;
    std::unique_ptr<gui::DesktopApp> m_app;
};

} // namespace crv::test
