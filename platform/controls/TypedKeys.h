#pragma once

#include <QString>

class QKeyEvent;

namespace platform {

// The printable text a key event types, or nothing for keys that type no text (control
// combinations, arrows, Enter, ...). AltGr combinations type text.
QString typedText(const QKeyEvent *event);

} // namespace platform
