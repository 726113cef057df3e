#include "gui/desktop_app.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

#include "gui/qt_text.h"

namespace crv::gui {

DesktopApp::DesktopApp() : m_scope(m_platform), m_lock(Preferences::ConfigFolder()) {}

DesktopApp::~DesktopApp() {
    // The windows let go of the documents before the project goes with the application;
    // nothing is asked here (closing the main window asked already).
    m_window.reset();
    m_app.reset();
}

QString DesktopApp::ServerName() {
    // One name per configuration folder: the instance that holds its lock answers.
    QByteArray folder = QByteArray::fromStdString(Preferences::ConfigFolder());
    return "corvane-" + QCryptographicHash::hash(folder, QCryptographicHash::Sha1).toHex().left(16);
}

void DesktopApp::ListenForOtherInstances() {
    m_server = new QLocalServer(this);
    QLocalServer::removeServer(ServerName()); // left behind by an instance that crashed
    if (!m_server->listen(ServerName()))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            s->deleteLater();
            if (m_window) {
                m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) |
                                         Qt::WindowActive);
                m_window->show();
                m_window->raise();
                m_window->activateWindow();
            }
        }
    });
}

DesktopApp::StartResult DesktopApp::Start(const std::string& commandLinePath, bool startDialog) {
    m_prefs.Load();
    if (CheckSingleInstance(m_lock) == StartupDecision::AnotherInstanceRunning) {
        // Bring the running instance's window forward; LastWndTitle stays as it is.
        QLocalSocket socket;
        socket.connectToServer(ServerName());
        socket.waitForConnected(2000);
        socket.disconnectFromServer();
        return StartResult::AnotherInstance;
    }
    ListenForOtherInstances();
    m_dialogs = std::make_unique<QtDocumentDialogs>(nullptr);
    m_app = std::make_unique<CCrvApp>(m_prefs, m_dialogs.get());
    m_window = std::make_unique<MainWindow>(*m_app, m_prefs, &m_lock);
    m_dialogs->SetParent(m_window.get());
    m_platform.SetParentWindow(m_window.get());

    CCrvApp::StartupResult opened = m_app->OpenStartupProject(commandLinePath);
    m_window->show();
    if (opened == CCrvApp::StartupResult::Opened)
        m_window->ProjectOpened();
    if (!m_app->HasProject() && startDialog && !m_window->RunStartDialog())
        return StartResult::Left;
    return StartResult::Running;
}

} // namespace crv::gui
