// The desktop program's start-up and exit: preferences, the single running instance
// (a second one brings the first forward and ends), the platform services, the main
// window, the project named or last closed, and the start dialog when there is none.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "app/crv_app.h"
#include "app/instance_lock.h"
#include "app/preferences.h"
#include "gui/document_dialogs_qt.h"
#include "gui/main_window.h"
#include "gui/qt_platform.h"

class QLocalServer;

namespace crv::gui {

class DesktopApp : public QObject {
    Q_OBJECT
public:
    DesktopApp();
    ~DesktopApp() override;

    enum class StartResult { Running, AnotherInstance, Left };
    // Start-up with the project path of the command line (empty: the one last closed).
    // startDialog: show the start dialog while no project is open (tests turn it off).
    StartResult Start(const std::string& commandLinePath, bool startDialog = true);

    MainWindow& Window() { return *m_window; }
    CCrvApp& App() { return *m_app; }
    QtPlatform& Platform() { return m_platform; }
    Preferences& Prefs() { return m_prefs; }

private:
    void ListenForOtherInstances();
    static QString ServerName();

    QtPlatform m_platform;
    ScopedPlatform m_scope;
    Preferences m_prefs;
    InstanceLock m_lock;
    std::unique_ptr<QtDocumentDialogs> m_dialogs;
    std::unique_ptr<CCrvApp> m_app;
    std::unique_ptr<MainWindow> m_window;
    QLocalServer* m_server = nullptr;
};

} // namespace crv::gui
