#include "gui/interlinear_commands.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QToolBar>
#include <QVBoxLayout>
#include <unordered_set>

#include "app/crv_doc.h"
#include "app/project.h"
#include "engine/engine_type_settings.h"
#include "gui/database_window.h"
#include "gui/form_rows.h"
#include "gui/jump_dialogs_qt.h"
#include "gui/main_window.h"
#include "gui/process_editor.h"
#include "gui/qt_text.h"
#include "record/record.h"
#include "schema/database_type.h"
#include "schema/database_type_set.h"
#include "schema/marker.h"

namespace crv::gui {

namespace {

CInterlinearProcList* ProcsOf(DatabaseWindow* w) {
    if (!w || !w->HasDocument() || !w->Document().IsOpen())
        return nullptr;
    CInterlinearProcList* procs = InterlinearProcsOf(w->Document().Type());
    return procs && !procs->IsEmpty() ? procs : nullptr;
}

// The runs' questions as the desktop program asks them: the ambiguity chooser where it
// was last closed, and the failed word selected before the lookup-failure question.
class QtInterlinearHost : public CAppInterlinearHost {
public:
    QtInterlinearHost(CDocDatabases& dbs, DatabaseWindow& window)
        : CAppInterlinearHost(dbs, window.Document()), m_window(&window) {}

    std::optional<std::size_t> ChooseAmbiguity(const std::vector<std::string>& results) override {
        ShowRun();
        static std::optional<QPoint> lastPlace;
        QDialog dialog(m_window);
        dialog.setWindowTitle("Ambiguity Selection");
        auto* layout = new QVBoxLayout(&dialog);
        auto* list = new QListWidget(&dialog);
        list->setObjectName("ambiguityList");
        for (const std::string& r : results)
            list->addItem(FieldText(r));
        list->setCurrentRow(0);
        layout->addWidget(list);
        auto* box = OkCancelButtons(&dialog);
        QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
        layout->addWidget(box);
        if (lastPlace)
            dialog.move(*lastPlace);
        const bool ok = dialog.exec() == QDialog::Accepted;
        lastPlace = dialog.pos();
        if (!ok || list->currentRow() < 0)
            return std::nullopt;
        return static_cast<std::size_t>(list->currentRow());
    }

    Answer AskInsertOnFailure(const std::string& word, const CRecPos& start,
                              const CRecPos& end) override {
        ShowRun();
        SetViewCaret(*m_window, end, &start);
        return CAppInterlinearHost::AskInsertOnFailure(word, start, end);
    }

private:
    // What the run wrote so far is drawn while the user answers.
    void ShowRun() {
        CRecordView& view = m_window->RecordView();
        view.OnUpdate(m_window->Document(), CRecordHint{RecordHintOp::Changed, view.Record()},
                      nullptr);
    }

    DatabaseWindow* m_window;
};

} // namespace

void SetViewCaret(DatabaseWindow& window, const CRecPos& pos, const CRecPos* anchor) {
    CRecordView& view = window.RecordView();
    CRecord* record = view.Record();
    if (!record || pos.Record() != record)
        return;
    auto caretOf = [record](const CRecPos& p) {
        int i = 0;
        for (const CField& f : *record) {
            if (&f == p.Field())
                return CViewCaret{i, static_cast<std::size_t>(p.Offset())};
            ++i;
        }
        return CViewCaret{};
    };
    if (anchor && anchor->Record() == record)
        view.SetCaret(caretOf(*anchor));
    view.SetCaret(caretOf(pos), anchor != nullptr);
}

InterlinearCommands::InterlinearCommands(MainWindow& main, QMenu* database)
    : QObject(&main), m_main(main) {
    database->addSeparator();
    QAction* jump = main.AddAction(
        database, "jumpTo", "&Jump To...", "Jump to record of current word\nJump To",
        [this] { Jump(false); }, QKeySequence("Ctrl+J"));
    jump->setIcon(QIcon::fromTheme("go-jump", main.style()->standardIcon(QStyle::SP_ArrowRight)));
    main.AddAction(
        database, "jumpInsert", "Jump I&nsert...",
        "Jump to record of current word; insert if it doesn't exist\nJump Insert",
        [this] { Jump(true); }, QKeySequence("Ctrl+Shift+J"));
    main.m_toolBar->addAction(jump);
    database->addSeparator();
    main.AddAction(
        database, "interlinearize", "&Interlinearize",
        "Interlinearize current paragraph\nInterlinearize", [this] { Interlinearize(false); },
        QKeySequence("Alt+I"));
    main.AddAction(
        database, "interlinearAdapt", "&Adapt",
        "Adapt current paragraph with the adaptation processes\nAdapt",
        [this] { Interlinearize(true); }, QKeySequence("Alt+A"));
    main.AddAction(database, "interlinearWord", "Interlinearize a Single &Word",
                   "Interlinearize a single word or phrase\nInterlinearize Word",
                   [this] { Interlinearize(false, true); });
    main.AddAction(database, "interlinearVerify", "Interlinearize or &Verify Text",
                   "Interlinearize or verify interlinear text\nVerify", [this] { Verify(); });
    main.AddAction(database, "interlinearSpellCheck", "Spe&ll Check",
                   "Spell check using parse from interlinearize\nSpell Check",
                   [this] { SpellCheck(); });
    database->addSeparator();
    main.AddAction(database, "typeJumpPath", "Jump &Path...",
                   "Choose the databases a jump searches from this type's records\nJump Path",
                   [this] { EditJumpPath(); });
    main.AddAction(database, "typeInterlinearProcesses", "Interlinear Pr&ocesses...",
                   "Add, modify or delete the interlinear processes of this type\n"
                   "Interlinear Processes",
                   [this] { EditProcesses(); });
}

DatabaseWindow* InterlinearCommands::Active() const {
    DatabaseWindow* w = m_main.ActiveWindow();
    return w && w->HasDocument() ? w : nullptr;
}

CProject* InterlinearCommands::Project() const { return m_main.Project(); }

void InterlinearCommands::Update() {
    DatabaseWindow* w = Active();
    const bool record = w && Project();
    for (const char* name : {"jumpTo", "jumpInsert", "typeJumpPath"})
        m_main.Action(name)->setEnabled(record);
    m_main.Action("typeJumpPath")
        ->setEnabled(record && w->Document().IsOpen() && JumpPathOf(w->Document().Type()));
    const bool procs = record && ProcsOf(w) != nullptr;
    for (const char* name : {"interlinearize", "interlinearAdapt", "interlinearWord",
                             "interlinearVerify", "interlinearSpellCheck"})
        m_main.Action(name)->setEnabled(procs && !w->IsBrowse());
    m_main.Action("typeInterlinearProcesses")
        ->setEnabled(record && w->Document().IsOpen() &&
                     InterlinearProcsOf(w->Document().Type()) != nullptr);
}

// ---------------------------------------------------------------- windows

std::vector<CJumpWindow*> InterlinearCommands::WindowsOf(CCrvDoc& doc) {
    std::vector<CJumpWindow*> out;
    for (DatabaseWindow* w : m_main.Windows())
        if (w->HasDocument() && &w->Document() == &doc)
            out.push_back(w);
    return out;
}

CJumpWindow* InterlinearCommands::OpenWindow(CCrvDoc& doc, CIndex& index, const CIndexPos& pos) {
    bool hasTarget = false;
    for (CJumpWindow* w : WindowsOf(doc))
        hasTarget |= w->IsJumpTarget();
    DatabaseWindow* window = m_main.OpenWindow(doc);
    window->RecordView().SetIndexes(CWindowIndexes{&index, &index});
    window->MoveTo(pos);
    // The next jump to this database comes back here instead of opening yet another.
    if (!hasTarget)
        window->RecordView().MakeJumpTarget();
    return window;
}

// ---------------------------------------------------------------- jumps

void InterlinearCommands::Jump(bool insert) {
    DatabaseWindow* w = Active();
    if (!w || !Project()) {
        QApplication::beep();
        return;
    }
    CRecordView& view = w->RecordView();
    std::string word;
    bool selection = false;
    const CLangEnc* lang = nullptr;
    if (!w->IsBrowse() && view.Record()) {
        CField* field = view.CaretField();
        if (field)
            lang = field->Marker()->LangEnc();
        if (view.HasSelection()) {
            selection = true;
            auto [a, b] = view.Selection();
            if (field && a.field == b.field)
                word = JumpWordOfSelection(
                    std::string_view(field->Text()).substr(a.offset, b.offset - a.offset));
        } else if (field) {
            word = JumpWordAt(field->Text(), view.Caret().offset, lang);
        }
    }
    RunJump(*w, word, selection, insert, lang);
}

void InterlinearCommands::JumpInsertWord(DatabaseWindow& window, const std::string& word) {
    RunJump(window, word, true, true, nullptr);
}

void InterlinearCommands::RunJump(DatabaseWindow& window, const std::string& word, bool selection,
                                  bool insert, const CLangEnc* lang) {
    CProject* p = Project();
    CDocDatabases dbs(p->Documents());
    CRecordView& view = window.RecordView();
    QtJumpDialogs dialogs(&m_main, &p->LangEncs(), lang, [this] { EditJumpPath(); });
    dialogs.SetMatchView(&dbs, &p->Options(), &p->Types());
    RunJumpCommand(window, dbs, *this, insert ? view.JumpInsertKey() : view.JumpKey(), word,
                   selection, insert, dialogs, p->Options().showWholePath);
    m_main.UpdateCommands();
}

// ---------------------------------------------------------------- interlinearizing

void InterlinearCommands::AfterRun(DatabaseWindow& window, const CRecPos& caret,
                                   const std::optional<std::string>& insert) {
    SetViewCaret(window, caret);
    m_main.UpdateCommands();
    if (insert)
        JumpInsertWord(window, *insert);
}

void InterlinearCommands::Interlinearize(bool adapt, bool singleWord) {
    DatabaseWindow* w = Active();
    if (!ProcsOf(w) || w->IsBrowse() || !w->RecordView().Record() || !Project()) {
        QApplication::beep();
        return;
    }
    CRecordView& view = w->RecordView();
    CRecPos pos(view.Record(), view.CaretField(), static_cast<int>(view.Caret().offset));
    CDocDatabases dbs(Project()->Documents());
    QtInterlinearHost host(dbs, *w);
    InterlinearizeResult r = InterlinearizeCommand(*w, pos, adapt, host, singleWord);
    if (!r.ran && !host.pendingInsert) {
        // The caret is in no text line or bundle.
        QApplication::beep();
        return;
    }
    AfterRun(*w, r.caret, host.pendingInsert);
}

void InterlinearCommands::Verify() {
    DatabaseWindow* w = Active();
    CInterlinearProcList* procs = ProcsOf(w);
    if (!procs || w->IsBrowse() || !w->RecordView().Record() || !Project() ||
        w->Document().IsReadOnly()) {
        QApplication::beep();
        return;
    }
    CRecordView& view = w->RecordView();
    CRecord* record = view.Record();
    CRecPos caret(record, view.CaretField(), static_cast<int>(view.Caret().offset));
    CDocDatabases dbs(Project()->Documents());
    QtInterlinearHost host(dbs, *w);
    // Every bundle of the record: lines not yet interlinearized are filled, bundles
    // whose lower lines end early are completed; finished ones stay as they are.
    InterlinearizeResult r = InterlinearizeRecord(*procs, *record, false, host);
    if (r.ran)
        w->Document().RecordChanged(record, false, nullptr);
    AfterRun(*w, caret, host.pendingInsert);
}

void InterlinearCommands::SpellCheck() {
    DatabaseWindow* w = Active();
    CInterlinearProcList* procs = ProcsOf(w);
    if (!procs || w->IsBrowse() || !w->RecordView().Record() || !Project()) {
        QApplication::beep();
        return;
    }
    CRecordView& view = w->RecordView();
    // The records in the window's order, each once, from the current one on.
    std::vector<CRecord*> records;
    std::unordered_set<CRecord*> seen;
    std::size_t at = 0;
    CIndex& index = w->Index();
    for (CIndexPos p = index.First(); p.IsValid(); p = index.Next(p))
        if (seen.insert(p.Record()).second) {
            if (p.Record() == view.Record())
                at = records.size();
            records.push_back(p.Record());
        }
    CRecPos pos(view.Record(), view.CaretField(), static_cast<int>(view.Caret().offset));
    CDocDatabases dbs(Project()->Documents());
    QtInterlinearHost host(dbs, *w);
    std::optional<SpellCheckHit> hit = crv::SpellCheck(*procs, records, at, pos, host);
    if (!hit)
        return;
    if (hit->start.Record() != view.Record()) {
        if (!view.LeaveRecord())
            return;
        w->MoveTo(index.FindRecord(hit->start.Record()));
    }
    SetViewCaret(*w, hit->end, &hit->start);
    m_main.UpdateCommands();
}

bool InterlinearCommands::ConfirmClose(CCrvDoc& doc) {
    CProject* p = Project();
    if (!p)
        return true;
    CDocDatabases dbs(p->Documents());
    return ConfirmCloseReferenced(dbs, p->Types(), doc, p->Options().warnDocClose);
}

// ---------------------------------------------------------------- editors

void InterlinearCommands::EditJumpPath() {
    DatabaseWindow* w = Active();
    CProject* p = Project();
    CJumpPath* path = w && p && w->Document().IsOpen() ? JumpPathOf(w->Document().Type()) : nullptr;
    if (!path) {
        QApplication::beep();
        return;
    }
    CDocDatabases dbs(p->Documents());
    JumpPathDialog dialog(path->Refs(), path->Base(), dbs, &p->Options(), &m_main);
    if (dialog.exec() != QDialog::Accepted || !dialog.Apply(path->Refs()))
        return;
    path->SetModified(true);
    p->Types().Write(w->Document().Type());
}

void InterlinearCommands::EditProcesses() {
    DatabaseWindow* w = Active();
    CProject* p = Project();
    CInterlinearProcList* procs =
        w && p && w->Document().IsOpen() ? InterlinearProcsOf(w->Document().Type()) : nullptr;
    if (!procs) {
        QApplication::beep();
        return;
    }
    ProcessEditorDialog dialog(*procs, &p->Documents(), &m_main);
    dialog.setObjectName("processEditor");
    if (dialog.exec() != QDialog::Accepted || !dialog.Apply(*procs))
        return;
    p->Types().Write(w->Document().Type());
    m_main.UpdateCommands();
}

} // namespace crv::gui
