#include "gui/project_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "app/preferences.h"
#include "gui/form_rows.h"
#include "gui/qt_text.h"

namespace crv::gui {

ProjectOptionsDialog::ProjectOptionsDialog(CProjectOptions& options, QWidget* parent)
    : QDialog(parent), m_options(&options), m_markerFont(options.markerFont) {
    setWindowTitle("Project Options");
    auto* form = new QFormLayout(this);
    m_warnClose =
        new QCheckBox("&Notify me before closing a database referenced by a jump path", this);
    m_warnClose->setChecked(options.warnDocClose);
    m_wholePath = new QCheckBox("Show &Whole Path in jump lists", this);
    m_wholePath->setChecked(options.showWholePath);
    m_autoWrap = new QCheckBox("&Automatic wrap of long fields", this);
    m_autoWrap->setChecked(options.autoWrap);
    form->addRow(m_warnClose);
    form->addRow(m_wholePath);
    form->addRow(m_autoWrap);
    m_useTable = new QCheckBox("&Use a change table when importing", this);
    m_useTable->setChecked(options.import.useChangeTable);
    form->addRow(m_useTable);
    m_table = new QLineEdit(Q(options.import.changeTable), this);
    AddRow(form, this, "Import change &table:",
           WithBrowse(m_table, this,
                      [this] {
                          QString chosen = QFileDialog::getOpenFileName(
                              this, "Import change table", m_table->text(),
                              "Change tables (*.cct *.ztt);;All files (*)");
                          if (!chosen.isEmpty())
                              m_table->setText(chosen);
                      }),
           m_table);
    m_removeSpaces = new QCheckBox("&Remove extra spaces when importing", this);
    m_removeSpaces->setChecked(options.import.removeSpaces);
    form->addRow(m_removeSpaces);
    m_height = new QSpinBox(this);
    m_height->setRange(CProjectOptions::kMinLangCtrlHeight, CProjectOptions::kMaxLangCtrlHeight);
    m_height->setValue(options.langCtrlHeight);
    m_height->setSuffix(" pixels");
    form->addRow(new QLabel("&Language bar height:", this), m_height);
    static_cast<QLabel*>(form->labelForField(m_height))->setBuddy(m_height);
    auto* fontRow = new QHBoxLayout;
    auto* fontButton = new QPushButton("Marker &Font...", this);
    fontButton->setAutoDefault(false);
    m_fontName = new QLabel(this);
    fontRow->addWidget(fontButton);
    fontRow->addWidget(m_fontName, 1);
    form->addRow(fontRow);
    connect(fontButton, &QPushButton::clicked, this, [this] {
        bool ok = false;
        QFont chosen = QFontDialog::getFont(&ok, ToQFont(m_markerFont), this, "Marker Font");
        if (!ok)
            return;
        m_markerFont.face = S(chosen.family());
        if (chosen.pointSize() > 0)
            m_markerFont.height = FontHeightFromSize(chosen.pointSize());
        m_markerFont.weight = chosen.weight();
        m_markerFont.italic = chosen.italic();
        ShowFont();
    });
    ShowFont();
    form->addRow(OkCancelButtons(this));
}

void ProjectOptionsDialog::ShowFont() {
    m_fontName->setText(QString("%1, %2 points")
                            .arg(Q(m_markerFont.face))
                            .arg(FontSizeFromHeight(m_markerFont.height)));
    m_fontName->setFont(ToQFont(m_markerFont));
}

void ProjectOptionsDialog::accept() {
    CProjectOptions& o = *m_options;
    o.warnDocClose = m_warnClose->isChecked();
    o.showWholePath = m_wholePath->isChecked();
    o.autoWrap = m_autoWrap->isChecked();
    o.import.useChangeTable = m_useTable->isChecked();
    o.import.changeTable = S(m_table->text().trimmed());
    o.import.removeSpaces = m_removeSpaces->isChecked();
    o.langCtrlHeight = m_height->value();
    o.markerFont = m_markerFont;
    QDialog::accept();
}

namespace {
const char* const kPreferenceKeys[] = {Preferences::kDefaultSettingsFolder,
                                       Preferences::kDefaultSettingsFolder2, Preferences::kAppPath,
                                       Preferences::kAppPath2};
const char* const kPreferenceLabels[] = {
    "&Settings folder for new projects:", "Second c&hoice:",
    "Folder for <&AppPath> in database paths:", "Second ch&oice:"};
} // namespace

PreferencesDialog::PreferencesDialog(Preferences& prefs, QWidget* parent)
    : QDialog(parent), m_prefs(&prefs) {
    setWindowTitle("Preferences");
    auto* form = new QFormLayout(this);
    for (int i = 0; i < 4; ++i) {
        auto* edit = new QLineEdit(Q(prefs.Get(kPreferenceKeys[i])), this);
        edit->setObjectName(kPreferenceKeys[i]);
        AddRow(form, this, kPreferenceLabels[i],
               WithBrowse(edit, this,
                          [this, edit] {
                              QString chosen = QFileDialog::getExistingDirectory(
                                  this, "Choose a Folder", edit->text());
                              if (!chosen.isEmpty())
                                  edit->setText(chosen);
                          }),
               edit);
    }
    form->addRow(OkCancelButtons(this));
}

QLineEdit* PreferencesDialog::Field(const char* key) const { return findChild<QLineEdit*>(key); }

void PreferencesDialog::accept() {
    for (const char* key : kPreferenceKeys) {
        std::string value = S(Field(key)->text().trimmed());
        // Set refuses a value past its limit with a message; the dialog stays open then.
        if (value != m_prefs->Get(key) && !m_prefs->Set(key, value))
            return;
    }
    QDialog::accept();
}

} // namespace crv::gui
