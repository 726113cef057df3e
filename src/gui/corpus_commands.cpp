#include "gui/corpus_commands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "app/corpus_command.h"
#include "app/project.h"
#include "base/platform.h"
#include "corpus/corpus_dialogs.h"
#include "gui/corpus_dialogs_qt.h"
#include "gui/database_window.h"
#include "gui/main_window.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"

namespace crv::gui {

namespace {

QMenu* ToolsMenu(MainWindow& main, QMenu* before) {
    for (QAction* a : main.menuBar()->actions())
        if (a->menu() && a->menu()->objectName() == "toolsMenu")
            return a->menu();
    auto* tools = new QMenu("&Tools", &main);
    tools->setObjectName("toolsMenu");
    main.menuBar()->insertMenu(before ? before->menuAction() : nullptr, tools);
    return tools;
}

std::vector<std::string> LangEncNames(CProject& project) {
    std::vector<std::string> names;
    for (const CLangEncProxy& proxy : project.LangEncs().Proxies())
        names.push_back(proxy.Name());
    return names;
}

} // namespace

CorpusCommands::CorpusCommands(MainWindow& main) : QObject(&main), m_main(main) {
    QMenu* tools = ToolsMenu(main, main.m_windowMenu);
    main.AddAction(tools, "toolsWordList", "Create &Word List...",
                   "Generates a word list from a body of text\nCreate Word List",
                   [this] { CreateWordList(); });
    main.AddAction(
        tools, "toolsConcordance", "&Concordance...",
        "Performs a concordance-style lookup of a word or phrase\nConcordance",
        [this] { Concordance(); }, QKeySequence("Ctrl+L"));
    tools->addSeparator();
    main.AddAction(tools, "toolsCorpora", "Text C&orpora...",
                   "Add, change or remove the text corpora of this project\nText Corpora",
                   [this] { TextCorpora(); });
}

void CorpusCommands::Update() {
    bool project = m_main.Project() != nullptr;
    for (const char* name : {"toolsWordList", "toolsConcordance", "toolsCorpora"})
        m_main.Action(name)->setEnabled(project);
}

DatabaseWindow* CorpusCommands::ShowResult(const CCorpusCommandResult& result) {
    if (!result.doc)
        return nullptr;
    CWindowSettings settings = CWindowSettings::ForNewWindow();
    settings.browse = true;
    for (const CResultColumn& column : result.window.columns) {
        CBrowseColumn c;
        c.marker = column.marker;
        c.width = column.width;
        c.rightJustify = column.rightJustify;
        settings.browseList.columns.push_back(std::move(c));
    }
    settings.index.emplace();
    settings.index->priMarker = result.window.sortMarker;
    return m_main.OpenWindow(*result.doc, settings);
}

template <class Logic, class Form, class Run> void CorpusCommands::RunTool(Run run) {
    CProject* project = m_main.Project();
    // The records being edited count in the results.
    if (!project || !m_main.LeaveRecords(nullptr)) {
        QApplication::beep();
        return;
    }
    Logic logic(project->Corpora());
    Form dialog(logic, &m_main);
    if (dialog.exec() != QDialog::Accepted)
        return;
    CCorpusCommandResult result;
    if (run(*project, logic.corpus, logic.Options(), logic.output, result, true))
        ShowResult(result);
    m_main.UpdateCommands();
}

void CorpusCommands::CreateWordList() {
    RunTool<CWordListDialog, WordListDialogQt>(RunWordListCommand);
}

void CorpusCommands::Concordance() {
    RunTool<CConcordanceDialog, ConcordanceDialogQt>(RunConcordanceCommand);
}

void CorpusCommands::TextCorpora() {
    CProject* project = m_main.Project();
    if (!project) {
        QApplication::beep();
        return;
    }
    CorpusListDialogQt dialog(project->Corpora(), LangEncNames(*project), &m_main);
    dialog.exec();
}

} // namespace crv::gui
