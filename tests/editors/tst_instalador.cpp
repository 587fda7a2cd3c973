// The installer and manager editors driven as a person would, and the main window's installer
// and manager buttons applying the choice to the installation.

#include "editors/Editores.h"
#include "platform/controls/DBCheckBox.h"
#include "platform/controls/DBEdit.h"
#include "platform/controls/DBGrid.h"
#include "platform/controls/DBNavigator.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/WindowWait.h"
#include "tests/editors/PruebasEditores.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using db::State;
using platform::DBNavigator;

namespace {

const QString kInstalador = QStringLiteral("TFinstalador|Instalador Autorizado");
const QString kGestor = QStringLiteral("TFgestor|Gestores de Rostelvia");
const QString kSinCorreo =
    QStringLiteral("Es necesario indicar una dirección de correo electrónico");

// Two installers and two managers, in name order ALFA/BETA and ARIAS/BLANCO; installation 10
// names installer `inst` and manager `gest` (none when 0; no installation when `id` is 0).
QStringList semilla(int inst = 1, int gest = 1, const QString &enviado = QStringLiteral("N"),
                    int id = 10) {
    QStringList s{instalador(1, QStringLiteral("ALFA INSTALACIONES")),
                  instalador(2, QStringLiteral("BETA ELECTRICIDAD")),
                  gestor(1, QStringLiteral("ARIAS, ANA")),
                  gestor(2, QStringLiteral("BLANCO, BEA"))};
    if (id)
        s << instalacion(id, QStringLiteral("5000000000"), enviado, inst, gest);
    return s;
}

// The installer or the manager side, as a test table names it.
struct Lado {
    QString ident;
    void (*elegir)(TDatos &, QWidget *);
    db::RecordSet &(*lista)(TDatos &);
    QString campo;  // of the installation
    QString nombre; // its lookup field
    QString tabla;
};

Lado lado(const QString &quien) {
    if (quien == QLatin1String("instalador"))
        return {kInstalador,
                elegirInstalador,
                [](TDatos &d) -> db::RecordSet & { return d.DSinstalador(); },
                QStringLiteral("INSTALADOR"),
                QStringLiteral("Ninstalador"),
                QStringLiteral("INSTALADOR")};
    return {kGestor,
            elegirGestor,
            [](TDatos &d) -> db::RecordSet & { return d.DSgestores(); },
            QStringLiteral("GESTOR"),
            QStringLiteral("Ngestor"),
            QStringLiteral("GESTORES")};
}

DBNavigator *navegador(QWidget *w) {
    return hijo<DBNavigator>(w, QStringLiteral("DBNavigator1"));
}
QPushButton *aceptar(QWidget *w) {
    return hijo<QPushButton>(w, QStringLiteral("BitBtn1"));
}
QPushButton *cancelar(QWidget *w) {
    return hijo<QPushButton>(w, QStringLiteral("BitBtn2"));
}

void pulsarLuego(QPushButton *boton) {
    luego([boton] { QTest::mouseClick(boton, Qt::LeftButton); });
}

} // namespace

class TstSeleccion : public QObject {
    Q_OBJECT
private slots:
    void installerEditorLayout();
    void managerEditorLayout();
    void chosenRowBecomesTheInstallations_data();
    void chosenRowBecomesTheInstallations();
    void noneLeftChoosesZero_data();
    void noneLeftChoosesZero();
    void refusedCloseKeepsWindowOpen_data();
    void refusedCloseKeepsWindowOpen();
    void cancelAfterEditingStillPosts_data();
    void cancelAfterEditingStillPosts();
    void acceptOnSentInstallationShowsLock_data();
    void acceptOnSentInstallationShowsLock();
    void acceptWithNoInstallationStartsOne_data();
    void acceptWithNoInstallationStartsOne();
};

void TstSeleccion::installerEditorLayout() {
    Entorno e(false, semilla());
    QStringList grupos, rotulos, campos, titulos, pistas;
    QString casilla;
    Qt::CheckState estado = Qt::Checked;
    QString eco;
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        QCOMPARE(w->objectName(), QStringLiteral("Finstalador"));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
        for (QGroupBox *g : w->findChildren<QGroupBox *>())
            grupos << g->title();
        for (QLabel *l : w->findChildren<QLabel *>()) {
            rotulos << l->text();
            auto *edit = qobject_cast<platform::DBEdit *>(l->buddy());
            campos << (edit ? edit->dataField() : QString());
        }
        auto *grid = hijo<platform::DBGrid>(w, QStringLiteral("DBGrid1"));
        for (int c = 0; c < grid->model()->columnCount(); ++c) {
            titulos << grid->model()->headerData(c, Qt::Horizontal).toString() + u'@' +
                           grid->columns()[c].fieldName;
            QCOMPARE(grid->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                         Qt::AlignHorizontal_Mask,
                     int(Qt::AlignHCenter));
        }
        for (int b = 0; b < DBNavigator::ButtonCount; ++b)
            pistas << navegador(w)->button(DBNavigator::Button(b))->toolTip();
        auto *check = hijo<platform::DBCheckBox>(w, QStringLiteral("DBCheckBox1"));
        casilla = check->text() + u'@' + check->dataField();
        estado = check->checkState();
        auto *clave = hijo<platform::DBEdit>(w, QStringLiteral("DBEdit8"));
        clave->setText(QStringLiteral("secreto"));
        eco = clave->displayText(); // what the box paints
        clave->reset();
        QCOMPARE(aceptar(w)->text(), QStringLiteral("&Aceptar"));
        QVERIFY(aceptar(w)->isDefault());
        QCOMPARE(cancelar(w)->text(), QStringLiteral("&Cancelar"));
        QTest::keyClick(w, Qt::Key_Escape); // Esc is "&Cancelar"
    });
    elegirInstalador(e.d(), e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{kInstalador});
    QCOMPARE(grupos,
             (QStringList{"Dirección fiscál", "Correo electrónico",
                          "En el caso de precisar autenficación indicar usuario y contraseña. "}));
    QCOMPARE(rotulos, (QStringList{"Calle / Plaza:", "Número:", "C. Postal:", "Municipio:",
                                   "e-mail:", "Servidor (SMTP):", "Usuario SMTP:", "Contraseña:"}));
    QCOMPARE(campos, (QStringList{"CALLE", "CALLE_NUMERO", "CODIGO_POSTAL", "MUNICIPIO", "CORREO",
                                  "SMTP_SERVIDOR", "SMTP_USUARIO", "SMTP_CLAVE"}));
    QCOMPARE(titulos, (QStringList{"Nombre y Apellidos o Razón Social@NOMBRE", "N.I.F./C.I.F:@CIF",
                                   "Teléfono@TELEFONO", "Nº Carnet@CARNET"}));
    QCOMPARE(pistas, QStringList(DBNavigator::ButtonCount, QString()));
    QCOMPARE(casilla, QStringLiteral("Requiere autenficación@SMTP_AUTENTIFICACION"));
    QCOMPARE(estado, Qt::PartiallyChecked); // the seeded installers have no value there
    QCOMPARE(eco, QStringLiteral("*******"));
    QVERIFY(!e.vigia.fired());
}

void TstSeleccion::managerEditorLayout() {
    Entorno e(false, semilla());
    QStringList titulos, pistas;
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        QCOMPARE(w->objectName(), QStringLiteral("Fgestor"));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        auto *grid = hijo<platform::DBGrid>(w, QStringLiteral("DBGrid1"));
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            titulos << grid->model()->headerData(c, Qt::Horizontal).toString() + u'@' +
                           grid->columns()[c].fieldName;
        for (int b = 0; b < DBNavigator::ButtonCount; ++b)
            pistas << navegador(w)->button(DBNavigator::Button(b))->toolTip();
        QVERIFY(aceptar(w)->isDefault());
        QTest::mouseClick(cancelar(w), Qt::LeftButton);
    });
    elegirGestor(e.d(), e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{kGestor});
    QCOMPARE(titulos, (QStringList{"Apellidos y Nombre del gestor@NOMBRE",
                                   "Correo electrónico@EMAIL", "Teléfono@TELEFONO"}));
    QCOMPARE(pistas, QStringList(DBNavigator::ButtonCount, QString()));
    QVERIFY(!e.vigia.fired());
}

void TstSeleccion::chosenRowBecomesTheInstallations_data() {
    QTest::addColumn<QString>("quien");
    QTest::addColumn<int>("inicial");
    QTest::addColumn<bool>("siguiente");
    QTest::addColumn<bool>("conEnter");
    QTest::addColumn<int>("elegido");
    QTest::addColumn<QString>("nombre");
    QTest::newRow("installer: second row, Aceptar")
        << "instalador" << 1 << true << false << 2 << "BETA ELECTRICIDAD";
    QTest::newRow("installer: first row, Enter")
        << "instalador" << 2 << false << true << 1 << "ALFA INSTALACIONES";
    QTest::newRow("manager: second row, Enter")
        << "gestor" << 1 << true << true << 2 << "BLANCO, BEA";
    QTest::newRow("manager: first row, Aceptar")
        << "gestor" << 2 << false << false << 1 << "ARIAS, ANA";
}

void TstSeleccion::chosenRowBecomesTheInstallations() {
    QFETCH(QString, quien);
    QFETCH(int, inicial);
    QFETCH(bool, siguiente);
    QFETCH(bool, conEnter);
    QFETCH(int, elegido);
    QFETCH(QString, nombre);
    Entorno e(false, semilla(inicial, inicial));
    const Lado l = lado(quien);
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        if (siguiente)
            navegador(w)->click(DBNavigator::Next);
        if (conEnter)
            QTest::keyClick(w, Qt::Key_Return);
        else
            QTest::mouseClick(aceptar(w), Qt::LeftButton);
    });
    l.elegir(d, e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{l.ident});
    QCOMPARE(d.DSinstalacion().state(), State::Edit); // posted later by the ordinary rules
    QCOMPARE(d.DSinstalacion()[l.campo].asInteger(), elegido);
    QCOMPARE(d.DSinstalacion()[l.nombre].asString(), nombre);
    // The list was read again: its current row is the first by name.
    QCOMPARE(l.lista(d).state(), State::Browse);
    QCOMPARE(l.lista(d).recNo(), 0);
    QVERIFY(!e.vigia.fired());
}

void TstSeleccion::noneLeftChoosesZero_data() {
    QTest::addColumn<QString>("quien");
    QTest::newRow("installer") << "instalador";
    QTest::newRow("manager") << "gestor";
}

void TstSeleccion::noneLeftChoosesZero() {
    QFETCH(QString, quien);
    Entorno e(false, {instalador(1, QStringLiteral("ALFA INSTALACIONES")),
                      gestor(1, QStringLiteral("ARIAS, ANA")),
                      instalacion(10, QStringLiteral("5000000000"), QStringLiteral("N"), 1, 1)});
    const Lado l = lado(quien);
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) { luego([w] { navegador(w)->click(DBNavigator::Delete); }); });
    respuestas.push(ModalAnswers::press(QStringLiteral("OK")));
    respuestas.push([&](QWidget *w) {
        QVERIFY(l.lista(d).isEmpty());
        QTest::mouseClick(aceptar(w), Qt::LeftButton);
    });
    l.elegir(d, e.principal.get());
    QCOMPARE(respuestas.seen,
             (QStringList{l.ident, QStringLiteral("Confirmación|¿Desea eliminar el registro?"),
                          l.ident}));
    QCOMPARE(d.DSinstalacion()[l.campo].value(), QVariant(0));
    QCOMPARE(d.DSinstalacion()[l.nombre].asString(), QString());
    QVERIFY(!e.vigia.fired());
}

void TstSeleccion::refusedCloseKeepsWindowOpen_data() {
    QTest::addColumn<QString>("como");
    QTest::newRow("&Aceptar") << "aceptar";
    QTest::newRow("&Cancelar") << "cancelar";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("Enter") << "enter";
    QTest::newRow("close box") << "cierre";
}

void TstSeleccion::refusedCloseKeepsWindowOpen() {
    QFETCH(QString, como);
    Entorno e(false, semilla());
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        navegador(w)->click(DBNavigator::Insert);
        auto *servidor = hijo(w, QStringLiteral("DBEdit6"));
        servidor->setFocus();
        QTest::keyClicks(servidor, QStringLiteral("smtp.ejemplo.es"));
        luego([w, como] {
            if (como == QLatin1String("aceptar"))
                QTest::mouseClick(aceptar(w), Qt::LeftButton);
            else if (como == QLatin1String("cancelar"))
                QTest::mouseClick(cancelar(w), Qt::LeftButton);
            else if (como == QLatin1String("esc"))
                QTest::keyClick(w, Qt::Key_Escape);
            else if (como == QLatin1String("enter"))
                QTest::keyClick(w, Qt::Key_Return);
            else
                w->close();
        });
    });
    respuestas.push(ModalAnswers::ok());
    respuestas.push([&](QWidget *w) {
        // Still open on the new installer, which the user now completes.
        QVERIFY(w->isVisible());
        QCOMPARE(qobject_cast<QDialog *>(w)->result(), 0);
        QCOMPARE(d.DSinstalador().state(), State::Insert);
        auto *correo = hijo(w, QStringLiteral("DBEdit5"));
        correo->setFocus();
        QTest::keyClicks(correo, QStringLiteral("nuevo@ejemplo.es"));
        pulsarLuego(aceptar(w));
    });
    elegirInstalador(d, e.principal.get());
    QCOMPARE(respuestas.seen,
             (QStringList{kInstalador, kAplicacion + u'|' + kSinCorreo + ".|error", kInstalador}));
    QCOMPARE(e.visto("select count(*) from INSTALADOR where CORREO='nuevo@ejemplo.es' and "
                      "SMTP_SERVIDOR='smtp.ejemplo.es'")
                 .toInt(),
             1);
    QCOMPARE(d.DSinstalacion()["INSTALADOR"].asInteger(),
             e.visto("select ID from INSTALADOR where CORREO='nuevo@ejemplo.es'").toInt());
    QVERIFY(!e.vigia.fired());
}

void TstSeleccion::cancelAfterEditingStillPosts_data() {
    QTest::addColumn<QString>("quien");
    QTest::addColumn<QString>("columna");
    QTest::addColumn<QString>("guardado");
    QTest::newRow("installer street") << "instalador"
                                      << "CALLE"
                                      << "MAYOR";
    QTest::newRow("manager telephone") << "gestor"
                                       << "TELEFONO"
                                       << "600";
}

void TstSeleccion::cancelAfterEditingStillPosts() {
    QFETCH(QString, quien);
    QFETCH(QString, columna);
    QFETCH(QString, guardado);
    Entorno e(false, semilla());
    const Lado l = lado(quien);
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        navegador(w)->click(DBNavigator::Next); // the second row: BETA, BLANCO
        if (quien == QLatin1String("instalador")) {
            auto *calle = hijo<QLineEdit>(w, QStringLiteral("DBEdit1"));
            calle->setFocus();
            calle->home(false);
            QTest::keyClicks(calle, guardado.toLower());
        } else {
            auto *grid = hijo<platform::DBGrid>(w, QStringLiteral("DBGrid1"));
            grid->setFocus();
            grid->setCurrentIndex(grid->model()->index(1, 2));
            QTest::keyClick(grid, guardado.at(0).toLatin1()); // opens the cell's editor
            QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget() &&
                                         QApplication::focusWidget() != grid &&
                                         grid->isAncestorOf(QApplication::focusWidget()),
                                     kWindowWait);
            QTest::keyClicks(QApplication::focusWidget(), guardado.mid(1));
        }
        QCOMPARE(l.lista(d).state(), State::Edit);
        pulsarLuego(cancelar(w));
    });
    l.elegir(d, e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{l.ident});
    QCOMPARE(
        e.visto(QStringLiteral("select %1 from %2 where ID=2").arg(columna, l.tabla)).toString(),
        guardado);
    QCOMPARE(d.DSinstalacion().state(), State::Browse);
    QCOMPARE(d.DSinstalacion()[l.campo].asInteger(), 1);
    QCOMPARE(l.lista(d).recNo(), 0); // read again
    QVERIFY(!e.vigia.fired());
}

void TstSeleccion::acceptOnSentInstallationShowsLock_data() {
    QTest::addColumn<QString>("quien");
    QTest::newRow("installer") << "instalador";
    QTest::newRow("manager") << "gestor";
}

void TstSeleccion::acceptOnSentInstallationShowsLock() {
    QFETCH(QString, quien);
    Entorno e(false, semilla(1, 1, QStringLiteral("S")));
    const Lado l = lado(quien);
    TDatos &d = e.d();
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        navegador(w)->click(DBNavigator::Next);
        QTest::mouseClick(aceptar(w), Qt::LeftButton);
    });
    QCOMPARE(errorOf([&] { l.elegir(d, e.principal.get()); }), kBloqueo);
    QCOMPARE(respuestas.seen, QStringList{l.ident});
    QCOMPARE(d.DSinstalacion().state(), State::Browse);
    QCOMPARE(d.DSinstalacion()[l.campo].asInteger(), 1);
    QCOMPARE(
        e.visto(QStringLiteral("select %1 from INSTALACION where ID=10").arg(l.campo)).toInt(), 1);
    QCOMPARE(l.lista(d).recNo(), 1); // not read again
    QVERIFY(!e.vigia.fired());
}

void TstSeleccion::acceptWithNoInstallationStartsOne_data() {
    QTest::addColumn<QString>("quien");
    QTest::newRow("installer") << "instalador";
    QTest::newRow("manager") << "gestor";
}

void TstSeleccion::acceptWithNoInstallationStartsOne() {
    QFETCH(QString, quien);
    Entorno e(false, semilla(0, 0, QStringLiteral("N"), 0));
    const Lado l = lado(quien);
    TDatos &d = e.d();
    QVERIFY(d.DSinstalacion().isEmpty());
    ModalAnswers &respuestas = e.respuestas;
    respuestas.push([&](QWidget *w) {
        navegador(w)->click(DBNavigator::Next);
        QTest::mouseClick(aceptar(w), Qt::LeftButton);
    });
    l.elegir(d, e.principal.get());
    QCOMPARE(respuestas.seen, QStringList{l.ident});
    QCOMPARE(d.DSinstalacion().state(), State::Insert);
    QCOMPARE(d.DSinstalacion()[l.campo].asInteger(), 2);
    QCOMPARE(d.DSinstalacion()["ENVIADO"].asString(),
             QStringLiteral("N")); // the new-installation rules ran
    QVERIFY(!e.vigia.fired());
}

int runSeleccionTests(int argc, char **argv) {
    TstSeleccion t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_instalador.moc"
