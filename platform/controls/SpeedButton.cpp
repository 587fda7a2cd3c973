#include "platform/controls/SpeedButton.h"

namespace platform {

SpeedButton::SpeedButton(QWidget *parent) : QToolButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAutoRaise(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void SpeedButton::setHint(const QString &hint) {
    setToolTip(hint);
    setAccessibleName(hint);
}

void SpeedButton::setCaption(const QString &caption) {
    setText(caption);
    setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
}

} // namespace platform
