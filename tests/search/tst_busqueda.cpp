// The installation search dialog driven as a person would: the filter from the date boxes and
// the sent box (whole days, typed day first under any regional settings), Enter and the focus
// in the selection controls, the expedient jump, the choice handed back to the main window
// (also one another desk created or deleted), the state kept between openings, and the
// location text of every province.

#include "platform/controls/DBGrid.h"
#include "platform/controls/DBNavigator.h"
#include "platform/controls/MaskedLineEdit.h"
#include "platform/controls/SpeedButton.h"
#include "platform/dialogs/MessageBoxes.h"
#include "search/Busqueda.h"
#include "search/Ubinstalacion.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/WindowWait.h"
#include "tests/common/Entorno.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QtTest>

using platform::DBNavigator;
using platform::MaskedLineEdit;

namespace {

const QString kDirectorio = QStringLiteral("/nada");

template <class T = QWidget> T *hijo(QWidget *w, const QString &nombre) {
    T *c = w->findChild<T *>(nombre);
    if (!c)
        qFatal("no hay control %s", qPrintable(nombre));
    return c;
}

// The dialog's controls, by their names.
struct Controles {
    TFbinstalacion *w;
    MaskedLineEdit *MEde, *MEa, *NExp;
    QCheckBox *CBenv;
    platform::DBGrid *grid;
    DBNavigator *navegador;
    QPushButton *aceptar, *cancelar;
    platform::SpeedButton *imprimir;

    explicit Controles(QWidget *dialogo)
        : w(qobject_cast<TFbinstalacion *>(dialogo)),
          MEde(hijo<MaskedLineEdit>(dialogo, QStringLiteral("MEde"))),
          MEa(hijo<MaskedLineEdit>(dialogo, QStringLiteral("MEa"))),
          NExp(hijo<MaskedLineEdit>(dialogo, QStringLiteral("NExp"))),
          CBenv(hijo<QCheckBox>(dialogo, QStringLiteral("CBenv"))),
          grid(hijo<platform::DBGrid>(dialogo, QStringLiteral("DBGrid1"))),
          navegador(hijo<DBNavigator>(dialogo, QStringLiteral("DBNavigator1"))),
          aceptar(hijo<QPushButton>(dialogo, QStringLiteral("BitBtn1"))),
          cancelar(hijo<QPushButton>(dialogo, QStringLiteral("BitBtn2"))),
          imprimir(hijo<platform::SpeedButton>(dialogo, QStringLiteral("Imprimir"))) {
        if (!w)
            qFatal("no es el diálogo de búsqueda");
    }

    // A column of every row the grid shows, all fetched ("Ident." is 0).
    QStringList columna(int col) const {
        QAbstractItemModel *m = grid->model();
        while (m->canFetchMore({}))
            m->fetchMore({});
        QStringList valores;
        for (int r = 0; r < m->rowCount(); ++r)
            valores << m->index(r, col).data().toString();
        return valores;
    }
    QStringList filas() const { return columna(0); }
    // The cell of the grid's current row in a column ("Ident." is 0).
    QString actual(int columna = 0) const {
        const QModelIndex i = grid->currentIndex();
        return i.isValid() ? grid->model()->index(i.row(), columna).data().toString() : QString();
    }
    int filaActual() const { return grid->currentIndex().row(); }
    QString filtro() const { return w->Qinst.selectSql.at(1); }
    // The text of a masked box as its mask stores it.
    static QString texto(const MaskedLineEdit *e) {
        return e->editMask().storedText(e->text()).value_or(QStringLiteral("<rechazado>"));
    }

    // Enters a box from the keyboard, replaces its text by what is typed (nothing empties
    // it) and leaves it with Tab.
    void escribir(MaskedLineEdit *e, const QString &tecleado) {
        e->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), e, kWindowWait);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        if (tecleado.isEmpty())
            QTest::keyClick(e, Qt::Key_Backspace);
        else
            QTest::keyClicks(e, tecleado);
        QTest::keyClick(e, Qt::Key_Tab);
        QCoreApplication::processEvents(); // an error raised on leaving is shown here
    }
    void pulsar(QWidget *boton) { QTest::mouseClick(boton, Qt::LeftButton); }
    void ultima() { navegador->click(DBNavigator::Last); }
};

// A dialog of its own, shown without the main window's opening steps, for the tests of its
// controls.
struct Dialogo {
    std::unique_ptr<TFbinstalacion> dialogo;
    std::unique_ptr<Controles> c;
    explicit Dialogo(Entorno &e) {
        dialogo = std::make_unique<TFbinstalacion>(e.d(), nullptr);
        dialogo->show();
        if (!activateAndWait(dialogo.get()))
            qFatal("el diálogo no se activa");
        c = std::make_unique<Controles>(dialogo.get());
    }
};

// Runs one opening of the search through the main window's entry point; `accion` drives the
// dialog and closes it.
void abrirBusqueda(Entorno &e, ModalAnswers &respuestas,
                   const std::function<void(Controles &)> &accion) {
    respuestas.push([&accion](QWidget *w) {
        Controles c(w);
        accion(c);
    });
    buscarInstalacion(e.d(), e.principal.get(), kDirectorio);
}

// Rejects a dialog still open when a driving step ends early (a failed check), so that the
// test goes on to report instead of waiting for the watchdog.
struct CerrarSiSigue {
    QDialog *dialogo;
    ~CerrarSiSigue() {
        if (dialogo->isVisible())
            dialogo->reject();
    }
};

QString nombreDelFoco() {
    const QWidget *w = QApplication::focusWidget();
    return w ? w->objectName() : QStringLiteral("<nadie>");
}

// Spain's settings back after a test that changed them.
struct LocaleEspanol {
    ~LocaleEspanol() { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
};

// Installations whose FECHA carries a time of day, as the main window's date box takes it.
QStringList instalacionesConHora() {
    const char *filas[][3] = {{"6", "2500000017", "2025-05-20 18:30:00"},
                              {"7", "2500000025", "2025-05-20 23:59:59.9990"},
                              {"8", "2500000033", "2025-05-21 00:00:00"},
                              {"9", "2500000041", "2025-12-31 17:45:00"},
                              {"10", "2500000059", "2024-02-29 09:15:00"}};
    QStringList sql;
    for (const auto &f : filas)
        sql << QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, FECHA) values "
                              "(%1, '%2', 'N', '%3')")
                   .arg(QLatin1String(f[0]), QLatin1String(f[1]), QLatin1String(f[2]));
    return sql;
}

int dialogosGuardados() {
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->objectName() == QLatin1String(TFbinstalacion::Instancia);
    return n;
}

const QString kBusqueda = QStringLiteral("TFbinstalacion|Búsqueda de instalaciones");
const QString kOpciones = QStringLiteral("report::SetupDialog|Opciones");

// Answers the listing's setup dialog: output to a PDF file at `ruta`. `vistaPropuesta` learns
// whether the dialog came proposing the preview.
ModalAnswers::Answer aArchivo(const QString &ruta, bool &vistaPropuesta) {
    return [ruta, &vistaPropuesta](QWidget *w) {
        vistaPropuesta = hijo<QRadioButton>(w, QStringLiteral("destinoVista"))->isChecked();
        hijo<QRadioButton>(w, QStringLiteral("destinoArchivo"))->click();
        hijo<QLineEdit>(w, QStringLiteral("archivo"))->setText(ruta);
        ModalAnswers::press(QStringLiteral("Aceptar"))(w);
    };
}

// The text of a PDF file, as pdftotext reads it.
QString textoPdf(const QString &ruta) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), ruta, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext falló: %1>")
            .arg(QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Listado.rav with its report renamed: a project without the report "Listado".
QString proyectoSinListado(const QTemporaryDir &carpeta) {
    QFile original(QDir(QStringLiteral(TRELMA_INFORMES)).filePath(QStringLiteral("Listado.rav")));
    if (!original.open(QIODevice::ReadOnly))
        qFatal("no se puede leer Listado.rav");
    QByteArray texto = original.readAll();
    texto.replace("name=\"Listado\" component=\"Listado\"", "name=\"Otro\" component=\"Otro\"");
    QFile copia(carpeta.filePath(QStringLiteral("Listado.rav")));
    if (!copia.open(QIODevice::WriteOnly) || copia.write(texto) != texto.size())
        qFatal("no se puede escribir la copia de Listado.rav");
    return carpeta.path();
}

} // namespace

class TstBusqueda : public QObject {
    Q_OBJECT
private slots:
    void layoutOfTheDialog();
    void filterLine_data();
    void filterLine();
    void datesTakeTheirWholeDay_data();
    void datesTakeTheirWholeDay();
    void typedDatesReadDayFirst_data();
    void typedDatesReadDayFirst();
    void impossibleDateKeepsTheFilter_data();
    void impossibleDateKeepsTheFilter();
    void refusedDateTakesTheFocusBack_data();
    void refusedDateTakesTheFocusBack();
    void leavingWithoutTheFilter_data();
    void leavingWithoutTheFilter();
    void enterInASelectionControl_data();
    void enterInASelectionControl();
    void expedientJump_data();
    void expedientJump();
    void enteringTheExpedientSelectsIt();
    void openingPlacesTheList_data();
    void openingPlacesTheList();
    void closingHandsBackTheChoice_data();
    void closingHandsBackTheChoice();
    void choiceFromAnotherDesk_data();
    void choiceFromAnotherDesk();
    void stateKeptBetweenOpenings();
    void pendingEditSavedAndListed();
    void locationTextOfEveryProvince();
    void listingPrintsTheFilteredRows();
    void listingFailures_data();
    void listingFailures();
};

void TstBusqueda::layoutOfTheDialog() {
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    QString titulo, grupo, foco, enviado, fechaVacia, mascaras, pista;
    QStringList rotulos, columnas, botones, primeraFila;
    Qt::CheckState estado = Qt::Checked;
    bool tresEstados = false, centrados = true, masAncha = true;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        titulo = c.w->windowTitle() + u'@' + c.w->objectName();
        grupo = hijo<QGroupBox>(c.w, QStringLiteral("GroupBox1"))->title();
        QVERIFY(QTest::qWaitForWindowActive(c.w, kWindowWait));
        QTRY_COMPARE_WITH_TIMEOUT(nombreDelFoco(), QStringLiteral("DBGrid1"), kWindowWait);
        foco = nombreDelFoco();
        for (QLabel *l : c.w->findChildren<QLabel *>())
            rotulos << l->text() + u'@' + (l->buddy() ? l->buddy()->objectName() : QString());
        enviado = c.CBenv->text();
        estado = c.CBenv->checkState();
        tresEstados = c.CBenv->isTristate();
        fechaVacia = Controles::texto(c.MEde) + u'|' + Controles::texto(c.MEa);
        mascaras = c.MEde->editMask().maskString() + u'|' + c.MEa->editMask().maskString() + u'|' +
                   c.NExp->editMask().maskString();
        pista = c.imprimir->toolTip() + u'|' + c.imprimir->accessibleName();
        QHeaderView *cabecera = c.grid->horizontalHeader();
        const int ultima = c.grid->model()->columnCount() - 1;
        for (int col = 0; col <= ultima; ++col) {
            columnas << c.grid->model()->headerData(col, Qt::Horizontal).toString() + u'@' +
                            c.grid->columns()[col].fieldName;
            centrados =
                centrados &&
                (c.grid->model()->headerData(col, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask) == Qt::AlignHCenter;
            if (col < ultima)
                masAncha = masAncha && cabecera->sectionSize(col) < cabecera->sectionSize(ultima);
        }
        for (int b = 0; b < DBNavigator::ButtonCount; ++b)
            if (c.navegador->button(DBNavigator::Button(b))->isVisibleTo(c.w))
                botones << DBNavigator::hint(DBNavigator::Button(b));
        botones << c.aceptar->text() << c.cancelar->text();
        primeraFila = QStringList{c.columna(0).value(0), c.columna(1).value(0),
                                  c.columna(2).value(0), c.columna(3).value(0)};
        c.pulsar(c.cancelar);
    });
    QCOMPARE(respuestas.seen, QStringList{kBusqueda});
    QCOMPARE(titulo, QStringLiteral("Búsqueda de instalaciones@Fbinstalacion"));
    QCOMPARE(grupo, QStringLiteral("Selección:"));
    QCOMPARE(foco, QStringLiteral("DBGrid1"));
    QCOMPARE(rotulos, (QStringList{"Fecha envío:@MEde", "hasta:@MEa", "Nº Expediente:@NExp"}));
    QCOMPARE(enviado, QStringLiteral("Enviado"));
    QVERIFY(tresEstados);
    QCOMPARE(estado, Qt::PartiallyChecked);
    QCOMPARE(fechaVacia, QStringLiteral("  /  /    |  /  /    "));
    QCOMPARE(mascaras, QStringLiteral("!99/99/9999;1;_|!99/99/9999;1;_|>cccccccccc;0; "));
    QCOMPARE(pista, QStringLiteral("Imprimir|Imprimir"));
    QCOMPARE(columnas,
             (QStringList{"Ident.@ID", "Nº Expdte@EXPEDIENTE", "Fecha@FECHA", "Env.@ENVIADO",
                          "Localización de la instalación@Localizacion"}));
    QVERIFY(centrados);
    QVERIFY(masAncha);
    QCOMPARE(primeraFila, (QStringList{"1", "2500123450", "14/03/2025", "S"})); // demo row 1
    QCOMPARE(botones, (QStringList{"Primer registro", "Registro anterior", "Siguiente registro",
                                   "Último registro", "&Aceptar", "&Cancelar"}));
    QVERIFY(!e.vigia.fired());
}

// Demo installations: 1 sent on 14/03/2025; 2, 3, 4 and 5 not sent, on 06/05, 20/05, 02/06
// and 10/06/2025.
void TstBusqueda::filterLine_data() {
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<int>("clics");
    QTest::addColumn<Qt::CheckState>("estado");
    QTest::addColumn<QString>("linea");
    QTest::addColumn<QStringList>("filas");
    const QStringList todas{"1", "2", "3", "4", "5"};
    const auto gris = Qt::PartiallyChecked;
    QTest::newRow("both dates empty, grey") << ""
                                            << "" << 0 << gris << "" << todas;
    QTest::newRow("from-date alone")
        << "01052025"
        << "" << 0 << gris << "Where  fecha>='05/01/2025'" << QStringList{"2", "3", "4", "5"};
    QTest::newRow("from-date includes its day")
        << "20052025"
        << "" << 0 << gris << "Where  fecha>='05/20/2025'" << QStringList{"3", "4", "5"};
    QTest::newRow("to-date alone, its day included")
        << ""
        << "20052025" << 0 << gris << "Where  fecha<'05/21/2025'" << QStringList{"1", "2", "3"};
    QTest::newRow("both dates") << "06052025"
                                << "02062025" << 0 << gris
                                << "Where  fecha>='05/06/2025' and fecha<'06/03/2025'"
                                << QStringList{"2", "3", "4"};
    QTest::newRow("two-digit year")
        << "010525"
        << "" << 0 << gris << "Where  fecha>='05/01/2025'" << QStringList{"2", "3", "4", "5"};
    QTest::newRow("grey to ticked: sent")
        << ""
        << "" << 1 << Qt::Checked << "Where  enviado='S'" << QStringList{"1"};
    QTest::newRow("ticked to cleared: not sent")
        << ""
        << "" << 2 << Qt::Unchecked << "Where  enviado='N'" << QStringList{"2", "3", "4", "5"};
    QTest::newRow("cleared to grey: every one") << ""
                                                << "" << 3 << gris << "" << todas;
    QTest::newRow("to-date and not sent")
        << ""
        << "31052025" << 2 << Qt::Unchecked << "Where  fecha<'06/01/2025' and enviado='N'"
        << QStringList{"2", "3"};
    QTest::newRow("all three, no row")
        << "01012025"
        << "31032025" << 2 << Qt::Unchecked
        << "Where  fecha>='01/01/2025' and fecha<'04/01/2025' and enviado='N'" << QStringList{};
}

void TstBusqueda::filterLine() {
    QFETCH(QString, de);
    QFETCH(QString, hasta);
    QFETCH(int, clics);
    QFETCH(Qt::CheckState, estado);
    QFETCH(QString, linea);
    QFETCH(QStringList, filas);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    QCOMPARE(c.filtro(), QString()); // created with every installation
    QCOMPARE(c.filas(), (QStringList{"1", "2", "3", "4", "5"}));
    c.ultima();
    c.escribir(c.MEde, de);
    c.escribir(c.MEa, hasta);
    for (int i = 0; i < clics; ++i)
        c.pulsar(c.CBenv);
    QCOMPARE(respuestas.seen, QStringList());
    QCOMPARE(c.CBenv->checkState(), estado);
    QCOMPARE(c.filtro(), linea);
    QCOMPARE(c.filas(), filas);
    QCOMPARE(c.filaActual(), filas.isEmpty() ? -1 : 0); // each filter starts on the first row
}

// Demo rows 1 to 5 (midnight) and the rows of instalacionesConHora: 6 and 7 late on 20/05/2025,
// 8 at the start of 21/05/2025, 9 on the year's last afternoon, 10 on a leap day.
void TstBusqueda::datesTakeTheirWholeDay_data() {
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("hasta");
    QTest::addColumn<QString>("linea");
    QTest::addColumn<QStringList>("filas");
    QTest::newRow("to-date: its evening included")
        << ""
        << "20052025"
        << "Where  fecha<'05/21/2025'" << QStringList{"1", "2", "3", "6", "7", "10"};
    QTest::newRow("one day, to its last moment")
        << "20052025"
        << "20052025"
        << "Where  fecha>='05/20/2025' and fecha<'05/21/2025'" << QStringList{"3", "6", "7"};
    QTest::newRow("the next day starts at midnight")
        << "21052025"
        << "21052025"
        << "Where  fecha>='05/21/2025' and fecha<'05/22/2025'" << QStringList{"8"};
    QTest::newRow("the year's last day")
        << "31122025"
        << "31122025"
        << "Where  fecha>='12/31/2025' and fecha<'01/01/2026'" << QStringList{"9"};
    QTest::newRow("a leap day") << "29022024"
                                << "29022024"
                                << "Where  fecha>='02/29/2024' and fecha<'03/01/2024'"
                                << QStringList{"10"};
    QTest::newRow("the last day the server stores")
        << ""
        << "31129999"
        << "Where  fecha<='12/31/9999 23:59:59.9999'"
        << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"};
}

void TstBusqueda::datesTakeTheirWholeDay() {
    QFETCH(QString, de);
    QFETCH(QString, hasta);
    QFETCH(QString, linea);
    QFETCH(QStringList, filas);
    Entorno e(kDemo, instalacionesConHora());
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    c.escribir(c.MEde, de);
    c.escribir(c.MEa, hasta);
    QCOMPARE(respuestas.seen, QStringList());
    QCOMPARE(c.filtro(), linea);
    QCOMPARE(c.filas(), filas);
}

// The boxes' mask is day/month/year under any regional settings. The runs under en_US and
// sv_SE system settings (their own CTest entries) name the system locale they set.
void TstBusqueda::typedDatesReadDayFirst_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("caja");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("linea");
    QTest::addColumn<QStringList>("filas");
    for (const char *locale : {"es_ES", "en_US", "sv_SE"}) {
        const QString l = QLatin1String(locale);
        QTest::addRow("%s, from 13 May", locale)
            << l << "MEde"
            << "13052025"
            << "Where  fecha>='05/13/2025'" << QStringList{"3", "4", "5"};
        QTest::addRow("%s, to 1 June", locale)
            << l << "MEa"
            << "01062025"
            << "Where  fecha<'06/02/2025'" << QStringList{"1", "2", "3"};
        QTest::addRow("%s, from 1 May, two-digit year", locale)
            << l << "MEde"
            << "010525"
            << "Where  fecha>='05/01/2025'" << QStringList{"2", "3", "4", "5"};
    }
}

void TstBusqueda::typedDatesReadDayFirst() {
    QFETCH(QString, locale);
    QFETCH(QString, caja);
    QFETCH(QString, tecleado);
    QFETCH(QString, linea);
    QFETCH(QStringList, filas);
    const QString sistema = qEnvironmentVariable("TRELMA_LOCALE_SISTEMA");
    if (!sistema.isEmpty())
        QCOMPARE(QLocale::system().name(), sistema);
    LocaleEspanol restaurar;
    QLocale::setDefault(QLocale(locale));
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    c.escribir(caja == QLatin1String("MEde") ? c.MEde : c.MEa, tecleado);
    QCOMPARE(respuestas.seen, QStringList());
    QCOMPARE(c.filtro(), linea);
    QCOMPARE(c.filas(), filas);
}

void TstBusqueda::impossibleDateKeepsTheFilter_data() {
    QTest::addColumn<QString>("caja");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("mensaje");
    QTest::newRow("no 31 February") << "MEde"
                                    << "31022025"
                                    << "'31/02/2025' no es una fecha válida.";
    QTest::newRow("month 13") << "MEa"
                              << "01132025"
                              << "'01/13/2025' no es una fecha válida.";
    QTest::newRow("day alone") << "MEde"
                               << "12"
                               << "'12/  /    ' no es una fecha válida.";
    QTest::newRow("year missing") << "MEa"
                                  << "0105"
                                  << "'01/05/    ' no es una fecha válida.";
}

void TstBusqueda::impossibleDateKeepsTheFilter() {
    QFETCH(QString, caja);
    QFETCH(QString, tecleado);
    QFETCH(QString, mensaje);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    c.pulsar(c.CBenv); // sent ones only
    QCOMPARE(c.filas(), QStringList{"1"});
    respuestas.push(ModalAnswers::ok());
    c.escribir(caja == QLatin1String("MEde") ? c.MEde : c.MEa, tecleado);
    QCOMPARE(respuestas.seen, QStringList{QStringLiteral("Trelmavondis|") + mensaje + "|error"});
    QCOMPARE(c.filtro(), QStringLiteral("Where  enviado='S'"));
    QCOMPARE(c.filas(), QStringList{"1"});
}

// After the error box the refused box has the focus again with its text selected, so the user
// types the correction over it; no second error comes first, whichever way the box was left.
void TstBusqueda::refusedDateTakesTheFocusBack_data() {
    QTest::addColumn<QString>("caja");
    QTest::addColumn<QString>("salida");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("corregido");
    QTest::addColumn<QString>("linea");
    QTest::newRow("from-date, Tab") << "MEde"
                                    << "tab"
                                    << "31022025"
                                    << "01032025"
                                    << "Where  fecha>='03/01/2025' and enviado='S'";
    QTest::newRow("to-date, Shift+Tab into the from-date") << "MEa"
                                                           << "backtab"
                                                           << "01132025"
                                                           << "01122025"
                                                           << "Where  fecha<'12/02/2025' and "
                                                              "enviado='S'";
    QTest::newRow("from-date, Enter") << "MEde"
                                      << "return"
                                      << "1203"
                                      << "12032025"
                                      << "Where  fecha>='03/12/2025' and enviado='S'";
    QTest::newRow("to-date, a click on the grid") << "MEa"
                                                  << "grid"
                                                  << "30022025"
                                                  << "14032025"
                                                  << "Where  fecha<'03/15/2025' and "
                                                     "enviado='S'";
    QTest::newRow("from-date, a click on Aceptar") << "MEde"
                                                   << "aceptar"
                                                   << "00002025"
                                                   << "14032025"
                                                   << "Where  fecha>='03/14/2025' and "
                                                      "enviado='S'";
}

void TstBusqueda::refusedDateTakesTheFocusBack() {
    QFETCH(QString, caja);
    QFETCH(QString, salida);
    QFETCH(QString, tecleado);
    QFETCH(QString, corregido);
    QFETCH(QString, linea);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    c.pulsar(c.CBenv); // sent ones only
    MaskedLineEdit *rechazada = caja == QLatin1String("MEde") ? c.MEde : c.MEa;
    rechazada->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(rechazada, tecleado);
    const QString mostrado = rechazada->text();
    respuestas.push(ModalAnswers::ok());
    if (salida == QLatin1String("tab"))
        QTest::keyClick(rechazada, Qt::Key_Tab);
    else if (salida == QLatin1String("backtab"))
        QTest::keyClick(rechazada, Qt::Key_Backtab, Qt::ShiftModifier);
    else if (salida == QLatin1String("return"))
        QTest::keyClick(rechazada, Qt::Key_Return);
    else if (salida == QLatin1String("grid"))
        QTest::mouseClick(c.grid->viewport(), Qt::LeftButton, {},
                          c.grid->visualRect(c.grid->model()->index(0, 1)).center());
    else
        c.pulsar(c.aceptar);
    // The box leaves no window active here; a desktop gives the dialog its activation back.
    QVERIFY(activateAndWait(d.dialogo.get()));
    QTRY_COMPARE_WITH_TIMEOUT(nombreDelFoco(), caja, kWindowWait);
    QCOMPARE(rechazada->selectedText(), mostrado);
    const QString error = QStringLiteral("Trelmavondis|'%1' no es una fecha válida.|error")
                              .arg(Controles::texto(rechazada));
    QCOMPARE(respuestas.seen, QStringList{error});
    QVERIFY(d.dialogo->isVisible());
    QCOMPARE(c.filtro(), QStringLiteral("Where  enviado='S'"));

    QTest::keyClicks(rechazada, corregido); // over the selection
    QTest::keyClick(rechazada, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(respuestas.seen, QStringList{error});
    QCOMPARE(c.filtro(), linea);
    QCOMPARE(c.filas(), QStringList{"1"});
}

// A date left unfinished in its box when the user gives up: no error on the way out, the
// filter as it was, the main window where it was.
void TstBusqueda::leavingWithoutTheFilter_data() {
    QTest::addColumn<QString>("cierre");
    QTest::newRow("a click on Cancelar") << "cancelar";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("Alt+C") << "alt+c";
}

void TstBusqueda::leavingWithoutTheFilter() {
    QFETCH(QString, cierre);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    TFbinstalacion *dialogo = nullptr;
    bool abierto = true;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        CerrarSiSigue cerrar{c.w};
        QVERIFY(QTest::qWaitForWindowActive(c.w, kWindowWait));
        dialogo = c.w;
        c.navegador->click(DBNavigator::First);
        c.MEde->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(c.MEde, QStringLiteral("3102"));
        if (cierre == QLatin1String("cancelar"))
            c.pulsar(c.cancelar);
        else if (cierre == QLatin1String("escape"))
            QTest::keyClick(c.MEde, Qt::Key_Escape);
        else
            QTest::keyClick(c.MEde, Qt::Key_C, Qt::AltModifier);
        // A shortcut presses its button for a moment first.
        QTRY_VERIFY_WITH_TIMEOUT(!c.w->isVisible(), kWindowWait);
        abierto = false;
    });
    QVERIFY(!abierto);
    QCOMPARE(respuestas.seen, QStringList{kBusqueda});
    QVERIFY(dialogo);
    QCOMPARE(dialogo->Qinst.selectSql.at(1), QString());
    QCOMPARE(e.actual(), 5);
    QVERIFY(!e.vigia.fired());
}

// Enter in a selection control moves on as Tab does and runs what leaving runs; Enter on the
// grid or on "Aceptar" hands the row back.
void TstBusqueda::enterInASelectionControl_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<bool>("teclado"); // the keypad's Enter, else Return
    QTest::addColumn<QString>("foco"); // empty when the dialog closes
    QTest::addColumn<QString>("linea");
    QTest::addColumn<QString>("actual");
    QTest::addColumn<int>("principal");
    QTest::newRow("Return in the from-date") << "MEde"
                                             << "01062025" << false << "MEa"
                                             << "Where  fecha>='06/01/2025'"
                                             << "4" << 5;
    QTest::newRow("keypad Enter in the to-date") << "MEa"
                                                 << "20052025" << true << "CBenv"
                                                 << "Where  fecha<'05/21/2025'"
                                                 << "1" << 5;
    QTest::newRow("Return in the sent box") << "CBenv"
                                            << "" << false << "NExp"
                                            << ""
                                            << "1" << 5;
    QTest::newRow("Return in the expedient") << "NExp"
                                             << "2500131021" << false << "BitBtn1"
                                             << ""
                                             << "2" << 5;
    QTest::newRow("Return in the grid") << "DBGrid1"
                                        << "" << false << ""
                                        << ""
                                        << "1" << 1;
    QTest::newRow("keypad Enter on Aceptar") << "BitBtn1"
                                             << "" << true << ""
                                             << ""
                                             << "1" << 1;
}

void TstBusqueda::enterInASelectionControl() {
    QFETCH(QString, control);
    QFETCH(QString, tecleado);
    QFETCH(bool, teclado);
    QFETCH(QString, foco);
    QFETCH(QString, linea);
    QFETCH(QString, actual);
    QFETCH(int, principal);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    bool abierto = false;
    QString focoVisto, lineaVista, actualVista;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        CerrarSiSigue cerrar{c.w};
        QVERIFY(QTest::qWaitForWindowActive(c.w, kWindowWait));
        c.navegador->click(DBNavigator::First);
        QWidget *w = hijo(c.w, control);
        w->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE_WITH_TIMEOUT(nombreDelFoco(), control, kWindowWait);
        if (!tecleado.isEmpty()) {
            QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(w, tecleado);
        }
        if (teclado)
            QTest::keyClick(w, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(w, Qt::Key_Return);
        if (foco.isEmpty()) { // the dialog closes
            QTRY_VERIFY_WITH_TIMEOUT(!c.w->isVisible(), kWindowWait);
            abierto = false;
            return;
        }
        QTRY_COMPARE_WITH_TIMEOUT(nombreDelFoco(), foco, kWindowWait);
        abierto = c.w->isVisible();
        focoVisto = nombreDelFoco();
        lineaVista = c.filtro();
        actualVista = c.actual();
        c.pulsar(c.cancelar);
    });
    QCOMPARE(abierto, !foco.isEmpty());
    if (abierto) {
        QCOMPARE(focoVisto, foco);
        QCOMPARE(lineaVista, linea);
        QCOMPARE(actualVista, actual);
    }
    QCOMPARE(respuestas.seen, QStringList{kBusqueda});
    QCOMPARE(e.actual(), principal);
    QVERIFY(!e.vigia.fired());
}

void TstBusqueda::expedientJump_data() {
    QTest::addColumn<int>("clics");
    QTest::addColumn<QString>("tecleado");
    QTest::addColumn<QString>("mensaje"); // after "Nº:"; none when empty
    QTest::addColumn<QString>("actual");
    QTest::newRow("found") << 0 << "2500148719"
                           << ""
                           << "3";
    QTest::newRow("not found") << 0 << "2500999999"
                               << "2500999999"
                               << "5";
    QTest::newRow("only whole numbers match") << 0 << "25001"
                                              << "25001"
                                              << "5";
    QTest::newRow("typed in upper case") << 0 << "abc"
                                         << "ABC"
                                         << "5";
    QTest::newRow("excluded by the filter") << 1 << "2500148719"
                                            << "2500148719"
                                            << "1";
    QTest::newRow("found under the filter") << 2 << "2500131021"
                                            << ""
                                            << "2";
    QTest::newRow("empty box") << 0 << ""
                               << ""
                               << "5";
}

void TstBusqueda::expedientJump() {
    QFETCH(int, clics);
    QFETCH(QString, tecleado);
    QFETCH(QString, mensaje);
    QFETCH(QString, actual);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    for (int i = 0; i < clics; ++i)
        c.pulsar(c.CBenv);
    const QString linea = c.filtro();
    const QStringList filas = c.filas();
    c.ultima();
    if (!mensaje.isEmpty())
        respuestas.push(ModalAnswers::ok());
    c.escribir(c.NExp, tecleado);
    QCOMPARE(respuestas.seen,
             mensaje.isEmpty()
                 ? QStringList()
                 : QStringList{QStringLiteral(
                                   "Trelmavondis|No se ha localizado nigún expediente con el Nº:") +
                               mensaje});
    QCOMPARE(c.actual(), actual);
    QCOMPARE(c.filtro(), linea);
    QCOMPARE(c.filas(), filas);
}

void TstBusqueda::enteringTheExpedientSelectsIt() {
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    c.escribir(c.NExp, QStringLiteral("2500148719"));
    c.grid->setFocus(Qt::OtherFocusReason);
    c.NExp->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE_WITH_TIMEOUT(nombreDelFoco(), QStringLiteral("NExp"), kWindowWait);
    QCOMPARE(c.NExp->selectedText(), QStringLiteral("2500148719"));
    QTest::keyClicks(c.NExp, QStringLiteral("2500131021")); // typing replaces it
    QCOMPARE(Controles::texto(c.NExp), QStringLiteral("2500131021"));
    QCOMPARE(respuestas.seen, QStringList());
}

void TstBusqueda::openingPlacesTheList_data() {
    QTest::addColumn<int>("clics"); // on the sent box in an earlier opening
    QTest::addColumn<int>("principal");
    QTest::addColumn<QString>("actual");
    QTest::newRow("on the main window's installation") << 0 << 3 << "3";
    QTest::newRow("the newest") << 0 << 5 << "5";
    QTest::newRow("main window's installation filtered out: first row") << 2 << 1 << "2";
    QTest::newRow("main window's installation under the filter") << 2 << 4 << "4";
}

void TstBusqueda::openingPlacesTheList() {
    QFETCH(int, clics);
    QFETCH(int, principal);
    QFETCH(QString, actual);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    if (clics)
        abrirBusqueda(e, respuestas, [&](Controles &c) {
            for (int i = 0; i < clics; ++i)
                c.pulsar(c.CBenv);
            c.pulsar(c.cancelar);
        });
    QVERIFY(e.d().DSinstalacion().locate(QStringLiteral("ID"), principal));
    QString visto;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        visto = c.actual();
        c.pulsar(c.cancelar);
    });
    QCOMPARE(visto, actual);
    QCOMPARE(e.actual(), principal);
    QVERIFY(!e.vigia.fired());
}

void TstBusqueda::closingHandsBackTheChoice_data() {
    QTest::addColumn<QString>("cierre");
    QTest::addColumn<bool>("moverAlPrimero");
    QTest::addColumn<int>("principal");
    QTest::newRow("Aceptar after moving") << "aceptar" << true << 1;
    QTest::newRow("Aceptar without moving") << "aceptar" << false << 5;
    QTest::newRow("Cancelar after moving") << "cancelar" << true << 5;
    QTest::newRow("Escape after moving") << "escape" << true << 5;
}

void TstBusqueda::closingHandsBackTheChoice() {
    QFETCH(QString, cierre);
    QFETCH(bool, moverAlPrimero);
    QFETCH(int, principal);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    QCOMPARE(e.actual(), 5);
    QString elegido;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        if (moverAlPrimero)
            c.navegador->click(DBNavigator::First);
        elegido = c.actual();
        if (cierre == QLatin1String("aceptar"))
            c.pulsar(c.aceptar);
        else if (cierre == QLatin1String("cancelar"))
            c.pulsar(c.cancelar);
        else
            QTest::keyClick(c.grid, Qt::Key_Escape);
    });
    QCOMPARE(elegido, moverAlPrimero ? QStringLiteral("1") : QStringLiteral("5"));
    QCOMPARE(e.actual(), principal);
    QCOMPARE(e.d().DSinstalacion().state(), db::State::Browse);
    QCOMPARE(respuestas.seen, QStringList{kBusqueda});
    QVERIFY(!e.vigia.fired());
}

// Another desk (a second attachment) creates an installation after this desk read its list;
// the search lists it and "Aceptar" shows it. When the other desk deletes it while the dialog
// is open, the user is told and the main window stays where it was.
void TstBusqueda::choiceFromAnotherDesk_data() {
    QTest::addColumn<int>("principal");
    QTest::addColumn<bool>("borrada");
    QTest::newRow("created by another desk") << 5 << false;
    QTest::newRow("created and deleted by another desk") << 5 << true;
    QTest::newRow("deleted, main window on an older one") << 3 << true;
}

void TstBusqueda::choiceFromAnotherDesk() {
    QFETCH(int, principal);
    QFETCH(bool, borrada);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    db::RecordSet &instalacion = e.d().DSinstalacion();
    QVERIFY(instalacion.locate(QStringLiteral("ID"), principal));
    const QString expedientePrincipal = instalacion[QStringLiteral("EXPEDIENTE")].asString();

    auto otroPuesto = e.tdb.attach();
    const int nueva =
        otroPuesto->scalar(QStringLiteral("select gen_id(INSTALACION, 1) from RDB$DATABASE"))
            .toInt();
    const QString expediente = QStringLiteral("2599000019");
    otroPuesto->exec(QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, FECHA, "
                                    "LOCALIZA_CALLE) values (%1, '%2', 'N', '2025-06-20 11:05', "
                                    "'CALLE DEL OTRO PUESTO')")
                         .arg(nueva)
                         .arg(expediente));
    otroPuesto->transaction->commitRetaining();

    QString elegido, expedienteElegido;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        CerrarSiSigue cerrar{c.w};
        c.ultima();
        elegido = c.actual();
        expedienteElegido = c.actual(1);
        if (borrada) {
            otroPuesto->exec(QStringLiteral("delete from INSTALACION where ID = %1").arg(nueva));
            otroPuesto->transaction->commitRetaining();
            respuestas.push(ModalAnswers::ok());
        }
        c.pulsar(c.aceptar);
    });
    QCOMPARE(elegido, QString::number(nueva));
    QCOMPARE(expedienteElegido, expediente);
    QStringList vistos{kBusqueda};
    if (borrada)
        vistos << QStringLiteral("Trelmavondis|La instalación del expediente 2599000019 ya no "
                                 "existe: se ha eliminado desde otro puesto.");
    QCOMPARE(respuestas.seen, vistos);
    QCOMPARE(instalacion.state(), db::State::Browse);
    QCOMPARE(e.actual(), borrada ? principal : nueva);
    QCOMPARE(instalacion[QStringLiteral("EXPEDIENTE")].asString(),
             borrada ? expedientePrincipal : expediente);
    if (!borrada)
        QCOMPARE(instalacion[QStringLiteral("LOCALIZA_CALLE")].asString(),
                 QStringLiteral("CALLE DEL OTRO PUESTO"));
    QVERIFY(!e.vigia.fired());
}

void TstBusqueda::stateKeptBetweenOpenings() {
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    TFbinstalacion *primero = nullptr;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        primero = c.w;
        c.escribir(c.MEde, QStringLiteral("01052025"));
        c.pulsar(c.CBenv);
        c.pulsar(c.CBenv);
        c.escribir(c.NExp, QStringLiteral("2500155300"));
        c.pulsar(c.cancelar);
    });
    QString de, hasta, expediente, linea;
    Qt::CheckState estado = Qt::PartiallyChecked;
    QStringList filas;
    TFbinstalacion *segundo = nullptr;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        segundo = c.w;
        de = Controles::texto(c.MEde);
        hasta = Controles::texto(c.MEa);
        expediente = Controles::texto(c.NExp);
        estado = c.CBenv->checkState();
        linea = c.filtro();
        filas = c.filas();
        c.pulsar(c.cancelar);
    });
    QCOMPARE(respuestas.seen, (QStringList{kBusqueda, kBusqueda}));
    QVERIFY(primero && primero == segundo);
    QCOMPARE(dialogosGuardados(), 1);
    QCOMPARE(de, QStringLiteral("01/05/2025"));
    QCOMPARE(hasta, QStringLiteral("  /  /    "));
    QCOMPARE(expediente, QStringLiteral("2500155300"));
    QCOMPARE(estado, Qt::Unchecked);
    QCOMPARE(linea, QStringLiteral("Where  fecha>='05/01/2025' and enviado='N'"));
    QCOMPARE(filas, (QStringList{"2", "3", "4", "5"}));
    QVERIFY(!e.vigia.fired());
}

void TstBusqueda::pendingEditSavedAndListed() {
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    db::RecordSet &instalacion = e.d().DSinstalacion();
    instalacion.edit();
    instalacion[QStringLiteral("LOCALIZA_CALLE")].setValue(QStringLiteral("CALLE NUEVA"));
    QString localizacion;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        localizacion = c.actual(4);
        c.pulsar(c.cancelar);
    });
    QCOMPARE(instalacion.state(), db::State::Browse);
    QCOMPARE(e.columna(QStringLiteral("select LOCALIZA_CALLE from INSTALACION where ID = 5")),
             QStringList{"CALLE NUEVA"});
    QVERIFY2(localizacion.contains(QLatin1String(" - CALLE NUEVA, ")), qPrintable(localizacion));
}

// The location text of each row against the same composition made by the server, names
// joined by province and code. The main window stands on installation 5 (Málaga); a further
// installation in Sevilla uses a municipality code that Madrid also has.
void TstBusqueda::locationTextOfEveryProvince() {
    // Besides the demo's: codes that differ only by a leading zero, a code with a letter and
    // one longer than any number, each a place of its own.
    QStringList filas;
    const char *lugares[][2] = {{"0790000", "PUEBLO DE PRUEBA"},
                                {"790000", "PUEBLO SIN CERO"},
                                {"A790000", "PUEBLO CON LETRA"},
                                {"1234567890123450000", "PUEBLO LARGO"},
                                {"0790001", "ALDEA DE PRUEBA"}};
    for (const auto &l : lugares)
        filas << QStringLiteral("insert into VORTAN_ENTIDAD_POBLACION (CODIGO_PROVINCIA, "
                                "CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION) values "
                                "('41', '%1', '%2')")
                     .arg(QLatin1String(l[0]), QLatin1String(l[1]));
    filas << QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, FECHA, "
                            "LOCALIZA_CODIGO_PROVINCIA, LOCALIZA_CODIGO_MUNICIPIO, "
                            "LOCALIZA_CALLE, LOCALIZA_TIPOBIS, LOCALIZA_BIS, LOCALIZA_PISO) "
                            "values (6, '2500000001', 'N', '2025-07-01', '41', '0790000', "
                            "'CALLE MAYOR', 2, 'B', '3')");
    const char *otras[][2] = {{"790000", nullptr},
                              {"A790000", "0790001"},
                              {"1234567890123450000", "0790001"}};
    int id = 7;
    for (const auto &o : otras)
        filas << QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, FECHA, "
                                "LOCALIZA_CODIGO_PROVINCIA, LOCALIZA_CODIGO_MUNICIPIO, "
                                "LOCALIZA_COD_ENTIDAD_POBLAC, LOCALIZA_CALLE) values (%1, "
                                "'250000000%1', 'N', '2025-07-01', '41', '%2', %3, 'CALLE')")
                     .arg(id++)
                     .arg(QLatin1String(o[0]),
                          o[1] ? QStringLiteral("'%1'").arg(QLatin1String(o[1]))
                               : QStringLiteral("null"));
    Entorno e(kDemo, filas);
    e.d().DSinstalacion().last();
    QCOMPARE(e.actual(), 9);
    e.d().DSinstalacion().locate(QStringLiteral("ID"), 5);
    const QStringList esperadas = e.columna(QStringLiteral(
        "select coalesce(i.LOCALIZA_CODIGO_PROVINCIA, '') || ' ' || "
        "coalesce(m.NOMBRE_ENTIDAD_POBLACION, '') || ' - ' || "
        "coalesce(n.NOMBRE_ENTIDAD_POBLACION, '') || ' - ' || coalesce(i.LOCALIZA_CALLE, '') || "
        "', ' || coalesce(i.LOCALIZA_PORTAL, '') || ' ' || coalesce(t.DESCRIPCION, '') || ' ' || "
        "coalesce(i.LOCALIZA_BIS, '') || ', ' || coalesce(i.LOCALIZA_ESCALERA, '') || ' ' || "
        "coalesce(i.LOCALIZA_PISO, '') || ' ' || coalesce(i.LOCALIZA_PUERTA, '') || ' (' || "
        "coalesce(i.LOCALIZA_CODIGO_POSTAL, '') || ')' from INSTALACION i "
        "left join VORTAN_ENTIDAD_POBLACION m on m.CODIGO_PROVINCIA = "
        "i.LOCALIZA_CODIGO_PROVINCIA and m.CODIGO_ENTIDAD_POBLACION = i.LOCALIZA_CODIGO_MUNICIPIO "
        "left join VORTAN_ENTIDAD_POBLACION n on n.CODIGO_PROVINCIA = "
        "i.LOCALIZA_CODIGO_PROVINCIA and n.CODIGO_ENTIDAD_POBLACION = "
        "i.LOCALIZA_COD_ENTIDAD_POBLAC left join TIPO_BIS t on t.ID = i.LOCALIZA_TIPOBIS "
        "order by i.ID"));
    const QStringList municipios = e.columna(QStringLiteral(
        "select m.NOMBRE_ENTIDAD_POBLACION from INSTALACION i join VORTAN_ENTIDAD_POBLACION m "
        "on m.CODIGO_PROVINCIA = i.LOCALIZA_CODIGO_PROVINCIA and m.CODIGO_ENTIDAD_POBLACION = "
        "i.LOCALIZA_CODIGO_MUNICIPIO order by i.ID"));
    ModalAnswers &respuestas = e.respuestas;
    QStringList vistas;
    abrirBusqueda(e, respuestas, [&](Controles &c) {
        vistas = c.columna(4);
        c.pulsar(c.cancelar);
    });
    QCOMPARE(municipios.size(), 9); // every installation names a known municipality
    QCOMPARE(vistas, esperadas);
    for (int r = 0; r < vistas.size(); ++r)
        QVERIFY2(vistas[r].contains(u' ' + municipios[r] + QStringLiteral(" - ")),
                 qPrintable(vistas[r]));
    QVERIFY(vistas[5].startsWith(QLatin1String("41 PUEBLO DE PRUEBA -  - CALLE MAYOR, ")));
    QVERIFY(vistas[6].startsWith(QLatin1String("41 PUEBLO SIN CERO -  - CALLE, ")));
    QVERIFY(vistas[7].startsWith(QLatin1String("41 PUEBLO CON LETRA - ALDEA DE PRUEBA - CALLE, ")));
    QVERIFY(vistas[8].startsWith(QLatin1String("41 PUEBLO LARGO - ALDEA DE PRUEBA - CALLE, ")));
}

void TstBusqueda::listingPrintsTheFilteredRows() {
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    d.dialogo->setDirectorio(QStringLiteral(TRELMA_INFORMES));
    c.pulsar(c.CBenv);
    c.pulsar(c.CBenv); // not sent
    c.navegador->click(DBNavigator::Next);
    const QStringList listados = c.columna(1);
    const QString actual = c.actual();
    QTemporaryDir salida;
    const QString pdf = salida.filePath(QStringLiteral("listado.pdf"));
    bool vistaPropuesta = false;
    respuestas.push(aArchivo(pdf, vistaPropuesta));
    c.pulsar(c.imprimir);
    QCoreApplication::processEvents();
    QCOMPARE(respuestas.seen, QStringList{kOpciones});
    QVERIFY(vistaPropuesta);
    const QString texto = textoPdf(pdf);
    QCOMPARE(listados.size(), 4);
    for (const QString &expediente : listados)
        QVERIFY2(texto.contains(expediente), qPrintable(expediente + u'\n' + texto));
    const QStringList fuera =
        e.columna(QStringLiteral("select EXPEDIENTE from INSTALACION where ENVIADO = 'S'"));
    QVERIFY(!fuera.isEmpty());
    for (const QString &expediente : fuera)
        QVERIFY2(!texto.contains(expediente), qPrintable(expediente));
    QCOMPARE(c.actual(), actual); // the list is back on its row
    QCOMPARE(c.filtro(), QStringLiteral("Where  enviado='N'"));
}

void TstBusqueda::listingFailures_data() {
    QTest::addColumn<QString>("caso");
    QTest::newRow("project file missing") << "sin proyecto";
    QTest::newRow("no report Listado") << "sin informe";
    QTest::newRow("output cannot be written") << "fallo";
    QTest::newRow("setup cancelled") << "cancelado";
}

void TstBusqueda::listingFailures() {
    QFETCH(QString, caso);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    Dialogo d(e);
    Controles &c = *d.c;
    QTemporaryDir carpeta;
    QString directorio = QStringLiteral(TRELMA_INFORMES);
    QString visto;
    bool vistaPropuesta = false;
    if (caso == QLatin1String("sin proyecto")) {
        directorio = carpeta.path();
        // The engine's own message for a missing project.
        report::ReportProject proyecto;
        proyecto.setProjectFile(report::projectPath(directorio, QStringLiteral("Listado.rav")));
        try {
            proyecto.open();
        } catch (const report::ReportError &error) {
            visto = QStringLiteral("Trelmavondis|") +
                    makeErrorBox(nullptr, error.message())->text() + QStringLiteral("|error");
        }
        QVERIFY(!visto.isEmpty());
        respuestas.push(ModalAnswers::ok());
    } else if (caso == QLatin1String("sin informe")) {
        directorio = proyectoSinListado(carpeta);
        visto = QStringLiteral("Trelmavondis|No se ha podido localizar el informe.|error");
        respuestas.push(ModalAnswers::ok());
    } else if (caso == QLatin1String("fallo")) {
        const QString ruta = carpeta.filePath(QStringLiteral("no/hay/carpeta.pdf"));
        respuestas.push(aArchivo(ruta, vistaPropuesta));
        respuestas.push(ModalAnswers::ok());
        // The engine's reason on the line under the message: the file it could not write.
        QSaveFile prueba(ruta);
        QVERIFY(!prueba.open(QIODevice::WriteOnly));
        visto = QStringLiteral("Trelmavondis|No se ha podido ejecutar el informe\nNo se ha podido "
                               "escribir el archivo \"%1\": %2")
                    .arg(QDir::toNativeSeparators(ruta), prueba.errorString());
    } else {
        respuestas.push(ModalAnswers::press(QStringLiteral("Cancelar")));
    }
    d.dialogo->setDirectorio(directorio);
    c.navegador->click(DBNavigator::Last);
    c.pulsar(c.imprimir);
    QCoreApplication::processEvents();
    QStringList esperado;
    if (caso == QLatin1String("fallo") || caso == QLatin1String("cancelado"))
        esperado << kOpciones;
    if (!visto.isEmpty())
        esperado << visto;
    QCOMPARE(respuestas.seen, esperado);
    QCOMPARE(c.actual(), QStringLiteral("5"));
    QCOMPARE(c.filas(), (QStringList{"1", "2", "3", "4", "5"}));
}

int runBusquedaTests(int argc, char **argv) {
    TstBusqueda t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_busqueda.moc"
