#include "tests/common/TypeText.h"

#include "tests/common/WindowWait.h"

#include <QApplication>
#include <QString>
#include <QWidget>
#include <QtTest>

namespace {

void typeKey(QWidget *widget, QChar c) {
    if (c.unicode() < 128)
        QTest::keyClick(widget, c.toLatin1());
    else
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                            Qt::NoModifier);
}

} // namespace

void typeText(QWidget *widget, const QString &text) {
    for (QChar c : text)
        typeKey(widget, c);
}

void typeIntoFocus(const QString &text) {
    for (QChar c : text) {
        QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget(), kWindowWait);
        typeKey(QApplication::focusWidget(), c);
    }
}
