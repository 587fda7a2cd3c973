// The main window driven as a person would: keys, clicks and answers to its dialogs, against a
// real database with the demo data.

#include "app/Aplicacion.h"
#include "app/StBrowser.h"
#include "app/Uinstalaciones.h"
#include "data/UDatos.h"
#include "tests/app/Arranque.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/TestDatabase.h"
#include "tests/common/TypeText.h"
#include "tests/common/WindowWait.h"

#include "platform/controls/DBEdit.h"
#include "platform/controls/DBGrid.h"
#include "platform/controls/DBLookupComboBox.h"
#include "platform/controls/DBNavigator.h"
#include "platform/controls/DBRadioGroup.h"
#include "platform/controls/SpeedButton.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using platform::DBEdit;
using platform::DBGrid;
using platform::DBLookupComboBox;
using platform::DBNavigator;
using platform::DBRadioGroup;

namespace {

const QString kCaja = QStringLiteral("Trelmavondis|");
const QString kBloqueo =
    kCaja +
    QStringLiteral("No es posible modificar los registros de una instalacion enviada.|error");
const QString kPreguntaCopia =
    QStringLiteral("Confirmación|¿Desea copiar la instalación actual a una nueva?");

// The demo installations used here: 1 is sent, 4 has every lookup key filled, 5 is the newest.
constexpr int kEnviada = 1;
constexpr int kCompleta = 4;
constexpr int kUltima = 5;

// The program's start-up order: the window, then the data module connected to a fresh
// database, then the binding. The data module goes first at the end, as in the program.
struct Ventana {
    explicit Ventana(bool demo = true) : tdb(demo) {
        ventana = std::make_unique<TFinstalacion>();
        datos = std::make_unique<TDatos>(ventana.get());
        activa = arrancar(tdb, *ventana, *datos);
    }
    ~Ventana() {
        // Nothing left for the shutdown to save or to complain about.
        for (db::RecordSet *r : {&datos->DSarmarios(), &datos->DSderivaciones(), &datos->DSadjuntos(),
                                 &datos->DSinstalacion()})
            if (r->editing())
                r->cancel();
        datos.reset();
        ventana.reset();
    }

    template <class W = QWidget> W *hijo(const QString &nombre) const {
        W *w = ventana->findChild<W *>(nombre);
        if (!w)
            qFatal("La ventana no tiene %s", qPrintable(nombre));
        return w;
    }
    db::RecordSet &inst() const { return datos->DSinstalacion(); }
    void ir(int id) const {
        if (!inst().locate(QStringLiteral("ID"), id))
            qFatal("No existe la instalación %d", id);
    }
    // A button of a navigator, pressed with the mouse.
    void pulsar(const char *navegador, DBNavigator::Button boton) const {
        QTest::mouseClick(hijo<DBNavigator>(QLatin1String(navegador))->button(boton),
                          Qt::LeftButton);
    }
    void clic(const char *nombre) const {
        QTest::mouseClick(hijo(QLatin1String(nombre)), Qt::LeftButton);
    }

    TestDatabase tdb;
    std::unique_ptr<TFinstalacion> ventana;
    std::unique_ptr<TDatos> datos;
    bool activa = false;
};

// Answers the browse dialog: the item at `ruta` is chosen and confirmed.
ModalAnswers::Answer examinar(const QString &ruta) {
    return [ruta](QWidget *w) {
        auto *d = qobject_cast<StBrowser *>(w);
        QVERIFY(d);
        d->elegir(ruta);
        QTest::mouseClick(d->botonAceptar(), Qt::LeftButton);
    };
}

QString enBase(const TestDatabase &tdb, const QString &sql) {
    return tdb.attach()->scalar(sql).toString();
}

int cuenta(const TestDatabase &tdb, const QString &sql) {
    return tdb.attach()->scalar(sql).toInt();
}

QLabel *rotuloDe(const QWidget *ventana, const QWidget *control) {
    for (QLabel *l : ventana->findChildren<QLabel *>())
        if (l->buddy() == control)
            return l;
    return nullptr;
}

} // namespace

class TstInstalaciones : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void bindingsAndCaptions_data();
    void bindingsAndCaptions();
    void windowFrameTabsAndGrids();
    void windowFitsScreen();
    void typingReplacesExpedientAtStartAndAfterInsert();
    void buttonsHintsAndLaterFeatures();

    void deleteKeyClearsLookup_data();
    void deleteKeyClearsLookup();
    void deleteKeyOnSentInstallationIsRefused();
    void deleteKeyOnProvinceEmptiesLocation();

    void decimalCommaInEdits_data();
    void decimalCommaInEdits();
    void decimalCommaInBranchGrid_data();
    void decimalCommaInBranchGrid();

    void sentBoxClickedSavesAndLocks_data();
    void sentBoxClickedSavesAndLocks();
    void sentBoxFollowsMovesWithoutSaving();
    void sentBoxOnNewInstallationWithoutExpedient();

    void locationListsFetchedWholeOnEntry();
    void tabChangeFocusesGrid_data();
    void tabChangeFocusesGrid();

    void attachStoresPathAndCommits();
    void attachCancelledStoresNothing();
    void attachOverLongPathIsRefused();
    void attachOnSentInstallationIsRefused();
    void deleteAllOnSentInstallation();

    void copyCarriesPendingChanges();
    void copyAnsweredNoCopiesNothing();
    void copyStopsWhenSavingFails();
    void copyFailureIsReported();

    void closeButtonClosesWindow();

private:
    QTemporaryDir m_config;
};

void TstInstalaciones::initTestCase() {
    // An empty configuration folder: no registry key, no error box at creation.
    qputenv("XDG_CONFIG_DIRS", m_config.path().toLocal8Bit());
}

// ---------------------------------------------------------------- layout

void TstInstalaciones::bindingsAndCaptions_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("rotulo");
    const char *filas[][3] = {
        {"DBEdit2", "EXPEDIENTE", "Expediente:"},
        {"DBEdit1", "ID", "Identificador:"},
        {"DBLookupComboBox1", "Ntiposuministro", "Tipo de suministro:"},
        {"DBEdit3", "POTENCIA", "Potencia:"},
        {"DBLookupComboBox2", "Ninstalador", "Instalador autorizado:"},
        {"DBLookupComboBox3", "Ngestor", "Gestor de Rostelvia:"},
        {"DBEdit4", "FECHA", "Fecha entrega:"},
        {"DBEdit5", "LOCALIZA_CALLE", "Calle / plaza:"},
        {"DBEdit6", "LOCALIZA_PORTAL", "Portal:"},
        {"DBLookupComboBox4", "Ntipobis", "Tipo Bis:"},
        {"DBEdit7", "LOCALIZA_BIS", "Bis:"},
        {"DBEdit8", "LOCALIZA_ESCALERA", "Escalera:"},
        {"DBEdit9", "LOCALIZA_PISO", "Piso:"},
        {"DBEdit10", "LOCALIZA_PUERTA", "Puerta:"},
        {"DBEdit11", "LOCALIZA_CODIGO_PROVINCIA", "Código: Provincia:"},
        {"DBLookupComboBox5", "Nprovincia", "Código: Provincia:"}, // the code box's caption
        {"DBLookupComboBox16", "Nmunicipio", "Municipio:"},
        {"DBLookupComboBox18", "Nentidadpoblacion", "Entidad de población:"},
        {"DBEdit12", "LOCALIZA_CODIGO_POSTAL", "Código postal:"},
        {"DBEdit13", "SOLICITANTE_NOMBRE", "Nombre y  Apellidos o Razón Social:"},
        {"DBEdit14", "SOLICITANATE_NIF", "N.I.F./C.I.F.:"},
        {"DBEdit15", "SOLICITANTE_TELEFONO", "Teléfono:"},
        {"DBEdit16", "SOLICITANTE_NOTA", "Observaciones:"},
        {"DBLookupComboBox6", "Ntipoacometida", "Tipo:"},
        {"DBLookupComboBox7", "Ncable", "Tipo de cable:"},
        {"DBEdit17", "ACOMETIDA_LONGITUD", "Longitud:"},
        {"DBEdit18", "MAPRED_CT", "C.T.:"},
        {"DBEdit19", "MAPRED_LINEA", "Línea:"},
        {"DBEdit20", "MAPRED_UTM_X", "X:"},
        {"DBEdit21", "MAPRED_UTM_Y", "Y:"},
        {"DBLookupComboBox8", "CodCGP", "Nº. CGP:"},
        {"DBLookupComboBox9", "Ncgp", "Descripción:"},
        {"DBLookupComboBox10", "Ntipocaja", "Tipo Caja / Tipo CPM:"},
        {"DBLookupComboBox11", "Intensidadbase", "Intensidad base:"},
        {"DBLookupComboBox12", "IntensidadFusible", "Intensidad fusible:"},
        {"DBLookupComboBox13", "Ntipotension", "Tensión:"},
        {"DBLookupComboBox14", "Nubicacion", "Ubicación:"},
        {"DBEdit22", "CGP_UBICACION_OTRO", "Otra ubicación:"},
        {"DBLookupComboBox15", "Nnaturaleza", "Naturaleza:"},
        {"DBEdit23", "CGP_NATURAL_OTRO", "Otra naturaleza:"},
        {"DBEdit24", "CGP_LOCALIZACION",
         "Dirección de su localización (si no es la del suministro):"},
        {"DBRadioGroup1", "LINEAGENERAL_NORDEN", "Nº de Orden"},
        {"DBEdit25", "LINEAGENERAL_LONGITUD", "Longitud:"},
        {"DBRadioGroup2", "LINEAGENERAL_MATERIAL", "Material conductor"},
        {"DBEdit26", "LINEAGENERAL_SECCION", "Sección fases:"},
        {"DBEdit27", "LINEAGENERAL_SECCIONNEUTRO", "Sección neutro:"},
        {"DBLookupComboBox17", "Nsituacionportal", "Situación Portal:"},
        {"DBLookupComboBox19", "Ncentralizacion", "Centralización:"},
        {"DBEdit28", "MEDIDA_CENTRALIZACION_OTRO", "Otra centralización:"},
        {"DBLookupComboBox20", "NLocalizacion", "Localizacion:"},
        {"DBEdit29", "MEDIDA_LOCALIZACION_OTRO", "Otra localización:"},
        {"DBEdit30", "MEDIDA_DIRECCION",
         "Dirección de su localización (si no es la del suministro):"},
    };
    for (const auto &f : filas)
        QTest::newRow(f[0]) << QString::fromUtf8(f[0]) << QString::fromUtf8(f[1])
                            << QString::fromUtf8(f[2]);
}

// Every field control shows its field of the current installation, under its caption, which
// is its buddy (a radio group carries the caption as its title).
void TstInstalaciones::bindingsAndCaptions() {
    QFETCH(QString, control);
    QFETCH(QString, campo);
    QFETCH(QString, rotulo);
    Ventana v;
    QWidget *w = v.hijo(control);
    db::DataSource *fuente = nullptr;
    db::Field *f = nullptr;
    QString titulo;
    if (auto *e = qobject_cast<DBEdit *>(w)) {
        fuente = e->dataSource();
        f = e->field();
    } else if (auto *c = qobject_cast<DBLookupComboBox *>(w)) {
        fuente = c->dataSource();
        f = c->field();
        QCOMPARE(c->shownText(), f ? f->displayText() : QString());
    } else if (auto *r = qobject_cast<DBRadioGroup *>(w)) {
        fuente = r->dataSource();
        f = r->field();
        titulo = r->title();
    }
    QCOMPARE(fuente, &v.datos->Sinstalacion());
    QVERIFY(f);
    QCOMPARE(f->name(), campo);
    if (!titulo.isEmpty())
        QCOMPARE(titulo, rotulo);
    else if (control != QLatin1String("DBLookupComboBox5")) { // shares the code box's caption
        QLabel *l = rotuloDe(v.ventana.get(), w);
        QVERIFY2(l, "sin rótulo");
        QCOMPARE(l->text(), rotulo);
    }
    // What a screen reader says: the caption, and the text the control shows.
    QAccessibleInterface *accesible = QAccessible::queryAccessibleInterface(w);
    QVERIFY(accesible);
    QCOMPARE(accesible->text(QAccessible::Name), rotulo);
    if (auto *e = qobject_cast<DBEdit *>(w))
        QCOMPARE(accesible->text(QAccessible::Value), e->displayText());
    else if (auto *c = qobject_cast<DBLookupComboBox *>(w)) {
        QCOMPARE(accesible->text(QAccessible::Value), c->shownText());
        if (campo == QLatin1String("Ntiposuministro")) // a box that shows something
            QVERIFY(!c->shownText().isEmpty());
    }
}

void TstInstalaciones::windowFrameTabsAndGrids() {
    Ventana v;
    QVERIFY(v.activa);
    TFinstalacion *w = v.ventana.get();
    QCOMPARE(ModalAnswers::shownTitle(w),
             QStringLiteral("ROSTELVIA - Instalaciones Eléctricas de Enlace"));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    // At creation: the first tab, the focus in the expedient box.
    auto *tabs = v.hijo<QTabWidget>(QStringLiteral("PageControl1"));
    QCOMPARE(tabs->currentIndex(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), v.hijo(QStringLiteral("DBEdit2")),
                              kWindowWait);

    const QStringList pestanas = {QStringLiteral("   &Datos de la instalación   "),
                                  QStringLiteral("   Cojuntos de &Medida/Armarios   "),
                                  QStringLiteral("   Derivaciones &Individuales   "),
                                  QStringLiteral("Archivos &Adjuntos")};
    QCOMPARE(tabs->count(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(tabs->tabText(i), pestanas[i]);

    const auto titulos = [&](const char *grid) {
        QStringList t;
        for (const platform::DBGridColumn &c : v.hijo<DBGrid>(QLatin1String(grid))->columns()) {
            t << c.title;
            if (c.titleAlignment != Qt::AlignCenter)
                t << QStringLiteral("(no centrado)");
        }
        return t;
    };
    QCOMPARE(titulos("DBGrid1"), QStringList({"Tipo", "Columna Nº", "Nº Celdas", "Nº Circuitos",
                                              "Disposición armario", "Disposición D.I."}));
    QCOMPARE(titulos("DBGrid2"),
             QStringList({"Escal.", "Planta", "Puerta", "Nº Col.", "Nº Celda", "Tipo Sumnistro",
                          "Sec. F", "Sec. N", "Sec. T",
                          "Observaciones (nº portal, coordenadas UTM finca, etc.)"}));
    QCOMPARE(titulos("DBGrid3"), QStringList({"Dirección", "Descripción"}));
    for (const char *g : {"DBGrid1", "DBGrid2", "DBGrid3"})
        QCOMPARE(v.hijo<DBGrid>(QLatin1String(g))->dataSource(),
                 g == QByteArray("DBGrid1")   ? &v.datos->Sarmarios()
                 : g == QByteArray("DBGrid2") ? &v.datos->Sderivaciones()
                                              : &v.datos->Sadjuntos());
    QCOMPARE(v.hijo(QStringLiteral("DBGrid1"))->toolTip(),
             QStringLiteral("Doble clic para detalle"));

    // Twenty lookup combo boxes; the four of the location group announce the Delete key.
    const QList<DBLookupComboBox *> combos = w->findChildren<DBLookupComboBox *>();
    QCOMPARE(combos.size(), 20);
    for (const char *c :
         {"DBLookupComboBox4", "DBLookupComboBox5", "DBLookupComboBox16", "DBLookupComboBox18"})
        QCOMPARE(v.hijo(QLatin1String(c))->toolTip(),
                 QStringLiteral("Tecla \"Supr\" para borrar en edición"));

    QVERIFY(v.hijo<DBEdit>(QStringLiteral("DBEdit1"))->isReadOnly());
    QVERIFY(!(v.hijo(QStringLiteral("DBEdit1"))->focusPolicy() & Qt::TabFocus));
    QVERIFY(!(v.hijo(QStringLiteral("CBenviado"))->focusPolicy() & Qt::TabFocus));
    QVERIFY(!(v.hijo(QStringLiteral("BitBtn1"))->focusPolicy() & Qt::TabFocus));
}

// The window has the form's size where the screen holds it; on a smaller screen (run again
// under a laptop's screen) it fits the screen and the form scrolls inside it.
void TstInstalaciones::windowFitsScreen() {
    Ventana v;
    TFinstalacion *w = v.ventana.get();
    QWidget *cliente = v.hijo(QStringLiteral("Cliente"));
    const QSize forma = cliente->sizeHint();
    const QRect pantalla = w->screen()->availableGeometry();
    auto *desplazamiento = w->findChild<QScrollArea *>(QStringLiteral("Desplazamiento"));
    if (forma.width() <= pantalla.width() && forma.height() <= pantalla.height()) {
        QVERIFY(!desplazamiento);
        QCOMPARE(w->size(), forma);
        return;
    }
    QVERIFY(desplazamiento);
    QCOMPARE(desplazamiento->widget(), cliente);
    QCOMPARE(cliente->size(), forma);
    QVERIFY(pantalla.contains(w->frameGeometry()));
    QCOMPARE(w->minimumSize(), w->maximumSize());
    // What lies below the screen's edge is reached by scrolling.
    QWidget *abajo = v.hijo(QStringLiteral("DBEdit30"));
    desplazamiento->ensureWidgetVisible(abajo);
    QVERIFY(desplazamiento->viewport()->rect().contains(
        abajo->mapTo(desplazamiento->viewport(), abajo->rect().center())));
}

// The expedient box has the focus at start-up and keeps it through "Insertar registro": each
// time its whole text is selected from the start and digits typed at once replace it.
void TstInstalaciones::typingReplacesExpedientAtStartAndAfterInsert() {
    Ventana v;
    QVERIFY(v.activa);
    ModalAnswers modal; // none expected
    auto *expediente = v.hijo<DBEdit>(QStringLiteral("DBEdit2"));
    // The newest installation's number is replaced and saved by the insert; the new one's
    // number is saved by the second insert.
    for (const QString &numero : {QStringLiteral("1000000002"), QStringLiteral("5000000000")}) {
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), expediente, kWindowWait);
        QCOMPARE(expediente->selectedText(), expediente->text());
        QCOMPARE(expediente->cursorPosition(), 0);
        typeIntoFocus(numero);
        QCOMPARE(expediente->text(), numero);
        v.pulsar("DBNavigator1", DBNavigator::Insert); // the first one is saved, a new one starts
        QCOMPARE(v.inst().state(), db::State::Insert);
    }
    QCOMPARE(modal.seen, QStringList());
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION where EXPEDIENTE in "
                                          "('1000000002', '5000000000')")),
             2);
}

void TstInstalaciones::buttonsHintsAndLaterFeatures() {
    Ventana v;
    struct Boton {
        const char *nombre;
        const char *pista;
        bool activo;
    };
    const Boton botones[] = {
        {"SpeedButton7", "Copiar instalación", true},
        {"SpeedButton2", "Búsqueda de instalaciones", true},
        {"Imprimir", "Imprimir", true},
        {"email", "E-mail", true},
        {"SpeedButton6", "Acerca de Trelmavondis I.E.E.", true},
        {"SpeedButton1", "Edición y alta de instaldores", true},
        {"SpeedButton3", "Edición y alta de gestores", true},
    };
    for (const Boton &b : botones) {
        auto *w = v.hijo<QToolButton>(QLatin1String(b.nombre));
        QCOMPARE(w->toolTip(), QString::fromUtf8(b.pista));
        QCOMPARE(w->accessibleName(), QString::fromUtf8(b.pista));
        QVERIFY2(!w->icon().isNull(), b.nombre);
        QCOMPARE(w->focusPolicy(), Qt::NoFocus);
        QVERIFY2(w->isEnabled() == b.activo, b.nombre);
    }
    QCOMPARE(v.hijo<QToolButton>(QStringLiteral("SpeedButton4"))->text(),
             QStringLiteral("Adjun&tar"));
    QCOMPARE(v.hijo<QToolButton>(QStringLiteral("SpeedButton5"))->text(),
             QStringLiteral("Borrar todos"));
    QCOMPARE(v.hijo<QPushButton>(QStringLiteral("BitBtn1"))->text(), QStringLiteral("&Cerrar"));
    QCOMPARE(v.hijo<QCheckBox>(QStringLiteral("CBenviado"))->text(), QStringLiteral("ENVIADO"));
    // Every navigator shows its hints.
    for (const char *n : {"DBNavigator1", "DBNavigator2", "DBNavigator3", "DBNavigator4"}) {
        auto *nav = v.hijo<DBNavigator>(QLatin1String(n));
        QVERIFY(nav->showHints());
        QCOMPARE(nav->button(DBNavigator::Edit)->toolTip(), QStringLiteral("Editar regisro"));
    }
}

// ---------------------------------------------------------------- the Delete key

void TstInstalaciones::deleteKeyClearsLookup_data() {
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("clave");
    const char *filas[][2] = {
        {"DBLookupComboBox1", "TIPO_SUMINISTRO"},
        {"DBLookupComboBox2", "INSTALADOR"},
        {"DBLookupComboBox3", "GESTOR"},
        {"DBLookupComboBox4", "LOCALIZA_TIPOBIS"},
        {"DBLookupComboBox5", "LOCALIZA_CODIGO_PROVINCIA"},
        {"DBLookupComboBox16", "LOCALIZA_CODIGO_MUNICIPIO"},
        {"DBLookupComboBox18", "LOCALIZA_COD_ENTIDAD_POBLAC"},
        {"DBLookupComboBox6", "ACOMETIDA_TIPO"},
        {"DBLookupComboBox7", "ACOMETIDA_CABLE"},
        {"DBLookupComboBox8", "CGP_NUMERO"},
        {"DBLookupComboBox9", "CGP_NUMERO"},
        {"DBLookupComboBox10", "CGP_MODELO_CAJA"},
        {"DBLookupComboBox11", "CGP_INTENSIDAD_BASE"},
        {"DBLookupComboBox12", "CGP_INTENSIDAD_FUSIBLE"},
        {"DBLookupComboBox13", "CGP_TENSION"},
        {"DBLookupComboBox14", "CGP_UBICACION"},
        {"DBLookupComboBox15", "CGP_NATURAL"},
        {"DBLookupComboBox17", "MEDIDA_SITUACION_PORTAL"},
        {"DBLookupComboBox19", "MEDIDA_CENTRALIZACION"},
        {"DBLookupComboBox20", "MEDIDA_LOCALIZACION"},
    };
    for (const auto &f : filas)
        QTest::newRow(f[0]) << QString::fromUtf8(f[0]) << QString::fromUtf8(f[1]);
}

// Delete in any lookup combo box puts the installation into edit and empties the key behind
// the box; pressed again on the empty key, nothing changes and the edit stays.
void TstInstalaciones::deleteKeyClearsLookup() {
    QFETCH(QString, combo);
    QFETCH(QString, clave);
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    v.ir(kCompleta);
    auto *c = v.hijo<DBLookupComboBox>(combo);
    QVERIFY(!v.inst()[clave].isNull());
    QVERIFY(!c->shownText().isEmpty());
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Delete);
    QCOMPARE(v.inst().state(), db::State::Edit);
    QVERIFY(v.inst()[clave].isNull());
    QCOMPARE(c->shownText(), QString());
    QTest::keyClick(c, Qt::Key_Delete);
    QCOMPARE(v.inst().state(), db::State::Edit);
    QVERIFY(v.inst()[clave].isNull());
    QCOMPARE(modal.seen, QStringList());
}

void TstInstalaciones::deleteKeyOnSentInstallationIsRefused() {
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    v.ir(kEnviada);
    auto *c = v.hijo<DBLookupComboBox>(QStringLiteral("DBLookupComboBox1"));
    const QVariant antes = v.inst()["TIPO_SUMINISTRO"].value();
    const QString mostrado = c->shownText();
    modal.push(ModalAnswers::ok());
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Delete);
    // The box reports the refusal from the event loop, once its key handling has ended.
    QTRY_COMPARE_WITH_TIMEOUT(modal.seen, QStringList{kBloqueo}, kWindowWait);
    QCOMPARE(v.inst().state(), db::State::Browse);
    QCOMPARE(v.inst()["TIPO_SUMINISTRO"].value(), antes);
    QCOMPARE(c->shownText(), mostrado);
}

// Clearing the province clears the municipality and the entity through the location cascade;
// both the code box and the name box of the province show nothing.
void TstInstalaciones::deleteKeyOnProvinceEmptiesLocation() {
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    v.ir(kCompleta);
    auto *provincia = v.hijo<DBLookupComboBox>(QStringLiteral("DBLookupComboBox5"));
    for (const char *c : {"DBLookupComboBox5", "DBLookupComboBox16", "DBLookupComboBox18"})
        QVERIFY(!v.hijo<DBLookupComboBox>(QLatin1String(c))->shownText().isEmpty());
    provincia->setFocus();
    QTest::keyClick(provincia, Qt::Key_Delete);
    for (const char *k :
         {"LOCALIZA_CODIGO_PROVINCIA", "LOCALIZA_CODIGO_MUNICIPIO", "LOCALIZA_COD_ENTIDAD_POBLAC"})
        QVERIFY2(v.inst()[QLatin1String(k)].isNull(), k);
    for (const char *c : {"DBLookupComboBox5", "DBLookupComboBox16", "DBLookupComboBox18"})
        QCOMPARE(v.hijo<DBLookupComboBox>(QLatin1String(c))->shownText(), QString());
    QCOMPARE(v.hijo<DBEdit>(QStringLiteral("DBEdit11"))->text().trimmed(), QString());
    QCOMPARE(modal.seen, QStringList());
}

// ---------------------------------------------------------------- the decimal comma

void TstInstalaciones::decimalCommaInEdits_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("visto");
    QTest::addColumn<QVariant>("valor");
    QTest::addColumn<QString>("mostrado"); // after leaving the box, under Spanish settings
    QTest::newRow("power") << "DBEdit3"
                           << "POTENCIA"
                           << "12.5"
                           << "12,5" << QVariant(12.5) << "12,50";
    QTest::newRow("power of four digits, grouped") << "DBEdit3"
                                                   << "POTENCIA"
                                                   << "1234.5"
                                                   << "1234,5" << QVariant(1234.5) << "1.234,50";
    QTest::newRow("connection length") << "DBEdit17"
                                       << "ACOMETIDA_LONGITUD"
                                       << "7.25"
                                       << "7,25" << QVariant(7.25) << "7,25";
    QTest::newRow("line length") << "DBEdit25"
                                 << "LINEAGENERAL_LONGITUD"
                                 << "30.5"
                                 << "30,5" << QVariant(30.5) << "30,50";
    QTest::newRow("phase section") << "DBEdit26"
                                   << "LINEAGENERAL_SECCION"
                                   << "2.5"
                                   << "2,5" << QVariant(2.5) << "2,50";
    QTest::newRow("neutral section") << "DBEdit27"
                                     << "LINEAGENERAL_SECCIONNEUTRO"
                                     << "1.5"
                                     << "1,5" << QVariant(1.5) << "1,50";
    QTest::newRow("doorway keeps its stop") << "DBEdit6"
                                            << "LOCALIZA_PORTAL"
                                            << "1.5"
                                            << "1.5" << QVariant(QStringLiteral("1.5")) << "1.5___";
}

// A full stop typed in the five decimal edits is entered as the regional decimal separator (a
// comma under Spanish settings), the one the box shows values with; other edits keep it. Run
// again under settings with a full stop as separator.
void TstInstalaciones::decimalCommaInEdits() {
    QFETCH(QString, edit);
    QFETCH(QString, campo);
    QFETCH(QString, tecleado);
    QFETCH(QString, visto);
    QFETCH(QVariant, valor);
    QFETCH(QString, mostrado);
    const QString separador = QLocale::system().decimalPoint();
    const bool decimal = valor.typeId() == QMetaType::Double;
    if (decimal && separador != QLatin1String(",")) { // the other way round: 1,234.50
        visto.replace(u',', separador);
        for (QChar &c : mostrado)
            c = c == u',' ? u'.' : c == u'.' ? u',' : c;
    }
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    auto *e = v.hijo<DBEdit>(edit);
    e->setFocus();
    e->selectAll();
    typeIntoFocus(tecleado);
    QCOMPARE(e->storedText(), visto);
    QTest::keyClick(e, Qt::Key_Tab); // leaving the box writes the field
    QTRY_VERIFY_WITH_TIMEOUT(!e->hasFocus(), kWindowWait);
    QCOMPARE(v.inst()[campo].value(), valor);
    QCOMPARE(modal.seen, QStringList());
    // Shown back with the separator it was typed with, and grouped.
    QCOMPARE(e->text(), mostrado);
}

void TstInstalaciones::decimalCommaInBranchGrid_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QVariant>("valor");
    QTest::newRow("Sec. F") << "SECCION_FUERZA"
                            << "2.5" << QVariant(2.5);
    QTest::newRow("Sec. N") << "SECCION_NEUTRO"
                            << "1.5" << QVariant(1.5);
    QTest::newRow("Sec. T") << "SECCION_TIERRA"
                            << "6.5" << QVariant(6.5);
    QTest::newRow("observations") << "OBSERVACIONES"
                                  << "A.B" << QVariant(QStringLiteral("A.B"));
    QTest::newRow("floor") << "PLANTA"
                           << "1.2" << QVariant(QStringLiteral("1.2"));
}

// In the branch grid the comma replaces a full stop in the three section columns only.
void TstInstalaciones::decimalCommaInBranchGrid() {
    QFETCH(QString, campo);
    QFETCH(QString, tecleado);
    QFETCH(QVariant, valor);
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    QTest::keyClick(v.ventana.get(), Qt::Key_I, Qt::AltModifier);
    auto *grid = v.hijo<DBGrid>(QStringLiteral("DBGrid2"));
    QTRY_VERIFY_WITH_TIMEOUT(grid->isVisible(), kWindowWait);
    int columna = -1;
    for (int i = 0; i < grid->columns().size(); ++i)
        if (grid->columns()[i].fieldName == campo)
            columna = i;
    QVERIFY(columna >= 0);
    const QModelIndex celda = grid->model()->index(0, columna);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(celda).center());
    QCOMPARE(grid->currentIndex(), celda);
    typeIntoFocus(tecleado);
    v.pulsar("DBNavigator3", DBNavigator::Post);
    QCOMPARE(v.datos->DSderivaciones().state(), db::State::Browse);
    QCOMPARE(v.datos->DSderivaciones()[campo].value(), valor);
    QCOMPARE(modal.seen, QStringList());
    const QString id = v.datos->DSderivaciones()["ID"].asString();
    QCOMPARE(enBase(v.tdb, QStringLiteral("select %1 from INSTALACION_DERIVACIONES where ID=%2")
                               .arg(campo, id)),
             valor.toString());
}

// ---------------------------------------------------------------- the sent check box

void TstInstalaciones::sentBoxClickedSavesAndLocks_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("marcada");
    QTest::addColumn<QString>("guardado");
    QTest::newRow("ticking an installation not sent") << kUltima << true << "S";
    QTest::newRow("unticking a sent installation") << kEnviada << false << "N";
}

// A click writes the box's state into ENVIADO, saves and commits it, lifts the sent lock for
// that post only, and puts the focus in the expedient box.
void TstInstalaciones::sentBoxClickedSavesAndLocks() {
    QFETCH(int, id);
    QFETCH(bool, marcada);
    QFETCH(QString, guardado);
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    v.ir(id);
    auto *cb = v.hijo<QCheckBox>(QStringLiteral("CBenviado"));
    QCOMPARE(cb->isChecked(), !marcada);
    QTest::mouseClick(cb, Qt::LeftButton);
    QCOMPARE(modal.seen, QStringList());
    QCOMPARE(cb->isChecked(), marcada);
    QCOMPARE(cb->font().bold(), marcada);
    QCOMPARE(v.inst().state(), db::State::Browse);
    QCOMPARE(v.inst()["ENVIADO"].asString(), guardado);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), v.hijo(QStringLiteral("DBEdit2")),
                              kWindowWait);
    QCOMPARE(enBase(v.tdb, QStringLiteral("select ENVIADO from INSTALACION where ID=%1").arg(id)),
             guardado);

    // The lock follows the new state.
    auto *c = v.hijo<DBLookupComboBox>(QStringLiteral("DBLookupComboBox1"));
    if (marcada)
        modal.push(ModalAnswers::ok());
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Delete);
    QTRY_COMPARE_WITH_TIMEOUT(modal.seen, marcada ? QStringList{kBloqueo} : QStringList(),
                              kWindowWait);
    QCOMPARE(v.inst().state(), marcada ? db::State::Browse : db::State::Edit);
}

// Moving to an installation sets the box from ENVIADO without saving anything.
void TstInstalaciones::sentBoxFollowsMovesWithoutSaving() {
    Ventana v;
    ModalAnswers modal;
    auto *cb = v.hijo<QCheckBox>(QStringLiteral("CBenviado"));
    QVERIFY(!cb->isChecked());
    v.pulsar("DBNavigator1", DBNavigator::First);
    QCOMPARE(v.inst()["ID"].asInteger(), kEnviada);
    QVERIFY(cb->isChecked());
    QVERIFY(cb->font().bold());
    QCOMPARE(v.inst().state(), db::State::Browse);
    v.pulsar("DBNavigator1", DBNavigator::Next);
    QVERIFY(!cb->isChecked());
    QVERIFY(!cb->font().bold());
    QCOMPARE(v.inst().state(), db::State::Browse);
    QCOMPARE(modal.seen, QStringList());
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION where ENVIADO='S'")),
             1);
}

// Ticked on a new installation without its number: the post is refused, the new row stays in
// insert, and the lock is back for the sent installations.
void TstInstalaciones::sentBoxOnNewInstallationWithoutExpedient() {
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    v.pulsar("DBNavigator1", DBNavigator::Insert);
    QCOMPARE(v.inst().state(), db::State::Insert);
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), v.hijo(QStringLiteral("DBEdit2")),
                              kWindowWait);
    modal.push(ModalAnswers::ok());
    auto *cb = v.hijo<QCheckBox>(QStringLiteral("CBenviado"));
    QTest::mouseClick(cb, Qt::LeftButton);
    QCOMPARE(modal.seen, QStringList{kCaja + "El Expediente debe tener un valor.|error"});
    QCOMPARE(v.inst().state(), db::State::Insert);
    QCOMPARE(v.inst()["ENVIADO"].asString(), QStringLiteral("S"));
    QVERIFY(cb->isChecked());

    v.pulsar("DBNavigator1", DBNavigator::Cancel);
    v.pulsar("DBNavigator1", DBNavigator::First);
    QCOMPARE(v.inst()["ID"].asInteger(), kEnviada);
    modal.push(ModalAnswers::ok());
    auto *c = v.hijo<DBLookupComboBox>(QStringLiteral("DBLookupComboBox3"));
    c->setFocus();
    QTest::keyClick(c, Qt::Key_Delete);
    QTRY_COMPARE_WITH_TIMEOUT(modal.seen.value(modal.seen.size() - 1), kBloqueo, kWindowWait);
    QCOMPARE(v.inst().state(), db::State::Browse);
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION")), 5);
}

// ---------------------------------------------------------------- focus

void TstInstalaciones::locationListsFetchedWholeOnEntry() {
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    v.ir(kCompleta);
    QVERIFY(!v.datos->Qmunicipios().allFetched());
    QVERIFY(!v.datos->Qentidadespoblacion().allFetched());
    v.hijo(QStringLiteral("DBLookupComboBox16"))->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY_WITH_TIMEOUT(v.datos->Qmunicipios().allFetched(), kWindowWait);
    QVERIFY(!v.datos->Qentidadespoblacion().allFetched());
    v.hijo(QStringLiteral("DBLookupComboBox18"))->setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY_WITH_TIMEOUT(v.datos->Qentidadespoblacion().allFetched(), kWindowWait);
    QCOMPARE(modal.seen, QStringList());
}

void TstInstalaciones::tabChangeFocusesGrid_data() {
    QTest::addColumn<int>("tecla");
    QTest::addColumn<int>("pestana");
    QTest::addColumn<QString>("foco");
    QTest::newRow("Alt+M") << int(Qt::Key_M) << 1 << "DBGrid1";
    QTest::newRow("Alt+I") << int(Qt::Key_I) << 2 << "DBGrid2";
    QTest::newRow("Alt+A") << int(Qt::Key_A) << 3 << "DBGrid3";
    QTest::newRow("Alt+D") << int(Qt::Key_D) << 0 << "";
}

void TstInstalaciones::tabChangeFocusesGrid() {
    QFETCH(int, tecla);
    QFETCH(int, pestana);
    QFETCH(QString, foco);
    Ventana v;
    QVERIFY(v.activa);
    auto *tabs = v.hijo<QTabWidget>(QStringLiteral("PageControl1"));
    if (pestana == 0)
        tabs->setCurrentIndex(2); // back from another tab
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget(), kWindowWait);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(tecla), Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(tabs->currentIndex(), pestana, kWindowWait);
    if (!foco.isEmpty())
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), v.hijo(foco), kWindowWait);
}

// ---------------------------------------------------------------- attachments

void TstInstalaciones::attachStoresPathAndCommits() {
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    QTemporaryDir carpeta;
    const QString ruta = carpeta.filePath(QStringLiteral("plano de situación.pdf"));
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.close();
    v.datos->DSadjuntos().fetchAll();
    const int antes = v.datos->DSadjuntos().recordCount();
    QTest::keyClick(v.ventana.get(), Qt::Key_A, Qt::AltModifier);
    modal.push(examinar(ruta));
    QTRY_VERIFY_WITH_TIMEOUT(v.hijo(QStringLiteral("SpeedButton4"))->isVisible(), kWindowWait);
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::focusWidget(), kWindowWait);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_T, Qt::AltModifier);
    // A shortcut presses the button briefly: the click comes a moment later.
    QTRY_COMPARE_WITH_TIMEOUT(modal.seen, QStringList{QStringLiteral("StBrowser|Examinar")},
                              kWindowWait);
    QCOMPARE(v.datos->DSadjuntos().recordCount(), antes + 1);
    QCOMPARE(v.datos->DSadjuntos().state(), db::State::Browse);
    QCOMPARE(v.datos->DSadjuntos()["DIRECCION"].asString(), ruta);
    QVERIFY(v.datos->DSadjuntos()["NOTA"].isNull());
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION_ADJUNTOS where "
                                          "INSTALACION=%1 and DIRECCION='%2'")
                               .arg(kUltima)
                               .arg(ruta)),
             1);
}

void TstInstalaciones::attachCancelledStoresNothing() {
    Ventana v;
    ModalAnswers modal;
    v.hijo<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
    v.datos->DSadjuntos().fetchAll();
    const int antes = v.datos->DSadjuntos().recordCount();
    modal.push(ModalAnswers::press(QStringLiteral("Cancelar")));
    v.clic("SpeedButton4");
    QCOMPARE(modal.seen, QStringList{QStringLiteral("StBrowser|Examinar")});
    QCOMPARE(v.datos->DSadjuntos().recordCount(), antes);
    QCOMPARE(v.datos->DSadjuntos().state(), db::State::Browse);
}

// A path longer than the column is refused with the limit named, and nothing is stored.
void TstInstalaciones::attachOverLongPathIsRefused() {
    Ventana v;
    ModalAnswers modal;
    v.hijo<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
    QTemporaryDir carpeta;
    QString dir = carpeta.path();
    while (dir.size() < 240)
        dir += QStringLiteral("/carpeta_con_un_nombre_bastante_largo_para_la_prueba");
    QVERIFY(QDir().mkpath(dir));
    const QString ruta = dir + QStringLiteral("/plano.pdf");
    QFile archivo(ruta);
    QVERIFY(archivo.open(QIODevice::WriteOnly));
    archivo.close();
    QVERIFY(ruta.size() > 250);
    const int antes = cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION_ADJUNTOS"));
    modal.push(examinar(ruta));
    modal.push(ModalAnswers::ok());
    v.clic("SpeedButton4");
    QCOMPARE(
        modal.seen,
        QStringList({QStringLiteral("StBrowser|Examinar"),
                     kCaja + QStringLiteral("No se puede adjuntar un archivo cuya ruta tenga más "
                                            "de 250 caracteres; la de este archivo tiene %1.|error")
                                 .arg(ruta.size())}));
    QCOMPARE(v.datos->DSadjuntos().state(), db::State::Browse);
    v.datos->GuardarPendientes();
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION_ADJUNTOS")), antes);
}

void TstInstalaciones::attachOnSentInstallationIsRefused() {
    Ventana v;
    ModalAnswers modal;
    v.ir(kEnviada);
    v.hijo<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
    QTemporaryDir carpeta;
    modal.push(examinar(carpeta.path()));
    modal.push(ModalAnswers::ok());
    v.clic("SpeedButton4");
    QCOMPARE(modal.seen, QStringList({QStringLiteral("StBrowser|Examinar"), kBloqueo}));
    QCOMPARE(v.datos->DSadjuntos().state(), db::State::Browse);
    v.datos->DSadjuntos().fetchAll();
    QCOMPARE(v.datos->DSadjuntos().recordCount(), 2);
}

// "Borrar todos" deletes every attachment without asking, also on a sent installation; the
// next commit keeps the deletion.
void TstInstalaciones::deleteAllOnSentInstallation() {
    Ventana v;
    ModalAnswers modal;
    v.ir(kEnviada);
    v.hijo<QTabWidget>(QStringLiteral("PageControl1"))->setCurrentIndex(3);
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION_ADJUNTOS where "
                                          "INSTALACION=%1")
                               .arg(kEnviada)),
             2);
    v.clic("SpeedButton5");
    QCOMPARE(modal.seen, QStringList());
    QVERIFY(v.datos->DSadjuntos().isEmpty());
    QCOMPARE(v.hijo<DBGrid>(QStringLiteral("DBGrid3"))->model()->rowCount(), 0);
    v.datos->GuardarPendientes();
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION_ADJUNTOS where "
                                          "INSTALACION=%1")
                               .arg(kEnviada)),
             0);
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION_ADJUNTOS")), 5);
}

// ---------------------------------------------------------------- copy

// Text typed and not yet left is saved before the copy, so the copy carries it; the copy
// becomes the current installation with its children.
void TstInstalaciones::copyCarriesPendingChanges() {
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    auto *nombre = v.hijo<DBEdit>(QStringLiteral("DBEdit13"));
    nombre->setFocus();
    nombre->selectAll();
    typeIntoFocus(QStringLiteral("nuevo titular"));
    QCOMPARE(v.inst().state(), db::State::Edit);
    const int armarios = v.datos->DSarmarios().recordCount();
    const int derivaciones = v.datos->DSderivaciones().recordCount();
    modal.push(ModalAnswers::press(QStringLiteral("Sí")));
    v.clic("SpeedButton7");
    QCOMPARE(modal.seen, QStringList{kPreguntaCopia});
    const int nueva = v.inst()["ID"].asInteger();
    QVERIFY(nueva > kUltima);
    QCOMPARE(v.inst()["EXPEDIENTE"].asString(), QStringLiteral("COPIA-%1").arg(nueva));
    QCOMPARE(v.inst()["SOLICITANTE_NOMBRE"].asString(), QStringLiteral("NUEVO TITULAR"));
    QCOMPARE(nombre->storedText(), QStringLiteral("NUEVO TITULAR"));
    QCOMPARE(v.datos->DSarmarios().recordCount(), armarios);
    QCOMPARE(v.datos->DSderivaciones().recordCount(), derivaciones);
    QVERIFY(!v.hijo<QCheckBox>(QStringLiteral("CBenviado"))->isChecked());
    // The original was saved and committed; the copy is the next commit's.
    QCOMPARE(enBase(v.tdb, QStringLiteral("select SOLICITANTE_NOMBRE from INSTALACION where ID=%1")
                               .arg(kUltima)),
             QStringLiteral("NUEVO TITULAR"));
    v.datos->GuardarPendientes();
    QCOMPARE(
        enBase(v.tdb,
               QStringLiteral("select SOLICITANTE_NOMBRE from INSTALACION where ID=%1").arg(nueva)),
        QStringLiteral("NUEVO TITULAR"));
}

// "No" copies nothing and saves nothing: what the user typed stays pending.
void TstInstalaciones::copyAnsweredNoCopiesNothing() {
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    auto *nombre = v.hijo<DBEdit>(QStringLiteral("DBEdit13"));
    nombre->setFocus();
    nombre->selectAll();
    typeIntoFocus(QStringLiteral("sin guardar"));
    modal.push(ModalAnswers::press(QStringLiteral("No")));
    v.clic("SpeedButton7");
    QCOMPARE(modal.seen, QStringList{kPreguntaCopia});
    QCOMPARE(v.inst()["ID"].asInteger(), kUltima);
    QCOMPARE(v.inst().state(), db::State::Edit);
    QVERIFY(enBase(v.tdb, QStringLiteral("select SOLICITANTE_NOMBRE from INSTALACION where ID=%1")
                              .arg(kUltima)) != QStringLiteral("SIN GUARDAR"));
    v.inst().cancel();
    v.datos->GuardarPendientes();
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION")), 5);
}

// When the pending installation cannot be saved, its message shows after the question and
// nothing is copied.
void TstInstalaciones::copyStopsWhenSavingFails() {
    Ventana v;
    ModalAnswers modal;
    QVERIFY(v.activa);
    v.pulsar("DBNavigator1", DBNavigator::Insert);
    auto *nombre = v.hijo<DBEdit>(QStringLiteral("DBEdit13"));
    nombre->setFocus();
    typeIntoFocus(QStringLiteral("SIN NUMERO"));
    modal.push(ModalAnswers::press(QStringLiteral("Sí")));
    modal.push(ModalAnswers::ok());
    v.clic("SpeedButton7");
    QCOMPARE(modal.seen,
             QStringList({kPreguntaCopia, kCaja + "El Expediente debe tener un valor.|error"}));
    QCOMPARE(v.inst().state(), db::State::Insert);
    QCOMPARE(cuenta(v.tdb, QStringLiteral("select count(*) from INSTALACION")), 5);
}

void TstInstalaciones::copyFailureIsReported() {
    Ventana v(false); // no installation at all: there is nothing to copy
    ModalAnswers modal;
    QVERIFY(v.inst().isEmpty());
    modal.push(ModalAnswers::press(QStringLiteral("Sí")));
    modal.push(ModalAnswers::ok());
    v.clic("SpeedButton7");
    QCOMPARE(
        modal.seen,
        QStringList({kPreguntaCopia, kCaja + QStringLiteral("No se ha podido realizar la copia")}));
    QVERIFY(v.inst().isEmpty());
}

// ---------------------------------------------------------------- closing

void TstInstalaciones::closeButtonClosesWindow() {
    Ventana v;
    QVERIFY(v.activa);
    v.clic("BitBtn1");
    QTRY_VERIFY_WITH_TIMEOUT(!v.ventana->isVisible(), kWindowWait);
}

int main(int argc, char **argv) {
    Aplicacion app(argc, argv);
    TstInstalaciones prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_instalaciones.moc"
