#pragma once

#include <QByteArray>
#include <QString>

namespace db::win1252 {

// Windows code page 1252, the connection character set. Conversion happens only at
// the statement boundary.
QString decode(const char *data, qsizetype size);
inline QString decode(const QByteArray &bytes) {
    return decode(bytes.constData(), bytes.size());
}

// Raises DatabaseError naming the first character that has no place in the code page:
// such text is refused, never stored as "?".
QByteArray encode(const QString &text);

// The character's byte in the code page; -1 when it has none.
int byteOf(char16_t c);

// True when every character of the text can be stored.
bool canEncode(const QString &text);

} // namespace db::win1252
