// Pieces the dialogs share: the OK and Cancel buttons, a line edit with
// its "Browse..." button, a form row whose label's mnemonic reaches a widget inside a
// layout, and the buttons beside a list.
#pragma once

#include <functional>

class QDialog;
class QDialogButtonBox;
class QFormLayout;
class QBoxLayout;
class QHBoxLayout;
class QLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace crv::gui {

QDialogButtonBox* OkCancelButtons(QDialog* dialog);
QHBoxLayout* WithBrowse(QLineEdit* edit, QWidget* parent, std::function<void()> browse);
void AddRow(QFormLayout* form, QWidget* parent, const char* text, QLayout* row, QWidget* buddy);
// A form row of one widget, its label's mnemonic reaching it.
void AddRow(QFormLayout* form, QWidget* parent, const char* text, QWidget* field);
// A button of a column beside a list (not the default button: Enter is OK's).
QPushButton* AddButton(QBoxLayout* buttons, QWidget* parent, const char* text, const char* name,
                       std::function<void()> fn);

} // namespace crv::gui
