#include "gui/filter_editor_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "engine/filter.h"
#include "engine/index.h"
#include "gui/form_rows.h"
#include "gui/key_search_dialogs.h"
#include "gui/marker_dialogs.h"
#include "gui/qt_text.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"

namespace crv::gui {

namespace {

bool IsDialogKind(FilterElementChoice c) {
    return c == FilterElementChoice::MarkerText || c == FilterElementChoice::MarkerDate ||
           c == FilterElementChoice::LangText;
}

// The choice an element was made from (for Modify).
std::optional<FilterElementChoice> ChoiceOf(const CFilterElement& e) {
    switch (e.Kind()) {
    case FilterElementKind::MarkerText:
        return FilterElementChoice::MarkerText;
    case FilterElementKind::MarkerDate:
        return FilterElementChoice::MarkerDate;
    case FilterElementKind::LangText:
        return FilterElementChoice::LangText;
    default:
        return std::nullopt;
    }
}

// Whether text of this marker or language is UTF-8 (how the pattern's bytes are shown).
bool Utf8Of(const CFilterSet& filters, FilterElementChoice kind, const std::string& which) {
    if (kind == FilterElementChoice::LangText) {
        CLangEncSet* encs = filters.Markers().LangEncSet();
        CLangEnc* lang = encs && which != kAnyLangText ? encs->Find(which) : nullptr;
        return lang && lang->Utf8();
    }
    CMarker* m = filters.Markers().Search(which);
    return m && m->LangEnc() && m->LangEnc()->Utf8();
}

} // namespace

// ---------------------------------------------------------------- element dialogs

FilterElementDialog::FilterElementDialog(const CFilterSet& filters, FilterElementChoice kind,
                                         const CFilterElement* like, QWidget* parent)
    : QDialog(parent), m_filters(filters), m_kind(kind) {
    setObjectName("filterElementDialog");
    auto* form = new QFormLayout;
    m_which = new QComboBox(this);
    m_which->setObjectName("elementWhich");
    m_text = new QLineEdit(this);
    m_text->setObjectName("elementText");
    std::string which, text;
    if (kind == FilterElementChoice::LangText) {
        setWindowTitle("Language Text Filter Element");
        if (CLangEncSet* encs = filters.Markers().LangEncSet())
            for (const std::string& c : FilterLangEncChoices(*encs))
                m_which->addItem(Q(c));
        else
            m_which->addItem(Q(kAnyLangText));
        if (auto* e = dynamic_cast<const CFilterLangText*>(like)) {
            which = e->AnyLang() ? std::string(kAnyLangText) : e->LangName();
            text = e->Pattern().Text();
        }
        auto* label = new QLabel("&Language:", this);
        label->setBuddy(m_which);
        form->addRow(label, m_which);
    } else {
        setWindowTitle(kind == FilterElementChoice::MarkerDate ? "Marker Date"
                                                               : "Marker Text Filter Element");
        for (const CMarker& m : filters.Markers())
            m_which->addItem(Q(m.ListLabel(false, true, true)), Q(m.Name()));
        if (auto* e = dynamic_cast<const CFilterMarkerText*>(like)) {
            which = e->Marker().Name();
            text = e->Pattern().Text();
        } else if (auto* d = dynamic_cast<const CFilterMarkerDate*>(like)) {
            which = d->Marker().Name();
            text = d->Condition().DateText();
        }
        auto* label = new QLabel("&Marker:", this);
        label->setBuddy(m_which);
        form->addRow(label, m_which);
    }
    if (!which.empty()) {
        int at = kind == FilterElementChoice::LangText ? m_which->findText(Q(which))
                                                       : m_which->findData(Q(which));
        if (at >= 0)
            m_which->setCurrentIndex(at);
    }
    m_text->setText(FieldText(text, Utf8Of(filters, kind, which)));

    auto* layout = new QVBoxLayout(this);
    if (kind == FilterElementChoice::MarkerDate) {
        auto* group = new QGroupBox(this);
        auto* rows = new QVBoxLayout(group);
        m_relation = new QButtonGroup(this);
        auto rel = CDateCondition::Relation::Before;
        if (auto* d = dynamic_cast<const CFilterMarkerDate*>(like))
            rel = d->Condition().Rel();
        const std::pair<const char*, CDateCondition::Relation> rels[] = {
            {"<  &Before", CDateCondition::Relation::Before},
            {"=  &Equal", CDateCondition::Relation::Equal},
            {">  &After", CDateCondition::Relation::After}};
        for (const auto& [label, r] : rels) {
            auto* b = new QRadioButton(label, group);
            m_relation->addButton(b, static_cast<int>(r));
            b->setChecked(r == rel);
            rows->addWidget(b);
        }
        form->addRow(group);
        auto* label = new QLabel("&Date:", this);
        label->setBuddy(m_text);
        form->addRow(label, m_text);
        form->addRow(new QLabel("Examples:  30/Jun/2001 or Jun/2001 or 2001", this));
        layout->addLayout(form);
    } else {
        auto* label = new QLabel("&Text:", this);
        label->setBuddy(m_text);
        form->addRow(label, m_text);
        auto* vars = new QComboBox(this);
        vars->setObjectName("elementVariable");
        for (const std::string& v : FilterVariableChoices(filters))
            vars->addItem(Q(v));
        auto* insert = new QPushButton("&Insert into the Text", this);
        insert->setAutoDefault(false);
        insert->setEnabled(vars->count() > 0);
        connect(insert, &QPushButton::clicked, this, [this, vars] {
            // The caret counts characters; the rule counts bytes of UTF-8.
            std::string typed = S(m_text->text());
            std::size_t caret = S(m_text->text().left(m_text->cursorPosition())).size();
            std::string result = InsertVariable(typed, caret, S(vars->currentText()));
            m_text->setText(Q(result));
            m_text->setCursorPosition(static_cast<int>(Q(result.substr(0, caret)).size()));
            m_text->setFocus();
        });
        auto* varRow = new QHBoxLayout;
        varRow->addWidget(vars, 1);
        varRow->addWidget(insert);
        auto* varLabel = new QLabel("&Variable", this);
        varLabel->setBuddy(vars);
        form->addRow(varLabel, varRow);
        layout->addLayout(form);
    }
    layout->addWidget(OkCancelButtons(this));
    setMinimumWidth(420);
}

void FilterElementDialog::accept() {
    std::string which = m_kind == FilterElementChoice::LangText
                            ? S(m_which->currentText())
                            : S(m_which->currentData().toString());
    std::string text, message;
    if (!TypedBytes(m_text->text(), {}, Utf8Of(m_filters, m_kind, which), text, message)) {
        platform().ShowMessage(message);
        return;
    }
    CNote error;
    switch (m_kind) {
    case FilterElementChoice::LangText:
        m_element = MakeLangTextElement(m_filters, which, text, error);
        break;
    case FilterElementChoice::MarkerDate:
        m_element = MakeMarkerDateElement(
            m_filters, which, static_cast<CDateCondition::Relation>(m_relation->checkedId()), text,
            error);
        break;
    default:
        m_element = MakeMarkerTextElement(m_filters, which, text, error);
        break;
    }
    if (!m_element) {
        platform().ShowMessage(error.Text());
        // The message's place in the pattern is selected.
        m_text->setFocus();
        int pos = error.Position();
        if (pos >= 0 && static_cast<std::size_t>(pos) <= text.size())
            m_text->setSelection(static_cast<int>(Q(text.substr(0, pos)).size()), 1);
        else
            m_text->selectAll();
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- filter properties

FilterEditorDialog::FilterEditorDialog(CFilterSet& filters, CFilter* editing, const CFilter* copyOf,
                                       const CIndex* base, QWidget* parent)
    : QDialog(parent), m_filters(filters), m_editing(editing), m_base(base) {
    setObjectName("filterEditor");
    setWindowTitle("Filter Properties");
    if (editing)
        m_editor = CFilterEditor(*editing);
    else if (copyOf) {
        m_editor = CFilterEditor(*copyOf);
        m_editor.name = "Copy of " + copyOf->Name();
    }
    auto* grid = new QGridLayout(this);
    m_name = new QLineEdit(SettingsText(m_editor.name), this);
    m_nameLike = m_editor.name;
    m_name->setObjectName("filterName");
    auto* nameLabel = new QLabel("Filter &Name:", this);
    nameLabel->setBuddy(m_name);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(m_name, 1);
    grid->addLayout(nameRow, 0, 0, 1, 3);

    m_elements = new QListWidget(this);
    m_elements->setObjectName("filterElements");
    m_choices = new QListWidget(this);
    m_choices->setObjectName("filterChoices");
    const std::vector<std::string> labels = FilterElementChoiceLabels();
    for (const std::string& l : labels)
        m_choices->addItem(Q(l));
    m_choices->setCurrentRow(0);
    connect(m_choices, &QListWidget::itemDoubleClicked, this, [this] { InsertChoice(2); });
    connect(m_elements, &QListWidget::itemDoubleClicked, this, [this] { ModifySelected(); });
    auto* choicesLabel = new QLabel("Element &kinds:", this);
    choicesLabel->setBuddy(m_choices);
    auto* elementsLabel = new QLabel("Filter &Elements", this);
    elementsLabel->setBuddy(m_elements);
    grid->addWidget(choicesLabel, 1, 0);
    grid->addWidget(elementsLabel, 1, 2);
    grid->addWidget(m_choices, 2, 0);
    grid->addWidget(m_elements, 2, 2);
    grid->setColumnStretch(2, 2);
    grid->setColumnStretch(0, 1);

    auto* buttons = new QVBoxLayout;
    AddButton(buttons, this, "&First ->", "elementFirst", [this] { InsertChoice(0); });
    AddButton(buttons, this, "&Insert ->", "elementInsert", [this] { InsertChoice(1); });
    AddButton(buttons, this, "&Last ->", "elementLast", [this] { InsertChoice(2); });
    AddButton(buttons, this, "&Modify...", "elementModify", [this] { ModifySelected(); });
    AddButton(buttons, this, "&Delete", "elementDelete", [this] {
        int row = m_elements->currentRow();
        if (row < 0)
            return;
        m_editor.Delete(static_cast<std::size_t>(row));
        Refill(std::min(row, static_cast<int>(m_editor.Elements().size()) - 1));
    });
    AddButton(buttons, this, "Delete &All", "elementDeleteAll", [this] {
        m_editor.DeleteAll();
        Refill(-1);
    });
    buttons->addStretch();
    grid->addLayout(buttons, 2, 1);

    m_whole = new QCheckBox("Match &whole field", this);
    m_whole->setObjectName("filterMatchWhole");
    m_whole->setChecked(m_editor.matchWhole);
    grid->addWidget(m_whole, 3, 0, 1, 3);
    QGroupBox* levels = MatchLevelBox(this, m_editor.mask, m_levels);
    levels->setTitle("Match &characters:");
    grid->addWidget(levels, 4, 0, 1, 3);
    connect(m_whole, &QCheckBox::toggled, this, [this] { UpdateCount(); });
    connect(m_levels, &QButtonGroup::idClicked, this, [this] { UpdateCount(); });

    m_count = new QLabel(this);
    m_count->setObjectName("filterCount");
    grid->addWidget(m_count, 5, 0, 1, 3);
    grid->addWidget(OkCancelButtons(this), 6, 0, 1, 3);
    Refill(m_editor.Elements().empty() ? -1 : 0);
    resize(620, 460);
}

void FilterEditorDialog::Refill(int select) {
    m_elements->clear();
    for (const std::string& t : m_editor.DisplayTexts())
        m_elements->addItem(FieldText(t));
    if (select >= 0 && select < m_elements->count())
        m_elements->setCurrentRow(select);
    UpdateCount();
}

void FilterEditorDialog::UpdateCount() {
    if (!m_base) {
        m_count->setText("Open a window on a database of this type to see how many records pass.");
        return;
    }
    m_editor.matchWhole = m_whole->isChecked();
    m_editor.mask = m_levels->checkedId();
    std::optional<std::size_t> n = m_editor.CountPassing(m_filters, *m_base);
    if (!n)
        m_count->setText("The elements do not make a whole filter yet.");
    else
        m_count->setText(
            QString("%1 of %2 records of the active window pass.").arg(*n).arg(m_base->Count()));
}

std::unique_ptr<CFilterElement> FilterEditorDialog::MakeElement(FilterElementChoice choice,
                                                                const CFilterElement* like) {
    if (!IsDialogKind(choice))
        return MakeOperatorElement(choice);
    FilterElementDialog dialog(m_filters, choice, like, this);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return dialog.TakeElement();
}

void FilterEditorDialog::InsertChoice(int where) {
    int row = m_choices->currentRow();
    if (row < 0)
        return;
    auto element = MakeElement(static_cast<FilterElementChoice>(row), nullptr);
    if (!element)
        return;
    int at = m_elements->currentRow();
    std::size_t size = m_editor.Elements().size();
    std::size_t placed = where == 0             ? 0
                         : where == 2 || at < 0 ? size
                                                : static_cast<std::size_t>(at);
    m_editor.InsertBefore(placed, std::move(element));
    Refill(static_cast<int>(placed));
}

void FilterEditorDialog::ModifySelected() {
    int row = m_elements->currentRow();
    if (row < 0)
        return;
    const CFilterElement& e = *m_editor.Elements()[static_cast<std::size_t>(row)];
    std::optional<FilterElementChoice> choice = ChoiceOf(e);
    if (!choice)
        return; // an operator has nothing to change
    if (auto element = MakeElement(*choice, &e)) {
        m_editor.Replace(static_cast<std::size_t>(row), std::move(element));
        Refill(row);
    }
}

void FilterEditorDialog::accept() {
    if (!SettingsBytes(m_name->text().trimmed(), m_nameLike, m_editor.name))
        return;
    m_editor.matchWhole = m_whole->isChecked();
    m_editor.mask = m_levels->checkedId();
    int selected = -1;
    m_result = m_editor.Apply(m_filters, m_editing, selected);
    if (!m_result) {
        if (selected >= 0 && selected < m_elements->count())
            m_elements->setCurrentRow(selected);
        return;
    }
    QDialog::accept();
}

// ---------------------------------------------------------------- filter list page

FilterListPage::FilterListPage(CFilterSet& filters, std::function<const CIndex*()> base,
                               std::function<void()> changed, QWidget* parent)
    : QWidget(parent), m_filters(filters), m_base(std::move(base)), m_changed(std::move(changed)) {
    auto* layout = new QHBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName("typeFilters");
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { Modify(); });
    layout->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    AddButton(buttons, this, "&Add...", "filterAdd", [this] { Add(); });
    AddButton(buttons, this, "&Copy...", "filterCopy", [this] { Copy(); });
    AddButton(buttons, this, "&Modify...", "filterModify", [this] { Modify(); });
    AddButton(buttons, this, "&Delete", "filterDelete", [this] { Delete(); });
    buttons->addStretch();
    layout->addLayout(buttons);
    Refill(nullptr);
}

void FilterListPage::Refill(const CFilter* select) {
    m_list->clear();
    for (const CFilter& f : m_filters) {
        auto* item = new QListWidgetItem(Q(f.Name()), m_list);
        if (&f == select)
            m_list->setCurrentItem(item);
    }
    if (!m_list->currentItem() && m_list->count() > 0)
        m_list->setCurrentRow(0);
}

CFilter* FilterListPage::Selected() const {
    QListWidgetItem* item = m_list->currentItem();
    return item ? m_filters.Find(S(item->text())) : nullptr;
}

void FilterListPage::Edit(CFilter* editing, const CFilter* copyOf) {
    FilterEditorDialog dialog(m_filters, editing, copyOf, m_base ? m_base() : nullptr, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Refill(dialog.Result());
    m_changed();
}

void FilterListPage::Add() { Edit(nullptr, nullptr); }

void FilterListPage::Copy() {
    if (CFilter* f = Selected())
        Edit(nullptr, f);
}

void FilterListPage::Modify() {
    if (CFilter* f = Selected())
        Edit(f, nullptr);
}

void FilterListPage::Delete() {
    CFilter* f = Selected();
    if (!f || !m_filters.Delete(f))
        return;
    Refill(nullptr);
    m_changed();
}

} // namespace crv::gui
