// DBNavigator against a real record set: which buttons apply in each state, the hints, the
// delete confirmation, refresh, the clicked() report, and the focus staying where it was.

#include "tests/common/WindowWait.h"
#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ControlsFixture.h"

#include "platform/controls/DBEdit.h"
#include "platform/controls/DBNavigator.h"

#include <QToolButton>
#include <QtTest>

using db::State;
using platform::DBNavigator;

namespace {

const QStringList kHints = {"Primer registro", "Registro anterior", "Siguiente registro",
                            "Último registro", "Insertar registro", "Borrar registro",
                            "Editar regisro",  "Validar",           "Cancelar",
                            "Refrescar datos"};

// One character per button, in order: 1 enabled, 0 disabled.
QString enabledButtons(const DBNavigator &nav) {
    QString s;
    for (int i = 0; i < DBNavigator::ButtonCount; ++i)
        s += nav.button(DBNavigator::Button(i))->isEnabled() ? u'1' : u'0';
    return s;
}

} // namespace

class TstDBNavigator : public QObject {
    Q_OBJECT
private slots:
    void buttonsApplyByState_data();
    void buttonsApplyByState();
    void hints();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void clickedComesAfterTheOperation();
    void refusedPostIsReportedAndNotClicked();
    void refreshReadsTheRecordAgain();
    void buttonsTakeNoFocus();
    void visibleButtons();
};

void TstDBNavigator::buttonsApplyByState_data() {
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("enabled");
    //                                           first prior next last ins del edit post canc refr
    QTest::newRow("closed") << "closed"
                            << "0000000000";
    QTest::newRow("empty") << "empty"
                           << "0000100000";
    QTest::newRow("first record") << "first"
                                  << "0011111001";
    QTest::newRow("middle record") << "middle"
                                   << "1111111001";
    QTest::newRow("last record") << "last"
                                 << "1100111001";
    QTest::newRow("last record reached one by one, the list not read to its end") << "stepToLast"
                                                                                  << "1100111001";
    QTest::newRow("the only record") << "single"
                                     << "0000111001";
    QTest::newRow("editing") << "edit"
                             << "0011110111";
    QTest::newRow("inserting into an empty set") << "insertEmpty"
                                                 << "0000110111";
    QTest::newRow("read only") << "readOnly"
                               << "0011000001";
}

void TstDBNavigator::buttonsApplyByState() {
    QFETCH(QString, situation);
    QFETCH(QString, enabled);
    ControlsFixture f;
    if (situation == "single")
        f.addGestores({"A"});
    else if (situation != "empty" && situation != "insertEmpty")
        f.addGestores({"A", "B", "C"});
    DBNavigator nav;
    db::RecordSet &g = *f.gestores;
    if (situation == "readOnly") {
        g.insertSql.clear();
        g.modifySql.clear();
    }
    if (situation != "closed")
        g.open();
    nav.setDataSource(&f.sGestores);
    if (situation == "middle")
        g.next();
    else if (situation == "last")
        g.last();
    else if (situation == "stepToLast") {
        g.next();
        g.next();
    } else if (situation == "edit")
        g.edit();
    else if (situation == "insertEmpty")
        g.insert();
    QCOMPARE(enabledButtons(nav), enabled);
}

void TstDBNavigator::hints() {
    DBNavigator nav;
    QStringList tips, names;
    for (int i = 0; i < DBNavigator::ButtonCount; ++i) {
        tips << nav.button(DBNavigator::Button(i))->toolTip();
        names << nav.button(DBNavigator::Button(i))->accessibleName();
    }
    QCOMPARE(tips, QStringList(10, QString())); // none unless asked for
    QCOMPARE(names, kHints);
    nav.setShowHints(true);
    tips.clear();
    for (int i = 0; i < DBNavigator::ButtonCount; ++i)
        tips << nav.button(DBNavigator::Button(i))->toolTip();
    QCOMPARE(tips, kHints);
    nav.setShowHints(false);
    QCOMPARE(nav.button(DBNavigator::Edit)->toolTip(), QString());
}

void TstDBNavigator::deleteAsksFirst_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<bool>("clicked");
    QTest::newRow("Cancelar") << "Cancelar" << 2 << false;
    QTest::newRow("OK") << "OK" << 1 << true;
}

void TstDBNavigator::deleteAsksFirst() {
    QFETCH(QString, answer);
    QFETCH(int, rowsAfter);
    QFETCH(bool, clicked);
    ControlsFixture f;
    f.addGestores({"A", "B"});
    f.gestores->open();
    Form form;
    DBNavigator *nav = form.add(new DBNavigator);
    nav->setDataSource(&f.sGestores);
    QSignalSpy spy(nav, &DBNavigator::clicked);
    QVERIFY(form.show());
    QStringList buttons;
    form.answers.push(ModalAnswers::noteButtons(buttons, ModalAnswers::press(answer)));
    QTest::mouseClick(nav->button(DBNavigator::Delete), Qt::LeftButton);
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Cancelar", "OK"}));
    f.transaction.commitRetaining();
    QCOMPARE(f.countInDatabase("GESTORES"), rowsAfter);
    QCOMPARE(spy.count(), clicked ? 1 : 0);
    QCOMPARE(form.answers.seen, QStringList{"Confirmación|¿Desea eliminar el registro?"});
}

void TstDBNavigator::clickedComesAfterTheOperation() {
    ControlsFixture f;
    f.addGestores({"A", "B", "C"});
    f.gestores->open();
    Form form;
    DBNavigator *nav = form.add(new DBNavigator);
    nav->setDataSource(&f.sGestores);
    QList<QPair<DBNavigator::Button, int>> seen;
    connect(nav, &DBNavigator::clicked, nav,
            [&](DBNavigator::Button b) { seen << qMakePair(b, f.gestores->recNo()); });
    QVERIFY(form.show());
    QTest::mouseClick(nav->button(DBNavigator::Next), Qt::LeftButton);
    QTest::mouseClick(nav->button(DBNavigator::Last), Qt::LeftButton);
    QTest::mouseClick(nav->button(DBNavigator::Insert), Qt::LeftButton);
    QTest::mouseClick(nav->button(DBNavigator::Cancel), Qt::LeftButton);
    QCOMPARE(seen, (QList<QPair<DBNavigator::Button, int>>{{DBNavigator::Next, 1},
                                                           {DBNavigator::Last, 2},
                                                           {DBNavigator::Insert, 2},
                                                           {DBNavigator::Cancel, 2}}));
    QCOMPARE(f.gestores->state(), State::Browse);
    QCOMPARE(f.gestores->recordCount(), 3);
}

void TstDBNavigator::refusedPostIsReportedAndNotClicked() {
    ControlsFixture f;
    f.gestores->open();
    Form form;
    DBNavigator *nav = form.add(new DBNavigator);
    nav->setDataSource(&f.sGestores);
    QSignalSpy spy(nav, &DBNavigator::clicked);
    QVERIFY(form.show());
    QTest::mouseClick(nav->button(DBNavigator::Insert), Qt::LeftButton);
    f.gestores->field("NOMBRE").setValue("SIN CORREO");
    form.answers.push(ModalAnswers::ok());
    QTest::mouseClick(nav->button(DBNavigator::Post), Qt::LeftButton);
    QCOMPARE(form.answers.seen,
             QStringList{errorBox("Es necesario que el campo 'EMAIL' contenga algún valor.")});
    QCOMPARE(spy.count(), 1); // the insert only
    QCOMPARE(f.gestores->state(), State::Insert);
    QVERIFY(nav->button(DBNavigator::Post)->isEnabled());
}

void TstDBNavigator::refreshReadsTheRecordAgain() {
    ControlsFixture f;
    f.addGestores({"A", "B"});
    f.gestores->open();
    DBNavigator nav;
    nav.setDataSource(&f.sGestores);
    // Changed in the same transaction by other means.
    db::RecordSet other(f.transaction, "otro");
    other.selectSql = {"select ID, NOMBRE from GESTORES where ID = 1"};
    other.modifySql = {"update GESTORES set NOMBRE = :NOMBRE where ID = :OLD_ID"};
    other.open();
    other.edit();
    other.field("NOMBRE").setValue("CAMBIADO");
    other.post();
    QCOMPARE(f.gestores->field("NOMBRE").asString(), QStringLiteral("A"));
    nav.click(DBNavigator::Refresh);
    QCOMPARE(f.gestores->field("NOMBRE").asString(), QStringLiteral("CAMBIADO"));
}

void TstDBNavigator::buttonsTakeNoFocus() {
    ControlsFixture f;
    f.addGestores({"A", "B"});
    f.gestores->open();
    Form form;
    auto *edit = form.add(new platform::DBEdit);
    edit->setDataSource(&f.sGestores);
    edit->setDataField("NOMBRE");
    DBNavigator *nav = form.add(new DBNavigator);
    nav->setDataSource(&f.sGestores);
    QVERIFY(form.show());
    edit->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(edit, "Z");
    QTest::mouseClick(nav->button(DBNavigator::Post), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(edit->hasFocus(), kWindowWait);
    QCOMPARE(f.gestores->state(), State::Browse);
    QCOMPARE(f.gestores->field("NOMBRE").asString(), QStringLiteral("Z")); // pushed by the post
    for (int i = 0; i < DBNavigator::ButtonCount; ++i)
        QCOMPARE(nav->button(DBNavigator::Button(i))->focusPolicy(), Qt::NoFocus);
}

void TstDBNavigator::visibleButtons() {
    DBNavigator nav;
    nav.setVisibleButtons(
        {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last});
    nav.show();
    QVERIFY(nav.button(DBNavigator::Last)->isVisible());
    QVERIFY(!nav.button(DBNavigator::Insert)->isVisible());
    QVERIFY(!nav.button(DBNavigator::Refresh)->isVisible());
}

int runDBNavigatorTests(int argc, char **argv) {
    TstDBNavigator t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_dbnavigator.moc"
