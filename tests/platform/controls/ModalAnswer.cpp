#include "tests/platform/controls/ModalAnswer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

ModalAnswer::ModalAnswer(QString buttonText) : m_buttonText(std::move(buttonText)) {
    QTimer::singleShot(0, this, [this] { poll(); });
}

void ModalAnswer::poll() {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box) {
        if (++m_tries < 500)
            QTimer::singleShot(10, this, [this] { poll(); });
        return;
    }
    seen = true;
    title = box->windowTitle();
    text = box->text();
    for (QAbstractButton *b : box->buttons())
        buttons << b->text();
    for (QAbstractButton *b : box->buttons())
        if (b->text() == m_buttonText) {
            b->click();
            return;
        }
    box->reject();
}
