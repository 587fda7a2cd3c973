#pragma once

#include <QToolButton>

namespace platform {

// A button with a small picture (and sometimes a caption) that never takes the keyboard
// focus; its hint shows when the pointer rests on it and is its accessible name.
class SpeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit SpeedButton(QWidget *parent = nullptr);

    void setHint(const QString &hint);
    QString hint() const { return toolTip(); }
    // A caption beside the picture; none leaves the picture alone.
    void setCaption(const QString &caption);
};

} // namespace platform
