#pragma once

#include <QString>

class QKeyEvent;

namespace platform {

// The printable text a key event types, or nothing for keys that type no text (control
// combinations, arrows, Enter, ...). AltGr combinations type text; so does a character
// beyond the basic plane, which a key brings as two UTF-16 units.
QString typedText(const QKeyEvent *event);

// Raises the database layer's refusal (db::DatabaseError, naming the whole character) when
// text typed or pasted holds a character that code page 1252 has no place for: such text is
// refused where it is entered, before it changes anything.
void refuseUnstorable(const QString &text);

} // namespace platform
