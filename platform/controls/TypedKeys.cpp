#include "platform/controls/TypedKeys.h"

#include <QKeyEvent>

#include <algorithm>

namespace platform {

QString typedText(const QKeyEvent *event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool control = (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier);
    const QString text = event->text();
    if (control || text.isEmpty() ||
        !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); }))
        return QString();
    return text;
}

} // namespace platform
