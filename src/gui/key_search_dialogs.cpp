#include "gui/key_search_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "base/platform.h"
#include "engine/index.h"
#include "gui/browse_model.h"
#include "gui/qt_text.h"
#include "schema/database_type.h"

namespace crv::gui {

namespace {

// The match levels in the order of their buttons, with the masks they stand for.
struct Level {
    const char* label;
    int mask;
};
constexpr Level kLevels[] = {{"By &primary grouping only", 3},
                             {"Disregarding &case", 23},
                             {"&Exactly by secondary ordering", 7},
                             {"E&ven those normally ignored", 15}};

} // namespace

QGroupBox* MatchLevelBox(QWidget* parent, int mask, QButtonGroup*& levels) {
    auto* group = new QGroupBox("Match characters", parent);
    auto* groupLayout = new QVBoxLayout(group);
    levels = new QButtonGroup(parent);
    for (const Level& level : kLevels) {
        auto* button = new QRadioButton(level.label, group);
        levels->addButton(button, level.mask);
        groupLayout->addWidget(button);
        button->setChecked(level.mask == mask);
    }
    if (!levels->checkedButton())
        levels->button(3)->setChecked(true);
    return group;
}

KeyDialog::KeyDialog(const CKeySearch& search, const QString& title, const QString& prompt,
                     const CMarker* keyMarker, QWidget* parent)
    : KeyDialog(search, title, prompt, MarkerFont(keyMarker), MarkerIsUtf8(keyMarker), parent) {}

KeyDialog::KeyDialog(const CKeySearch& search, const QString& title, const QString& prompt,
                     const QFont& font, bool utf8, QWidget* parent)
    : QDialog(parent), m_utf8(utf8), m_oldKey(search.key) {
    setWindowTitle(title);
    m_rows = new QVBoxLayout(this);
    auto* label = new QLabel(prompt, this);
    m_key = new QLineEdit(FieldText(search.key, m_utf8), this);
    m_key->setFont(font);
    m_key->selectAll();
    label->setBuddy(m_key);
    m_whole = new QCheckBox("Match &whole field", this);
    m_whole->setChecked(search.matchWhole);
    QGroupBox* group = MatchLevelBox(this, search.mask, m_levels);
    m_box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(m_box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_rows->addWidget(label);
    m_rows->addWidget(m_key);
    m_rows->addWidget(m_whole);
    m_rows->addWidget(group);
    m_rows->addWidget(m_box);
}

void KeyDialog::SetKeyLanguage(const QFont& font, bool utf8) {
    std::string bytes;
    std::string message;
    const bool typed = TypedBytes(m_key->text(), m_oldKey, m_utf8, bytes, message);
    m_utf8 = utf8;
    m_key->setFont(font);
    if (typed) {
        m_oldKey = bytes;
        m_key->setText(FieldText(bytes, m_utf8));
    }
}

bool KeyDialog::Result(CKeySearch& search) const {
    std::string bytes;
    std::string message;
    if (!TypedBytes(m_key->text(), m_oldKey, m_utf8, bytes, message)) {
        platform().ShowMessage(message);
        return false;
    }
    search.key = std::move(bytes);
    search.matchWhole = m_whole->isChecked();
    search.mask = m_levels->checkedId();
    return true;
}

void KeyDialog::accept() {
    CKeySearch probe;
    if (Result(probe))
        QDialog::accept();
}

MultipleMatchesDialog::MultipleMatchesDialog(const CIndex& index, const CKeyRecordSet& matches,
                                             bool canInsert, QWidget* parent)
    : QDialog(parent) {
    const CMarker* show = nullptr;
    if (CDatabaseType* type = index.Set().Type())
        show = type->MultipleMatchMarker();
    bool utf8 = MarkerIsUtf8(index.PriMarker());
    QStringList rows;
    for (const CIndexPos& p : matches.Matches())
        rows.push_back(FieldText(MatchRowText(*p.Entry(), show), utf8));
    Build(rows, MarkerFont(index.PriMarker()), canInsert, matches.HasMore());
}

MultipleMatchesDialog::MultipleMatchesDialog(const QStringList& rows, const QFont& font,
                                             bool canInsert, bool more, QWidget* parent)
    : QDialog(parent) {
    Build(rows, font, canInsert, more);
}

void MultipleMatchesDialog::Build(const QStringList& rows, const QFont& font, bool canInsert,
                                  bool more) {
    setWindowTitle("Multiple Matches");
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setFont(font);
    for (QString row : rows) {
        row.replace('\n', ' ');
        m_list->addItem(row);
    }
    if (more)
        layout->addWidget(
            new QLabel(QString("The first %1 matches are listed.").arg(rows.size()), this));
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto* box = new QDialogButtonBox(this);
    QPushButton* ok = box->addButton(QDialogButtonBox::Ok);
    QPushButton* insert =
        canInsert ? box->addButton("&Insert", QDialogButtonBox::ActionRole) : nullptr;
    QPushButton* again = box->addButton("&Try Again", QDialogButtonBox::ActionRole);
    box->addButton(QDialogButtonBox::Cancel);
    using Choice = CKeySearchDialogs::Choice;
    connect(ok, &QPushButton::clicked, this, [this] {
        choice = Choice::Take;
        accept();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, ok, &QPushButton::click);
    if (insert)
        connect(insert, &QPushButton::clicked, this, [this] {
            choice = Choice::Insert;
            accept();
        });
    connect(again, &QPushButton::clicked, this, [this] {
        choice = Choice::TryAgain;
        accept();
    });
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);
    resize(420, 320);
}

void MultipleMatchesDialog::AddViewChoices(
    const QStringList& markers, int marker, bool showPath,
    std::function<QStringList(int marker, bool showPath)> remake) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel("Additional &field to view:", this);
    m_field = new QComboBox(this);
    m_field->addItems(markers);
    m_field->setCurrentIndex(marker);
    label->setBuddy(m_field);
    m_showPath = new QCheckBox("&Show path", this);
    m_showPath->setChecked(showPath);
    row->addWidget(label);
    row->addWidget(m_field, 1);
    row->addWidget(m_showPath);
    static_cast<QVBoxLayout*>(layout())->insertLayout(layout()->indexOf(m_list) + 1, row);
    auto refill = [this, remake = std::move(remake)] {
        int at = m_list->currentRow();
        m_list->clear();
        for (QString text : remake(m_field->currentIndex(), m_showPath->isChecked()))
            m_list->addItem(text.replace('\n', ' '));
        m_list->setCurrentRow(std::max(at, 0));
    };
    connect(m_field, &QComboBox::currentIndexChanged, this, refill);
    connect(m_showPath, &QCheckBox::toggled, this, refill);
}

int MultipleMatchesDialog::Row() const { return m_list->currentRow(); }

CKeySearchDialogs::Choice MultipleMatchesDialog::Choose(std::size_t& row) {
    if (exec() != QDialog::Accepted)
        return CKeySearchDialogs::Choice::Cancel;
    if (choice == CKeySearchDialogs::Choice::Take) {
        if (Row() < 0)
            return CKeySearchDialogs::Choice::Cancel;
        row = static_cast<std::size_t>(Row());
    }
    return choice;
}

bool QtKeySearchDialogs::AskKey(CKeySearch& search, std::string_view title,
                                std::string_view prompt) {
    KeyDialog dialog(search, Q(title), Q(prompt), m_keyMarker, m_parent);
    return dialog.exec() == QDialog::Accepted && dialog.Result(search);
}

CKeySearchDialogs::Choice AskNoMatches(QWidget* parent, const QString& key, bool canInsert) {
    using Choice = CKeySearchDialogs::Choice;
    QMessageBox box(QMessageBox::Information, "No Matches", "Can't find:\n" + key,
                    QMessageBox::NoButton, parent);
    QPushButton* insert = canInsert ? box.addButton("&Insert", QMessageBox::AcceptRole) : nullptr;
    QPushButton* again = box.addButton("&Try Again", QMessageBox::ActionRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(cancel);
    box.exec();
    if (insert && box.clickedButton() == insert)
        return Choice::Insert;
    if (box.clickedButton() == again)
        return Choice::TryAgain;
    return Choice::Cancel;
}

CKeySearchDialogs::Choice QtKeySearchDialogs::NoMatches(const CKeySearch& search) {
    return AskNoMatches(m_parent, FieldText(search.key, MarkerIsUtf8(m_keyMarker)), true);
}

CKeySearchDialogs::Choice QtKeySearchDialogs::MultipleMatches(const CIndex& index,
                                                              const CKeyRecordSet& matches,
                                                              bool canInsert, std::size_t& row) {
    MultipleMatchesDialog dialog(index, matches, canInsert, m_parent);
    return dialog.Choose(row);
}

} // namespace crv::gui
