// DBRadioGroup, DBCheckBox, DBMemo and SpeedButton against a real record set.

#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ControlsFixture.h"

#include "platform/controls/DBCheckBox.h"
#include "platform/controls/DBMemo.h"
#include "platform/controls/DBRadioGroup.h"
#include "platform/controls/SpeedButton.h"

#include <QClipboard>
#include <QRadioButton>
#include <QtTest>

using db::State;
using platform::DBCheckBox;
using platform::DBMemo;
using platform::DBRadioGroup;

namespace {

// Installation 1 with the given material and sent flag (SQL literals, NULL allowed).
struct OneInstallation {
    ControlsFixture f;
    Form form;
    OneInstallation(const QString &material, const QString &enviado) {
        f.exec({QStringLiteral(
                    "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, LINEAGENERAL_MATERIAL, "
                    "SOLICITANTE_NOTA) values (1, 'E1', %1, %2, 'nota')")
                    .arg(enviado, material)});
        f.inst->open();
    }
};

} // namespace

class TstSmallControls : public QObject {
    Q_OBJECT
private slots:
    void radioGroupShowsStoredValue_data();
    void radioGroupShowsStoredValue();
    void radioGroupWritesValueNotText();
    void radioGroupRefusalKeepsChoice();
    void radioGroupColumns();
    void checkBoxShowsValue_data();
    void checkBoxShowsValue();
    void checkBoxClicksWriteValues();
    void memoLengthLimit();
    void memoUpperCaseTypingAndPaste();
    void memoStoresTextAsItStands();
    void memoRefusedEditKeepsText();
    void speedButton();
};

void TstSmallControls::radioGroupShowsStoredValue_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("checked");
    QTest::newRow("Cobre") << "'Cobre'" << 0;
    QTest::newRow("Aluminio") << "'Aluminio'" << 1;
    QTest::newRow("the text shown is no value") << "'Alumnio'" << -1;
    QTest::newRow("null") << "NULL" << -1;
}

void TstSmallControls::radioGroupShowsStoredValue() {
    QFETCH(QString, stored);
    QFETCH(int, checked);
    OneInstallation t(stored, "'N'");
    DBRadioGroup group;
    group.setItems({"Cobre", "Alumnio"});
    group.setValues({"Cobre", "Aluminio"});
    group.setDataSource(&t.f.sInst);
    group.setDataField("LINEAGENERAL_MATERIAL");
    QCOMPARE(group.checkedIndex(), checked);
    QCOMPARE(group.button(0)->isChecked(), checked == 0);
    QCOMPARE(group.button(1)->isChecked(), checked == 1);
}

void TstSmallControls::radioGroupWritesValueNotText() {
    OneInstallation t("'Cobre'", "'N'");
    DBRadioGroup *group = t.form.add(new DBRadioGroup);
    group->setItems({"Cobre", "Alumnio"});
    group->setValues({"Cobre", "Aluminio"});
    group->setDataSource(&t.f.sInst);
    group->setDataField("LINEAGENERAL_MATERIAL");
    QVERIFY(t.form.show());
    clickIndicator(group->button(1));
    QCOMPARE(t.f.inst->state(), State::Edit);
    QCOMPARE(t.f.inst->field("LINEAGENERAL_MATERIAL").asString(), QStringLiteral("Aluminio"));
    QCOMPARE(group->checkedIndex(), 1);
    QCOMPARE(t.form.answers.seen, QStringList());
}

void TstSmallControls::radioGroupRefusalKeepsChoice() {
    OneInstallation t("'Cobre'", "'N'");
    t.f.inst->beforeEdit = [](db::RecordSet &) { throw db::DatabaseError(kLocked); };
    DBRadioGroup *group = t.form.add(new DBRadioGroup);
    group->setItems({"Cobre", "Alumnio"});
    group->setValues({"Cobre", "Aluminio"});
    group->setDataSource(&t.f.sInst);
    group->setDataField("LINEAGENERAL_MATERIAL");
    QVERIFY(t.form.show());
    t.form.answers.push(ModalAnswers::ok());
    clickIndicator(group->button(1));
    QCOMPARE(t.form.answers.seen, QStringList{kLockedBox});
    QCOMPARE(group->checkedIndex(), 0);
    QCOMPARE(t.f.inst->field("LINEAGENERAL_MATERIAL").asString(), QStringLiteral("Cobre"));
}

void TstSmallControls::radioGroupColumns() {
    DBRadioGroup group;
    group.setColumns(2);
    group.setItems({"1", "2", "3"});
    group.show();
    // Two columns, filled top to bottom: 1 and 2 on the left, 3 on the right.
    QCOMPARE(group.button(0)->x(), group.button(1)->x());
    QVERIFY(group.button(2)->x() > group.button(0)->x());
    QCOMPARE(group.valueOf(2), QStringLiteral("3")); // no values: the item's own text
    QCOMPARE(group.checkedIndex(), -1);
}

void TstSmallControls::checkBoxShowsValue_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("state");
    QTest::newRow("S") << "'S'" << int(Qt::Checked);
    QTest::newRow("N") << "'N'" << int(Qt::Unchecked);
    QTest::newRow("lower case s") << "'s'" << int(Qt::Checked);
    QTest::newRow("other") << "'X'" << int(Qt::PartiallyChecked);
}

void TstSmallControls::checkBoxShowsValue() {
    QFETCH(QString, stored);
    QFETCH(int, state);
    OneInstallation t("NULL", stored);
    DBCheckBox box;
    box.setDataSource(&t.f.sInst);
    box.setDataField("ENVIADO");
    QCOMPARE(int(box.checkState()), state);
}

void TstSmallControls::checkBoxClicksWriteValues() {
    OneInstallation t("NULL", "'N'");
    DBCheckBox *box = t.form.add(new DBCheckBox);
    box->setValueChecked("Cobre");
    box->setValueUnchecked("Aluminio");
    box->setDataSource(&t.f.sInst);
    box->setDataField("LINEAGENERAL_MATERIAL");
    QVERIFY(t.form.show());
    QCOMPARE(box->checkState(), Qt::PartiallyChecked); // null: grey
    clickIndicator(box);
    QCOMPARE(box->checkState(), Qt::Checked);
    QCOMPARE(t.f.inst->field("LINEAGENERAL_MATERIAL").asString(), QStringLiteral("Cobre"));
    QCOMPARE(t.f.inst->state(), State::Edit);
    clickIndicator(box);
    QCOMPARE(box->checkState(), Qt::Unchecked);
    QCOMPARE(t.f.inst->field("LINEAGENERAL_MATERIAL").asString(), QStringLiteral("Aluminio"));
}

void TstSmallControls::memoLengthLimit() {
    OneInstallation t("NULL", "'N'");
    DBMemo *memo = t.form.add(new DBMemo);
    memo->setDataSource(&t.f.sInst);
    memo->setDataField("SOLICITANTE_NOTA");
    QCOMPARE(memo->maxLength(), 250); // the field's size
    memo->setMaxLength(150);
    QVERIFY(t.form.show());
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QString(150, u'a'));
    QCOMPARE(memo->toPlainText().size(), 150); // "nota" and 146 letters
    QTest::keyClick(memo, Qt::Key_Return);
    QCOMPARE(memo->toPlainText().size(), 150);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QTest::keyClick(memo, 'b');
    QCOMPARE(memo->toPlainText().size(), 150);
    QVERIFY(memo->toPlainText().endsWith(u'b'));
}

void TstSmallControls::memoUpperCaseTypingAndPaste() {
    OneInstallation t("NULL", "'N'");
    DBMemo *memo = t.form.add(new DBMemo);
    memo->setUpperCaseTyping(true);
    memo->setDataSource(&t.f.sInst);
    memo->setDataField("SOLICITANTE_NOTA");
    QVERIFY(t.form.show());
    memo->setFocus();
    memo->selectAll();
    typeText(memo, QString::fromUtf8("año "));
    QCOMPARE(memo->toPlainText(), QString::fromUtf8("AÑO "));
    QGuiApplication::clipboard()->setText(QStringLiteral("pegado"));
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(memo->toPlainText(), QString::fromUtf8("AÑO pegado"));
    QCOMPARE(t.f.inst->state(), State::Edit);
    t.form.other->setFocus(Qt::TabFocusReason);
    QCOMPARE(t.f.inst->field("SOLICITANTE_NOTA").asString(), QString::fromUtf8("AÑO pegado"));
}

void TstSmallControls::memoStoresTextAsItStands() {
    OneInstallation t("NULL", "'N'");
    // A set-text rule that the memo must not run.
    t.f.inst->field("SOLICITANTE_NOTA").onSetText = [](db::Field &f, const QString &text) {
        f.setAsString(text.toUpper());
    };
    DBMemo *memo = t.form.add(new DBMemo);
    memo->setDataSource(&t.f.sInst);
    memo->setDataField("SOLICITANTE_NOTA");
    QVERIFY(t.form.show());
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, " y linea");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "dos");
    t.f.inst->post();
    QCOMPARE(t.f.inst->field("SOLICITANTE_NOTA").asString(), QStringLiteral("nota y linea\ndos"));
}

void TstSmallControls::memoRefusedEditKeepsText() {
    OneInstallation t("NULL", "'N'");
    t.f.inst->beforeEdit = [](db::RecordSet &) { throw db::DatabaseError(kLocked); };
    DBMemo *memo = t.form.add(new DBMemo);
    memo->setDataSource(&t.f.sInst);
    memo->setDataField("SOLICITANTE_NOTA");
    QVERIFY(t.form.show());
    memo->setFocus();
    t.form.answers.push(ModalAnswers::ok());
    QTest::keyClick(memo, 'x');
    QCOMPARE(t.form.answers.takeSeen(), QStringList{kLockedBox});
    QCOMPARE(memo->toPlainText(), QStringLiteral("nota"));
    QVERIFY(!memo->isModified());
    // Pasted through the menu's way (no key): undone as well.
    QGuiApplication::clipboard()->setText(QStringLiteral("z"));
    t.form.answers.push(ModalAnswers::ok());
    memo->paste();
    QCOMPARE(t.form.answers.takeSeen(), QStringList{kLockedBox});
    QCOMPARE(memo->toPlainText(), QStringLiteral("nota"));
}

void TstSmallControls::speedButton() {
    platform::SpeedButton button;
    button.setHint(QStringLiteral("Copiar instalación"));
    QCOMPARE(button.focusPolicy(), Qt::NoFocus);
    QCOMPARE(button.toolTip(), QStringLiteral("Copiar instalación"));
    QCOMPARE(button.accessibleName(), QStringLiteral("Copiar instalación"));
    QCOMPARE(button.toolButtonStyle(), Qt::ToolButtonIconOnly);
    button.setCaption(QStringLiteral("Adjun&tar"));
    QCOMPARE(button.toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
    QCOMPARE(button.text(), QStringLiteral("Adjun&tar"));
}

int runSmallControlTests(int argc, char **argv) {
    TstSmallControls t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_smallcontrols.moc"
