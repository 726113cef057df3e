// gui_bench startup PROJECT: starts the desktop program on a project and ends once its
// first database window has been painted (the whole process is timed from outside).
// gui_bench browse PROJECT PAGES: opens another browse window on the project's first
// database, scrolls it PAGES pages down, and prints the times and the peak memory.
// gui_bench typing PROJECT KEYS: in the first database's record window, a field made a
// 5,000-character paragraph; KEYS keystrokes typed into its middle, each sent as a key
// event and followed by a repaint, with automatic wrapping on, then off (the baseline),
// then repaints alone.
#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <vector>

#include "app/doc_manager.h"
#include "app/project.h"
#include "bench/support/bench_support.h"
#include "gui/database_window.h"
#include "gui/desktop_app.h"
#include "gui/record_widget.h"
#include "record/record.h"

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

// The window's widget that shows: its record or its browse list.
QWidget* Shown(crv::gui::DatabaseWindow* w) {
    return w->IsBrowse() ? w->Table()->viewport() : w->Record()->viewport();
}

struct Spread {
    double median = 0;
    double p95 = 0;
    double slowest = 0;
};

Spread Of(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 95 / 100], times.back()};
}

// Keystrokes into the record window, each with its repaint, in ms.
std::vector<double> TypeKeys(crv::gui::DatabaseWindow* w, int keys, bool type) {
    const char* text = "ab ";
    std::vector<double> times;
    for (int i = 0; i < keys; ++i) {
        auto a = Clock::now();
        if (type) {
            char c = text[i % 3];
            QKeyEvent press(QEvent::KeyPress, c == ' ' ? Qt::Key_Space : Qt::Key_A + (c - 'a'),
                            Qt::NoModifier, QString(QChar(c)));
            QApplication::sendEvent(w->Record(), &press);
        }
        w->Record()->viewport()->repaint();
        times.push_back(Ms(a, Clock::now()));
    }
    return times;
}

const crv::CField& LastField(const crv::CRecord& record) {
    const crv::CField* last = nullptr;
    for (const crv::CField& f : record)
        last = &f;
    return *last;
}

int Typing(crv::gui::DesktopApp& app, crv::gui::DatabaseWindow* w, int keys) {
    w->parentWidget()->showMaximized();
    QApplication::processEvents();
    crv::CRecordView& view = w->RecordView();
    crv::CRecord* record = view.Record();
    if (!record)
        return 1;
    // The record's last field becomes a paragraph of 5,000 characters in lines of about
    // 70, as a long note or text is.
    std::string paragraph;
    const char* words[] = {"tsuma", "ngari", "ko", "irátsa", "kuru", "sáwe", "ne", "wána"};
    for (int i = 0; paragraph.size() < 5000; ++i) {
        paragraph += words[i % 8];
        paragraph += (i % 11 == 10) ? "\n" : " ";
    }
    paragraph.resize(5000);
    int last = static_cast<int>(record->Count()) - 1;
    const std::string& lastText = LastField(*record).Text();
    view.SetCaret({last, 0});
    view.SetCaret({last, lastText.size()}, true);
    view.Paste(paragraph);
    view.SetCaret({last, 2500});
    crv::CProjectOptions& options = app.App().Project()->Options();
    options.autoWrap = true;
    TypeKeys(w, 30, true); // warm up
    Spread wrapped = Of(TypeKeys(w, keys, true));
    options.autoWrap = false;
    Spread plain = Of(TypeKeys(w, keys, true));
    Spread paint = Of(TypeKeys(w, keys, false));
    std::printf("field of %zu bytes on %zu lines, %d keystrokes each:\n",
                LastField(*record).Text().size(), view.Lines().size(), keys);
    std::printf("keystroke to repaint, automatic wrapping:  median %.2f ms, 95%% %.2f ms, slowest "
                "%.2f ms\n",
                wrapped.median, wrapped.p95, wrapped.slowest);
    std::printf("keystroke to repaint, no wrapping:         median %.2f ms, 95%% %.2f ms, slowest "
                "%.2f ms\n",
                plain.median, plain.p95, plain.slowest);
    std::printf("repaint alone:                             median %.2f ms, 95%% %.2f ms, slowest "
                "%.2f ms\n",
                paint.median, paint.p95, paint.slowest);
    return 0;
}

long PeakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

} // namespace

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: gui_bench startup|browse|typing PROJECT [PAGES|KEYS]\n");
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
    Shown(windows.front())->installEventFilter(&first);
    if (!first.painted)
        QApplication::exec();
    auto t1 = Clock::now();
    if (!std::strcmp(argv[1], "startup")) {
        std::printf("%.1f\n", Ms(t0, t1));
        return 0;
    }
    if (!std::strcmp(argv[1], "typing"))
        return Typing(app, windows.front(), argc > 3 ? std::max(1, std::atoi(argv[3])) : 300);
    int pages = argc > 3 ? std::atoi(argv[3]) : 50;
    if (!app.App().HasProject() || app.App().Project()->Documents().Count() == 0)
        return 1;
    crv::CCrvDoc& doc = *app.App().Project()->Documents().At(0);
    auto o0 = Clock::now();
    crv::gui::DatabaseWindow* w = app.Window().OpenWindow(doc);
    w->ToggleBrowse();
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
