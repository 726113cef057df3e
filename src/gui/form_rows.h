// Pieces the export and corpus forms share: the OK and Cancel buttons, a line edit with
// its "Browse..." button, and a form row whose label's mnemonic reaches a widget inside a
// layout.
#pragma once

#include <functional>

class QDialog;
class QDialogButtonBox;
class QFormLayout;
class QHBoxLayout;
class QLayout;
class QLineEdit;
class QWidget;

namespace crv::gui {

QDialogButtonBox* OkCancelButtons(QDialog* dialog);
QHBoxLayout* WithBrowse(QLineEdit* edit, QWidget* parent, std::function<void()> browse);
void AddRow(QFormLayout* form, QWidget* parent, const char* text, QLayout* row, QWidget* buddy);

} // namespace crv::gui
