#include "gui/browse_columns_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "gui/form_rows.h"
#include "gui/qt_text.h"
#include "schema/marker.h"

namespace crv::gui {

BrowseColumnsDialog::BrowseColumnsDialog(const CMarkerSet& markers, const CBrowseList& list,
                                         QWidget* parent)
    : QDialog(parent), m_list(list) {
    setWindowTitle("Browse Fields");
    setObjectName("browseColumnsDialog");
    m_available = new QListWidget(this);
    for (const CMarker& m : markers)
        if (!m.Hidden())
            m_available->addItem(Q("\\" + m.Name()));
    m_available->sortItems();
    m_columns = new QListWidget(this);
    m_width = new QSpinBox(this);
    m_width->setRange(10, 2000);
    m_width->setSuffix(" px");
    m_right = new QCheckBox("&Right justify", this);
    m_empty = new QLineEdit(Q(list.fieldEmpty), this);
    m_noField = new QLineEdit(Q(list.noField), this);

    auto* add = new QPushButton("&Add ->", this);
    auto* remove = new QPushButton("<- &Remove", this);
    auto* up = new QPushButton("Move &Up", this);
    auto* down = new QPushButton("Move &Down", this);
    connect(add, &QPushButton::clicked, this, &BrowseColumnsDialog::AddColumn);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &BrowseColumnsDialog::AddColumn);
    connect(remove, &QPushButton::clicked, this, &BrowseColumnsDialog::RemoveColumn);
    connect(up, &QPushButton::clicked, this, [this] { MoveColumn(-1); });
    connect(down, &QPushButton::clicked, this, [this] { MoveColumn(1); });
    connect(m_columns, &QListWidget::currentRowChanged, this, [this] { ShowCurrent(); });
    connect(m_width, &QSpinBox::valueChanged, this, [this](int w) {
        int row = m_columns->currentRow();
        if (row >= 0)
            m_list.columns[static_cast<std::size_t>(row)].width = w;
    });
    connect(m_right, &QCheckBox::toggled, this, [this](bool on) {
        int row = m_columns->currentRow();
        if (row >= 0)
            m_list.columns[static_cast<std::size_t>(row)].rightJustify = on;
    });

    auto* grid = new QGridLayout;
    auto* fieldsLabel = new QLabel("&Fields:", this);
    fieldsLabel->setBuddy(m_available);
    auto* columnsLabel = new QLabel("&Columns, in order:", this);
    columnsLabel->setBuddy(m_columns);
    grid->addWidget(fieldsLabel, 0, 0);
    grid->addWidget(columnsLabel, 0, 2);
    grid->addWidget(m_available, 1, 0);
    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add);
    middle->addWidget(remove);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_columns, 1, 2);
    auto* side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addStretch();
    grid->addLayout(side, 1, 3);
    auto* column = new QFormLayout;
    column->addRow("&Width:", m_width);
    column->addRow(QString(), m_right);
    grid->addLayout(column, 2, 2);
    auto* texts = new QFormLayout;
    texts->addRow("Shown for an &empty field:", m_empty);
    texts->addRow("Shown for &no field:", m_noField);
    auto* buttons = OkCancelButtons(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(texts);
    layout->addWidget(buttons);
    FillColumns(0);
}

void BrowseColumnsDialog::FillColumns(int current) {
    QSignalBlocker block(m_columns);
    m_columns->clear();
    for (const CBrowseColumn& c : m_list.columns)
        m_columns->addItem(Q("\\" + c.marker));
    if (!m_list.columns.empty())
        m_columns->setCurrentRow(std::clamp(current, 0, m_columns->count() - 1));
    ShowCurrent();
}

void BrowseColumnsDialog::ShowCurrent() {
    int row = m_columns->currentRow();
    bool any = row >= 0;
    m_width->setEnabled(any);
    m_right->setEnabled(any);
    if (!any)
        return;
    const CBrowseColumn& c = m_list.columns[static_cast<std::size_t>(row)];
    QSignalBlocker b1(m_width), b2(m_right);
    m_width->setValue(c.width);
    m_right->setChecked(c.rightJustify);
}

void BrowseColumnsDialog::AddColumn() {
    QListWidgetItem* item = m_available->currentItem();
    if (!item)
        return;
    CBrowseColumn c;
    c.marker = S(item->text().mid(1));
    c.width = 120;
    int at = m_columns->currentRow() + 1;
    m_list.columns.insert(m_list.columns.begin() + at, c);
    FillColumns(at);
}

void BrowseColumnsDialog::RemoveColumn() {
    int row = m_columns->currentRow();
    if (row < 0)
        return;
    m_list.columns.erase(m_list.columns.begin() + row);
    FillColumns(row);
}

void BrowseColumnsDialog::MoveColumn(int step) {
    int row = m_columns->currentRow();
    int to = row + step;
    if (row < 0 || to < 0 || to >= static_cast<int>(m_list.columns.size()))
        return;
    std::swap(m_list.columns[static_cast<std::size_t>(row)],
              m_list.columns[static_cast<std::size_t>(to)]);
    FillColumns(to);
}

void BrowseColumnsDialog::accept() {
    m_list.fieldEmpty = S(m_empty->text());
    m_list.noField = S(m_noField->text());
    QDialog::accept();
}

} // namespace crv::gui
