// The Tools menu's corpus commands: Create Word List, Concordance (Ctrl+L) and Text
// Corpora. A run saves the modified databases first when the user wants, and its
// result opens in a browse window with the columns and sort made for it.
#pragma once

#include <QObject>

class QMenu;

namespace crv {
struct CCorpusCommandResult;
}

namespace crv::gui {

class DatabaseWindow;
class MainWindow;

class CorpusCommands : public QObject {
    Q_OBJECT
public:
    // Adds the commands to the Tools menu (made before the Window menu when missing).
    explicit CorpusCommands(MainWindow& main);
    // After any change of the project.
    void Update();

    void CreateWordList();
    void Concordance();
    void TextCorpora();

private:
    // The window on a run's result; null when nothing was opened.
    DatabaseWindow* ShowResult(const CCorpusCommandResult& result);
    // The dialog, the run and its window, shared by the word list and the concordance.
    template <class Logic, class Form, class Run> void RunTool(Run run);

    MainWindow& m_main;
};

} // namespace crv::gui
