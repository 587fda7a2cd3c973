#pragma once

#include <QObject>
#include <QStringList>

// Waits for the next modal box the code under test opens, records what it shows, and presses
// its button with the given text.
class ModalAnswer : public QObject {
public:
    explicit ModalAnswer(QString buttonText);

    bool seen = false;
    QString title;
    QString text;
    QStringList buttons;

private:
    void poll();
    QString m_buttonText;
    int m_tries = 0;
};
