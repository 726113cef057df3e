// Help: the user guide that ships with the program (docs/user-guide.md, installed under
// share/doc/corvane), shown in a window of its own.
#pragma once

#include <QString>

class QWidget;

namespace crv::gui {

// Where the user guide is: beside the installed program, else in the source tree the
// program was built from; empty when neither has it.
QString UserGuidePath();

// Shows the user guide (the window already open is brought forward); a message when the
// guide is missing. Returns the window, or null.
QWidget* ShowUserGuide(QWidget* parent);

} // namespace crv::gui
