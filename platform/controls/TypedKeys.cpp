#include "platform/controls/TypedKeys.h"

#include "db/Win1252.h"

#include <QKeyEvent>

namespace platform {
namespace {

// By code point: a character beyond the basic plane is printable as a whole, a lone half of a
// surrogate pair is not.
bool printable(const QString &text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() &&
            text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (!QChar::isPrint(c))
            return false;
    }
    return true;
}

} // namespace

QString typedText(const QKeyEvent *event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool control = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    const QString text = event->text();
    if (control || text.isEmpty() || !printable(text))
        return QString();
    return text;
}

void refuseUnstorable(const QString &text) {
    if (!db::win1252::canEncode(text))
        db::win1252::encode(text); // raises, naming the first character it cannot store
}

} // namespace platform
