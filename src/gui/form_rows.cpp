#include "gui/form_rows.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace crv::gui {

QDialogButtonBox* OkCancelButtons(QDialog* dialog) {
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return box;
}

QHBoxLayout* WithBrowse(QLineEdit* edit, QWidget* parent, std::function<void()> browse) {
    // Room for a path.
    edit->setMinimumWidth(240);
    auto* row = new QHBoxLayout;
    row->addWidget(edit, 1);
    auto* b = new QPushButton("Bro&wse...", parent);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, parent, std::move(browse));
    row->addWidget(b);
    return row;
}

void AddRow(QFormLayout* form, QWidget* parent, const char* text, QLayout* row, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    form->addRow(label, row);
}

void AddRow(QFormLayout* form, QWidget* parent, const char* text, QWidget* field) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(field);
    form->addRow(label, field);
}

QPushButton* AddButton(QBoxLayout* buttons, QWidget* parent, const char* text, const char* name,
                       std::function<void()> fn) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, parent, std::move(fn));
    buttons->addWidget(b);
    return b;
}

} // namespace crv::gui
