// DBEdit against a real record set: what it shows, typing, masks, refusals, Escape, and the
// writing of pending text when leaving the box or posting.

#include "tests/common/WindowWait.h"
#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ControlsFixture.h"

#include "platform/controls/DBEdit.h"
#include "platform/controls/EditMask.h"

#include <QtTest>

using db::State;
using platform::DBEdit;

namespace {

// The box as the user reads it, the full stop added by the error box.
const QString kInvalidInputBox =
    errorBox("Valor de entrada inválido.  Use la tecla Escape para abandonar los cambios.");

// An installation with known values, the installation set open, an edit bound to `field`
// in a shown window.
struct EditFixture {
    ControlsFixture f;
    Form form;
    DBEdit *edit = nullptr;
    explicit EditFixture(const QString &field) {
        f.exec({"insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, POTENCIA, SOLICITANTE_NOMBRE) "
                "values (1, '0000000123', 'N', 12345.5, 'ANA')",
                "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, POTENCIA, SOLICITANTE_NOMBRE) "
                "values (2, '0000000456', 'N', 2, 'LUIS')",
                "alter sequence INSTALACION restart with 1000"});
        f.inst->open();
        edit = addBox(field);
    }
    // One more edit of the installations, below the others.
    DBEdit *addBox(const QString &field) {
        DBEdit *box = form.add(new DBEdit);
        box->setDataSource(&f.sInst);
        box->setDataField(field);
        return box;
    }
    db::Field &field() { return *edit->field(); }
    // Moves the focus away as Tab does.
    void leave() { form.other->setFocus(Qt::TabFocusReason); }
};

} // namespace

class TstDBEdit : public QObject {
    Q_OBJECT
private slots:
    void showsDisplayTextAndEditTextWhenFocused();
    void followsScrollsAndClosing();
    void typingStartsEditAndLeavingWrites();
    void postPushesPendingText();
    void beforeEditRefusalLeavesTextUnchanged();
    void maskShowsBlanksAndRefusesIncompleteText();
    void maskedTextIsStored();
    void enteringSelectsAllSoTypingReplaces_data();
    void enteringSelectsAllSoTypingReplaces();
    void unfocusedBoxShowsItsStart();
    void escapeRestoresTheFieldsValue();
    void upperCaseEntry();
    void maxLengthFollowsFieldSize_data();
    void maxLengthFollowsFieldSize();
    void keyPressHookReplacesCharacter();
    void numericFieldTakesNoLetters();
    void refusalAfterStoreKeepsTextPending();
    void anotherBoxOfTheFieldFollowsTheWrite();
    void readOnlyBoxChangesNothing();
    void requiredFieldTakesTheFocus();
};

void TstDBEdit::showsDisplayTextAndEditTextWhenFocused() {
    EditFixture t("POTENCIA");
    QVERIFY(t.form.show());
    QCOMPARE(t.edit->text(), QStringLiteral("12.345,50"));
    t.edit->setFocus(Qt::TabFocusReason);
    QCOMPARE(t.edit->text(), QStringLiteral("12345,5"));
    t.leave();
    QCOMPARE(t.edit->text(), QStringLiteral("12.345,50"));
    QCOMPARE(t.form.answers.seen, QStringList());
    QCOMPARE(t.edit->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

void TstDBEdit::followsScrollsAndClosing() {
    EditFixture t("SOLICITANTE_NOMBRE");
    QCOMPARE(t.edit->text(), QStringLiteral("ANA"));
    t.f.inst->next();
    QCOMPARE(t.edit->text(), QStringLiteral("LUIS"));
    t.f.inst->close();
    QCOMPARE(t.edit->text(), QString());
    QVERIFY(!t.edit->isEnabled());
    t.f.inst->open();
    QVERIFY(t.edit->isEnabled());
    QCOMPARE(t.edit->text(), QStringLiteral("ANA"));
    t.f.inst->edit();
    t.f.inst->field("SOLICITANTE_NOMBRE").setValue("PEPE"); // a change made elsewhere
    QCOMPARE(t.edit->text(), QStringLiteral("PEPE"));
    t.f.inst->cancel();
    QCOMPARE(t.edit->text(), QStringLiteral("ANA"));
}

void TstDBEdit::typingStartsEditAndLeavingWrites() {
    EditFixture t("SOLICITANTE_NOMBRE");
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(t.edit, "MARTA");
    QCOMPARE(t.f.inst->state(), State::Edit);
    QCOMPARE(t.edit->text(), QStringLiteral("MARTA"));
    QCOMPARE(t.field().asString(), QStringLiteral("ANA")); // not yet written
    t.leave();
    QCOMPARE(t.form.answers.seen, QStringList());
    QCOMPARE(t.field().asString(), QStringLiteral("MARTA"));
    QVERIFY(!t.edit->isModified());
}

void TstDBEdit::postPushesPendingText() {
    EditFixture t("SOLICITANTE_NOMBRE");
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(t.edit, "ROSA");
    t.f.inst->post(); // the focus never left the box
    QCOMPARE(t.f.inst->state(), State::Browse);
    QCOMPARE(t.field().asString(), QStringLiteral("ROSA"));
    t.f.transaction.commitRetaining();
    auto other = t.f.tdb.attach();
    QCOMPARE(other->scalar("select SOLICITANTE_NOMBRE from INSTALACION where ID = 1").toString(),
             QStringLiteral("ROSA"));
}

void TstDBEdit::beforeEditRefusalLeavesTextUnchanged() {
    EditFixture t("SOLICITANTE_NOMBRE");
    t.f.inst->beforeEdit = [](db::RecordSet &) { throw db::DatabaseError(kLocked); };
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    t.edit->setCursorPosition(3);
    t.form.answers.push(ModalAnswers::ok());
    QTest::keyClick(t.edit, 'X');
    QCOMPARE(t.form.answers.takeSeen(), QStringList{kLockedBox});
    QCOMPARE(t.edit->text(), QStringLiteral("ANA"));
    QVERIFY(!t.edit->isModified());
    QCOMPARE(t.f.inst->state(), State::Browse);
    t.form.answers.push(ModalAnswers::ok());
    QTest::keyClick(t.edit, Qt::Key_Backspace); // erasing is a change too
    QCOMPARE(t.form.answers.takeSeen(), QStringList{kLockedBox});
    QCOMPARE(t.edit->text(), QStringLiteral("ANA"));
}

void TstDBEdit::maskShowsBlanksAndRefusesIncompleteText() {
    EditFixture t("EXPEDIENTE");
    QVERIFY(t.form.show());
    QCOMPARE(t.edit->text(), QStringLiteral("0000000123"));
    t.edit->setFocus(Qt::TabFocusReason); // selects all
    QTest::keyClicks(t.edit, "98");
    QCOMPARE(t.edit->text(), QStringLiteral("98________"));
    QTest::keyClick(t.edit, 'a'); // no digit: refused by the mask
    QCOMPARE(t.edit->text(), QStringLiteral("98________"));
    t.form.answers.push(ModalAnswers::ok());
    t.leave();
    QCOMPARE(t.form.answers.takeSeen(), QStringList{kInvalidInputBox});
    QVERIFY(t.form.backFromBox());
    QTRY_VERIFY_WITH_TIMEOUT(t.edit->hasFocus(), kWindowWait);
    QCOMPARE(t.edit->text(), QStringLiteral("98________"));
    QCOMPARE(t.field().asString(), QStringLiteral("0000000123"));
    // A post refuses it the same way.
    QVERIFY_THROWS_EXCEPTION(db::DatabaseError, t.f.inst->post());
    QCOMPARE(t.f.inst->state(), State::Edit);
    QTest::keyClick(t.edit, Qt::Key_Escape);
    QCOMPARE(t.edit->text(), QStringLiteral("0000000123"));
    t.leave();
    QCOMPARE(t.form.answers.seen, QStringList());
    QCOMPARE(t.field().asString(), QStringLiteral("0000000123"));
}

void TstDBEdit::maskedTextIsStored() {
    EditFixture t("EXPEDIENTE");
    t.f.inst->next();
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(t.edit, Qt::Key_Home);
    QTest::keyClick(t.edit, Qt::Key_Delete); // the section closes up: 000000456_
    QCOMPARE(t.edit->text(), QStringLiteral("000000456_"));
    QTest::keyClick(t.edit, Qt::Key_End);
    QTest::keyClick(t.edit, Qt::Key_Left);
    QTest::keyClick(t.edit, '7');
    QCOMPARE(t.edit->text(), QStringLiteral("0000004567"));
    t.leave();
    QCOMPARE(t.form.answers.seen, QStringList());
    QCOMPARE(t.field().asString(), QStringLiteral("0000004567"));
}

void TstDBEdit::enteringSelectsAllSoTypingReplaces_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("replaces");
    QTest::newRow("tab") << "tab"
                         << "EXPEDIENTE" << true;
    QTest::newRow("program") << "program"
                             << "EXPEDIENTE" << true;
    QTest::newRow("focused before the window shows (start-up)") << "startup"
                                                                << "EXPEDIENTE" << true;
    QTest::newRow("insert under the focus") << "insert"
                                            << "EXPEDIENTE" << true;
    QTest::newRow("insert under the focus, free text") << "insert"
                                                       << "SOLICITANTE_NOMBRE" << true;
    QTest::newRow("move to another record under the focus") << "next"
                                                            << "EXPEDIENTE" << true;
    QTest::newRow("click") << "click"
                           << "EXPEDIENTE" << false;
    QTest::newRow("click, then Ctrl+A") << "ctrl+a"
                                        << "EXPEDIENTE" << true;
    QTest::newRow("click, then Ctrl+A, free text") << "ctrl+a"
                                                   << "SOLICITANTE_NOMBRE" << true;
}

// Whatever brings the box the focus or changes its record under it selects the whole text
// from its start, so that typing replaces it; a click puts the caret where it clicks.
void TstDBEdit::enteringSelectsAllSoTypingReplaces() {
    QFETCH(QString, way);
    QFETCH(QString, field);
    QFETCH(bool, replaces);
    EditFixture t(field);
    if (way == "startup")
        t.edit->setFocus();
    QVERIFY(t.form.show());
    if (way == "tab")
        t.edit->setFocus(Qt::TabFocusReason);
    else if (way == "program")
        t.edit->setFocus();
    else if (way == "insert" || way == "next") {
        t.edit->setFocus(Qt::MouseFocusReason);
        way == "insert" ? t.f.inst->insert() : t.f.inst->next();
    } else if (way == "click" || way == "ctrl+a") {
        QTest::mouseClick(t.edit, Qt::LeftButton, {}, QPoint(t.edit->width() / 2, 5));
        if (way == "ctrl+a")
            QTest::keyClick(t.edit, Qt::Key_A, Qt::ControlModifier);
    }
    QTRY_VERIFY_WITH_TIMEOUT(t.edit->hasFocus(), kWindowWait);
    const QString shown = t.edit->text();
    if (!replaces) {
        QVERIFY(!t.edit->hasSelectedText());
        QVERIFY(t.edit->cursorPosition() > 0); // where the click was
        return;
    }
    QCOMPARE(t.edit->selectedText(), shown);
    QCOMPARE(t.edit->cursorPosition(), 0); // shown from its start
    const QString typed =
        field == "EXPEDIENTE" ? QStringLiteral("1000000002") : QStringLiteral("PEPE");
    QTest::keyClicks(t.edit, typed);
    QCOMPARE(t.edit->text(), typed);
}

// A box without the focus shows its text from the first character, also when the text with
// its blanks is wider than the box.
void TstDBEdit::unfocusedBoxShowsItsStart() {
    EditFixture t("SOLICITANTE_NOMBRE");
    t.edit->setFixedWidth(60);
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClick(t.edit, Qt::Key_End);
    QTest::keyClicks(t.edit, "RMARIO EN RAMPA DE ACCESO           ");
    t.leave();
    for (int pass = 0; pass < 2; ++pass) { // after leaving it, and after moving back to the row
        QVERIFY2(t.edit->text().startsWith(QStringLiteral("ANARMARIO")),
                 qPrintable(t.edit->text()));
        QCOMPARE(t.edit->cursorPosition(), 0);
        // The caret, and so the text, starts at the left edge: nothing is scrolled out.
        QVERIFY(t.edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() <
                t.edit->fontMetrics().averageCharWidth() * 2);
        t.f.inst->next();
        t.f.inst->prior();
    }
}

void TstDBEdit::escapeRestoresTheFieldsValue() {
    EditFixture t("SOLICITANTE_NOMBRE");
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(t.edit, "OTRO");
    QTest::keyClick(t.edit, Qt::Key_Escape);
    QCOMPARE(t.edit->text(), QStringLiteral("ANA"));
    QVERIFY(!t.edit->isModified());
    t.leave();
    QCOMPARE(t.field().asString(), QStringLiteral("ANA"));
    QVERIFY(!t.f.inst->modified());
}

void TstDBEdit::upperCaseEntry() {
    EditFixture t("SOLICITANTE_NOMBRE");
    t.edit->setCharCase(DBEdit::CharCase::Upper);
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    typeText(t.edit, QString::fromUtf8("peña ñandú"));
    QCOMPARE(t.edit->text(), QString::fromUtf8("PEÑA ÑANDÚ"));
    t.leave();
    QCOMPARE(t.field().asString(), QString::fromUtf8("PEÑA ÑANDÚ"));
}

void TstDBEdit::maxLengthFollowsFieldSize_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("maxLength");
    QTest::newRow("text 250") << "SOLICITANTE_NOMBRE" << 250;
    QTest::newRow("text 25") << "LINEAGENERAL_MATERIAL" << 25;
    QTest::newRow("masked: the mask's length") << "EXPEDIENTE" << 10;
    QTest::newRow("number: no limit") << "POTENCIA" << 32767;
}

void TstDBEdit::maxLengthFollowsFieldSize() {
    QFETCH(QString, field);
    QFETCH(int, maxLength);
    EditFixture t(field);
    QCOMPARE(t.edit->maxLength(), maxLength);
}

void TstDBEdit::keyPressHookReplacesCharacter() {
    EditFixture t("POTENCIA");
    connect(t.edit, &DBEdit::keyPress, t.edit, [](QChar *key) {
        if (*key == u'.')
            *key = u',';
    });
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(t.edit, "7.25");
    QCOMPARE(t.edit->text(), QStringLiteral("7,25"));
    t.leave();
    QCOMPARE(t.field().asFloat(), 7.25);
}

void TstDBEdit::numericFieldTakesNoLetters() {
    EditFixture t("POTENCIA");
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(t.edit, "1x5");
    QCOMPARE(t.edit->text(), QStringLiteral("15"));
}

void TstDBEdit::refusalAfterStoreKeepsTextPending() {
    EditFixture t("SOLICITANTE_NOMBRE");
    t.field().onChange = [](db::Field &f) {
        if (f.asString() == QLatin1String("MAL"))
            throw db::DatabaseError(QStringLiteral("Nombre no admitido"));
    };
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(t.edit, "MAL");
    t.form.answers.push(ModalAnswers::ok());
    t.leave();
    QCOMPARE(t.form.answers.seen, QStringList{errorBox("Nombre no admitido.")});
    QVERIFY(t.form.backFromBox());
    QVERIFY(t.edit->isModified());
    QTRY_VERIFY_WITH_TIMEOUT(t.edit->hasFocus(), kWindowWait);
    // Posting writes the text again and is refused again.
    QVERIFY_THROWS_EXCEPTION(db::DatabaseError, t.f.inst->post());
    QCOMPARE(t.f.inst->state(), State::Edit);
    QVERIFY(t.edit->isModified());
}

// A box does not hear its own write; another box of the same field does.
void TstDBEdit::anotherBoxOfTheFieldFollowsTheWrite() {
    EditFixture t("SOLICITANTE_NOMBRE");
    DBEdit *second = t.addBox("SOLICITANTE_NOMBRE");
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(t.edit, "EVA");
    QCOMPARE(second->text(), QStringLiteral("ANA"));
    t.leave();
    QCOMPARE(second->text(), QStringLiteral("EVA"));
    QCOMPARE(t.edit->text(), QStringLiteral("EVA"));
}

void TstDBEdit::readOnlyBoxChangesNothing() {
    EditFixture t("ID");
    t.edit->setReadOnly(true);
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(t.edit, "99");
    QTest::keyClick(t.edit, Qt::Key_Backspace);
    QCOMPARE(t.edit->text(), QStringLiteral("1"));
    QCOMPARE(t.f.inst->state(), State::Browse);
}

void TstDBEdit::requiredFieldTakesTheFocus() {
    EditFixture t("SOLICITANTE_NOMBRE");
    DBEdit *expediente = t.addBox("EXPEDIENTE");
    QVERIFY(t.form.show());
    t.edit->setFocus(Qt::TabFocusReason);
    t.f.inst->insert();
    QTest::keyClicks(t.edit, "NUEVA");
    QVERIFY_THROWS_EXCEPTION(db::DatabaseError, t.f.inst->post());
    QTRY_VERIFY_WITH_TIMEOUT(expediente->hasFocus(), kWindowWait);
    QCOMPARE(expediente->text(), QStringLiteral("__________"));
    QCOMPARE(t.f.inst->field("SOLICITANTE_NOMBRE").asString(), QStringLiteral("NUEVA"));
    QCOMPARE(t.form.answers.seen, QStringList());
}

int runDBEditTests(int argc, char **argv) {
    TstDBEdit t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_dbedit.moc"
