// corvane [PROJECT.prj]: the desktop program.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "gui/desktop_app.h"

int main(int argc, char** argv) {
    QApplication qapp(argc, argv); // takes Qt's own options (-platform, ...) out of argv
    Q_INIT_RESOURCE(corvane);      // the icon, kept in the library
    QApplication::setApplicationName("Corvane");
    QApplication::setApplicationVersion("4.01");
    QApplication::setWindowIcon(QIcon(":/corvane/corvane.png"));
    std::string path;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::printf("usage: corvane [PROJECT.prj]\n");
            return 0;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("corvane 4.01\n");
            return 0;
        }
        if (argv[i][0] == '-' || !path.empty()) {
            std::fprintf(stderr, "usage: corvane [PROJECT.prj]\n");
            return 2;
        }
        path = argv[i];
    }
    // A path with a folder part is made absolute; a bare file name gets the start-up's
    // full-pathname message.
    if (path.find('/') != std::string::npos)
        path = QFileInfo(QString::fromLocal8Bit(path.c_str())).absoluteFilePath().toStdString();
    crv::gui::DesktopApp app;
    switch (app.Start(path)) {
    case crv::gui::DesktopApp::StartResult::AnotherInstance:
        std::fprintf(stderr, "corvane: another Corvane is running; its window was brought "
                             "forward.\n");
        return 0;
    case crv::gui::DesktopApp::StartResult::Left:
        return 0;
    case crv::gui::DesktopApp::StartResult::Running:
        break;
    }
    return QApplication::exec();
}
