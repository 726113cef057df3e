#include "gui/type_properties_dialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/crv_doc.h"
#include "app/doc_manager.h"
#include "app/jump_command.h"
#include "app/project.h"
#include "app/type_options.h"
#include "engine/engine_type_settings.h"
#include "engine/filter.h"
#include "engine/index.h"
#include "export/export_process_set.h"
#include "gui/database_window.h"
#include "gui/export_dialogs_qt.h"
#include "gui/filter_editor_dialog.h"
#include "gui/form_rows.h"
#include "gui/jump_dialogs_qt.h"
#include "gui/main_window.h"
#include "gui/marker_dialogs.h"
#include "gui/process_editor.h"
#include "gui/qt_text.h"
#include "gui/view_dialogs_qt.h"
#include "interlinear/interlinear_proc.h"
#include "record/record.h"
#include "schema/database_type.h"
#include "schema/database_type_set.h"

namespace crv::gui {

namespace {

// A page of a list the sheet shows, with the button that opens its editor.
QWidget* ListPage(QWidget* parent, const QString& about, QListWidget** list, const char* button,
                  const char* name, std::function<void()> fn) {
    auto* page = new QWidget(parent);
    auto* layout = new QVBoxLayout(page);
    auto* label = new QLabel(about, page);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    if (list) {
        *list = new QListWidget(page);
        row->addWidget(*list, 1);
    }
    auto* buttons = new QVBoxLayout;
    AddButton(buttons, page, button, name, std::move(fn));
    buttons->addStretch();
    row->addLayout(buttons);
    if (!list)
        row->insertStretch(0, 1);
    layout->addLayout(row, 1);
    return page;
}

} // namespace

void RedrawWindowsOf(CProject& project, const CDatabaseType& type) {
    for (CCrvDoc* doc : project.Documents().Documents())
        if (doc->IsOpen() && &doc->Type() == &type)
            doc->UpdateAllViews(CRecordHint(RecordHintOp::Redraw));
}

// ---------------------------------------------------------------- the sheet

TypePropertiesDialog::TypePropertiesDialog(CDatabaseType& type, CProject& project, bool isNew,
                                           std::function<const CIndex*()> base,
                                           std::function<const CRecord*()> current, QWidget* parent)
    : QDialog(parent), m_type(type), m_project(project), m_new(isNew),
      m_current(std::move(current)) {
    setObjectName("typeProperties");
    setWindowTitle(Q("Database Type Properties - " + type.Name()));
    m_tabs = new QTabWidget(this);
    m_tabs->addTab(OptionsPage(), "Options");
    m_markers = new MarkerListPage(type, &project.Documents(), [this] {
        FillMarkerChoices();
        Committed();
    });
    m_tabs->addTab(m_markers, "Markers");
    if (CFilterSet* filters = FilterSetOf(type)) {
        m_filters = new FilterListPage(*filters, std::move(base), [this] { Committed(); });
        m_tabs->addTab(m_filters, "Filters");
    }
    if (JumpPathOf(type))
        m_tabs->addTab(JumpPathPage(), "Jump Path");
    if (InterlinearProcsOf(type))
        m_tabs->addTab(ProcessesPage(), "Interlinear");
    if (ExportSetOf(type))
        m_tabs->addTab(ExportPage(), "Export");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(OkCancelButtons(this));
    resize(640, 500);
}

QWidget* TypePropertiesDialog::OptionsPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    auto* name = new QLineEdit(Q(m_type.Name()), page);
    name->setReadOnly(true);
    AddRow(form, page, "Type &Name:", name);
    m_description = new QPlainTextEdit(SettingsText(m_type.Description()), page);
    m_description->setObjectName("typeDescription");
    m_description->setTabChangesFocus(true);
    m_description->setFixedHeight(m_description->fontMetrics().lineSpacing() * 3 + 12);
    AddRow(form, page, "&Description:", m_description);
    auto* record =
        new QLineEdit(m_type.RecordMarker() ? Q("\\" + m_type.RecordMarker()->Name()) : "", page);
    record->setReadOnly(true);
    AddRow(form, page, "&Record Marker:", record);
    m_dateStamp = new QComboBox(page);
    m_dateStamp->setObjectName("typeDateStamp");
    AddRow(form, page, "Date &Stamp Marker:", m_dateStamp);
    m_multipleMatch = new QComboBox(page);
    m_multipleMatch->setObjectName("typeMultipleMatch");
    AddRow(form, page, "&Multiple matches show:", m_multipleMatch);
    FillMarkerChoices();
    const CTypeOptions options = TypeOptionsOf(m_type);
    m_dateStamp->setCurrentText(Q(options.dateStamp.empty() ? kNoMarkerChoice : options.dateStamp));
    m_multipleMatch->setCurrentText(
        Q(options.multipleMatch.empty() ? kNoMarkerChoice : options.multipleMatch));
    m_interlinWidth = new QSpinBox(page);
    m_interlinWidth->setObjectName("typeInterlinWidth");
    m_interlinWidth->setRange(1, kMaxInterlinCharWidth);
    m_interlinWidth->setValue(options.interlinCharWidth);
    m_interlinWidth->setSuffix(" pixels");
    AddRow(form, page, "&Interlinear character width:", m_interlinWidth);
    m_template = new QPlainTextEdit(SettingsText(options.recordTemplate), page);
    m_template->setObjectName("typeTemplate");
    m_template->setTabChangesFocus(true);
    m_templateLike = options.recordTemplate;
    AddRow(form, page, "Record &template:", m_template);
    auto* fromRecord = new QPushButton("Set to the c&urrent record", page);
    fromRecord->setObjectName("typeTemplateFromRecord");
    fromRecord->setAutoDefault(false);
    auto* contents = new QCheckBox("&Include field contents", page);
    contents->setObjectName("typeTemplateContents");
    const bool hasRecord = m_current && m_current();
    fromRecord->setEnabled(hasRecord);
    contents->setEnabled(hasRecord);
    connect(fromRecord, &QPushButton::clicked, this, [this, contents] {
        const CRecord* r = m_current ? m_current() : nullptr;
        if (!r || platform().Ask("The record template will be set to the\nfields contained in "
                                 "the current record.",
                                 Buttons::OkCancel) != Answer::Ok)
            return;
        m_templateLike = TemplateFromRecord(*r, contents->isChecked());
        m_template->setPlainText(SettingsText(m_templateLike));
    });
    auto* templateRow = new QHBoxLayout;
    templateRow->addWidget(fromRecord);
    templateRow->addWidget(contents);
    templateRow->addStretch();
    form->addRow("", templateRow);
    m_polylex = new QCheckBox("&Polylex Formatter", page);
    m_polylex->setObjectName("typePolylex");
    m_polylex->setChecked(options.polylex);
    m_polylex->setEnabled(ExportSetOf(m_type) != nullptr);
    form->addRow(m_polylex);
    return page;
}

void TypePropertiesDialog::FillMarkerChoices() {
    for (QComboBox* box : {m_dateStamp, m_multipleMatch}) {
        QString current = box->currentText();
        box->clear();
        for (const std::string& c : MarkerChoices(m_type))
            box->addItem(Q(c));
        if (!current.isEmpty())
            box->setCurrentText(current);
    }
}

QWidget* TypePropertiesDialog::JumpPathPage() {
    return ListPage(this,
                    "The databases that a jump from a record of this type searches, in "
                    "order, and the field each is searched by.",
                    nullptr, "Edit &Jump Path...", "typeJumpPathEdit", [this] {
                        CJumpPath* path = JumpPathOf(m_type);
                        CDocDatabases dbs(m_project.Documents());
                        JumpPathDialog dialog(path->Refs(), path->Base(), dbs, &m_project.Options(),
                                              this);
                        if (dialog.exec() != QDialog::Accepted || !dialog.Apply(path->Refs()))
                            return;
                        path->SetModified(true);
                        Committed();
                    });
}

QWidget* TypePropertiesDialog::ProcessesPage() {
    QWidget* page = ListPage(this,
                             "The interlinear processes that Interlinearize runs on a text "
                             "line of this type, in order.",
                             &m_processes, "&Edit Processes...", "typeProcessesEdit", [this] {
                                 CInterlinearProcList* procs = InterlinearProcsOf(m_type);
                                 ProcessEditorDialog dialog(*procs, &m_project.Documents(), this);
                                 dialog.setObjectName("processEditor");
                                 if (dialog.exec() != QDialog::Accepted || !dialog.Apply(*procs))
                                     return;
                                 m_processes->clear();
                                 for (const CInterlinearProc& p : *procs)
                                     m_processes->addItem(ProcessRow(p));
                                 Committed();
                             });
    m_processes->setObjectName("typeProcesses");
    for (const CInterlinearProc& p : *InterlinearProcsOf(m_type))
        m_processes->addItem(ProcessRow(p));
    return page;
}

QWidget* TypePropertiesDialog::ExportPage() {
    QWidget* page =
        ListPage(this, "The export processes of this type (File > Export runs them).", &m_exports,
                 "&Properties...", "typeExportEdit", [this] {
                     CExportProcessSet* set = ExportSetOf(m_type);
                     QListWidgetItem* item = m_exports->currentItem();
                     CExportProcess* process = item ? set->Find(S(item->text())) : nullptr;
                     if (!process)
                         return;
                     ExportProcessDialogQt dialog(*process, m_project.SettingsFolder(), this);
                     if (dialog.exec() != QDialog::Accepted)
                         return;
                     set->Touch();
                     m_exports->clear();
                     for (const CExportProcess& p : set->Processes())
                         m_exports->addItem(Q(p.Name()));
                     Committed();
                 });
    m_exports->setObjectName("typeExports");
    for (const CExportProcess& p : ExportSetOf(m_type)->Processes())
        m_exports->addItem(Q(p.Name()));
    m_exports->setCurrentRow(0);
    return page;
}

void TypePropertiesDialog::Committed() {
    if (!m_new)
        m_project.Types().Write(m_type);
    RedrawWindowsOf(m_project, m_type);
}

void TypePropertiesDialog::accept() {
    const CTypeOptions old = TypeOptionsOf(m_type);
    CTypeOptions o;
    if (!SettingsBytes(m_description->toPlainText(), old.description, o.description) ||
        !SettingsBytes(m_template->toPlainText(), m_templateLike, o.recordTemplate))
        return;
    o.dateStamp = S(m_dateStamp->currentText());
    o.multipleMatch = S(m_multipleMatch->currentText());
    o.interlinCharWidth = m_interlinWidth->value();
    o.polylex = m_polylex->isChecked();
    if (old != o) {
        if (!ApplyTypeOptions(m_type, o, &m_project.Documents()))
            return;
        Committed();
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- new type

NewTypeDialog::NewTypeDialog(CProject& project, QWidget* parent)
    : QDialog(parent), m_project(project) {
    setObjectName("newType");
    setWindowTitle("New Database Type");
    auto* form = new QFormLayout;
    m_name = new QLineEdit(this);
    m_name->setObjectName("newTypeName");
    AddRow(form, this, "&Name:", m_name);
    m_record = new QLineEdit(this);
    m_record->setObjectName("newTypeRecordMarker");
    AddRow(form, this, "&Record Marker:", m_record);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(OkCancelButtons(this));
    setMinimumWidth(360);
}

void NewTypeDialog::accept() {
    using Field = CDatabaseTypeSet::NewTypeField;
    switch (m_project.Types().CheckNewType(S(m_name->text()), S(m_record->text()))) {
    case Field::None:
        QDialog::accept();
        break;
    case Field::Name:
        m_name->setFocus();
        m_name->selectAll();
        break;
    case Field::RecordMarker:
        m_record->setFocus();
        m_record->selectAll();
        break;
    }
}

// ---------------------------------------------------------------- commands

TypeCommands::TypeCommands(MainWindow& main, QMenu* project, QMenu* database)
    : QObject(&main), m_main(main) {
    auto* list = new QAction("Database &Types...", &main);
    list->setObjectName("typeList");
    list->setStatusTip("Add, copy, delete or change the project's database types");
    connect(list, &QAction::triggered, this, [this] { TypeList(); });
    project->addAction(list);
    auto* props = new QAction("Database Type &Properties...", &main);
    props->setObjectName("typeProperties");
    props->setStatusTip("Change the markers, filters and options of this database's type");
    connect(props, &QAction::triggered, this, [this] { ActiveTypeProperties(); });
    database->addSeparator();
    database->addAction(props);
    // A marker added from a record window (a backslash and a new name) is written too.
    main.m_viewDialogs->added = [this](CMarkerSet& markers) {
        if (CProject* p = Project())
            for (const CDatabaseTypeProxy& proxy : p->Types().Proxies())
                if (CDatabaseType* t = proxy.IsLoaded() ? p->Types().Find(proxy.Name()) : nullptr;
                    t && &t->MarkerSet() == &markers)
                    p->Types().Write(*t);
    };
    auto enable = [this, list, props] {
        list->setEnabled(Project() != nullptr);
        DatabaseWindow* w = m_main.ActiveWindow();
        props->setEnabled(Project() && w && w->HasDocument() && w->Document().IsOpen());
    };
    connect(project, &QMenu::aboutToShow, this, enable);
    connect(database, &QMenu::aboutToShow, this, enable);
}

CProject* TypeCommands::Project() const { return m_main.Project(); }

const CIndex* TypeCommands::ActiveIndexOf(const CDatabaseType& type) const {
    DatabaseWindow* w = m_main.ActiveWindow();
    if (!w || !w->HasDocument() || !w->Document().IsOpen() || &w->Document().Type() != &type)
        return nullptr;
    CIndex& index = w->Index();
    return index.Base() ? index.Base() : &index;
}

bool TypeCommands::Properties(CDatabaseType& type, QWidget* parent) {
    CProject* p = Project();
    if (!p)
        return false;
    TypePropertiesDialog sheet(
        type, *p, false, [this, &type] { return ActiveIndexOf(type); },
        [this, &type]() -> const CRecord* {
            const CIndex* index = ActiveIndexOf(type);
            DatabaseWindow* w = index ? m_main.ActiveWindow() : nullptr;
            return w ? w->RecordView().Record() : nullptr;
        },
        parent);
    bool ok = sheet.exec() == QDialog::Accepted;
    m_main.UpdateCommands();
    return ok;
}

void TypeCommands::ActiveTypeProperties() {
    DatabaseWindow* w = m_main.ActiveWindow();
    if (!w || !w->HasDocument() || !w->Document().IsOpen() || !Project()) {
        QApplication::beep();
        return;
    }
    // The record being edited is checked and stored before its markers may change.
    if (!w->RecordView().LeaveRecord())
        return;
    Properties(w->Document().Type(), &m_main);
}

CDatabaseType* TypeCommands::NewType(QWidget* parent) {
    CProject* p = Project();
    if (!p)
        return nullptr;
    NewTypeDialog dialog(*p, parent);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return p->Types().Add(S(dialog.Name()->text()), S(dialog.RecordMarker()->text()),
                          [p, parent](CDatabaseType& type) {
                              TypePropertiesDialog sheet(type, *p, true, {}, {}, parent);
                              return sheet.exec() == QDialog::Accepted;
                          });
}

void TypeCommands::TypeList() {
    CProject* p = Project();
    if (!p)
        return;
    QDialog dialog(&m_main);
    dialog.setObjectName("typeListDialog");
    dialog.setWindowTitle("Database Types");
    auto* layout = new QHBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName("typeListBox");
    auto refill = [p, list](const QString& select) {
        list->clear();
        for (const CDatabaseTypeProxy& proxy : p->Types().Proxies()) {
            auto* item = new QListWidgetItem(Q(proxy.Name()), list);
            if (item->text() == select)
                list->setCurrentItem(item);
        }
        if (!list->currentItem() && list->count() > 0)
            list->setCurrentRow(0);
    };
    refill({});
    auto selected = [p, list]() -> CDatabaseType* {
        QListWidgetItem* item = list->currentItem();
        return item ? p->Types().Find(S(item->text())) : nullptr;
    };
    layout->addWidget(list, 1);
    auto* buttons = new QVBoxLayout;
    AddButton(buttons, &dialog, "&New...", "typeNew", [&, this] {
        if (CDatabaseType* t = NewType(&dialog))
            refill(Q(t->Name()));
    });
    AddButton(buttons, &dialog, "&Copy...", "typeCopy", [&] {
        CDatabaseType* source = selected();
        if (!source)
            return;
        bool ok = false;
        QString name = QInputDialog::getText(&dialog, "Copy Database Type",
                                             "&Name of the copy:", QLineEdit::Normal,
                                             Q("Copy of " + source->Name()), &ok);
        if (!ok)
            return;
        if (CDatabaseType* copy = p->Types().Copy(*source, S(name)))
            refill(Q(copy->Name()));
    });
    AddButton(buttons, &dialog, "&Delete", "typeDelete", [&] {
        QListWidgetItem* item = list->currentItem();
        CDatabaseTypeProxy* proxy = item ? p->Types().FindProxy(S(item->text())) : nullptr;
        if (proxy && p->Types().Delete(proxy))
            refill({});
    });
    AddButton(buttons, &dialog, "&Properties...", "typeModify", [&, this] {
        if (CDatabaseType* t = selected())
            Properties(*t, &dialog);
    });
    buttons->addStretch();
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(close, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    connect(list, &QListWidget::itemDoubleClicked, &dialog, [&, this] {
        if (CDatabaseType* t = selected())
            Properties(*t, &dialog);
    });
    dialog.resize(440, 300);
    dialog.exec();
    m_main.UpdateCommands();
}

} // namespace crv::gui
