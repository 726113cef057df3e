// File > Export: the Export dialog over the active window's database, the run with its
// cancellable progress, and the changes to the export processes written to the type
// file.
#pragma once

#include <QObject>

class QMenu;

namespace crv::gui {

class MainWindow;

class ExportCommands : public QObject {
    Q_OBJECT
public:
    // Adds Export to the File menu, before printing.
    ExportCommands(MainWindow& main, QMenu* file);
    // After any change of the active window or the project.
    void Update();
    void Export();

private:
    MainWindow& m_main;
};

} // namespace crv::gui
