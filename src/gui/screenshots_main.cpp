// corvane_screenshots OUTDIR PROJECT.prj: starts the desktop program on a project and
// saves PNG pictures of the screen at each step of a short tour (windows, dialogs, a
// message box, the record window, the Find dialog, the print preview, the Export dialog,
// a concordance, the user guide), for looking at the program as a user sees it.
// Run under a virtual X server by scripts/screenshots.sh.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <deque>
#include <functional>

#include "app/doc_manager.h"
#include "gui/database_window.h"
#include "gui/desktop_app.h"
#include "record/record.h"
#include "schema/marker.h"

namespace {

QString g_out;

void Shot(const QString& name) {
    QApplication::processEvents();
    QPixmap screen = QApplication::primaryScreen()->grabWindow(0);
    QString path = QDir(g_out).filePath(name + ".png");
    if (!screen.save(path))
        std::fprintf(stderr, "corvane_screenshots: cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// Runs the steps one after another, each after the events of the last were handled. A
// step that opens a modal dialog names what to do once the dialog is on screen.
struct Tour {
    std::deque<std::function<void()>> steps;
    void Next() {
        if (steps.empty())
            return;
        auto step = std::move(steps.front());
        steps.pop_front();
        QTimer::singleShot(400, [this, step = std::move(step)] {
            step();
            Next();
        });
    }
};

// Once a modal dialog is up: a picture of it, then it is closed.
void ShootModal(const QString& name) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, name] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(300, [modal, name] {
            Shot(name);
            modal->close();
        });
    });
    timer->start(50);
}

// Once a modal dialog other than after is up: act on it.
void OnModal(std::function<void(QWidget*)> act, QWidget* after = nullptr) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act), after] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == after)
            return;
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(300, [modal, act] { act(modal); });
    });
    timer->start(50);
}

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    Q_INIT_RESOURCE(corvane);
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvane_screenshots OUTDIR PROJECT.prj\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_out);
    crv::gui::DesktopApp app;
    if (app.Start(QFileInfo(argv[2]).absoluteFilePath().toStdString(), false) !=
        crv::gui::DesktopApp::StartResult::Running)
        return 1;
    crv::gui::MainWindow& w = app.Window();
    w.resize(1100, 720);
    w.move(0, 0);
    Tour tour;
    auto& s = tour.steps;
    // The lexicon's window alone, as a linguist works in it.
    s.push_back([&] {
        for (crv::gui::DatabaseWindow* dw : w.Windows())
            if (dw->Document().Title() == "lexicon.db") {
                w.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dw->parentWidget()));
                dw->parentWidget()->showMaximized();
            }
    });
    s.push_back([&] { w.Action("recordNext")->trigger(); });
    s.push_back([&] { w.Action("recordNext")->trigger(); });
    s.push_back([] { Shot("01-record-window"); });
    s.push_back([&] { w.Action("viewBrowse")->trigger(); });
    s.push_back([] { Shot("02-browse-window"); });
    s.push_back([&] {
        w.Action("viewBrowse")->trigger();
        for (QMdiSubWindow* sub : w.Mdi()->subWindowList())
            sub->showNormal();
        w.Mdi()->tileSubWindows();
    });
    s.push_back([] { Shot("03-two-windows"); });
    s.push_back([&] {
        ShootModal("04-find-dialog");
        w.Action("editFind")->trigger();
    });
    s.push_back([&] {
        ShootModal("05-replace-dialog");
        w.Action("editReplace")->trigger();
    });
    s.push_back([&] {
        ShootModal("06-search-dialog");
        w.Action("recordSearch")->trigger();
    });
    s.push_back([&] {
        ShootModal("07-message-box");
        w.Action("recordDelete")->trigger();
    });
    s.push_back([&] {
        ShootModal("08-sort-dialog");
        w.Action("databaseSort")->trigger();
    });
    s.push_back([&] {
        ShootModal("09-browse-fields-dialog");
        w.Action("viewBrowseFields")->trigger();
    });
    s.push_back([&] {
        ShootModal("10-about");
        w.Action("helpAbout")->trigger();
    });
    // Print Preview of all the lexicon's records: the choice of records, then the preview.
    s.push_back([&] {
        OnModal([](QWidget* choice) {
            if (auto* list = choice->findChild<QListWidget*>())
                list->setCurrentRow(1);
            OnModal(
                [](QWidget* preview) {
                    // As wide as the window, where the text can be read.
                    if (auto* pages = preview->findChild<QPrintPreviewWidget*>())
                        pages->fitToWidth();
                    QTimer::singleShot(800, [preview] {
                        Shot("11-print-preview");
                        preview->close();
                    });
                },
                choice);
            if (auto* dialog = qobject_cast<QDialog*>(choice))
                dialog->accept();
        });
        for (crv::gui::DatabaseWindow* dw : w.Windows())
            if (dw->Document().Title() == "lexicon.db")
                w.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dw->parentWidget()));
        w.Action("filePrintPreview")->trigger();
    });
    // The Export dialog over the lexicon.
    s.push_back([&] {
        ShootModal("13-export-dialog");
        w.Action("fileExport")->trigger();
    });
    // A concordance of "ponyu" in the sample's stories, shown in its browse window.
    s.push_back([&] {
        OnModal([](QWidget* dialog) {
            if (auto* search = dialog->findChild<QLineEdit*>("search"))
                search->setText("ponyu");
            // The note that the project has no "Book References" encoding.
            OnModal([](QWidget* box) { box->close(); }, dialog);
            if (auto* d = qobject_cast<QDialog*>(dialog))
                d->accept();
        });
        w.Action("toolsConcordance")->trigger();
    });
    s.push_back([&] {
        if (QMdiSubWindow* sub = w.Mdi()->activeSubWindow())
            sub->showMaximized();
    });
    s.push_back([] { Shot("14-concordance"); });
    s.push_back([&] { w.Action("helpUserGuide")->trigger(); });
    s.push_back([] {
        Shot("12-user-guide");
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == "userGuide")
                top->close();
    });
    // A text record after Interlinearize, then the editors of the text type.
    s.push_back([&] {
        for (crv::gui::DatabaseWindow* dw : w.Windows()) {
            if (dw->Document().Title() != "texts.db")
                continue;
            w.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dw->parentWidget()));
            dw->parentWidget()->showMaximized();
            crv::CIndex& index = dw->Index();
            for (crv::CIndexPos p = index.First(); p.IsValid(); p = index.Next(p))
                if (p.Record()->GetKey() == "Ta-s\xc3\xa1we-ko") {
                    dw->MoveTo(p);
                    int field = 0;
                    for (const crv::CField& f : *p.Record()) {
                        if (f.Marker()->Name() == "tx")
                            break;
                        ++field;
                    }
                    dw->RecordView().SetCaret(crv::CViewCaret{field, 0});
                    break;
                }
        }
    });
    s.push_back([&] { w.Action("interlinearize")->trigger(); });
    s.push_back([] { Shot("15-interlinearized"); });
    s.push_back([&] {
        ShootModal("16-process-editor");
        w.Action("typeInterlinearProcesses")->trigger();
    });
    s.push_back([&] {
        ShootModal("17-jump-path");
        w.Action("typeJumpPath")->trigger();
    });
    // The first process's properties, opened from the editor.
    s.push_back([&] {
        OnModal([](QWidget* editor) {
            OnModal(
                [editor](QWidget* properties) {
                    Shot("18-process-properties");
                    if (auto* pages = properties->findChild<QTabWidget*>()) {
                        pages->setCurrentIndex(1);
                        Shot("19-process-lexicons");
                    }
                    properties->close();
                    QTimer::singleShot(300, editor, [editor] { editor->close(); });
                },
                editor);
            if (auto* modify = editor->findChild<QPushButton*>("processModify"))
                modify->click();
        });
        w.Action("typeInterlinearProcesses")->trigger();
    });
    // The lexicon type's properties: options, markers, a marker's properties and a new
    // filter in the filter editor.
    s.push_back([&] {
        for (crv::gui::DatabaseWindow* dw : w.Windows())
            if (dw->Document().Title() == "lexicon.db") {
                w.Mdi()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(dw->parentWidget()));
                dw->parentWidget()->showMaximized();
            }
    });
    s.push_back([&] {
        OnModal([](QWidget* sheet) {
            Shot("20-type-options");
            auto* tabs = sheet->findChild<QTabWidget*>();
            tabs->setCurrentIndex(1);
            auto* markers = sheet->findChild<QListWidget*>("typeMarkers");
            for (int i = 0; i < markers->count(); ++i)
                if (markers->item(i)->data(Qt::UserRole).toString() == "ps")
                    markers->setCurrentRow(i);
            Shot("21-type-markers");
            OnModal(
                [sheet, tabs](QWidget* marker) {
                    Shot("22-marker-properties");
                    marker->close();
                    QTimer::singleShot(300, sheet, [sheet, tabs] {
                        tabs->setCurrentIndex(2);
                        OnModal(
                            [sheet](QWidget* editor) {
                                auto* choices = editor->findChild<QListWidget*>("filterChoices");
                                auto* last = editor->findChild<QPushButton*>("elementLast");
                                choices->setCurrentRow(5); // Not
                                last->click();
                                choices->setCurrentRow(7); // Non-Unique
                                last->click();
                                Shot("23-filter-editor");
                                editor->close();
                                QTimer::singleShot(300, sheet, [sheet] { sheet->close(); });
                            },
                            sheet);
                        sheet->findChild<QPushButton*>("filterAdd")->click();
                    });
                },
                sheet);
            sheet->findChild<QPushButton*>("markerModify")->click();
        });
        w.Action("typeProperties")->trigger();
    });
    // The language encoding sheet of the vernacular, its characters and the sort order
    // dialog with lines in its preview; then the project options.
    s.push_back([&] {
        OnModal([](QWidget* list) {
            auto* names = list->findChild<QListWidget*>();
            if (auto found = names->findItems("Vernacular", Qt::MatchExactly); !found.isEmpty())
                names->setCurrentItem(found[0]);
            OnModal(
                [list](QWidget* sheet) {
                    Shot("24-language-encoding");
                    auto* pages = sheet->findChild<QTabWidget*>();
                    pages->setCurrentIndex(4);
                    Shot("25-language-characters");
                    pages->setCurrentIndex(1);
                    auto* orders = sheet->findChild<QListWidget*>("sortOrders");
                    if (auto found = orders->findItems("Vernacular", Qt::MatchExactly);
                        !found.isEmpty())
                        orders->setCurrentItem(found[0]);
                    OnModal(
                        [sheet, list](QWidget* order) {
                            if (auto* lines = order->findChild<QPlainTextEdit*>("previewLines"))
                                lines->setPlainText(QString::fromUtf8(
                                    "tsaloni\nnyara\ntaa\nnga\nÁmi\nna\nápo\nyéna"));
                            QTimer::singleShot(300, order, [order, sheet, list] {
                                Shot("26-sort-order-properties");
                                order->close();
                                QTimer::singleShot(300, sheet, [sheet, list] {
                                    sheet->close();
                                    QTimer::singleShot(300, list, [list] { list->close(); });
                                });
                            });
                        },
                        sheet);
                    if (auto* modify = sheet->findChild<QPushButton*>("sortModify"))
                        modify->click();
                },
                list);
            if (auto* properties = list->findChild<QPushButton*>("langEncProperties"))
                properties->click();
        });
        w.Action("projectLangEncs")->trigger();
    });
    s.push_back([&] {
        ShootModal("27-project-options");
        w.Action("projectOptions")->trigger();
    });
    // The interlinearized text is not kept.
    s.push_back([] {
        OnModal([](QWidget* question) {
            for (QPushButton* b : question->findChildren<QPushButton*>())
                if (b->text().remove('&') == "No")
                    b->click();
        });
    });
    s.push_back([&] { w.close(); });
    tour.Next();
    return QApplication::exec();
}
