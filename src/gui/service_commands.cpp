#include "gui/service_commands.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolBar>
#include <map>
#include <unordered_set>

#include "app/batch_file.h"
#include "app/crv_app.h"
#include "app/crv_doc.h"
#include "app/project.h"
#include "app/sound_field.h"
#include "base/message_text.h"
#include "base/note.h"
#include "engine/index.h"
#include "gui/batch_runner.h"
#include "gui/database_window.h"
#include "gui/help_window.h"
#include "gui/language_bar.h"
#include "gui/main_window.h"
#include "gui/qt_text.h"
#include "gui/record_printer.h"
#include "gui/sound_player.h"
#include "record/date_text.h"
#include "record/record.h"
#include "schema/database_type.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"

namespace crv::gui {

namespace {

DatabaseWindow* ActiveWithDocument(MainWindow& main) {
    DatabaseWindow* w = main.ActiveWindow();
    return w && w->HasDocument() ? w : nullptr;
}

} // namespace

ServiceCommands::ServiceCommands(MainWindow& main, QMenu* file, QMenu* database, QMenu* view,
                                 QMenu* help)
    : QObject(&main), m_main(main) {
    QAction* exit = main.Action("fileExit");
    QAction* preview =
        main.AddAction(file, "filePrintPreview", "Print Pre&view...",
                       "Show how the records will print\nPrint Preview", [this] { Print(true); });
    QAction* print = main.AddAction(
        file, "filePrint", "&Print...", "Print the current record or the window's records\nPrint",
        [this] { Print(false); }, QKeySequence::Print);
    print->setIcon(QIcon::fromTheme("document-print"));
    preview->setIcon(QIcon::fromTheme("document-print-preview"));
    QAction* batch =
        main.AddAction(file, "fileRunBatch", "Run &Batch File...",
                       "Run a batch file (a shell script) over the project's files\nRun Batch File",
                       [this] { RunBatchFile(); });
    file->insertAction(exit, preview);
    file->insertAction(exit, print);
    file->insertSeparator(exit);
    file->insertAction(exit, batch);
    file->insertSeparator(exit);
    // On the toolbar after Save.
    const QList<QAction*> tools = main.m_toolBar->actions();
    main.m_toolBar->insertAction(tools.value(3), print);

    database->addSeparator();
    main.AddAction(
        database, "recordPlaySound", "Play &Sound",
        "Play the sound file named in the current field or the record\nPlay Sound",
        [this] { PlaySound(); }, QKeySequence("Ctrl+Shift+P"));

    QAction* about = main.Action("helpAbout");
    QAction* guide = main.AddAction(
        help, "helpUserGuide", "&User Guide", "Open the user guide of Corvane\nUser Guide",
        [this] { ShowUserGuide(&m_main); }, QKeySequence::HelpContents);
    help->insertAction(about, guide);
    help->insertSeparator(about);

    m_bar = new LanguageBar(&main);
    m_bar->setMovable(false);
    main.addToolBar(m_bar);
    QAction* toggle = m_bar->toggleViewAction();
    toggle->setText("&Language Encoding Bar");
    toggle->setObjectName("viewLanguageBar");
    toggle->setStatusTip("Show or hide the language encoding bar");
    view->addAction(toggle);
    connect(m_bar, &LanguageBar::LanguageChosen, this, &ServiceCommands::ChangeFieldLanguage);
}

ServiceCommands::~ServiceCommands() = default;

void ServiceCommands::Update() {
    DatabaseWindow* w = ActiveWithDocument(m_main);
    for (const char* name : {"filePrint", "filePrintPreview", "recordPlaySound"})
        m_main.Action(name)->setEnabled(w != nullptr);
    CProject* project = m_main.Project();
    if (project != m_barProject) {
        m_barProject = project;
        m_bar->SetLanguages(project ? &project->LangEncs() : nullptr,
                            project ? project->Options().langCtrlHeight
                                    : CProjectOptions::kMinLangCtrlHeight);
    }
    CField* field = w ? CurrentField(*w) : nullptr;
    const CLangEnc* lang = nullptr;
    if (field) {
        lang = field->Marker()->LangEnc();
        if (!lang && project)
            lang = project->LangEncs().Default();
    }
    m_bar->SetCurrentField(lang);
}

CField* ServiceCommands::CurrentField(DatabaseWindow& window) {
    if (!window.IsBrowse())
        if (CField* field = window.RecordView().CaretField())
            return field;
    CIndexPos pos = window.Current();
    if (!pos.IsValid())
        return nullptr;
    return pos.Field() ? pos.Field() : pos.Record()->GetFirst();
}

std::vector<const CRecord*> ServiceCommands::RecordsToPrint(DatabaseWindow& window, bool all) {
    std::vector<const CRecord*> records;
    if (!all) {
        if (CRecord* r = window.Current().Record())
            records.push_back(r);
        return records;
    }
    // A record the index holds under several keys prints once, at its first place.
    CIndex& index = window.Index();
    std::unordered_set<const CRecord*> seen;
    for (std::size_t i = 0; i < index.Count(); ++i)
        if (const CIndexEntry* e = index.EntryAt(i); e && seen.insert(e->Record()).second)
            records.push_back(e->Record());
    return records;
}

RecordPrinter ServiceCommands::PrinterFor(DatabaseWindow& window, bool all) {
    CCrvDoc& doc = window.Document();
    std::string fileName =
        doc.Path().empty() ? doc.Title() : S(QFileInfo(Q(doc.Path())).fileName());
    return RecordPrinter(RecordsToPrint(window, all), doc.Type().PrintProperties(), fileName,
                         TodayText(), window.RecordView().LabelFont());
}

std::optional<bool> ServiceCommands::AskAllRecords(DatabaseWindow& window) {
    const CPrintProperties& props = window.Document().Type().PrintProperties();
    std::size_t count = RecordsToPrint(window, true).size();
    std::vector<std::string> items = {
        "The current record",
        FormatMessage(count == 1 ? "All %1 record of this window" : "All %1 records of this window",
                      {std::to_string(count)})};
    auto chosen =
        platform().ChooseItem("Print which records?", items, props.printCurrentRecord ? 0 : 1);
    if (!chosen)
        return std::nullopt;
    return *chosen == 1;
}

void ServiceCommands::Print(bool preview) {
    DatabaseWindow* w = ActiveWithDocument(m_main);
    if (!w) {
        QApplication::beep();
        return;
    }
    auto all = AskAllRecords(*w);
    if (!all)
        return;
    RecordPrinter job = PrinterFor(*w, *all);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(Q(w->Document().Title()));
    std::string message;
    job.SetUpPage(printer, message);
    if (!message.empty())
        platform().ShowMessage(message);
    if (preview) {
        QPrintPreviewDialog dialog(&printer, &m_main);
        dialog.setObjectName("printPreview");
        dialog.setWindowTitle("Print Preview - " + Q(w->Document().Title()));
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                [&job](QPrinter* p) { job.Print(*p); });
        dialog.resize(m_main.size() * 9 / 10);
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&printer, &m_main);
    dialog.setObjectName("printDialog");
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (job.Print(printer) == 0 && !job.WasCancelled())
        platform().ShowMessage("Printing could not start: the printer or the file it prints to "
                               "cannot be opened.");
}

void ServiceCommands::PlaySound() {
    DatabaseWindow* w = ActiveWithDocument(m_main);
    CRecord* record = w ? w->Current().Record() : nullptr;
    if (!record) {
        QApplication::beep();
        return;
    }
    const CField* field = SoundField(*record, CurrentField(*w));
    if (!field) {
        platform().ShowMessage("This record has no field that names a sound file.");
        return;
    }
    std::string message;
    auto path = SoundFilePath(field->Text(), w->Document().Path(), message);
    if (!path) {
        platform().ShowMessage(message);
        return;
    }
    soundPlayer().Play(Q(*path));
    m_main.statusBar()->showMessage("Playing " + Q(*path), 5000);
}

void ServiceCommands::RunBatchFile(const std::string& script) {
    CProject* project = m_main.Project();
    if (!project)
        return;
    // Typing not yet left counts as a change the save question covers.
    for (CCrvDoc* doc : project->Documents().Documents())
        if (!m_main.LeaveRecords(doc))
            return;
    std::multimap<std::string, CWindowSettings> windows;
    for (DatabaseWindow* w : m_main.Windows())
        if (w->HasDocument())
            windows.emplace(w->Document().Path(), w->RecordView().Settings());
    DatabaseWindow* active = ActiveWithDocument(m_main);
    ShellBatchRunner runner;
    for (CCrvDoc* doc :
         RunBatchFileCommand(*project, active ? &active->Document() : nullptr, runner, script)) {
        auto [first, end] = windows.equal_range(doc->Path());
        if (first == end)
            m_main.OpenWindow(*doc);
        for (; first != end; ++first)
            m_main.OpenWindow(*doc, first->second);
    }
    m_main.UpdateCommands();
}

void ServiceCommands::ChangeFieldLanguage(CLangEnc* lang) {
    DatabaseWindow* w = ActiveWithDocument(m_main);
    CField* field = w ? CurrentField(*w) : nullptr;
    if (!field || !lang)
        return;
    // A field's language is its marker's: the change reaches every field of the marker.
    CMarker* marker = field->Marker();
    CDatabaseType& type = w->Document().Type();
    if (platform().Ask(FormatMessage("Every \\%1 field of the database type %2 will be in the "
                                     "language %3. Change the language of \\%1?",
                                     {marker->Name(), type.Name(), lang->Name()}),
                       Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return;
    CMarkerProperties props = marker->Properties();
    props.langEnc = lang;
    CNote error;
    if (!marker->Owner()->Modify(marker, props, error)) {
        platform().ShowMessage(error.Text());
        return;
    }
    // The fonts of the windows' lists follow the new language.
    for (DatabaseWindow* dw : m_main.Windows())
        if (dw->HasDocument() && &dw->Document().Type() == &type) {
            dw->Model()->Refresh();
            dw->RecordView().FontsChanged();
        }
    Update();
}

} // namespace crv::gui
