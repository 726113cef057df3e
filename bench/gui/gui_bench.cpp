// gui_bench startup PROJECT: starts the desktop program on a project and ends once its
// first database window has been painted (the whole process is timed from outside).
// gui_bench browse PROJECT PAGES: opens another browse window on the project's first
// database, scrolls it PAGES pages down, and prints the times and the peak memory.
#include <QAbstractItemView>
#include <QApplication>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <vector>

#include "app/doc_manager.h"
#include "bench/support/bench_support.h"
#include "gui/database_window.h"
#include "gui/desktop_app.h"

namespace {

using crv::bench::Clock;
using crv::bench::Ms;

// Ends the event loop after the first paint of the watched widget.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && !painted) {
            painted = true;
            // exit, not quit: quitting would close the main window, and so the project.
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(o, e);
    }
    bool painted = false;
};

long PeakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: gui_bench startup|browse PROJECT [PAGES]\n");
        return 2;
    }
    crv::gui::DesktopApp app;
    auto t0 = Clock::now();
    if (app.Start(argv[2], false) != crv::gui::DesktopApp::StartResult::Running)
        return 1;
    std::vector<crv::gui::DatabaseWindow*> windows = app.Window().Windows();
    if (windows.empty()) {
        std::fprintf(stderr, "gui_bench: the project opened no database\n");
        return 1;
    }
    FirstPaint first;
    windows.front()->Table()->viewport()->installEventFilter(&first);
    if (!first.painted)
        QApplication::exec();
    auto t1 = Clock::now();
    if (!std::strcmp(argv[1], "startup")) {
        std::printf("%.1f\n", Ms(t0, t1));
        return 0;
    }
    int pages = argc > 3 ? std::atoi(argv[3]) : 50;
    if (!app.App().HasProject() || app.App().Project()->Documents().Count() == 0)
        return 1;
    crv::CCrvDoc& doc = *app.App().Project()->Documents().At(0);
    auto o0 = Clock::now();
    crv::gui::DatabaseWindow* w = app.Window().OpenWindow(doc);
    w->parentWidget()->showMaximized();
    w->Table()->viewport()->repaint();
    auto o1 = Clock::now();
    QScrollBar* bar = w->Table()->verticalScrollBar();
    std::vector<double> times;
    for (int i = 0; i < pages; ++i) {
        auto a = Clock::now();
        bar->setValue(bar->value() + bar->pageStep());
        w->Table()->viewport()->repaint();
        times.push_back(Ms(a, Clock::now()));
    }
    // The far end of the list, as dragging the scroll bar down does.
    auto e0 = Clock::now();
    bar->setValue(bar->maximum());
    w->Table()->viewport()->repaint();
    double toEnd = Ms(e0, Clock::now());
    std::sort(times.begin(), times.end());
    std::printf("records in the window: %d, rows a page: %d\n", w->Model()->rowCount(),
                bar->pageStep());
    std::printf("open a browse window and paint it: %.1f ms\n", Ms(o0, o1));
    std::printf("scroll one page and paint: median %.2f ms, slowest %.2f ms (%d pages)\n",
                times[times.size() / 2], times.back(), pages);
    std::printf("jump to the end and paint: %.2f ms\n", toEnd);
    std::printf("peak resident memory, corvane with two windows: %.1f MB\n", PeakKb() / 1024.0);
    return 0;
}
