// The main window's jump and interlinear commands: Jump To and Jump Insert from the word
// at the caret, Interlinearize (Alt+I), Adapt (Alt+A), Interlinearize or verify,
// Spell check, and the editors of the active window's type's jump path and interlinear
// processes. The main window's database windows are the jumps' windows.
#pragma once

#include <QObject>
#include <optional>
#include <string>

#include "app/jump_command.h"

class QMenu;

namespace crv {
class CProject;
}

namespace crv::gui {

class DatabaseWindow;
class MainWindow;

class InterlinearCommands : public QObject, public CJumpWindows {
    Q_OBJECT
public:
    // Adds the commands to the Database menu and the jump to the toolbar.
    InterlinearCommands(MainWindow& main, QMenu* database);

    // After any change of the active window or its record.
    void Update();

    // --- CJumpWindows
    std::vector<CJumpWindow*> WindowsOf(CCrvDoc& doc) override;
    CJumpWindow* OpenWindow(CCrvDoc& doc, CIndex& index, const CIndexPos& pos) override;

    // --- the commands on the active window
    void Jump(bool insert);
    // A jump insert of word from window (Yes to the lookup-failure question).
    void JumpInsertWord(DatabaseWindow& window, const std::string& word);
    // singleWord: the word (or phrase) at the caret alone.
    void Interlinearize(bool adapt, bool singleWord = false);
    void Verify();
    void SpellCheck();
    void EditJumpPath();
    void EditProcesses();
    // Before doc closes: the warning when a jump path references it (and the project
    // asks for it); false when the user keeps it open.
    bool ConfirmClose(CCrvDoc& doc);

private:
    DatabaseWindow* Active() const;
    CProject* Project() const;
    void RunJump(DatabaseWindow& window, const std::string& word, bool selection, bool insert,
                 const CLangEnc* lang);
    // Shows a run's result: the caret where the run left it, then a jump insert asked for.
    void AfterRun(DatabaseWindow& window, const CRecPos& caret,
                  const std::optional<std::string>& insert);

    MainWindow& m_main;
};

// A place in a record as the caret of window's view (which shows that record).
void SetViewCaret(DatabaseWindow& window, const CRecPos& pos, const CRecPos* anchor = nullptr);

} // namespace crv::gui
