// The cabinet and branch editors driven as a person would: opened from the main window's side,
// with the Insert and Delete keys and upper-case observations.

#include "editors/Editores.h"
#include "platform/controls/DBEdit.h"
#include "platform/controls/DBLookupComboBox.h"
#include "platform/controls/DBMemo.h"
#include "platform/controls/DBNavigator.h"
#include "platform/dialogs/Windows.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/TypeText.h"
#include "tests/common/WindowWait.h"
#include "tests/editors/PruebasEditores.h"

#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using db::State;
using platform::DBNavigator;

namespace {

const QString kArmarios = QStringLiteral("TFarmarios|Conjunto de Medida / Armarios");
const QString kDerivaciones = QStringLiteral("TFderivaciones|Derivaciones individuales");

// Installation 10 (installer 1, manager 1) with cabinet 100 (type 1, arrangement 2, branch
// arrangement 3, column 2, 8 cells, 6 circuits) and branch 200 (supply type 1, A / 1 / B).
QStringList semilla(const QString &enviado = QStringLiteral("N"), bool conHijos = true) {
    QStringList s{instalador(1, QStringLiteral("INSTALADOR UNO")),
                  gestor(1, QStringLiteral("GESTOR UNO")),
                  instalacion(10, QStringLiteral("5000000000"), enviado, 1, 1)};
    if (conHijos)
        s << QStringLiteral("insert into INSTALACION_ARMARIO (ID, INSTALACION, TIPO, DISPOSICION, "
                            "DISPOSICION_DI, "
                            "N_COLUMNAS, N_CELDAS, N_CIRCUITO) values (100, 10, 1, 2, 3, 2, 8, 6)")
          << QStringLiteral("insert into INSTALACION_DERIVACIONES (ID, INSTALACION, "
                            "TIPO_SUMINISTRO, ESCALERA, "
                            "PLANTA, PUERTA) values (200, 10, 1, 'A', '1', 'B')");
    return s;
}

// One of the two editors, as a test table names it.
struct Editor {
    QString ident; // as the modal answers record it
    void (*editar)(TDatos &, QWidget *);
    db::RecordSet &(*conjunto)(TDatos &);
};

Editor editor(const QString &cual) {
    if (cual == QLatin1String("armarios"))
        return {kArmarios, editarArmario,
                [](TDatos &d) -> db::RecordSet & { return d.DSarmarios(); }};
    return {kDerivaciones, editarDerivacion,
            [](TDatos &d) -> db::RecordSet & { return d.DSderivaciones(); }};
}

DBNavigator *navegador(QWidget *w) {
    return hijo<DBNavigator>(w, QStringLiteral("DBNavigator2"));
}

// Cancels what the editor left pending and closes it with "&Cerrar".
void cancelarYCerrar(QWidget *w) {
    navegador(w)->click(DBNavigator::Cancel);
    QTest::mouseClick(hijo<QPushButton>(w, QStringLiteral("BitBtn1")), Qt::LeftButton);
}

QString campoDe(QWidget *control) {
    if (auto *e = qobject_cast<platform::DBEdit *>(control))
        return e->dataField();
    if (auto *c = qobject_cast<platform::DBLookupComboBox *>(control))
        return c->dataField();
    if (auto *m = qobject_cast<platform::DBMemo *>(control))
        return m->dataField();
    return QString();
}

const QString kLimpiar = QStringLiteral("limpiar");

} // namespace

class TstArmarios : public QObject {
    Q_OBJECT
private slots:
    // An editor shown again while it is on screen is a failure, whatever Qt does with it.
    void init() {
        QTest::failOnWarning(QRegularExpression(QStringLiteral("QDialog::exec: Recursive call")));
    }
    void frameOfRowEditors_data();
    void frameOfRowEditors();
    void insertFromMainWindowOpensEditorOnce();
    void duplicateColumnRefusedOnInsert();
    void insertRightAfterTypingSavesTheRow();
    void insertKeyInEveryField_data();
    void insertKeyInEveryField();
    void deleteKeyClearsLookupKey_data();
    void deleteKeyClearsLookupKey();
    void sentInstallationIsViewOnly_data();
    void sentInstallationIsViewOnly();
    void observationsUpperCase_data();
    void observationsUpperCase();
    void pastedObservationsKeepTheirCase();
    void typingOnEmptyListDoesNotOpenTwice_data();
    void typingOnEmptyListDoesNotOpenTwice();
    void closingSavesNothing();
};

void TstArmarios::frameOfRowEditors_data() {
    QTest::addColumn<QString>("cual");
    QTest::addColumn<QStringList>("rotulos");
    QTest::addColumn<QStringList>("campos");
    QTest::addColumn<QString>("nombre");
    QTest::newRow("cabinets")
        << "armarios" << QStringList{"Tipo:",         "Columna Nº:",          "Nº Celdas:",
                                     "Nº Circuitos:", "Disposición armario:", "Disposición D.I.:"}
        << QStringList{"Ntipo",      "N_COLUMNAS",  "N_CELDAS",
                       "N_CIRCUITO", "Ndiposicion", "NdisposicionDI"}
        << "Farmarios";
    QTest::newRow("branches")
        << "derivaciones"
        << QStringList{"Escalera:",           "Planta:", "Puerta:", "Nº Columna:", "Nº Celda:",
                       "Tipo de suministro:", "Sec.F.",  "Sec. N.", "Sec. T.",     "Observaciones:"}
        << QStringList{"ESCALERA",       "PLANTA",          "PUERTA",         "N_COLUMNA",
                       "N_CELDA",        "Ntiposuministro", "SECCION_FUERZA", "SECCION_NEUTRO",
                       "SECCION_TIERRA", "OBSERVACIONES"}
        << "Fderivaciones";
}

void TstArmarios::frameOfRowEditors() {
    QFETCH(QString, cual);
    QFETCH(QStringList, rotulos);
    QFETCH(QStringList, campos);
    QFETCH(QString, nombre);
    Entorno e(false, semilla());
    const Editor ed = editor(cual);
    QWidget *visto = nullptr;
    QStringList rotulosVistos, camposVistos, pistas;
    {
        ModalAnswers &respuestas = e.respuestas;
        respuestas.push([&](QWidget *w) {
            visto = w;
            for (QLabel *l : w->findChildren<QLabel *>()) {
                rotulosVistos << l->text();
                camposVistos << campoDe(l->buddy());
            }
            for (int b = 0; b < DBNavigator::ButtonCount; ++b)
                pistas << navegador(w)->button(DBNavigator::Button(b))->toolTip();
            auto *cerrar = hijo<QPushButton>(w, QStringLiteral("BitBtn1"));
            QCOMPARE(cerrar->text(), QStringLiteral("&Cerrar"));
            QVERIFY(!(cerrar->focusPolicy() & Qt::TabFocus));
            QVERIFY(!cerrar->autoDefault());
            QCOMPARE(w->minimumSize(), w->maximumSize());
            QVERIFY(!(w->windowFlags() &
                      (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
            QTest::keyClick(w, Qt::Key_Escape); // Escape does not close it
            QVERIFY(w->isVisible());
            QTest::mouseClick(cerrar, Qt::LeftButton);
        });
        ed.editar(e.d(), e.principal.get());
        QCOMPARE(respuestas.seen, QStringList{ed.ident});
    }
    QCOMPARE(visto->objectName(), nombre);
    QCOMPARE(rotulosVistos, rotulos);
    QCOMPARE(camposVistos, campos);
    QCOMPARE(pistas, (QStringList{"Primer registro", "Registro anterior", "Siguiente registro",
                                  "Último registro", "Insertar registro", "Borrar registro",
                                  "Editar regisro", "Validar", "Cancelar", "Refrescar datos"}));
    // Kept, hidden, and the same window serves the next opening.
    QCOMPARE(static_cast<QWidget *>(findWindow<QDialog>(nombre)), visto);
    QVERIFY(!visto->isVisible());
    ModalAnswers &otra = e.respuestas;
    QWidget *segundo = nullptr;
    otra.push([&](QWidget *w) {
        segundo = w;
        cancelarYCerrar(w);
    });
    ed.editar(e.d(), e.principal.get());
    QCOMPARE(segundo, visto);
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::insertFromMainWindowOpensEditorOnce() {
    Entorno e(false, semilla());
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        QCOMPARE(d.DSarmarios().state(), State::Insert);
        QCOMPARE(d.DSarmarios()["INSTALACION"].asInteger(), 10);
        auto *columna = hijo(w, QStringLiteral("DBEdit1"));
        columna->setFocus();
        QTest::keyClicks(columna, QStringLiteral("7"));
        QTest::keyClick(columna, Qt::Key_Tab);
        QWidget *celdas = hijo(w, QStringLiteral("DBEdit2"));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), celdas, kWindowWait);
        QTest::keyClick(celdas, Qt::Key_Insert); // saves the row, starts another, here
        QVERIFY(w->isVisible());
        QCOMPARE(d.DSarmarios().state(), State::Insert);
        QCOMPARE(d.DSarmarios().recordCount(), 3);
        QCOMPARE(e.principal->aperturasArmarios, 2);
        QTest::mouseClick(hijo(w, QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    d.DSarmarios().insert(); // as the main window's navigator or grid does
    QCOMPARE(respuestas.seen, QStringList{kArmarios});
    QCOMPARE(
        e.visto("select count(*) from INSTALACION_ARMARIO where INSTALACION=10 and N_COLUMNAS=7")
            .toInt(),
        1);
    QCOMPARE(d.DSarmarios().state(), State::Insert); // the new row stays pending
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::duplicateColumnRefusedOnInsert() {
    Entorno e(false, semilla());
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        auto *columna = hijo(w, QStringLiteral("DBEdit1"));
        columna->setFocus();
        QTest::keyClicks(columna, QStringLiteral("2")); // cabinet 100 has column 2
        QTest::keyClick(columna, Qt::Key_Tab);
        QWidget *celdas = hijo(w, QStringLiteral("DBEdit2"));
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), celdas, kWindowWait);
        luego([celdas] { QTest::keyClick(celdas, Qt::Key_Insert); });
    });
    respuestas.push(ModalAnswers::ok());
    respuestas.push([&](QWidget *w) {
        QCOMPARE(d.DSarmarios().state(), State::Insert); // no new row was started
        QCOMPARE(d.DSarmarios().recordCount(), 2);
        QCOMPARE(d.DSarmarios()["N_COLUMNAS"].asInteger(), 2);
        cancelarYCerrar(w);
    });
    d.DSarmarios().insert();
    QCOMPARE(
        respuestas.seen,
        (QStringList{kArmarios,
                     kAplicacion + "|Este número de columna ya existe en esta instalación.|error",
                     kArmarios}));
    QCOMPARE(e.visto("select count(*) from INSTALACION_ARMARIO where INSTALACION=10").toInt(), 1);
    QVERIFY(!e.vigia.fired());
}

// Insert pressed in the box just typed into, without leaving it first.
void TstArmarios::insertRightAfterTypingSavesTheRow() {
    Entorno e(false, semilla());
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        auto *columna = hijo(w, QStringLiteral("DBEdit1"));
        columna->setFocus();
        QTest::keyClicks(columna, QStringLiteral("7"));
        QTest::keyClick(columna, Qt::Key_Insert);
        QTest::mouseClick(hijo(w, QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    d.DSarmarios().insert();
    QCOMPARE(respuestas.seen, QStringList{kArmarios});
    QCOMPARE(e.visto("select count(*) from INSTALACION_ARMARIO where N_COLUMNAS=7").toInt(), 1);
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::insertKeyInEveryField_data() {
    QTest::addColumn<QString>("cual");
    QTest::addColumn<QString>("control");
    QTest::addColumn<Qt::KeyboardModifiers>("modificadores");
    const Qt::KeyboardModifiers nada = Qt::NoModifier;
    QTest::newRow("cabinet type box") << "armarios"
                                      << "DBLookupComboBox1" << nada;
    QTest::newRow("cabinet cells edit") << "armarios"
                                        << "DBEdit2" << nada;
    QTest::newRow("cabinet branch arrangement box, Ctrl")
        << "armarios"
        << "DBLookupComboBox3" << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("branch staircase edit") << "derivaciones"
                                           << "DBEdit1" << nada;
    QTest::newRow("branch supply type box") << "derivaciones"
                                            << "DBLookupComboBox1" << nada;
    QTest::newRow("branch earth section edit, Alt")
        << "derivaciones"
        << "DBEdit8" << Qt::KeyboardModifiers(Qt::AltModifier);
    QTest::newRow("branch observations memo") << "derivaciones"
                                              << "DBMemo1" << nada;
}

void TstArmarios::insertKeyInEveryField() {
    QFETCH(QString, cual);
    QFETCH(QString, control);
    QFETCH(Qt::KeyboardModifiers, modificadores);
    Entorno e(false, semilla());
    const Editor ed = editor(cual);
    db::RecordSet &rs = ed.conjunto(e.d());
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        QWidget *c = hijo(w, control);
        c->setFocus();
        QTest::keyClick(c, Qt::Key_Insert, modificadores);
        QVERIFY(w->isVisible());
        QCOMPARE(rs.state(), State::Insert);
        QCOMPARE(rs.recordCount(), 2);
        QCOMPARE(rs["INSTALACION"].asInteger(), 10);
        cancelarYCerrar(w);
    });
    ed.editar(e.d(), e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{ed.ident});
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::deleteKeyClearsLookupKey_data() {
    QTest::addColumn<QString>("cual");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("clave");
    QTest::addColumn<QStringList>("intactas");
    QTest::newRow("cabinet type") << "armarios"
                                  << "DBLookupComboBox1"
                                  << "TIPO" << QStringList{"DISPOSICION", "DISPOSICION_DI"};
    QTest::newRow("cabinet arrangement") << "armarios"
                                         << "DBLookupComboBox2"
                                         << "DISPOSICION" << QStringList{"TIPO", "DISPOSICION_DI"};
    QTest::newRow("cabinet branch arrangement")
        << "armarios"
        << "DBLookupComboBox3"
        << "DISPOSICION_DI" << QStringList{"TIPO", "DISPOSICION"};
    QTest::newRow("branch supply type") << "derivaciones"
                                        << "DBLookupComboBox1"
                                        << "TIPO_SUMINISTRO" << QStringList{"ESCALERA"};
}

void TstArmarios::deleteKeyClearsLookupKey() {
    QFETCH(QString, cual);
    QFETCH(QString, control);
    QFETCH(QString, clave);
    QFETCH(QStringList, intactas);
    Entorno e(false, semilla());
    const Editor ed = editor(cual);
    db::RecordSet &rs = ed.conjunto(e.d());
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        auto *caja = hijo<platform::DBLookupComboBox>(w, control);
        QVERIFY(!caja->shownText().isEmpty());
        caja->setFocus();
        QTest::keyClick(caja, Qt::Key_Delete);
        QCOMPARE(rs.state(), State::Edit);
        QVERIFY(rs[clave].isNull());
        QCOMPARE(caja->shownText(), QString());
        for (const QString &otra : intactas)
            QVERIFY2(!rs[otra].isNull(), qPrintable(otra));
        cancelarYCerrar(w);
    });
    ed.editar(e.d(), e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{ed.ident});
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::sentInstallationIsViewOnly_data() {
    QTest::addColumn<QString>("cual");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("tecla");
    QTest::newRow("cabinet: typing cells") << "armarios"
                                           << "DBEdit2" << int(Qt::Key_5);
    QTest::newRow("cabinet: Insert in column") << "armarios"
                                               << "DBEdit1" << int(Qt::Key_Insert);
    QTest::newRow("cabinet: Delete in arrangement") << "armarios"
                                                    << "DBLookupComboBox2" << int(Qt::Key_Delete);
    QTest::newRow("branch: typing staircase") << "derivaciones"
                                              << "DBEdit1" << int(Qt::Key_C);
    QTest::newRow("branch: typing observations") << "derivaciones"
                                                 << "DBMemo1" << int(Qt::Key_X);
    QTest::newRow("branch: Insert in observations") << "derivaciones"
                                                    << "DBMemo1" << int(Qt::Key_Insert);
    QTest::newRow("branch: Delete in supply type") << "derivaciones"
                                                   << "DBLookupComboBox1" << int(Qt::Key_Delete);
}

void TstArmarios::sentInstallationIsViewOnly() {
    QFETCH(QString, cual);
    QFETCH(QString, control);
    QFETCH(int, tecla);
    Entorno e(false, semilla(QStringLiteral("S")));
    QVERIFY(e.principal->enviado);
    const Editor ed = editor(cual);
    db::RecordSet &rs = ed.conjunto(e.d());
    QVariantList antes;
    for (int i = 0; i < rs.fieldCount(); ++i)
        antes << rs.fieldAt(i).value();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        QWidget *c = hijo(w, control);
        c->setFocus();
        if (auto *linea = qobject_cast<QLineEdit *>(c))
            linea->home(false); // where a masked box has room
        luego([c, tecla] { QTest::keyClick(c, Qt::Key(tecla)); });
    });
    respuestas.push(ModalAnswers::ok());
    respuestas.push([&](QWidget *w) {
        QCOMPARE(rs.state(), State::Browse);
        QCOMPARE(rs.recordCount(), 1);
        QVariantList despues;
        for (int i = 0; i < rs.fieldCount(); ++i)
            despues << rs.fieldAt(i).value();
        QCOMPARE(despues, antes);
        QTest::mouseClick(hijo(w, QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    ed.editar(e.d(), e.principal.get());
    QCOMPARE(respuestas.seen,
             (QStringList{ed.ident, kAplicacion + u'|' + kBloqueo + ".|error", ed.ident}));
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::observationsUpperCase_data() {
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("ñ") << "ñ"
                       << "Ñ";
    QTest::newRow("accented letters and ñ") << "peña ñandú ÿ"
                                            << "PEÑA ÑANDÚ Ÿ";
    QTest::newRow("other characters unchanged") << "ç 1,5/x-y."
                                                << "Ç 1,5/X-Y.";
    QTest::newRow("151st character refused") << QString(155, u'x') << QString(150, u'X');
}

void TstArmarios::observationsUpperCase() {
    QFETCH(QString, tecleado);
    QFETCH(QString, esperado);
    Entorno e(false, semilla());
    TDatos &d = e.d();
    QString enMemo;
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        auto *memo = hijo<platform::DBMemo>(w, QStringLiteral("DBMemo1"));
        QCOMPARE(memo->maxLength(), 150);
        memo->setFocus();
        typeText(memo, tecleado);
        enMemo = memo->toPlainText();
        navegador(w)->click(DBNavigator::Post);
        QTest::mouseClick(hijo(w, QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    editarDerivacion(d, e.principal.get());
    QCOMPARE(enMemo, esperado);
    QCOMPARE(d.DSderivaciones()["OBSERVACIONES"].asString(), esperado);
    QCOMPARE(e.visto("select OBSERVACIONES from INSTALACION_DERIVACIONES where ID=200").toString(),
             esperado);
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::pastedObservationsKeepTheirCase() {
    Entorno e(false, semilla());
    QString enMemo;
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        auto *memo = hijo<platform::DBMemo>(w, QStringLiteral("DBMemo1"));
        memo->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("Peña y ñu"));
        QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
        typeText(memo, QStringLiteral(" añadido"));
        enMemo = memo->toPlainText();
        cancelarYCerrar(w);
    });
    editarDerivacion(e.d(), e.principal.get());
    QCOMPARE(enMemo, QStringLiteral("Peña y ñu AÑADIDO"));
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::typingOnEmptyListDoesNotOpenTwice_data() {
    QTest::addColumn<QString>("cual");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("guardado");
    QTest::newRow("cabinet column") << "armarios"
                                    << "DBEdit1"
                                    << "N_COLUMNAS"
                                    << "3";
    QTest::newRow("branch staircase") << "derivaciones"
                                      << "DBEdit1"
                                      << "ESCALERA"
                                      << "B";
}

void TstArmarios::typingOnEmptyListDoesNotOpenTwice() {
    QFETCH(QString, cual);
    QFETCH(QString, control);
    QFETCH(QString, campo);
    QFETCH(QString, guardado);
    Entorno e(false, semilla(QStringLiteral("N"), false));
    const Editor ed = editor(cual);
    db::RecordSet &rs = ed.conjunto(e.d());
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        QVERIFY(rs.isEmpty());
        auto *c = hijo<QLineEdit>(w, control);
        c->setFocus();
        c->home(false);
        QTest::keyClicks(c, guardado.toLower()); // edit on an empty list inserts
        QCOMPARE(rs.state(), State::Insert);
        navegador(w)->click(DBNavigator::Post);
        QTest::mouseClick(hijo(w, QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    ed.editar(e.d(), e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{ed.ident});
    QCOMPARE(e.principal->aperturasArmarios + e.principal->aperturasDerivaciones, 1);
    QCOMPARE(rs.state(), State::Browse);
    QCOMPARE(rs[campo].asString(), guardado);
    QVERIFY(!e.vigia.fired());
}

void TstArmarios::closingSavesNothing() {
    Entorno e(false, semilla());
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        auto *celdas = hijo(w, QStringLiteral("DBEdit2"));
        celdas->setFocus();
        QTest::keyClick(celdas, Qt::Key_End);
        QTest::keyClick(celdas, Qt::Key_Backspace);
        QTest::keyClicks(celdas, QStringLiteral("9"));
        QTest::mouseClick(hijo(w, QStringLiteral("BitBtn1")), Qt::LeftButton);
    });
    editarArmario(d, e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{kArmarios});
    QCOMPARE(d.DSarmarios().state(), State::Edit); // neither saved nor cancelled
    QCOMPARE(e.visto("select N_CELDAS from INSTALACION_ARMARIO where ID=100").toInt(), 8);
    QVERIFY(!e.vigia.fired());
}

int runArmariosTests(int argc, char **argv) {
    TstArmarios t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_armarios.moc"
