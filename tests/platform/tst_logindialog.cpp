#include "platform/dialogs/LoginDialog.h"

#include <QtTest>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLabel *labelWithText(const QDialog &dialog, const QString &text) {
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (label->text() == text)
            return label;
    return nullptr;
}

} // namespace

class TestLoginDialog : public QObject {
    Q_OBJECT
private slots:
    void layout();
    void initialFocus_data();
    void initialFocus();
    void maxLength_data();
    void maxLength();
    void presetUserCut();
    void passwordEcho();
    void buddyShortcuts();
    void results_data();
    void results();
};

void TestLoginDialog::layout() {
    LoginDialog dialog(QStringLiteral("servidor:/datos/trelma.fdb"), QStringLiteral("SYSDBA"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Database Login"));
    QVERIFY(labelWithText(dialog, QStringLiteral("Database:")));
    QVERIFY(labelWithText(dialog, QStringLiteral("servidor:/datos/trelma.fdb")));

    QLabel *user = labelWithText(dialog, QStringLiteral("&User Name:"));
    QLabel *password = labelWithText(dialog, QStringLiteral("&Password:"));
    QVERIFY(user && password);
    QCOMPARE(user->buddy(), dialog.userNameEdit());
    QCOMPARE(password->buddy(), dialog.passwordEdit());

    QCOMPARE(dialog.userNameEdit()->text(), QStringLiteral("SYSDBA"));
    QCOMPARE(dialog.passwordEdit()->text(), QString());
    QCOMPARE(dialog.passwordEdit()->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.okButton()->text(), QStringLiteral("&OK"));
    QCOMPARE(dialog.cancelButton()->text(), QStringLiteral("Cancel"));
    QVERIFY(dialog.okButton()->isDefault());
    QVERIFY(!dialog.cancelButton()->isDefault());
}

void TestLoginDialog::initialFocus_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("focused");
    QTest::addRow("preset user") << "SYSDBA"
                                 << "passwordEdit";
    QTest::addRow("empty user") << ""
                                << "userNameEdit";
}

void TestLoginDialog::initialFocus() {
    QFETCH(QString, user);
    QFETCH(QString, focused);
    LoginDialog dialog(QStringLiteral("/x.fdb"), user);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), focused);
}

void TestLoginDialog::maxLength_data() {
    QTest::addColumn<QString>("box");
    QTest::addRow("user name") << "userNameEdit";
    QTest::addRow("password") << "passwordEdit";
}

void TestLoginDialog::maxLength() {
    QFETCH(QString, box);
    LoginDialog dialog(QStringLiteral("/x.fdb"), QString(40, u'u'));
    auto *edit = dialog.findChild<QLineEdit *>(box);
    QVERIFY(edit);
    QCOMPARE(edit->maxLength(), 31);
    edit->clear();
    QTest::keyClicks(edit, QString(40, u'k'));
    QCOMPARE(edit->text(), QString(31, u'k'));
}

void TestLoginDialog::presetUserCut() {
    LoginDialog dialog(QStringLiteral("/x.fdb"), QString(40, u'u'));
    QCOMPARE(dialog.userNameEdit()->text(), QString(31, u'u'));
    QCOMPARE(dialog.userName(), QString(31, u'u'));
}

void TestLoginDialog::passwordEcho() {
    LoginDialog dialog(QStringLiteral("/x.fdb"), QStringLiteral("SYSDBA"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClicks(dialog.passwordEdit(), QStringLiteral("clave1"));
    QCOMPARE(dialog.passwordEdit()->text(), QStringLiteral("clave1"));
    QCOMPARE(dialog.passwordEdit()->displayText(), QStringLiteral("******"));
    QCOMPARE(dialog.password(), QStringLiteral("clave1"));
    // The user-name box shows its text.
    QCOMPARE(dialog.userNameEdit()->displayText(), QStringLiteral("SYSDBA"));
}

void TestLoginDialog::buddyShortcuts() {
    LoginDialog dialog(QStringLiteral("/x.fdb"), QStringLiteral("SYSDBA"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), dialog.passwordEdit());
    QTest::keyClick(&dialog, Qt::Key_U, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), dialog.userNameEdit());
    QTest::keyClick(&dialog, Qt::Key_P, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), dialog.passwordEdit());
}

void TestLoginDialog::results_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("result");
    QTest::addRow("click OK") << "ok" << int(QDialog::Accepted);
    QTest::addRow("Enter in password") << "enter" << int(QDialog::Accepted);
    QTest::addRow("click Cancel") << "cancel" << int(QDialog::Rejected);
    QTest::addRow("Escape") << "escape" << int(QDialog::Rejected);
}

void TestLoginDialog::results() {
    QFETCH(QString, action);
    LoginDialog dialog(QStringLiteral("/x.fdb"), QStringLiteral("SYSDBA"));
    dialog.setResult(-1);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    QTest::keyClicks(dialog.passwordEdit(), QStringLiteral("masterkey"));
    dialog.userNameEdit()->setText(QStringLiteral("ANA"));

    if (action == u"ok")
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    else if (action == u"enter")
        QTest::keyClick(dialog.passwordEdit(), Qt::Key_Return);
    else if (action == u"cancel")
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    else
        QTest::keyClick(dialog.passwordEdit(), Qt::Key_Escape);

    QFETCH(int, result);
    QCOMPARE(dialog.result(), result);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.userName(), QStringLiteral("ANA"));
    QCOMPARE(dialog.password(), QStringLiteral("masterkey"));
}

QTEST_MAIN(TestLoginDialog)
#include "tst_logindialog.moc"
