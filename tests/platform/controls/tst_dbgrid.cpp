// DBGrid against a real record set: columns, rows fetched as it scrolls, the current row both
// ways, in-place editing (masked cells, lookup cells), Tab, Insert, Down past the last row,
// Ctrl+Delete with its confirmation, and the key hooks.

#include "tests/common/WindowWait.h"
#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ControlsFixture.h"

#include "platform/controls/DBGrid.h"
#include "platform/controls/EditMask.h"
#include "platform/controls/GridEditors.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QtTest>

using db::State;
using platform::DBGrid;
using platform::DBGridColumn;

namespace {

DBGridColumn column(const QString &field, const QString &title, int width = 0,
                    Qt::Alignment cells = {}) {
    DBGridColumn c;
    c.fieldName = field;
    c.title = title;
    c.width = width;
    c.alignment = cells;
    c.titleAlignment = Qt::AlignHCenter;
    return c;
}

// Types into the grid as a person does: the first key opens the cell's editor, which then
// has the focus and takes the rest.
void typeInGrid(DBGrid *grid, const QString &text) {
    QTest::keyClick(grid, text.at(0).toLatin1());
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() && QApplication::focusWidget() != grid &&
                                 grid->isAncestorOf(QApplication::focusWidget()),
                             kWindowWait);
    for (QChar c : text.mid(1))
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

QStringList names(int n) {
    QStringList list;
    for (int i = 1; i <= n; ++i)
        list << QStringLiteral("G%1").arg(i, 3, 10, QLatin1Char('0'));
    return list;
}

// The managers' grid of the manager editor, in a shown window, with the focus.
struct GridFixture {
    ControlsFixture f;
    Form form;
    DBGrid *grid;
    explicit GridFixture(int managers) : grid(form.add(new DBGrid)) {
        if (managers > 0)
            f.addGestores(names(managers));
        f.gestores->open();
        grid->setColumns({column("NOMBRE", "Apellidos y Nombre del gestor", 200),
                          column("EMAIL", "Correo electrónico", 150),
                          column("TELEFONO", "Teléfono", 90, Qt::AlignHCenter)});
        grid->setDataSource(&f.sGestores);
    }
    bool show() {
        if (!form.show())
            return false;
        grid->setFocus();
        QCoreApplication::processEvents(); // lays the grid out, fetching the rows it shows
        return QTest::qWaitFor([this] { return grid->hasFocus(); }, kWindowWait);
    }
    db::RecordSet &rs() { return *f.gestores; }
    // The widget with the focus, once there is one.
    QWidget *focused() const {
        if (!QTest::qWaitFor([] { return QApplication::focusWidget() != nullptr; }, kWindowWait))
            qWarning("sin foco");
        return QApplication::focusWidget();
    }
};

} // namespace

class TstDBGrid : public QObject {
    Q_OBJECT
private slots:
    void columnsTitlesAndAlignment();
    void rowsAreFetchedAsTheGridScrolls();
    void currentRowFollowsTheRecordSet();
    void choosingARowMovesTheRecordSet();
    void typingEditsTheCellAndTabMovesOn();
    void maskedCellRefusesIncompleteText();
    void refusedEditLeavesTheCell();
    void postWritesTheOpenCell();
    void insertKeyInserts();
    void downPastTheLastRowAppends();
    void ctrlDeleteAsksFirst_data();
    void ctrlDeleteAsksFirst();
    void lookupCellOffersTheList();
    void keyPressHookInCells();
    void typingIntoAnEmptyGridInserts();
    void readOnlyGridEditsNothing();
    void doubleClickSignal();
};

void TstDBGrid::columnsTitlesAndAlignment() {
    GridFixture t(3);
    QAbstractItemModel *m = t.grid->model();
    QCOMPARE(m->columnCount(), 3);
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Apellidos y Nombre del gestor"));
    QCOMPARE(m->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Teléfono"));
    QCOMPARE(m->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignHCenter));
    QCOMPARE(m->index(0, 2).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignHCenter));
    QCOMPARE(m->index(0, 0).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignLeft));
    QCOMPARE(t.grid->columnWidth(0), 200);
    QCOMPARE(m->index(0, 0).data().toString(), QStringLiteral("G001"));
    QCOMPARE(m->index(0, 1).data().toString(), QStringLiteral("g1@x.es"));
}

void TstDBGrid::rowsAreFetchedAsTheGridScrolls() {
    GridFixture t(300);
    QVERIFY(t.show());
    QCoreApplication::processEvents();
    const int first = t.grid->model()->rowCount();
    QVERIFY(first >= 1);
    QVERIFY(first < 300);
    QVERIFY(!t.rs().allFetched());
    for (int i = 0; i < 10 && t.grid->model()->rowCount() < 300; ++i) {
        t.grid->verticalScrollBar()->setValue(t.grid->verticalScrollBar()->maximum());
        QCoreApplication::processEvents();
    }
    QCOMPARE(t.grid->model()->rowCount(), 300);
    QCOMPARE(t.rs().recNo(), 0); // scrolling fetched; it did not move
    QCOMPARE(t.grid->model()->index(299, 0).data().toString(), QStringLiteral("G300"));
}

void TstDBGrid::currentRowFollowsTheRecordSet() {
    GridFixture t(20);
    QCOMPARE(t.grid->currentIndex().row(), 0);
    t.rs().moveTo(5);
    QCOMPARE(t.grid->currentIndex().row(), 5);
    t.rs().last();
    QCOMPARE(t.grid->model()->rowCount(), 20);
    QCOMPARE(t.grid->currentIndex().row(), 19);
    t.rs().first();
    QCOMPARE(t.grid->currentIndex().row(), 0);
}

void TstDBGrid::choosingARowMovesTheRecordSet() {
    GridFixture t(20);
    QVERIFY(t.show());
    QVERIFY(t.grid->model()->rowCount() >= 5); // the rows the window shows were fetched
    t.grid->setCurrentIndex(t.grid->model()->index(3, 1));
    QCOMPARE(t.rs().recNo(), 3);
    QTest::keyClick(t.grid, Qt::Key_Down);
    QCOMPARE(t.rs().recNo(), 4);
    QCOMPARE(t.rs().field("NOMBRE").asString(), QStringLiteral("G005"));
    const QRect cell = t.grid->visualRect(t.grid->model()->index(1, 0));
    QTest::mouseClick(t.grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(t.rs().recNo(), 1);
    QCOMPARE(t.grid->currentIndex().column(), 0);
}

void TstDBGrid::typingEditsTheCellAndTabMovesOn() {
    GridFixture t(3);
    QVERIFY(t.show());
    typeInGrid(t.grid, "zorro"); // the first key replaces the cell's text
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<platform::GridCellEdit *>(t.focused()), kWindowWait);
    QCOMPARE(t.rs().state(), State::Edit);
    QCOMPARE(t.rs().field("NOMBRE").asString(), QStringLiteral("G001"));
    QTest::keyClick(t.focused(), Qt::Key_Tab);
    QCOMPARE(t.rs().field("NOMBRE").asString(), QStringLiteral("zorro"));
    QCOMPARE(t.grid->currentIndex().column(), 1);
    QCOMPARE(t.form.answers.seen, QStringList());
    QTest::keyClick(t.focused(), Qt::Key_Escape); // leaves the e-mail cell unchanged
    QTest::keyClick(t.grid, Qt::Key_Tab);
    QCOMPARE(t.grid->currentIndex().column(), 2);
    QCOMPARE(t.rs().field("EMAIL").asString(), QStringLiteral("g1@x.es"));
}

void TstDBGrid::maskedCellRefusesIncompleteText() {
    GridFixture t(3);
    t.rs().field("TELEFONO").editMask = "000000000;0;_";
    QVERIFY(t.show());
    t.grid->setCurrentIndex(t.grid->model()->index(0, 2));
    typeInGrid(t.grid, "91");
    QWidget *editor = t.grid->cellEditor();
    QVERIFY(editor);
    QCOMPARE(qobject_cast<QLineEdit *>(editor)->text(), QStringLiteral("91_______"));
    t.form.answers.push(ModalAnswers::ok());
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(t.form.answers.takeSeen(),
             QStringList{errorBox(
                 "Valor de entrada inválido.  Use la tecla Escape para abandonar los cambios.")});
    QCOMPARE(t.grid->cellEditor(), editor); // the editor stays, with its text and the focus
    QVERIFY(t.form.backFromBox());
    QTRY_COMPARE_WITH_TIMEOUT(t.focused(), editor, kWindowWait);
    QCOMPARE(t.grid->currentIndex().column(), 2);
    QCOMPARE(qobject_cast<QLineEdit *>(editor)->text(), QStringLiteral("91_______"));
    QVERIFY(t.rs().field("TELEFONO").isNull());
    QTest::keyClicks(editor, "5551234");
    QTest::keyClick(editor, Qt::Key_Return); // the view commits the cell from the event loop
    QTRY_COMPARE_WITH_TIMEOUT(t.rs().field("TELEFONO").asString(), QStringLiteral("915551234"),
                              kWindowWait);
    QCOMPARE(t.form.answers.seen, QStringList());
}

void TstDBGrid::refusedEditLeavesTheCell() {
    GridFixture t(3);
    t.rs().beforeEdit = [](db::RecordSet &) { throw db::DatabaseError(kLocked); };
    QVERIFY(t.show());
    t.form.answers.push(ModalAnswers::ok());
    QTest::keyClick(t.grid, 'q');
    QCOMPARE(t.form.answers.seen, QStringList{kLockedBox});
    QCOMPARE(t.rs().state(), State::Browse);
    QWidget *editor = t.grid->cellEditor();
    QVERIFY(!editor || qobject_cast<QLineEdit *>(editor)->text() == QLatin1String("G001"));
}

void TstDBGrid::postWritesTheOpenCell() {
    GridFixture t(3);
    QVERIFY(t.show());
    t.grid->setCurrentIndex(t.grid->model()->index(1, 2));
    typeInGrid(t.grid, "600");
    t.rs().post(); // the cell is still open
    QCOMPARE(t.rs().state(), State::Browse);
    QCOMPARE(t.rs().field("TELEFONO").asString(), QStringLiteral("600"));
}

void TstDBGrid::insertKeyInserts() {
    GridFixture t(3);
    QVERIFY(t.show());
    t.rs().next();
    QTest::keyClick(t.grid, Qt::Key_Insert);
    QCOMPARE(t.rs().state(), State::Insert);
    QCOMPARE(t.grid->model()->rowCount(), 4);
    QCOMPARE(t.rs().recNo(), 1);
    QCOMPARE(t.grid->currentIndex().row(), 1);
    QCOMPARE(t.grid->model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("*"));
    QVERIFY(t.grid->model()->index(1, 0).data().toString().isEmpty());
    // Leaving the untouched new row drops it; the row chosen is the one clicked.
    t.grid->setCurrentIndex(t.grid->model()->index(2, 0)); // G002, below the new row
    QCOMPARE(t.rs().state(), State::Browse);
    QCOMPARE(t.grid->model()->rowCount(), 3);
    QCOMPARE(t.rs().field("NOMBRE").asString(), QStringLiteral("G002"));
    QCOMPARE(t.grid->currentIndex().row(), 1);
}

void TstDBGrid::downPastTheLastRowAppends() {
    GridFixture t(3);
    QVERIFY(t.show());
    t.rs().last();
    QTest::keyClick(t.grid, Qt::Key_Down);
    QCOMPARE(t.rs().state(), State::Insert);
    QCOMPARE(t.rs().recNo(), 3);
    QCOMPARE(t.grid->currentIndex().row(), 3);
    QTest::keyClick(t.grid, Qt::Key_Down); // not after an untouched new record
    QCOMPARE(t.grid->model()->rowCount(), 4);
    QCOMPARE(t.rs().state(), State::Insert);
    // A touched one is posted and followed by another.
    typeInGrid(t.grid, "NUEVO");
    QTest::keyClick(t.focused(), Qt::Key_Tab);
    QTest::keyClicks(t.focused(), "n@x.es");
    QTest::keyClick(t.focused(), Qt::Key_Down);
    QCOMPARE(t.form.answers.seen, QStringList());
    QCOMPARE(t.grid->model()->rowCount(), 5);
    QCOMPARE(t.rs().state(), State::Insert);
    t.rs().cancel();
    QCOMPARE(t.rs().field("NOMBRE").asString(), QStringLiteral("NUEVO"));
    QCOMPARE(t.rs().field("EMAIL").asString(), QStringLiteral("n@x.es"));
}

void TstDBGrid::ctrlDeleteAsksFirst_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("Cancelar") << "Cancelar" << 3;
    QTest::newRow("OK") << "OK" << 2;
}

void TstDBGrid::ctrlDeleteAsksFirst() {
    QFETCH(QString, answer);
    QFETCH(int, rowsAfter);
    GridFixture t(3);
    QVERIFY(t.show());
    t.rs().fetchAll();
    t.rs().moveTo(1);
    QStringList buttons;
    t.form.answers.push(ModalAnswers::noteButtons(buttons, ModalAnswers::press(answer)));
    QTest::keyClick(t.grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(t.form.answers.seen, QStringList{"Confirmación|¿Desea eliminar el registro?"});
    buttons.sort();
    QCOMPARE(buttons, (QStringList{"Cancelar", "OK"}));
    QCOMPARE(t.rs().recordCount(), rowsAfter);
    QCOMPARE(t.grid->model()->rowCount(), rowsAfter);
    t.f.transaction.commitRetaining();
    QCOMPARE(t.f.countInDatabase("GESTORES"), rowsAfter);
}

void TstDBGrid::lookupCellOffersTheList() {
    ControlsFixture f;
    f.addInstalaciones(1);
    f.exec({"insert into INSTALACION_ARMARIO (ID, INSTALACION, TIPO, N_COLUMNAS) values (1, 1, 2, "
            "1)"});
    f.armarios->open();
    Form form;
    DBGrid *grid = form.add(new DBGrid);
    grid->setColumns(
        {column("Ntipo", "Tipo"), column("N_COLUMNAS", "Columna Nº", 0, Qt::AlignHCenter)});
    grid->setDataSource(&f.sArmarios);
    QVERIFY(form.show());
    grid->setFocus();
    QCOMPARE(grid->model()->index(0, 0).data().toString(), QStringLiteral("Panel de contadores"));
    QTest::keyClick(grid, Qt::Key_F2);
    auto *combo = qobject_cast<platform::GridLookupEdit *>(grid->cellEditor());
    QVERIFY(combo);
    QCOMPARE(combo->count(), 4);
    QCOMPARE(combo->currentText(), QStringLiteral("Panel de contadores"));
    // Listed by description: Armario, Concentración, Módulos, Panel.
    QTest::keyClick(combo, Qt::Key_Up);
    QCOMPARE(f.armarios->state(), State::Edit);
    QCOMPARE(f.armarios->field("TIPO").asInteger(), 1);
    QCOMPARE(f.armarios->field("Ntipo").asString(), QStringLiteral("Módulos de centralización"));
    QCOMPARE(form.answers.seen, QStringList());
}

void TstDBGrid::keyPressHookInCells() {
    ControlsFixture f;
    f.addInstalaciones(2);
    f.inst->open();
    Form form;
    DBGrid *grid = form.add(new DBGrid);
    grid->setColumns({column("EXPEDIENTE", "Nº Expdte"), column("POTENCIA", "Potencia")});
    grid->setDataSource(&f.sInst);
    // A window's rule: a full stop in the power column becomes a comma.
    connect(grid, &DBGrid::keyPress, grid, [grid](QChar *key) {
        if (*key == u'.' && grid->currentField() && grid->currentField()->name() == "POTENCIA")
            *key = u',';
    });
    QList<int> keys;
    connect(grid, &DBGrid::keyDown, grid, [&keys](QKeyEvent *e) { keys << e->key(); });
    QVERIFY(form.show());
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(0, 1));
    typeInGrid(grid, "2.5");
    QCOMPARE(qobject_cast<QLineEdit *>(grid->cellEditor())->text(), QStringLiteral("2,5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down); // left unused by the cell
    QCOMPARE(f.inst->recNo(), 1);
    f.inst->first();
    QCOMPARE(f.inst->field("POTENCIA").asFloat(), 2.5);
    QCOMPARE(keys, (QList<int>{'2', '.', '5', Qt::Key_Down})); // each key once
    QCOMPARE(form.answers.seen, QStringList());
}

void TstDBGrid::typingIntoAnEmptyGridInserts() {
    GridFixture t(0);
    QVERIFY(t.show());
    typeInGrid(t.grid, "ab");
    QCOMPARE(t.rs().state(), State::Insert);
    QCOMPARE(qobject_cast<QLineEdit *>(t.grid->cellEditor())->text(), QStringLiteral("ab"));
}

void TstDBGrid::readOnlyGridEditsNothing() {
    GridFixture t(3);
    t.rs().fetchAll();
    t.grid->setReadOnly(true);
    QVERIFY(t.show());
    QTest::keyClicks(t.grid, "x");
    QTest::keyClick(t.grid, Qt::Key_Insert);
    QTest::keyClick(t.grid, Qt::Key_Delete, Qt::ControlModifier);
    QVERIFY(!t.grid->cellEditor());
    QCOMPARE(t.rs().state(), State::Browse);
    QCOMPARE(t.rs().recordCount(), 3);
}

void TstDBGrid::doubleClickSignal() {
    GridFixture t(0);
    QVERIFY(t.show());
    QSignalSpy spy(t.grid, &DBGrid::dblClick);
    QTest::mouseDClick(t.grid->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(spy.count(), 1);
}

int runDBGridTests(int argc, char **argv) {
    TstDBGrid t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_dbgrid.moc"
