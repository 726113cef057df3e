// The host's message handler: where a handle's messages go when it has no error callback
// (the desktop program's message box, zentab's standard error).
#pragma once

#include "zentab/messages.h"

namespace crv::zt {

// The title of the message box a desktop host shows the messages in (buttons OK, Cancel).
constexpr const char* kMessageBoxTitle = "ZT - Zentab";

// Installs the handler for the whole process; an empty handler restores the default,
// which writes "zentab: [N] TEXT" to standard error. Safe to call from any thread.
void SetHostMessageHandler(MessageSink handler);

// Delivers a message through the installed handler; false means Cancel.
bool SendToHost(const Message& message);

} // namespace crv::zt
