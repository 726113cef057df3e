// The interlinear process editor of a database type: the list with Add, Modify, Delete
// and Quick Setup, the list's characters, and each process kind's properties. It edits a
// copy; OK puts the copy's processes into the type's list.
#pragma once

#include <QDialog>
#include <memory>

#include "interlinear/interlinear_proc.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

namespace crv {
class CDocManager;
} // namespace crv

namespace crv::gui {

class ProcessEditorDialog : public QDialog {
    Q_OBJECT
public:
    // docs: the open databases offered as lexicons and rule files.
    ProcessEditorDialog(const CInterlinearProcList& list, CDocManager* docs,
                        QWidget* parent = nullptr);
    ~ProcessEditorDialog() override;
    // OK: the edited processes and characters replace list's; whether anything changed.
    bool Apply(CInterlinearProcList& list) const;

    QListWidget* List() const { return m_list; }
    CInterlinearProcList& Working() { return *m_work; }
    // The commands of the buttons (the tests call them as the buttons do).
    void Add();
    void Modify();
    void Delete();
    void QuickSetup();

private:
    void Refill();
    CInterlinearProc* Selected() const;

    std::unique_ptr<CInterlinearProcList> m_work;
    CDocManager* m_docs;
    QListWidget* m_list;
    QLineEdit* m_forcedStart;
    QLineEdit* m_forcedEnd;
    QLineEdit* m_boundary;
    QLineEdit* m_breaks;
};

// The properties of one process (its kind's page); OK writes them into proc.
class ProcessPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    ProcessPropertiesDialog(CInterlinearProc& proc, CDocManager* docs, QWidget* parent = nullptr);
    void accept() override;

private:
    struct Impl;
    std::shared_ptr<Impl> m_impl;
};

// One line of the process list: kind, From and To, and whether it adapts.
QString ProcessRow(const CInterlinearProc& proc);

} // namespace crv::gui
