// The main window opens the editors and the about box from its buttons, grid and navigator.

#include "app/Aplicacion.h"
#include "app/Uinstalaciones.h"
#include "data/UDatos.h"
#include "platform/controls/DBGrid.h"
#include "platform/controls/DBNavigator.h"
#include "platform/dialogs/MessageBoxes.h"
#include "tests/app/Arranque.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/TestDatabase.h"
#include "tests/common/WindowWait.h"

#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>
#include <QToolButton>
#include <QtTest>

using platform::DBNavigator;

namespace {

// The colour a widget is filled with once its style sheets are applied.
QColor relleno(QWidget *w) {
    w->ensurePolished();
    return w->palette().color(w->backgroundRole());
}

} // namespace

class TstIntegracion : public QObject {
    Q_OBJECT
private slots:
    // Every text of the windows is Arial as fontconfig gives it (Liberation Sans): the main
    // window with its radio captions, message boxes and menus, whatever font the system would
    // choose by default. The window carries the program's icon.
    void textIsArialAndWindowHasIcon() {
        TestDatabase tdb(true);
        auto ventana = std::make_unique<TFinstalacion>();
        auto datos = std::make_unique<TDatos>(ventana.get());
        QVERIFY(arrancar(tdb, *ventana, *datos));
        const QString arial = QFontInfo(QFont(QStringLiteral("Arial"))).family();
        QCOMPARE(arial, QStringLiteral("Liberation Sans"));
        QStringList otras;
        const auto revisar = [&](QWidget *arriba) {
            const QList<QWidget *> todos = arriba->findChildren<QWidget *>() << arriba;
            for (QWidget *w : todos) {
                const QString familia = QFontInfo(w->font()).family();
                if (familia != arial)
                    otras << QStringLiteral("%1 %2: %3")
                                 .arg(QLatin1String(w->metaObject()->className()),
                                      w->objectName(), familia);
            }
        };
        revisar(ventana.get());
        QVERIFY(!ventana->findChildren<QRadioButton *>().isEmpty());
        auto caja = makeErrorBox(ventana.get(), QStringLiteral("Texto"));
        revisar(caja.get());
        QMenu menu;
        menu.addAction(QStringLiteral("Opción"));
        revisar(&menu);
        QCOMPARE(otras, QStringList());

        QVERIFY(ventana->windowHandle());
        QVERIFY(!ventana->windowHandle()->icon().isNull());
        QVERIFY(!ventana->windowHandle()->icon().availableSizes().isEmpty() ||
                !ventana->windowHandle()->icon().pixmap(48).isNull());
        caja.reset();
        datos.reset();
        ventana.reset();
    }

    void editorsFromMainWindow() {
        TestDatabase tdb(true);
        auto ventana = std::make_unique<TFinstalacion>();
        auto datos = std::make_unique<TDatos>(ventana.get());
        QVERIFY(arrancar(tdb, *ventana, *datos));
        // The main window's own colours, by the names its controls share with the editors'.
        QCOMPARE(relleno(ventana->findChild<QWidget *>("DBEdit2")), QColor(0xFF, 0xFF, 0x04));
        QCOMPARE(relleno(ventana->findChild<QWidget *>("DBEdit1")), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(relleno(ventana->findChild<QWidget *>("GroupBox1")), QColor(0x48, 0x7E, 0x16));
        QCOMPARE(relleno(ventana->findChild<QWidget *>("GroupBox2")), QColor(0x08, 0x60, 0xB3));
        // ... do not reach the editors and the about box: their controls keep the plain colours.
        QStringList coloreados;
        const auto sinColores = [&coloreados](QWidget *w, QStringList nombres) {
            for (const QString &n : nombres) {
                QWidget *c = w->findChild<QWidget *>(n);
                if (!c) {
                    coloreados << w->objectName() + u'.' + n + QStringLiteral(" (no existe)");
                    continue;
                }
                const QColor normal = QApplication::palette(c).color(
                    c->palette().currentColorGroup(), c->backgroundRole());
                if (relleno(c) != normal)
                    coloreados << w->objectName() + u'.' + n;
            }
        };
        auto cerrar = [](const char *boton) {
            return [boton](QWidget *w) {
                QTest::mouseClick(w->findChild<QPushButton *>(boton), Qt::LeftButton);
            };
        };
        ModalAnswers r;
        for (const char *b : {"SpeedButton6", "SpeedButton1", "SpeedButton3"})
            QVERIFY2(ventana->findChild<QToolButton *>(b)->isEnabled(), b);
        const auto mirarYCerrar = [&](QStringList nombres, const char *boton) {
            return [=, &sinColores](QWidget *w) {
                sinColores(w, nombres);
                cerrar(boton)(w);
            };
        };
        r.push(mirarYCerrar({"DBEdit1", "DBEdit2"}, "BitBtn1"));
        QTest::mouseClick(ventana->findChild<QToolButton *>("SpeedButton6"), Qt::LeftButton);
        r.push(mirarYCerrar({"GroupBox1", "GroupBox2", "GroupBox3", "DBEdit1", "DBEdit2"},
                            "BitBtn1")); // Aceptar
        QTest::mouseClick(ventana->findChild<QToolButton *>("SpeedButton1"), Qt::LeftButton);
        r.push(cerrar("BitBtn2")); // Cancelar
        QTest::mouseClick(ventana->findChild<QToolButton *>("SpeedButton3"), Qt::LeftButton);
        r.push(mirarYCerrar({"DBEdit1", "DBEdit2", "DBEdit3"}, "BitBtn1")); // Cerrar
        auto *grid = ventana->findChild<platform::DBGrid *>("DBGrid1");
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton);
        QCOMPARE(r.seen, (QStringList{"TFacercade|Acerca de Trelmavondis I.E.E.",
                                      "TFinstalador|Instalador Autorizado",
                                      "TFgestor|Gestores de Rostelvia",
                                      "TFarmarios|Conjunto de Medida / Armarios"}));
        QVERIFY2(coloreados.isEmpty(), qPrintable(coloreados.join(u',')));
        // The kept cabinet editor opens again on a new cabinet.
        r.seen.clear();
        r.push(cerrar("BitBtn1"));
        QTest::mouseClick(
            ventana->findChild<DBNavigator *>("DBNavigator2")->button(DBNavigator::Insert),
            Qt::LeftButton);
        QCOMPARE(r.seen, QStringList{"TFarmarios|Conjunto de Medida / Armarios"});
        QCOMPARE(datos->DSarmarios().state(), db::State::Insert);
        QCOMPARE(datos->DSinstalacion().state(),
                 db::State::Browse); // posted before the cabinet insert
        datos->DSarmarios().cancel();
        datos.reset();
        ventana.reset();
    }

    // Search, print and e-mail from the running main window: each opens its window, and a
    // cancelled window leaves the installation where it was.
    void searchPrintAndMailFromMainWindow() {
        TestDatabase tdb(true);
        auto ventana = std::make_unique<TFinstalacion>();
        auto datos = std::make_unique<TDatos>(ventana.get());
        QVERIFY(arrancar(tdb, *ventana, *datos));
        const int id = datos->DSinstalacion()["ID"].asInteger();
        ModalAnswers r;
        QStringList titulos;
        const auto cancelar = [&titulos](QWidget *w) {
            titulos << ModalAnswers::shownTitle(w);
            QMetaObject::invokeMethod(w, "reject", Qt::QueuedConnection);
        };
        r.push(cancelar);
        QTest::mouseClick(ventana->findChild<QToolButton *>("SpeedButton2"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(titulos.size(), 1, kWindowWait);
        QCOMPARE(titulos.last(), QStringLiteral("Búsqueda de instalaciones"));
        QCOMPARE(datos->DSinstalacion()["ID"].asInteger(), id);
        // Without a report folder configured, print says so in the error box, on the same
        // installation.
        r.push(ModalAnswers::ok());
        QTest::mouseClick(ventana->findChild<QToolButton *>("Imprimir"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(r.seen.size(), 2, kWindowWait);
        QVERIFY2(r.seen.last().endsWith(QStringLiteral("|error")), qPrintable(r.seen.last()));
        QVERIFY2(r.seen.last().contains(QStringLiteral("Trelmavondis.rav")),
                 qPrintable(r.seen.last()));
        QCOMPARE(datos->DSinstalacion()["ID"].asInteger(), id);
        QVERIFY(ventana->findChild<QToolButton *>("email")->isEnabled());
        datos.reset();
        ventana.reset();
    }
};

int main(int argc, char **argv) {
    Aplicacion app(argc, argv);
    TstIntegracion t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_integracion.moc"
