#include "gui/sort_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/engine_type_settings.h"
#include "engine/filter.h"
#include "engine/filter_dialog.h"
#include "engine/sort_dialog.h"
#include "gui/form_rows.h"
#include "gui/qt_text.h"
#include "gui/sort_order_dialog.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/sort_order_set.h"

namespace crv::gui {

namespace {
QString MarkerItem(const CMarker* m) { return Q("\\" + m->Name()); }
} // namespace

SortDialog::SortDialog(CIndexSet& set, const CIndex& current, CIndexFilter* filter, QWidget* parent)
    : QDialog(parent), m_set(&set), m_filter(filter) {
    setWindowTitle("Sorting by Fields");
    auto* grid = new QGridLayout(this);
    m_available = new QListWidget(this);
    m_fields = new QListWidget(this);
    for (const CMarker& m : set.Markers())
        m_available->addItem(MarkerItem(&m));
    m_available->setCurrentRow(0);
    if (current.PriMarker())
        m_fields->addItem(MarkerItem(current.PriMarker()));
    for (CMarker* m : current.SecMarkers())
        m_fields->addItem(MarkerItem(m));

    auto* buttons = new QVBoxLayout;
    auto add = [&](const char* text, auto fn) {
        auto* b = new QPushButton(text, this);
        connect(b, &QPushButton::clicked, this, fn);
        buttons->addWidget(b);
    };
    add("&First ->", [this] { AddField(0); });
    add("&Last ->", [this] { AddField(1); });
    add("&Insert ->", [this] { AddField(2); });
    add("<- &Remove", [this] {
        delete m_fields->takeItem(m_fields->currentRow());
        FillOrders();
    });
    add("<- &Clear", [this] {
        m_fields->clear();
        FillOrders();
    });
    buttons->addStretch();

    auto* availableLabel = new QLabel("&Available fields:", this);
    availableLabel->setBuddy(m_available);
    auto* fieldsLabel = new QLabel("&Sort fields:", this);
    fieldsLabel->setBuddy(m_fields);
    grid->addWidget(availableLabel, 0, 0);
    grid->addWidget(fieldsLabel, 0, 2);
    grid->addWidget(m_available, 1, 0);
    grid->addLayout(buttons, 1, 1);
    grid->addWidget(m_fields, 1, 2);

    m_orders = new QComboBox(this);
    auto* ordersLabel = new QLabel("Sort &Order for first field", this);
    ordersLabel->setBuddy(m_orders);
    auto* edit = new QPushButton("&Edit", this);
    edit->setObjectName("sortOrderEdit");
    edit->setAutoDefault(false);
    connect(edit, &QPushButton::clicked, this, [this] {
        if (m_ordersFor && m_ordersFor->LangEnc())
            EditSortOrderOf(*m_ordersFor->LangEnc(), S(m_orders->currentText()), this);
    });
    auto* orderRow = new QHBoxLayout;
    orderRow->addWidget(m_orders, 1);
    orderRow->addWidget(edit);
    grid->addWidget(ordersLabel, 2, 0, 1, 3);
    grid->addLayout(orderRow, 3, 0, 1, 3);

    m_fromEnd = new QCheckBox("Sor&t first field from end", this);
    m_fromEnd->setChecked(current.FromEnd());
    grid->addWidget(m_fromEnd, 4, 0, 1, 3);
    m_keyLength = new QSpinBox(this);
    m_keyLength->setRange(0, 9999); // the rule's own check says what is accepted
    m_keyLength->setValue(current.KeyLength());
    auto* lengthLabel = new QLabel("Sort Key Le&ngth", this);
    lengthLabel->setBuddy(m_keyLength);
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(lengthLabel);
    lengthRow->addWidget(m_keyLength);
    lengthRow->addStretch();
    grid->addLayout(lengthRow, 5, 0, 1, 3);

    auto* box = OkCancelButtons(this);
    grid->addWidget(box, 6, 0, 1, 3);

    FillOrders();
    if (current.SortOrder()) {
        int at = m_orders->findText(Q(current.SortOrder()->Name()));
        if (at >= 0)
            m_orders->setCurrentIndex(at);
    }
}

CMarker* SortDialog::MarkerOf(const QString& text) const {
    return m_set->Markers().Search(S(text.mid(1)));
}

void SortDialog::AddField(int where) {
    QListWidgetItem* item = m_available->currentItem();
    if (!item)
        return;
    // A marker is a sort field once.
    for (int i = 0; i < m_fields->count(); ++i)
        if (m_fields->item(i)->text() == item->text())
            delete m_fields->takeItem(i--);
    int row = where == 0 ? 0 : where == 1 ? m_fields->count() : std::max(0, m_fields->currentRow());
    m_fields->insertItem(row, item->text());
    m_fields->setCurrentRow(row);
    FillOrders();
}

void SortDialog::FillOrders() {
    CMarker* first = m_fields->count() > 0 ? MarkerOf(m_fields->item(0)->text()) : nullptr;
    if (first == m_ordersFor && m_orders->count() > 0)
        return;
    m_ordersFor = first;
    m_orders->clear();
    if (!first || !first->LangEnc())
        return;
    for (const CSortOrder& so : first->LangEnc()->SortOrders())
        m_orders->addItem(Q(so.Name()));
    if (CSortOrder* def = DefaultSortOrderFor(first))
        m_orders->setCurrentIndex(m_orders->findText(Q(def->Name())));
}

void SortDialog::accept() {
    CSortChoice choice;
    for (int i = 0; i < m_fields->count(); ++i)
        if (CMarker* m = MarkerOf(m_fields->item(i)->text()))
            choice.fields.push_back(m);
    if (!choice.fields.empty() && choice.fields[0]->LangEnc())
        choice.sortOrder =
            choice.fields[0]->LangEnc()->SortOrders().Search(S(m_orders->currentText()));
    choice.fromEnd = m_fromEnd->isChecked();
    choice.keyLength = m_keyLength->value();
    if (ApplySortDialog(*m_set, choice, m_filter, unfiltered, filtered) ==
        SortDialogOutcome::Applied)
        QDialog::accept();
}

bool ChooseWindowFilter(CIndexSet& set, const CIndex& current, QWidget* parent,
                        CIndexFilter*& chosen) {
    CFilterSet* filters = set.Type() ? FilterSetOf(*set.Type()) : nullptr;
    QDialog dialog(parent);
    dialog.setWindowTitle("Filter");
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel("&Filter records:", &dialog);
    auto* list = new QListWidget(&dialog);
    label->setBuddy(list);
    std::vector<std::string> choices =
        filters ? FilterChoices(*filters) : std::vector<std::string>{"[no filter]"};
    for (const std::string& c : choices)
        list->addItem(Q(c));
    list->setCurrentRow(0);
    if (current.Filter())
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == Q(current.Filter()->FilterName()))
                list->setCurrentRow(i);
    auto* box = OkCancelButtons(&dialog);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(box);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return false;
    chosen =
        filters ? FilterOfChoice(*filters, static_cast<std::size_t>(list->currentRow())) : nullptr;
    return true;
}

} // namespace crv::gui
