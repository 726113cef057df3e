// "Project Options" (the options the project file keeps) and "Preferences" (the
// folders of the preferences file).
#pragma once

#include <QDialog>

#include "app/project.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace crv {
class Preferences;
}

namespace crv::gui {

class ProjectOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // OK stores the choices in options; Cancel leaves them.
    explicit ProjectOptionsDialog(CProjectOptions& options, QWidget* parent = nullptr);
    QCheckBox* WarnClose() const { return m_warnClose; }
    QCheckBox* WholePath() const { return m_wholePath; }
    QCheckBox* AutoWrap() const { return m_autoWrap; }
    QCheckBox* UseImportTable() const { return m_useTable; }
    QLineEdit* ImportTable() const { return m_table; }
    QCheckBox* RemoveSpaces() const { return m_removeSpaces; }
    QSpinBox* BarHeight() const { return m_height; }
    void accept() override;

private:
    void ShowFont();
    CProjectOptions* m_options;
    CFontDef m_markerFont;
    QCheckBox* m_warnClose;
    QCheckBox* m_wholePath;
    QCheckBox* m_autoWrap;
    QCheckBox* m_useTable;
    QLineEdit* m_table;
    QCheckBox* m_removeSpaces;
    QSpinBox* m_height;
    QLabel* m_fontName;
};

class PreferencesDialog : public QDialog {
    Q_OBJECT
public:
    // OK writes the changed values to the preferences file at once.
    explicit PreferencesDialog(Preferences& prefs, QWidget* parent = nullptr);
    QLineEdit* Field(const char* key) const;
    void accept() override;

private:
    Preferences* m_prefs;
};

} // namespace crv::gui
