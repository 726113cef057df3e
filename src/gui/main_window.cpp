#include "gui/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/crv_app.h"
#include "app/doc_manager.h"
#include "app/instance_lock.h"
#include "app/preferences.h"
#include "app/project.h"
#include "base/message_text.h"
#include "gui/corpus_commands.h"
#include "gui/database_window.h"
#include "gui/export_commands.h"
#include "gui/interlinear_commands.h"
#include "gui/lang_enc_dialogs.h"
#include "gui/language_bar.h"
#include "gui/project_options_dialog.h"
#include "gui/qt_text.h"
#include "gui/record_widget.h"
#include "gui/service_commands.h"
#include "gui/type_properties_dialog.h"
#include "gui/view_dialogs_qt.h"

namespace crv::gui {

namespace {

constexpr const char* kReleaseVersion = "4.01";
constexpr const char* kDatabaseFilter =
    "Database files (*.db;*.txt)|*.db;*.txt|All files (*.*)|*.*||";

QMdiSubWindow* SubWindowOf(QWidget* w) {
    for (QWidget* p = w; p; p = p->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(p))
            return sub;
    return nullptr;
}

} // namespace

MainWindow::MainWindow(CCrvApp& app, Preferences& prefs, const InstanceLock* lock, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_prefs(prefs), m_lock(lock),
      m_viewDialogs(std::make_unique<QtViewDialogs>(this)) {
    setWindowIcon(QIcon(":/corvane/corvane.png"));
    m_mdi = new QMdiArea(this);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdi);
    m_recordStatus = new QLabel(this);
    statusBar()->addPermanentWidget(m_recordStatus);
    BuildMenus();
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { UpdateCommands(); });
    // Tidy default: most of the screen, centred.
    if (QScreen* screen = QApplication::primaryScreen()) {
        QRect r = screen->availableGeometry();
        resize(r.width() * 4 / 5, r.height() * 4 / 5);
        move(r.center() - rect().center());
    }
    UpdateTitle();
    UpdateCommands();
}

MainWindow::~MainWindow() {
    // The base class closes the windows that are left: nothing may call back into this
    // object's members while it does.
    m_mdi->disconnect(this);
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        sub->removeEventFilter(this);
        if (QWidget* w = sub->widget())
            w->disconnect(this);
    }
}

CProject* MainWindow::Project() const { return m_app.HasProject() ? m_app.Project() : nullptr; }

QAction* MainWindow::AddAction(QMenu* menu, const QString& name, const QString& text,
                               const QString& prompt, std::function<void()> fn,
                               const QKeySequence& keys) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    // A prompt is the status-bar text, then after a line break the tooltip.
    int nl = prompt.indexOf('\n');
    action->setStatusTip(nl < 0 ? prompt : prompt.left(nl));
    QString tip = nl < 0 ? QString(text).remove('&').remove("...") : prompt.mid(nl + 1);
    if (!keys.isEmpty() && !tip.contains('('))
        tip += " (" + keys.toString(QKeySequence::NativeText) + ")";
    action->setToolTip(tip);
    if (!keys.isEmpty())
        action->setShortcut(keys);
    connect(action, &QAction::triggered, this, [fn = std::move(fn)] { fn(); });
    menu->addAction(action);
    return action;
}

QAction* MainWindow::Action(const QString& name) const { return findChild<QAction*>(name); }

void MainWindow::BuildMenus() {
    QStyle* st = style();
    QMenu* file = menuBar()->addMenu("&File");
    QMenu* project = file->addMenu("&Project");
    AddAction(project, "projectNew", "&New Project...",
              "Make a new project and its settings folder\nNew Project", [this] {
                  if (Project() && !CloseProject())
                      return;
                  if (m_app.NewProjectDialog())
                      ProjectOpened();
                  else if (!Project())
                      QTimer::singleShot(0, this, [this] { RunStartDialog(); });
              });
    AddAction(project, "projectOpen", "&Open Project...", "Open an existing project\nOpen Project",
              [this] {
                  if (Project() && !CloseProject())
                      return;
                  if (m_app.OpenProjectDialog())
                      ProjectOpened();
                  else if (!Project())
                      QTimer::singleShot(0, this, [this] { RunStartDialog(); });
              });
    AddAction(project, "projectSaveAs", "Save Project &As...",
              "Save this project under another name\nSave Project As", [this] {
                  StoreFrameOptions();
                  if (m_app.SaveProjectAsDialog())
                      UpdateTitle();
              });
    AddAction(project, "projectClose", "&Close Project", "Close this project\nClose Project",
              [this] {
                  if (CloseProject())
                      QTimer::singleShot(0, this, [this] { RunStartDialog(); });
              });
    project->addSeparator();
    AddAction(project, "projectLangEncs", "&Language Encodings...",
              "Add, copy, delete and edit the project's language encodings\nLanguage Encodings",
              [this] { EditSettings(0); });
    AddAction(project, "projectOptions", "Project O&ptions...",
              "Options this project keeps for all its windows\nProject Options",
              [this] { EditSettings(1); });
    AddAction(project, "projectPreferences", "Pr&eferences...",
              "Folders for new projects and for <AppPath>\nPreferences",
              [this] { EditSettings(2); });
    file->addSeparator();
    AddAction(
        file, "fileNew", "&New Database...", "Create a new database\nNew Database",
        [this] { NewDatabase(); }, QKeySequence::New)
        ->setIcon(st->standardIcon(QStyle::SP_FileIcon));
    AddAction(
        file, "fileOpen", "&Open Database...", "Open an existing database\nOpen Database",
        [this] { OpenDatabaseDialog(); }, QKeySequence::Open)
        ->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    AddAction(file, "fileImport", "&Import...",
              "Import a text file that is not yet a database\nImport",
              [this] { ImportDatabase(); });
    AddAction(file, "fileClose", "&Close Database", "Close the active database\nClose Database",
              [this] { CloseActiveDatabase(); });
    file->addSeparator();
    AddAction(
        file, "fileSave", "&Save", "Save the active database\nSave", [this] { SaveActive(false); },
        QKeySequence::Save)
        ->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    AddAction(file, "fileSaveAs", "Save &As...",
              "Save the active database with a new name\nSave As", [this] { SaveActive(true); });
    AddAction(file, "fileSaveAll", "Save A&ll", "Save every modified database\nSave All", [this] {
        if (CProject* p = Project())
            for (CCrvDoc* doc : p->Documents().Documents())
                if (LeaveRecords(doc) && doc->IsModified())
                    doc->Save();
        UpdateCommands();
    });
    file->addSeparator();
    AddAction(
        file, "fileExit", "E&xit", "Quit Corvane; asks to save databases\nExit",
        [this] { close(); }, QKeySequence::Quit);

    QMenu* edit = menuBar()->addMenu("&Edit");
    QMenu* db = menuBar()->addMenu("&Database");
    AddAction(
        db, "recordFirst", "&First Record", "Go to the first record\nFirst Record",
        [this] { ForActive(&DatabaseWindow::FirstRecord); }, QKeySequence("Alt+Home"))
        ->setIcon(st->standardIcon(QStyle::SP_MediaSkipBackward));
    AddAction(
        db, "recordPrevious", "&Previous Record", "Go to the previous record\nPrevious Record",
        [this] { ForActive(&DatabaseWindow::PreviousRecord); }, QKeySequence("Ctrl+PgUp"))
        ->setIcon(st->standardIcon(QStyle::SP_MediaSeekBackward));
    AddAction(
        db, "recordNext", "&Next Record", "Go to the next record\nNext Record",
        [this] { ForActive(&DatabaseWindow::NextRecord); }, QKeySequence("Ctrl+PgDown"))
        ->setIcon(st->standardIcon(QStyle::SP_MediaSeekForward));
    AddAction(
        db, "recordLast", "&Last Record", "Go to the last record\nLast Record",
        [this] { ForActive(&DatabaseWindow::LastRecord); }, QKeySequence("Alt+End"))
        ->setIcon(st->standardIcon(QStyle::SP_MediaSkipForward));
    db->addSeparator();
    AddAction(
        db, "recordSearch", "&Search...",
        "Search for a record by its key in the window's sort order\nSearch",
        [this] { ForActive(&DatabaseWindow::Search); }, QKeySequence("Ctrl+K"))
        ->setIcon(st->standardIcon(QStyle::SP_FileDialogContentsView));
    AddAction(
        db, "recordInsert", "&Insert Record...",
        "Insert a new record with the key you type\nRecord Insert",
        [this] { ForActive(&DatabaseWindow::InsertRecord); }, QKeySequence("Ctrl+Ins"));
    AddAction(db, "recordDelete", "&Delete Record", "Delete the current record\nDelete Record",
              [this] { ForActive(&DatabaseWindow::DeleteRecord); });
    AddAction(db, "recordCopy", "&Copy Record To...",
              "Copy the current record into another open database\nCopy Record",
              [this] { ForActive(&DatabaseWindow::CopyRecord); });
    AddAction(db, "databaseMerge", "&Merge Database...",
              "Copy every record of another open database into this one\nMerge Database",
              [this] { ForActive(&DatabaseWindow::MergeDatabase); });
    db->addSeparator();
    AddAction(db, "databaseSort", "S&orting...",
              "Choose the fields and sort order this window sorts by\nSorting",
              [this] { ForActive(&DatabaseWindow::SortDialog); });
    AddAction(db, "databaseFilter", "&Filter...",
              "Show only the records that pass a filter\nFilter",
              [this] { ForActive(&DatabaseWindow::ChooseFilter); });

    QMenu* view = menuBar()->addMenu("&View");
    m_toolBar = addToolBar("Toolbar");
    m_toolBar->setObjectName("toolBar");
    m_toolBar->setMovable(false);
    QAction* tb = m_toolBar->toggleViewAction();
    tb->setText("&Toolbar");
    tb->setObjectName("viewToolBar");
    tb->setStatusTip("Show or hide the toolbar");
    view->addAction(tb);
    auto* sb = new QAction("&Status Bar", this);
    sb->setObjectName("viewStatusBar");
    sb->setCheckable(true);
    sb->setChecked(true);
    sb->setStatusTip("Show or hide the status bar");
    connect(sb, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
    view->addAction(sb);
    BuildRecordMenus(edit, view);
    SetThemeIcons();
    Action("viewBrowse")->setIcon(st->standardIcon(QStyle::SP_FileDialogDetailedView));
    for (const char* name : std::initializer_list<const char*>{
             "fileNew", "fileOpen", "fileSave", nullptr, "editUndo", "editCut", "editCopy",
             "editPaste", "editFind", nullptr, "recordFirst", "recordPrevious", "recordNext",
             "recordLast", nullptr, "recordSearch", "recordInsert", "viewBrowse"}) {
        if (!name)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(Action(name));
    }

    m_windowMenu = menuBar()->addMenu("&Window");
    connect(m_windowMenu, &QMenu::aboutToShow, this, &MainWindow::FillWindowMenu);
    FillWindowMenu();

    QMenu* help = menuBar()->addMenu("&Help");
    AddAction(help, "helpAbout", "&About Corvane...",
              "Show the program's version and copyright\nAbout", [this] { ShowAbout(); });
    m_services = new ServiceCommands(*this, file, db, view, help);
    m_export = new ExportCommands(*this, file);
    m_corpus = new CorpusCommands(*this);
    m_interlinear = new InterlinearCommands(*this, db);
    m_types = new TypeCommands(*this, project, db);
}

void MainWindow::SetThemeIcons() {
    // Desktops without an icon theme of their own still get pictures on the toolbar.
    if (QIcon::fromTheme("edit-cut").isNull()) {
        if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor")
            QIcon::setThemeName("Adwaita");
        else
            QIcon::setFallbackThemeName("Adwaita");
    }
    const std::pair<const char*, const char*> icons[] = {
        {"editUndo", "edit-undo"},    {"editCut", "edit-cut"},
        {"editCopy", "edit-copy"},    {"editPaste", "edit-paste"},
        {"editFind", "edit-find"},    {"editReplace", "edit-find-replace"},
        {"recordInsert", "list-add"}, {"recordDelete", "list-remove"},
    };
    for (const auto& [action, icon] : icons)
        if (QAction* a = Action(action))
            a->setIcon(QIcon::fromTheme(icon));
}

void MainWindow::FillWindowMenu() {
    if (!Action("windowDuplicate")) {
        AddAction(m_windowMenu, "windowDuplicate", "&Duplicate", "Duplicate the active window.",
                  [this] {
                      if (DatabaseWindow* w = ActiveWindow(); w && w->HasDocument()) {
                          // The copy starts where the original stands, record stamped.
                          if (w->RecordView().LeaveRecord())
                              OpenWindow(w->Document(), w);
                      }
                  });
        AddAction(m_windowMenu, "windowCascade", "&Cascade",
                  "Arrange windows so they overlap\nCascade",
                  [this] { m_mdi->cascadeSubWindows(); });
        AddAction(m_windowMenu, "windowTile", "&Tile",
                  "Arrange windows as non-overlapping tiles\nTile",
                  [this] { m_mdi->tileSubWindows(); });
    }
    // The list of windows is made anew each time the menu opens.
    qDeleteAll(m_windowList);
    m_windowList.clear();
    const auto subs = m_mdi->subWindowList();
    if (!subs.isEmpty())
        m_windowList.push_back(m_windowMenu->addSeparator());
    int n = 0;
    for (QMdiSubWindow* sub : subs) {
        ++n;
        QString text = (n < 10 ? QString("&%1 ").arg(n) : QString("%1 ").arg(n)) +
                       sub->windowTitle().replace("&", "&&");
        QAction* a =
            m_windowMenu->addAction(text, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        a->setStatusTip("Activate this window");
        m_windowList.push_back(a);
    }
}

DatabaseWindow* MainWindow::ActiveWindow() const {
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    if (!sub && !m_mdi->subWindowList().isEmpty())
        sub = m_mdi->currentSubWindow();
    return sub ? qobject_cast<DatabaseWindow*>(sub->widget()) : nullptr;
}

std::vector<DatabaseWindow*> MainWindow::Windows() const {
    std::vector<DatabaseWindow*> out;
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (auto* w = qobject_cast<DatabaseWindow*>(sub->widget()))
            out.push_back(w);
    return out;
}

DatabaseWindow* MainWindow::OpenWindow(CCrvDoc& doc, const DatabaseWindow* like) {
    if (like)
        return AddWindow(new DatabaseWindow(like->RecordView().Duplicate()), nullptr);
    CWindowSettings settings = CWindowSettings::ForNewWindow();
    DatabaseWindow* window = OpenWindow(doc, settings);
    window->DefaultColumns();
    return window;
}

DatabaseWindow* MainWindow::OpenWindow(CCrvDoc& doc, const CWindowSettings& settings) {
    CProject* p = Project();
    CViewEnvironment env{p ? &p->Options() : nullptr, p ? &p->Find() : nullptr,
                         m_viewDialogs.get()};
    return AddWindow(new DatabaseWindow(doc, env, settings), &settings);
}

void MainWindow::OpenWindows(CProject& project, CCrvDoc& doc, const CWindowList& windows) {
    for (const CWindowSettings& settings : windows.windows) {
        CViewEnvironment env{&project.Options(), &project.Find(), m_viewDialogs.get()};
        AddWindow(new DatabaseWindow(doc, env, settings), &settings);
    }
}

DatabaseWindow* MainWindow::AddWindow(DatabaseWindow* window, const CWindowSettings* settings) {
    QMdiSubWindow* sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->installEventFilter(this);
    sub->setWindowTitle(window->Caption());
    sub->resize(m_mdi->width() * 2 / 3, m_mdi->height() * 2 / 3);
    if (settings && settings->placement) {
        // Where the window was; a place off the frame's area is not restored.
        const WindowPlacement& wp = *settings->placement;
        QRect r(QPoint(wp.left, wp.top), QPoint(wp.right - 1, wp.bottom - 1));
        if (r.isValid() && r.width() >= 80 && r.height() >= 40 && r.left() < 4000 &&
            r.top() < 4000 && r.right() > 0 && r.bottom() > 0)
            sub->setGeometry(r);
    }
    sub->setProperty("corvaneZ", settings ? settings->z : 0);
    connect(window, &DatabaseWindow::StateChanged, this, [this] { UpdateCommands(); });
    connect(window, &DatabaseWindow::DocumentGone, sub,
            [sub] { QMetaObject::invokeMethod(sub, &QMdiSubWindow::close, Qt::QueuedConnection); });
    sub->show();
    if (settings && settings->placement &&
        settings->placement->state == WindowPlacement::State::Maximized)
        sub->showMaximized();
    window->setFocus();
    UpdateCommands();
    return window;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close && !m_closing) {
        auto* sub = qobject_cast<QMdiSubWindow*>(watched);
        auto* window = sub ? qobject_cast<DatabaseWindow*>(sub->widget()) : nullptr;
        if (window && window->HasDocument()) {
            CCrvDoc* doc = &window->Document();
            bool last = true;
            for (DatabaseWindow* w : Windows())
                if (w != window && w->HasDocument() && &w->Document() == doc)
                    last = false;
            // Closing the last window of a database closes the database, which asks to
            // save it first; a refusal keeps the window.
            if (last && Project() &&
                (!m_interlinear->ConfirmClose(*doc) || !LeaveRecords(doc) ||
                 !Project()->Documents().CloseDocument(doc, true))) {
                event->ignore();
                return true;
            }
        }
        QTimer::singleShot(0, this, [this] { UpdateCommands(); });
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ForActive(void (DatabaseWindow::*command)()) {
    DatabaseWindow* w = ActiveWindow();
    if (!w || !w->HasDocument()) {
        QApplication::beep();
        return;
    }
    (w->*command)();
    UpdateCommands();
}

void MainWindow::UpdateTitle() {
    QString title = "Corvane";
    if (CProject* p = Project())
        title += " - " + Q(p->FileName());
    setWindowTitle(title);
    RecordWindowTitle(m_prefs, S(title));
}

void MainWindow::UpdateCommands() {
    bool project = Project() != nullptr;
    DatabaseWindow* w = ActiveWindow();
    bool window = w && w->HasDocument();
    for (const char* name : {"fileNew", "fileOpen", "fileImport", "fileSaveAll", "projectSaveAs",
                             "projectClose", "projectLangEncs", "projectOptions"})
        Action(name)->setEnabled(project);
    for (const char* name : {"fileClose",
                             "fileSave",
                             "fileSaveAs",
                             "editCopy",
                             "editCut",
                             "editPaste",
                             "editUndo",
                             "editUndoAll",
                             "editFind",
                             "editFindNext",
                             "editFindPrevious",
                             "editReplace",
                             "viewBrowse",
                             "viewBrowseFields",
                             "viewMarkers",
                             "viewFieldNames",
                             "viewMarkersAndFieldNames",
                             "viewHierarchy",
                             "viewSetMargin",
                             "viewFormatParagraph",
                             "viewReshape",
                             "viewJumpTarget",
                             "recordFirst",
                             "recordPrevious",
                             "recordNext",
                             "recordLast",
                             "recordSearch",
                             "recordInsert",
                             "recordDelete",
                             "recordCopy",
                             "databaseMerge",
                             "databaseSort",
                             "databaseFilter"})
        Action(name)->setEnabled(window);
    for (const char* name : {"windowDuplicate", "windowCascade", "windowTile"})
        if (QAction* a = Action(name))
            a->setEnabled(window);
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (auto* dw = qobject_cast<DatabaseWindow*>(sub->widget()); dw && dw->HasDocument())
            sub->setWindowTitle(dw->Caption());
    m_recordStatus->setText(window ? w->StatusText() : QString());
    if (m_services)
        m_services->Update();
    if (m_export)
        m_export->Update();
    if (m_corpus)
        m_corpus->Update();
    if (m_interlinear)
        m_interlinear->Update();
    if (window) {
        Action("editUndo")->setEnabled(w->RecordView().CanUndo());
        Action("viewBrowse")->setChecked(w->IsBrowse());
        const CMarkerAreaSettings& area = w->RecordView().MarkerArea();
        Action("viewMarkers")->setChecked(area.markers && !area.fieldNames);
        Action("viewFieldNames")->setChecked(!area.markers && area.fieldNames);
        Action("viewMarkersAndFieldNames")->setChecked(area.markers && area.fieldNames);
        Action("viewHierarchy")->setChecked(area.hierarchy);
        Action("viewJumpTarget")->setChecked(w->RecordView().IsJumpTarget());
    }
    if (CProject* p = Project())
        Action("viewAutoWrap")->setChecked(p->Options().autoWrap);
    Action("viewAutoWrap")->setEnabled(project);
}

// --- project ---

void MainWindow::ApplyFrameOptions() {
    CProject* p = Project();
    if (!p)
        return;
    const CProjectOptions& o = p->Options();
    m_toolBar->setVisible(!o.toolBarHidden);
    Action("viewStatusBar")->setChecked(!o.statusBarHidden);
    if (o.mainPlacement) {
        const WindowPlacement& wp = *o.mainPlacement;
        QRect r(QPoint(wp.left, wp.top), QPoint(wp.right - 1, wp.bottom - 1));
        // A placement from a larger screen must not put the window out of reach.
        QScreen* screen = QApplication::primaryScreen();
        if (r.isValid() && (!screen || screen->availableVirtualGeometry().intersects(r)))
            setGeometry(r);
        if (wp.state == WindowPlacement::State::Maximized)
            setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void MainWindow::StoreFrameOptions() {
    CProject* p = Project();
    if (!p)
        return;
    CProjectOptions& o = p->Options();
    // Hidden by the user, whether or not the window is on screen now.
    o.toolBarHidden = m_toolBar->isHidden();
    o.statusBarHidden = statusBar()->isHidden();
    WindowPlacement wp;
    QRect r = normalGeometry().isValid() ? normalGeometry() : geometry();
    wp.left = r.left();
    wp.top = r.top();
    wp.right = r.right() + 1;
    wp.bottom = r.bottom() + 1;
    wp.state = isMaximized()   ? WindowPlacement::State::Maximized
               : isMinimized() ? WindowPlacement::State::Minimized
                               : WindowPlacement::State::Normal;
    o.mainPlacement = wp;
    // Each window's placement and stacking go into its settings.
    const auto stacked = m_mdi->subWindowList(QMdiArea::StackingOrder);
    for (int z = 0; z < static_cast<int>(stacked.size()); ++z)
        if (auto* w = qobject_cast<DatabaseWindow*>(stacked[z]->widget()); w && w->HasDocument())
            w->StorePlacement(z + 1);
}

void MainWindow::EditSettings(int which) {
    CProject* p = Project();
    if (which == 2) {
        PreferencesDialog(m_prefs, this).exec();
        return;
    }
    // Settings re-sort and redraw the windows: their records are left first.
    if (!p || !LeaveRecords(nullptr))
        return;
    auto redraw = [this, p] {
        // New languages, fonts or the bar's height.
        m_services->Bar()->SetLanguages(&p->LangEncs(), p->Options().langCtrlHeight);
        for (DatabaseWindow* w : Windows())
            if (w->HasDocument())
                w->RecordView().FontsChanged();
        UpdateCommands();
    };
    if (which == 0) {
        LangEncListDialog(p->LangEncs(), redraw, this).exec();
    } else if (ProjectOptionsDialog(p->Options(), this).exec() == QDialog::Accepted) {
        StoreFrameOptions();
        p->Save();
        redraw();
    }
}

void MainWindow::ProjectOpened() {
    CProject* p = Project();
    if (!p)
        return;
    ApplyFrameOptions();
    // Databases the project listed without windows get a new one.
    bool placed = !m_mdi->subWindowList().isEmpty();
    for (CCrvDoc* doc : p->Documents().Documents()) {
        bool has = false;
        for (DatabaseWindow* w : Windows())
            has = has || (w->HasDocument() && &w->Document() == doc);
        if (!has)
            OpenWindow(*doc);
    }
    if (!placed && m_mdi->subWindowList().size() > 1)
        m_mdi->tileSubWindows();
    // Stacked as they were saved: each behind the one with the next higher z.
    auto subs = m_mdi->subWindowList();
    std::stable_sort(subs.begin(), subs.end(), [](QMdiSubWindow* a, QMdiSubWindow* b) {
        return a->property("corvaneZ").toInt() < b->property("corvaneZ").toInt();
    });
    for (QMdiSubWindow* sub : subs)
        m_mdi->setActiveSubWindow(sub);
    statusBar()->showMessage(Q(p->SettingsFolderText()), 10000);
    UpdateTitle();
    UpdateCommands();
}

bool MainWindow::CloseProject() {
    if (!Project())
        return true;
    StoreFrameOptions();
    if (!LeaveRecords(nullptr) || !m_app.CloseProject()) {
        UpdateCommands();
        return false;
    }
    // The documents are gone; their windows let go of them and close now.
    m_closing = true;
    m_mdi->closeAllSubWindows();
    m_closing = false;
    UpdateTitle();
    UpdateCommands();
    return true;
}

bool MainWindow::OpenProject(const std::string& path) {
    if (!CloseProject())
        return false;
    if (!m_app.OpenProject(path))
        return false;
    ProjectOpened();
    return true;
}

bool MainWindow::RunStartDialog() {
    while (!Project()) {
        QDialog dialog(this);
        dialog.setWindowTitle("Corvane");
        auto* layout = new QVBoxLayout(&dialog);
        auto* label = new QLabel("No project is open. Corvane works inside a project: its "
                                 "databases and the settings folder that holds their types "
                                 "and language encodings.",
                                 &dialog);
        label->setWordWrap(true);
        layout->addWidget(label);
        int choice = 0;
        auto addButton = [&](const char* text, int value) {
            auto* b = new QPushButton(text, &dialog);
            b->setObjectName(QString("start%1").arg(value));
            QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, &choice, value] {
                choice = value;
                dialog.accept();
            });
            layout->addWidget(b);
            return b;
        };
        addButton("&Open an existing project...", 1)->setDefault(true);
        addButton("&Make a new project...", 2);
        addButton("E&xit Corvane", 3);
        dialog.setObjectName("startDialog");
        dialog.exec();
        if ((choice == 1 && m_app.OpenProjectDialog()) ||
            (choice == 2 && m_app.NewProjectDialog())) {
            ProjectOpened();
        } else if (choice == 3 || choice == 0) {
            // Leaving closes the main window.
            QTimer::singleShot(0, this, [this] { close(); });
            return false;
        }
    }
    return true;
}

bool MainWindow::Exit() {
    if (!CloseProject())
        return false;
    if (m_lock)
        ClearWindowTitleAtExit(m_prefs, *m_lock);
    m_closing = true;
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!Exit()) {
        event->ignore();
        return;
    }
    event->accept();
}

// --- documents ---

void MainWindow::OpenDatabaseDialog() {
    CProject* p = Project();
    if (!p)
        return;
    FileRequest r;
    r.title = "Open Database";
    r.initialPath = p->SettingsFolder();
    r.filter = kDatabaseFilter;
    auto chosen = platform().ChooseFile(r);
    if (!chosen)
        return;
    bool already = false;
    CCrvDoc* doc = p->Documents().OpenDocument(*chosen, false, &already);
    if (!doc)
        return;
    if (already) {
        for (DatabaseWindow* w : Windows())
            if (w->HasDocument() && &w->Document() == doc) {
                m_mdi->setActiveSubWindow(SubWindowOf(w));
                return;
            }
    }
    OpenWindow(*doc);
}

void MainWindow::NewDatabase() {
    if (CProject* p = Project())
        if (CCrvDoc* doc = p->Documents().NewDocument())
            OpenWindow(*doc);
}

void MainWindow::ImportDatabase() {
    CProject* p = Project();
    if (!p)
        return;
    FileRequest r;
    r.title = "Import";
    r.initialPath = p->SettingsFolder();
    r.filter = "All files (*.*)|*.*||";
    auto chosen = platform().ChooseFile(r);
    if (!chosen)
        return;
    if (CCrvDoc* doc = p->Documents().ImportDocument(*chosen))
        OpenWindow(*doc);
}

void MainWindow::SaveActive(bool as) {
    DatabaseWindow* w = ActiveWindow();
    if (!w || !w->HasDocument())
        return;
    CCrvDoc& doc = w->Document();
    if (!LeaveRecords(&doc))
        return;
    if (!as) {
        // Without changes the file stays exactly as it is: a save would rewrite it in
        // sorted order.
        if (!doc.IsModified()) {
            statusBar()->showMessage("There are no changes to save.", 5000);
            return;
        }
        doc.Save();
    } else if (auto path = doc.Manager().Dialogs().SaveAsPath(doc)) {
        doc.OnSaveDocument(*path);
    }
    UpdateCommands();
}

void MainWindow::CloseActiveDatabase() {
    DatabaseWindow* w = ActiveWindow();
    CProject* p = Project();
    if (!w || !w->HasDocument() || !p || !m_interlinear->ConfirmClose(w->Document()) ||
        !LeaveRecords(&w->Document()))
        return;
    p->Documents().CloseDocument(&w->Document(), true);
    UpdateCommands();
}

QString MainWindow::AboutText() const {
    return Q(FormatMessage("Release Version %1 for %2", {kReleaseVersion, "Linux"}));
}

void MainWindow::ShowAbout() {
    QMessageBox::about(this, "About Corvane",
                       "<h3>Corvane</h3><p>A database program for field linguists: lexicons, "
                       "interlinear texts and notes in standard format files.</p><p>" +
                           AboutText().toHtmlEscaped() + "</p><p>Qt " + qVersion() + "</p>");
}

} // namespace crv::gui

namespace crv::gui {

bool MainWindow::LeaveRecords(CCrvDoc* doc) {
    // The records being edited are checked, stamped and sorted before their file is
    // written; a refusal keeps the window on its record and nothing is saved.
    for (DatabaseWindow* w : Windows())
        if (w->HasDocument() && (!doc || &w->Document() == doc) && !w->RecordView().LeaveRecord())
            return false;
    return true;
}

void MainWindow::ForView(void (CRecordView::*command)()) {
    DatabaseWindow* w = ActiveWindow();
    if (!w || !w->HasDocument()) {
        QApplication::beep();
        return;
    }
    (w->RecordView().*command)();
    UpdateCommands();
}

void MainWindow::BuildRecordMenus(QMenu* edit, QMenu* view) {
    auto active = [this](void (DatabaseWindow::*command)()) {
        return [this, command] { ForActive(command); };
    };
    AddAction(edit, "editUndo", "&Undo", "Undo the last change to this record\nUndo",
              active(&DatabaseWindow::Undo), QKeySequence::Undo);
    AddAction(edit, "editUndoAll", "Undo &All", "Undo all changes to this record\nUndo All",
              active(&DatabaseWindow::UndoAll));
    edit->addSeparator();
    AddAction(edit, "editCut", "Cu&t", "Cut the selection to the clipboard\nCut",
              active(&DatabaseWindow::Cut), QKeySequence::Cut);
    AddAction(edit, "editCopy", "&Copy", "Copy the selection to the clipboard\nCopy",
              active(&DatabaseWindow::Copy), QKeySequence::Copy);
    AddAction(edit, "editPaste", "&Paste", "Insert the clipboard's text at the caret\nPaste",
              active(&DatabaseWindow::Paste), QKeySequence::Paste);
    edit->addSeparator();
    auto find = [this](bool replace) {
        if (DatabaseWindow* w = ActiveWindow(); w && w->HasDocument() && Project()) {
            w->FindDialog(Project()->Find(), replace);
            UpdateCommands();
        }
    };
    AddAction(
        edit, "editFind", "&Find...", "Find the specified text\nFind", [find] { find(false); },
        QKeySequence::Find);
    AddAction(edit, "editFindNext", "Find &Next",
              "Find next occurence of specified text\nFind Next (Ctrl+G)",
              active(&DatabaseWindow::FindNext), QKeySequence("Ctrl+G"));
    AddAction(edit, "editFindPrevious", "Find Pre&vious",
              "Find previous occurence of specified text\nFind Previous (Ctrl+D)",
              active(&DatabaseWindow::FindPrevious), QKeySequence("Ctrl+D"));
    AddAction(
        edit, "editReplace", "&Replace...",
        "Replace the specified text with different text\nReplace", [find] { find(true); },
        QKeySequence("Ctrl+H"));

    view->addSeparator();
    AddAction(view, "viewBrowse", "&Browse", "Show a list of all records\nBrowse View (Alt+R)",
              active(&DatabaseWindow::ToggleBrowse), QKeySequence("Alt+R"))
        ->setCheckable(true);
    AddAction(view, "viewBrowseFields", "Browse &Fields...",
              "View and modify list of fields to browse",
              active(&DatabaseWindow::BrowseColumnsDialog));
    view->addSeparator();
    AddAction(view, "viewMarkers", "&Markers", "Show marker for each field", [this] {
        ForView(&CRecordView::ShowMarkers);
    })->setCheckable(true);
    AddAction(view, "viewFieldNames", "Field &Names", "Show field name for each field", [this] {
        ForView(&CRecordView::ShowFieldNames);
    })->setCheckable(true);
    AddAction(view, "viewMarkersAndFieldNames", "Markers &and Field Names",
              "Show marker and field name for each field",
              [this] { ForView(&CRecordView::ShowMarkersAndFieldNames); })
        ->setCheckable(true);
    AddAction(view, "viewHierarchy", "Marker &Hierarchy", "Indent markers to show their hierarchy",
              [this] { ForView(&CRecordView::ToggleHierarchy); })
        ->setCheckable(true);
    view->addSeparator();
    AddAction(view, "viewSetMargin", "Set Mar&gin", "Set margin to width of current view",
              [this] { ForView(&CRecordView::SetMarginCommand); });
    AddAction(view, "viewFormatParagraph", "Format &Paragraph", "Format the current paragraph",
              [this] {
                  if (DatabaseWindow* w = ActiveWindow(); w && w->HasDocument())
                      w->RecordView().FormatParagraphCommand();
                  UpdateCommands();
              });
    AddAction(view, "viewReshape", "&Reshape Database", "Format all records in database", [this] {
        if (DatabaseWindow* w = ActiveWindow(); w && w->HasDocument())
            w->RecordView().ReshapeCommand();
        UpdateCommands();
    });
    AddAction(view, "viewAutoWrap", "Automatic &Wrapping",
              "Automatically wrap lines of text at margin",
              [this] {
                  if (CProject* p = Project())
                      p->Options().autoWrap = !p->Options().autoWrap;
                  UpdateCommands();
              })
        ->setCheckable(true);
    AddAction(view, "viewJumpTarget", "&Jump Target", "Make the current view a jump target",
              [this] { ForView(&CRecordView::MakeJumpTarget); })
        ->setCheckable(true);
}

} // namespace crv::gui
