// DBLookupComboBox against a real record set: the text shown, the list, choosing, incremental
// search with its limits, Up and Down, Alt with the arrows, and the key hook.

#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ControlsFixture.h"

#include "platform/controls/DBLookupComboBox.h"
#include "tests/common/WindowWait.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QtTest>

using db::State;
using platform::DBLookupComboBox;

namespace {

const QString kLongA = QString(32, u'X') + u'A';
const QString kLongB = QString(32, u'X') + u'B';

// Managers ALFA (1), BETA (2), BRAVO (3), 32 X and A (4), 32 X and B (5), listed by name;
// installation 1 managed by BETA, installation 2 by nobody. The box shows "Ngestor".
struct ComboFixture {
    ControlsFixture f;
    Form form;
    DBLookupComboBox *combo;
    qint64 now = 100000;
    ComboFixture() : combo(form.add(new DBLookupComboBox)) {
        f.addGestores({"ALFA", "BETA", "BRAVO", kLongA, kLongB});
        f.exec(
            {"insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, GESTOR) values (1, 'E1', 'N', 2)",
             "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO) values (2, 'E2', 'N')"});
        f.inst->open();
        combo->setSearchClock([this] { return now; });
        combo->setDataSource(&f.sInst);
        combo->setDataField("Ngestor");
    }
    QVariant key() const { return f.inst->field("GESTOR").value(); }
};

} // namespace

class TstDBLookupComboBox : public QObject {
    Q_OBJECT
private slots:
    void showsTheLookedUpText();
    void dropDownListsEntriesAndPositionsTheList();
    void choosingAnEntryWritesItsKey();
    void incrementalSearch_data();
    void incrementalSearch();
    void readOnlySetIgnoresTyping();
    void upAndDownSelectNeighbours();
    void altArrowsOpenAndClose();
    void keyDownHookRunsFirst();
    void refusedEditKeepsTheKey();
    void enteredWhenTheFocusArrives();
    void listReadByAssistiveTechnology();
};

void TstDBLookupComboBox::showsTheLookedUpText() {
    ComboFixture t;
    QCOMPARE(t.combo->shownText(), QStringLiteral("BETA"));
    t.f.inst->next();
    QCOMPARE(t.combo->shownText(), QString());
    t.f.inst->edit();
    t.f.inst->field("GESTOR").setValue(3); // the key changed elsewhere
    QCOMPARE(t.combo->shownText(), QStringLiteral("BRAVO"));
    t.f.inst->close();
    QCOMPARE(t.combo->shownText(), QString());
    QVERIFY(!t.combo->isEnabled());
}

void TstDBLookupComboBox::dropDownListsEntriesAndPositionsTheList() {
    ComboFixture t;
    QVERIFY(t.form.show());
    QCOMPARE(t.f.gestores->recNo(), 0);
    t.combo->showPopup();
    QCOMPARE(t.combo->count(), 5);
    QCOMPARE(t.combo->itemText(0), QStringLiteral("ALFA"));
    QCOMPARE(t.combo->itemText(4), kLongB);
    QCOMPARE(t.combo->currentIndex(), 1);
    QCOMPARE(t.f.gestores->field("NOMBRE").asString(), QStringLiteral("BETA"));
    QCOMPARE(t.f.gestores->recNo(), 1);
    t.combo->hidePopup();
    QCOMPARE(t.f.inst->state(), State::Browse); // looking is no change
}

void TstDBLookupComboBox::choosingAnEntryWritesItsKey() {
    ComboFixture t;
    QVERIFY(t.form.show());
    t.combo->setFocus();
    t.combo->showPopup();
    QAbstractItemView *view = t.combo->view();
    QTRY_VERIFY_WITH_TIMEOUT(view->isVisible(), kWindowWait);
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClick(view, Qt::Key_Return);
    QCOMPARE(t.f.inst->state(), State::Edit);
    QCOMPARE(t.key().toInt(), 3);
    QCOMPARE(t.combo->shownText(), QStringLiteral("BRAVO"));
    QCOMPARE(t.form.answers.seen, QStringList());
}

void TstDBLookupComboBox::incrementalSearch_data() {
    // Steps: a character typed, "+ms" a pause, "BS" Backspace, "ESC" Escape.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("search");
    QTest::newRow("first letter") << QStringList{"b"} << "BETA"
                                  << "b";
    QTest::newRow("two letters") << QStringList{"b", "r"} << "BRAVO"
                                 << "br";
    QTest::newRow("any case") << QStringList{"A", "l", "F"} << "ALFA"
                              << "AlF";
    QTest::newRow("no entry: the letter is left out") << QStringList{"b", "z"} << "BETA"
                                                      << "b";
    QTest::newRow("2 s is no pause") << QStringList{"b", "+2000", "r"} << "BRAVO"
                                     << "br";
    QTest::newRow("a pause of more than 2 s starts again")
        << QStringList{"b", "+2001", "a"} << "ALFA"
        << "a";
    QTest::newRow("Backspace starts again") << QStringList{"b", "BS", "a"} << "ALFA"
                                            << "a";
    QTest::newRow("Escape starts again") << QStringList{"b", "ESC", "a"} << "ALFA"
                                         << "a";
    QStringList thirtyTwo(32, QStringLiteral("x"));
    QTest::newRow("32 letters") << thirtyTwo << kLongA << QString(32, u'x');
    QTest::newRow("no 33rd letter") << (thirtyTwo << "b") << kLongA << QString(32, u'x');
}

void TstDBLookupComboBox::incrementalSearch() {
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);
    QFETCH(QString, search);
    ComboFixture t;
    t.f.inst->next(); // no manager yet
    for (const QString &step : steps) {
        if (step.startsWith(u'+'))
            t.now += step.mid(1).toLongLong();
        else if (step == QLatin1String("BS"))
            QTest::keyClick(t.combo, Qt::Key_Backspace);
        else if (step == QLatin1String("ESC"))
            QTest::keyClick(t.combo, Qt::Key_Escape);
        else
            QTest::keyClick(t.combo, step.at(0).toLatin1());
    }
    QCOMPARE(t.combo->shownText(), shown);
    QCOMPARE(t.combo->searchText(), search);
    QCOMPARE(t.f.inst->state(), State::Edit);
    QCOMPARE(t.form.answers.seen, QStringList());
}

void TstDBLookupComboBox::readOnlySetIgnoresTyping() {
    ComboFixture t;
    t.f.inst->modifySql.clear();
    t.f.inst->insertSql.clear(); // read only now
    QTest::keyClick(t.combo, 'a');
    QCOMPARE(t.combo->shownText(), QStringLiteral("BETA"));
    QCOMPARE(t.f.inst->state(), State::Browse);
}

void TstDBLookupComboBox::upAndDownSelectNeighbours() {
    ComboFixture t;
    QTest::keyClick(t.combo, Qt::Key_Down);
    QCOMPARE(t.key().toInt(), 3);
    QCOMPARE(t.f.inst->state(), State::Edit);
    QTest::keyClick(t.combo, Qt::Key_Up);
    QTest::keyClick(t.combo, Qt::Key_Up);
    QCOMPARE(t.combo->shownText(), QStringLiteral("ALFA"));
    QTest::keyClick(t.combo, Qt::Key_Up); // the first stays
    QCOMPARE(t.key().toInt(), 1);
    t.f.inst->cancel();
    t.f.inst->next();
    QTest::keyClick(t.combo, Qt::Key_Down); // from no entry: the first
    QCOMPARE(t.combo->shownText(), QStringLiteral("ALFA"));
}

void TstDBLookupComboBox::altArrowsOpenAndClose() {
    ComboFixture t;
    QVERIFY(t.form.show());
    t.combo->setFocus();
    QTest::keyClick(t.combo, Qt::Key_Down, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(t.combo->view()->isVisible(), kWindowWait);
    QCOMPARE(t.combo->currentIndex(), 1);
    QTest::keyClick(t.combo->view(), Qt::Key_Up, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(!t.combo->view()->isVisible(), kWindowWait);
    QCOMPARE(t.key().toInt(), 2);
    QCOMPARE(t.f.inst->state(), State::Browse);
}

void TstDBLookupComboBox::keyDownHookRunsFirst() {
    ComboFixture t;
    QList<int> seen;
    // The windows' Delete rule: edit, clear the key, leave the key to the box.
    connect(t.combo, &DBLookupComboBox::keyDown, t.combo, [&](QKeyEvent *e) {
        seen << e->key();
        if (e->key() == Qt::Key_Delete) {
            t.f.inst->edit();
            t.f.inst->field("GESTOR").clear();
        }
        if (e->key() == Qt::Key_Z)
            e->accept(); // consumed: no search
    });
    QTest::keyClick(t.combo, Qt::Key_Delete);
    QCOMPARE(t.combo->shownText(), QString());
    QVERIFY(t.key().isNull());
    QTest::keyClick(t.combo, 'z');
    QCOMPARE(t.combo->searchText(), QString());
    QCOMPARE(seen, (QList<int>{Qt::Key_Delete, Qt::Key_Z}));
}

void TstDBLookupComboBox::refusedEditKeepsTheKey() {
    ComboFixture t;
    t.f.inst->beforeEdit = [](db::RecordSet &) { throw db::DatabaseError(kLocked); };
    t.form.answers.push(ModalAnswers::ok());
    QTest::keyClick(t.combo, 'a');
    QCOMPARE(t.form.answers.seen, QStringList{kLockedBox});
    QCOMPARE(t.key().toInt(), 2);
    QCOMPARE(t.combo->searchText(), QString());
    // A choice from the list: the refusal reaches the caller.
    QVERIFY_THROWS_EXCEPTION(db::DatabaseError, t.combo->selectEntry(0));
    QCOMPARE(t.key().toInt(), 2);
    QCOMPARE(t.f.inst->state(), State::Browse);
}

void TstDBLookupComboBox::enteredWhenTheFocusArrives() {
    ComboFixture t;
    QSignalSpy spy(t.combo, &DBLookupComboBox::entered);
    QVERIFY(t.form.show());
    t.combo->setFocus(Qt::TabFocusReason);
    QCOMPARE(spy.count(), 1);
    t.form.other->setFocus(Qt::TabFocusReason);
    t.combo->setFocus(Qt::PopupFocusReason); // its list closing gives the focus back
    QCOMPARE(spy.count(), 1);
    t.form.other->setFocus(Qt::TabFocusReason);
    t.combo->setFocus(Qt::MouseFocusReason);
    QCOMPARE(spy.count(), 2);
}

// A screen reader reaches the list of choices through the box, closed or open, and reads its
// entries and the one chosen, as with Qt's own combo box.
void TstDBLookupComboBox::listReadByAssistiveTechnology() {
    ComboFixture t;
    QVERIFY(t.form.show());
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(t.combo);
    QVERIFY(box);
    QCOMPARE(box->role(), QAccessible::ComboBox);
    QCOMPARE(box->text(QAccessible::Value), QStringLiteral("BETA"));
    const auto entriesRead = [&] {
        QStringList read;
        QAccessibleInterface *list = box->child(0);
        if (!list || list->role() != QAccessible::List)
            return QStringList{QStringLiteral("(sin lista)")};
        for (int i = 0; i < list->childCount(); ++i)
            read << list->child(i)->text(QAccessible::Name);
        return read;
    };
    QCOMPARE(box->childCount(), 1);
    const QStringList all{"ALFA", "BETA", "BRAVO", kLongA, kLongB};
    QCOMPARE(entriesRead(), all);
    QCOMPARE(box->indexOfChild(box->child(0)), 0);
    t.combo->showPopup();
    QTRY_VERIFY_WITH_TIMEOUT(t.combo->view()->isVisible(), kWindowWait);
    QCOMPARE(entriesRead(), all);
    QAccessibleInterface *list = box->child(0);
    QVERIFY(list->child(1)->state().selected);
    t.combo->hidePopup();
}

int runDBLookupComboBoxTests(int argc, char **argv) {
    TstDBLookupComboBox t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_dblookupcombobox.moc"

