#include "gui/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "base/message_text.h"
#include "base/platform.h"
#include "gui/qt_text.h"

#ifndef CORVANE_SOURCE_DOCS
#define CORVANE_SOURCE_DOCS ""
#endif

namespace crv::gui {

namespace {
constexpr const char* kGuideName = "user-guide.md";
} // namespace

QString UserGuidePath() {
    QDir bin(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        bin.filePath("../share/doc/corvane/" + QString(kGuideName)),
        QDir(QString::fromUtf8(CORVANE_SOURCE_DOCS)).filePath(kGuideName),
    };
    for (const QString& c : candidates)
        if (QFileInfo(c).isFile())
            return QFileInfo(c).canonicalFilePath();
    return {};
}

QWidget* ShowUserGuide(QWidget* parent) {
    static QPointer<QWidget> open;
    if (open) {
        open->show();
        open->raise();
        open->activateWindow();
        return open;
    }
    QString path = UserGuidePath();
    if (path.isEmpty()) {
        platform().ShowMessage(
            FormatMessage("The user guide %1 is not installed with the program.", {kGuideName}));
        return nullptr;
    }
    auto* window = new QWidget(parent, Qt::Window);
    window->setObjectName("userGuide");
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle("Corvane User Guide");
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* browser = new QTextBrowser(window);
    browser->setOpenExternalLinks(true);
    browser->setSource(QUrl::fromLocalFile(path), QTextDocument::MarkdownResource);
    layout->addWidget(browser);
    window->resize(760, 640);
    window->show();
    open = window;
    return window;
}

} // namespace crv::gui
