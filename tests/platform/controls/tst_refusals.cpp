// Refusals as the user meets them in the data-aware controls: a rule refusing the edit, a rule
// refusing after the store, and a character the database cannot store.

#include "tests/common/WindowWait.h"
#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ControlsFixture.h"

#include "platform/controls/Binding.h"
#include "platform/controls/DBCheckBox.h"
#include "platform/controls/DBEdit.h"
#include "platform/controls/DBGrid.h"
#include "platform/controls/DBLookupComboBox.h"
#include "platform/controls/DBMemo.h"
#include "platform/controls/DBNavigator.h"
#include "platform/controls/DBRadioGroup.h"
#include "platform/controls/MaskedLineEdit.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include <stdexcept>
#include <tuple>

using db::State;

namespace {

// Installation 1 (manager 2, material "Cobre", not sent) and managers 1 and 2, in a shown
// window; its before-edit rule raises the refusal under test.
struct RefusalFixture {
    ControlsFixture f;
    Form form;
    RefusalFixture() {
        f.addGestores({"ALFA", "BETA"});
        f.exec({"insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, GESTOR, LINEAGENERAL_MATERIAL, "
                "SOLICITANTE_NOMBRE, SOLICITANTE_NOTA) values (1, 'E1', 'N', 2, 'Cobre', 'ANA', "
                "'nota')"});
        f.inst->open();
    }
    template <class W> W *bound(W *control, const char *field) {
        form.add(control);
        control->setDataSource(&f.sInst);
        control->setDataField(QLatin1String(field));
        return control;
    }
    QString values() const {
        QStringList v;
        for (const char *name : {"GESTOR", "LINEAGENERAL_MATERIAL", "ENVIADO", "SOLICITANTE_NOMBRE",
                                 "SOLICITANTE_NOTA"})
            v << f.inst->field(QLatin1String(name)).asString();
        return v.join(u'|');
    }
};

} // namespace

class TstRefusals : public QObject {
    Q_OBJECT
private slots:
    void shownOnceOrNotAtAll_data();
    void shownOnceOrNotAtAll();
    void refusedAfterTheStore_data();
    void refusedAfterTheStore();
    void characterOutsideTheCodePage_data();
    void characterOutsideTheCodePage();
};

void TstRefusals::shownOnceOrNotAtAll_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("refusal");
    const QStringList ways = {"typing into an edit",         "Delete in a lookup box",
                              "typing into a grid cell",     "pasting into a memo from its menu",
                              "clicking a check box",        "clicking a radio button",
                              "choosing from a lookup list", "the navigator's edit button"};
    for (const QString &way : ways)
        for (const char *refusal : {"message", "abort", "other"})
            QTest::addRow("%s, %s", qPrintable(way), refusal)
                << way << QString::fromLatin1(refusal);
}

// A refusal of the edit reaches the user once, in the error box, whichever way a control starts
// the change: a key (raised up to the application's notify()), a click or a menu (caught where
// Qt calls the control and shown there); the silent abort shows nothing. Either way the record
// keeps its values and stays unedited.
void TstRefusals::shownOnceOrNotAtAll() {
    QFETCH(QString, way);
    QFETCH(QString, refusal);
    RefusalFixture t;
    t.f.inst->beforeEdit = [refusal](db::RecordSet &) {
        if (refusal == QLatin1String("abort"))
            throw db::Abort();
        if (refusal == QLatin1String("other"))
            throw std::runtime_error("Fallo inesperado");
        throw db::DatabaseError(kLocked);
    };
    const QString before = t.values();
    QWidget *control = nullptr;
    std::function<void()> act;
    if (way == "typing into an edit") {
        auto *edit = t.bound(new platform::DBEdit, "SOLICITANTE_NOMBRE");
        act = [edit] { QTest::keyClick(edit, 'x'); };
        control = edit;
    } else if (way == "Delete in a lookup box") {
        auto *box = t.bound(new platform::DBLookupComboBox, "Ngestor");
        box->setClearOnDelete(true);
        act = [box] { QTest::keyClick(box, Qt::Key_Delete); };
        control = box;
    } else if (way == "typing into a grid cell") {
        auto *grid = t.form.add(new platform::DBGrid);
        grid->setColumns({platform::gridColumn("SOLICITANTE_NOMBRE", "Solicitante", 150)});
        grid->setDataSource(&t.f.sInst);
        act = [grid] { QTest::keyClick(grid, 'x'); };
        control = grid;
    } else if (way == "pasting into a memo from its menu") {
        auto *memo = t.bound(new platform::DBMemo, "SOLICITANTE_NOTA");
        QGuiApplication::clipboard()->setText(QStringLiteral("pegado"));
        act = [memo] { memo->paste(); };
        control = memo;
    } else if (way == "clicking a check box") {
        auto *box = t.bound(new platform::DBCheckBox, "ENVIADO");
        act = [box] { clickIndicator(box); };
        control = box;
    } else if (way == "clicking a radio button") {
        auto *group = t.bound(new platform::DBRadioGroup, "LINEAGENERAL_MATERIAL");
        group->setItems({"Cobre", "Aluminio"});
        act = [group] { clickIndicator(group->button(1)); };
        control = group;
    } else if (way == "choosing from a lookup list") {
        auto *box = t.bound(new platform::DBLookupComboBox, "Ngestor");
        act = [box] {
            box->showPopup();
            QTRY_VERIFY_WITH_TIMEOUT(box->view()->isVisible(), kWindowWait);
            QTest::keyClick(box->view(), Qt::Key_Up);
            QTest::keyClick(box->view(), Qt::Key_Return);
        };
        control = box;
    } else if (way == "the navigator's edit button") {
        auto *nav = t.form.add(new platform::DBNavigator);
        nav->setDataSource(&t.f.sInst);
        act = [nav] {
            QTest::mouseClick(nav->button(platform::DBNavigator::Edit), Qt::LeftButton);
        };
    }
    QVERIFY(act);
    QVERIFY(t.form.show());
    if (control)
        control->setFocus(Qt::TabFocusReason);
    if (refusal != QLatin1String("abort"))
        t.form.answers.push(ModalAnswers::ok());
    act();
    QCoreApplication::processEvents(); // whatever the controls leave to the event loop
    if (refusal == QLatin1String("message"))
        QCOMPARE(t.form.answers.seen, QStringList{kLockedBox});
    else if (refusal == QLatin1String("other"))
        QCOMPARE(t.form.answers.seen, QStringList{errorBox("Fallo inesperado.")});
    else
        QCOMPARE(t.form.answers.seen, QStringList());
    QCOMPARE(t.f.inst->state(), State::Browse);
    QCOMPARE(t.values(), before);
}

void TstRefusals::refusedAfterTheStore_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shownAfter");
    // Text typed stays pending, to be put right or dropped with Escape (a post writes it
    // again); a choice shows the value the field was left with.
    QTest::newRow("edit") << "edit"
                          << "ANAX";
    QTest::newRow("memo") << "memo"
                          << "notaX";
    QTest::newRow("lookup box") << "lookup"
                                << "ALFA";
}

// A rule that refuses the value after it was stored (a field's on-change rule): the box says
// so and the control shows what is explained above, not what its own store announced.
void TstRefusals::refusedAfterTheStore() {
    QFETCH(QString, control);
    QFETCH(QString, shownAfter);
    RefusalFixture t;
    const auto refuse = [](db::Field &) { throw db::DatabaseError(QStringLiteral("No admitido")); };
    std::function<QString()> shown;
    QWidget *widget = nullptr;
    if (control == "edit") {
        auto *edit = t.bound(new platform::DBEdit, "SOLICITANTE_NOMBRE");
        t.f.inst->field("SOLICITANTE_NOMBRE").onChange = refuse;
        shown = [edit] { return edit->text(); };
        widget = edit;
    } else if (control == "memo") {
        auto *memo = t.bound(new platform::DBMemo, "SOLICITANTE_NOTA");
        t.f.inst->field("SOLICITANTE_NOTA").onChange = refuse;
        shown = [memo] { return memo->toPlainText(); };
        widget = memo;
    } else {
        auto *box = t.bound(new platform::DBLookupComboBox, "Ngestor");
        t.f.inst->field("GESTOR").onChange = refuse;
        shown = [box] { return box->shownText(); };
        widget = box;
    }
    QVERIFY(t.form.show());
    widget->setFocus(Qt::TabFocusReason);
    if (control == "lookup") {
        t.form.answers.push(ModalAnswers::ok());
        QTest::keyClick(widget, Qt::Key_Up); // from BETA to ALFA
    } else {
        QTest::keyClick(widget, Qt::Key_End);
        QTest::keyClick(widget, 'X');
        t.form.answers.push(ModalAnswers::ok());
        t.form.other->setFocus(Qt::TabFocusReason);
        QVERIFY(t.form.backFromBox());
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), widget, kWindowWait);
    }
    QCOMPARE(t.form.answers.seen, QStringList{errorBox("No admitido.")});
    QCOMPARE(shown(), shownAfter);
    QCOMPARE(t.f.inst->state(), State::Edit);
    // Pending text is written again by a post, and refused again; a choice is already stored.
    if (control == "lookup") {
        t.f.inst->post();
        QCOMPARE(t.f.inst->field("GESTOR").asInteger(), 1);
    } else {
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, t.f.inst->post());
        QCOMPARE(t.f.inst->state(), State::Edit);
    }
}

void TstRefusals::characterOutsideTheCodePage_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("pending");  // an "X" typed at the end first
    QTest::addColumn<QString>("shown"); // what the control shows before and after
    const QString edit = "edit", masked = "masked edit", plain = "unbound masked line edit",
                  cell = "grid cell", memo = "memo";
    const QString typed = "typed", imCommit = "typed through an input method",
                  ctrlV = "pasted with Ctrl+V", menu = "pasted from the menu";
    const QList<std::tuple<QString, QString, bool>> cases = {
        {edit, typed, false},    {edit, imCommit, false}, {edit, ctrlV, false},
        {edit, menu, false},     {masked, typed, false},  {masked, imCommit, false},
        {masked, ctrlV, false},  {plain, typed, false},   {plain, ctrlV, false},
        {plain, menu, false},    {cell, typed, false},    {cell, ctrlV, false},
        {cell, imCommit, false}, {memo, typed, false},    {memo, ctrlV, false},
        {memo, menu, false},     {edit, ctrlV, true},     {edit, menu, true},
        {cell, typed, true},     {memo, typed, true},     {memo, menu, true},
    };
    for (const auto &[control, way, pending] : cases) {
        QString shown = control == masked ? QStringLiteral("ANA_______")
                        : control == memo ? QStringLiteral("nota")
                                          : QStringLiteral("ANA");
        if (pending)
            shown += u'X';
        QTest::addRow("%s, %s%s", qPrintable(control), qPrintable(way),
                      pending ? ", with text pending" : "")
            << control << way << pending << shown;
    }
}

// A character that code page 1252 has no place for (here beyond the basic plane, two UTF-16
// units) is refused where it is typed or pasted, with the database layer's message naming the
// whole character; nothing is entered, and what was there stays, pending text included, also
// around it in a paste.
void TstRefusals::characterOutsideTheCodePage() {
    QFETCH(QString, control);
    QFETCH(QString, way);
    QFETCH(bool, pending);
    QFETCH(QString, shown);
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    RefusalFixture t;
    QWidget *target = nullptr;
    std::function<QString()> text;
    std::function<void()> menuPaste;
    db::Field &nombre = t.f.inst->field("SOLICITANTE_NOMBRE");
    if (control == "edit" || control == "masked edit") {
        if (control == "masked edit")
            nombre.editMask = "cccccccccc;0;_";
        auto *edit = t.bound(new platform::DBEdit, "SOLICITANTE_NOMBRE");
        target = edit;
        text = [edit] { return edit->text(); };
        menuPaste = [edit] { edit->paste(); };
    } else if (control == "unbound masked line edit") {
        auto *line = t.form.add(new platform::MaskedLineEdit);
        line->setText(QStringLiteral("ANA"));
        target = line;
        text = [line] { return line->text(); };
        menuPaste = [line] { line->paste(); };
    } else if (control == "grid cell") {
        auto *grid = t.form.add(new platform::DBGrid);
        grid->setColumns({platform::gridColumn("SOLICITANTE_NOMBRE", "Solicitante", 150)});
        grid->setDataSource(&t.f.sInst);
        QVERIFY(t.form.show());
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_F2); // the cell's editor, its text kept
        target = grid->cellEditor();
        QVERIFY(target);
        text = [grid] { return qobject_cast<QLineEdit *>(grid->cellEditor())->text(); };
    } else {
        auto *memoBox = t.bound(new platform::DBMemo, "SOLICITANTE_NOTA");
        target = memoBox;
        text = [memoBox] { return memoBox->toPlainText(); };
        menuPaste = [memoBox] { memoBox->paste(); };
    }
    QVERIFY(t.form.show());
    target->setFocus(Qt::TabFocusReason);
    const QString valuesBefore = t.values();
    if (pending) {
        QTest::keyClick(target, Qt::Key_End);
        QTest::keyClick(target, 'X');
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("AB") + emoji + QStringLiteral("C"));
    t.form.answers.push(ModalAnswers::ok());
    if (way == "typed") {
        // One key, as a keyboard sends it: both units in the key's text.
        QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, emoji, Qt::NoModifier);
    } else if (way == "typed through an input method") {
        QInputMethodEvent commit;
        commit.setCommitString(emoji);
        QApplication::sendEvent(target, &commit);
    } else if (way == "pasted with Ctrl+V") {
        QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    } else {
        QVERIFY(menuPaste);
        menuPaste();
    }
    QCOMPARE(t.form.answers.seen,
             QStringList{errorBox(QStringLiteral("El texto contiene el carácter «") + emoji +
                                  QStringLiteral("» (U+1F600), que no se puede guardar en la base "
                                                 "de datos. Sustitúyalo por otro."))});
    QCOMPARE(text(), shown);
    QCOMPARE(t.values(), valuesBefore);
    QCOMPARE(t.f.inst->state(), pending ? State::Edit : State::Browse);
    // The box is no refusal of the control: it still takes what can be stored.
    QVERIFY(t.form.backFromBox());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), target, kWindowWait);
    QTest::keyClick(target, control == "masked edit" ? Qt::Key_Home : Qt::Key_End);
    QTest::keyClick(target, 'Z');
    QVERIFY2(text().contains(u'Z'), qPrintable(text()));
}

int runRefusalTests(int argc, char **argv) {
    TstRefusals t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_refusals.moc"
