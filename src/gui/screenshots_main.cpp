// corvane_screenshots OUTDIR PROJECT.prj: starts the desktop program on a project and
// saves PNG pictures of the screen at each step of a short tour (windows, dialogs, a
// message box), for looking at the program as a user sees it. Run under a virtual X
// server by scripts/screenshots.sh.
#include <QApplication>
#include <QDir>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <deque>
#include <functional>

#include "app/doc_manager.h"
#include "gui/database_window.h"
#include "gui/desktop_app.h"

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
    s.push_back([] { Shot("01-browse-window"); });
    s.push_back([&] {
        for (QMdiSubWindow* sub : w.Mdi()->subWindowList())
            sub->showNormal();
        w.Mdi()->tileSubWindows();
    });
    s.push_back([] { Shot("02-two-windows"); });
    s.push_back([&] {
        ShootModal("03-search-dialog");
        w.Action("recordSearch")->trigger();
    });
    s.push_back([&] {
        ShootModal("04-message-box");
        w.Action("recordDelete")->trigger();
    });
    s.push_back([&] {
        ShootModal("05-sort-dialog");
        w.Action("databaseSort")->trigger();
    });
    s.push_back([&] {
        ShootModal("06-about");
        w.Action("helpAbout")->trigger();
    });
    s.push_back([&] { w.close(); });
    tour.Next();
    return QApplication::exec();
}
