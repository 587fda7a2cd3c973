// The printed listing as the user gets it from the search dialog, read from the PDF with
// pdftotext: its header says in words which installations it lists, its last page gives their
// number, no page holds the header alone, and a fault in Listado.rav is told with the engine's
// reason under "No se ha podido ejecutar el informe".

#include "platform/controls/MaskedLineEdit.h"
#include "platform/controls/SpeedButton.h"
#include "search/Ubinstalacion.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/Entorno.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using platform::MaskedLineEdit;

namespace {

constexpr int kEspera = 10000; // a window or the focus coming, on a busy machine

const QString kOpciones = QStringLiteral("report::SetupDialog|Opciones");
const QString kFallo = QStringLiteral("No se ha podido ejecutar el informe");

template <class T = QWidget> T *hijo(QWidget *w, const QString &nombre) {
    T *c = w->findChild<T *>(nombre);
    if (!c)
        qFatal("no hay control %s", qPrintable(nombre));
    return c;
}

// Answers the listing's setup dialog: output to a PDF file at `ruta`.
ModalAnswers::Answer aArchivo(const QString &ruta) {
    return [ruta](QWidget *w) {
        hijo<QRadioButton>(w, QStringLiteral("destinoArchivo"))->click();
        hijo<QLineEdit>(w, QStringLiteral("archivo"))->setText(ruta);
        ModalAnswers::press(QStringLiteral("Aceptar"))(w);
    };
}

// Each page of a PDF file as pdftotext reads it, keeping the layout.
QStringList paginasPdf(const QString &ruta) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), ruta, QStringLiteral("-")});
    if (!p.waitForFinished(120000) || p.exitCode() != 0)
        return {QStringLiteral("<pdftotext falló: %1>")
                    .arg(QString::fromLocal8Bit(p.readAllStandardError()))};
    QStringList paginas = QString::fromUtf8(p.readAllStandardOutput()).split(u'\f');
    if (!paginas.isEmpty() && paginas.back().trimmed().isEmpty())
        paginas.removeLast();
    return paginas;
}

// The line under the title "Listado de instalaciones".
QString lineaBajoTitulo(const QString &pagina) {
    const QStringList lineas = pagina.split(u'\n');
    for (qsizetype i = 0; i < lineas.size(); ++i)
        if (lineas[i].contains(QLatin1String("Listado de instalaciones")))
            for (qsizetype j = i + 1; j < lineas.size(); ++j)
                if (!lineas[j].trimmed().isEmpty())
                    return lineas[j].trimmed();
    return QStringLiteral("<sin título>");
}

// The rows of a page: ident. and expedient at the start of a line.
QStringList filasDe(const QString &pagina) {
    static const QRegularExpression fila(QStringLiteral("^\\s*(\\d+)\\s+(\\d{10})\\s"),
                                         QRegularExpression::MultilineOption);
    QStringList out;
    for (auto it = fila.globalMatch(pagina); it.hasNext();)
        out << it.next().captured(2);
    return out;
}

// The day of the installations added by the tests, which no demo installation has.
const QString kDiaSembrado = QStringLiteral("30/04/2025");

// n installations more, with IDs and expedients clear of the demo's, dated kDiaSembrado and
// with a short address each, so that each takes one line of the listing.
QStringList instalaciones(int n) {
    QStringList sql;
    for (int i = 1; i <= n; ++i)
        sql << QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, FECHA, "
                              "LOCALIZA_CALLE) values (%1, '31%2', 'N', '2025-04-30 10:00:00', "
                              "'CALLE %3')")
                   .arg(1000 + i)
                   .arg(i, 8, 10, QLatin1Char('0'))
                   .arg(i);
    return sql;
}

// The search dialog on its own, printing with the program's Listado.rav unless told otherwise.
struct Busqueda {
    std::unique_ptr<TFbinstalacion> w;
    explicit Busqueda(Entorno &e, const QString &directorio = QStringLiteral(TRELMA_INFORMES)) {
        w = std::make_unique<TFbinstalacion>(e.d(), nullptr);
        w->setDirectorio(directorio);
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get(), kEspera))
            qFatal("el diálogo no se activa");
    }
    // Types into a date box from the keyboard and leaves it with Tab, as the user does.
    void escribir(const char *caja, const QString &tecleado) {
        auto *e = hijo<MaskedLineEdit>(w.get(), QLatin1String(caja));
        e->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), e, kEspera);
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(e, tecleado);
        QTest::keyClick(e, Qt::Key_Tab);
        QCoreApplication::processEvents();
    }
    void pulsarEnviado(int veces) {
        for (int i = 0; i < veces; ++i)
            QTest::mouseClick(hijo<QCheckBox>(w.get(), QStringLiteral("CBenv")), Qt::LeftButton);
    }
    // Presses the listing button; `respuestas` answers what comes up.
    void imprimir() {
        QTest::mouseClick(hijo<platform::SpeedButton>(w.get(), QStringLiteral("Imprimir")),
                          Qt::LeftButton);
        QCoreApplication::processEvents();
    }
};

// Listado.rav copied into `carpeta` with one text replaced; the line of the replacement.
int proyectoCambiado(const QTemporaryDir &carpeta, const QByteArray &antes,
                     const QByteArray &despues) {
    QFile original(QDir(QStringLiteral(TRELMA_INFORMES)).filePath(QStringLiteral("Listado.rav")));
    if (!original.open(QIODevice::ReadOnly))
        qFatal("no se puede leer Listado.rav");
    QByteArray texto = original.readAll();
    const qsizetype en = texto.indexOf(antes);
    if (en < 0)
        qFatal("Listado.rav no tiene %s", antes.constData());
    texto.replace(en, antes.size(), despues);
    QFile copia(carpeta.filePath(QStringLiteral("Listado.rav")));
    if (!copia.open(QIODevice::WriteOnly) || copia.write(texto) != texto.size())
        qFatal("no se puede escribir la copia de Listado.rav");
    return int(texto.left(en).count('\n')) + 1;
}

} // namespace

class TstListado : public QObject {
    Q_OBJECT
private slots:
    void headerNamesTheSelection_data();
    void headerNamesTheSelection();
    void lastPageGivesTheTotal_data();
    void lastPageGivesTheTotal();
    void faultToldWithItsReason_data();
    void faultToldWithItsReason();
};

void TstListado::headerNamesTheSelection_data() {
    QTest::addColumn<QString>("de");
    QTest::addColumn<QString>("a");
    QTest::addColumn<int>("clics"); // on "Enviado": grey, ticked, cleared, grey
    QTest::addColumn<QString>("frase");
    QTest::newRow("nothing chosen") << ""
                                    << "" << 0 << "Todas";
    QTest::newRow("sent") << ""
                          << "" << 1 << "Enviadas";
    QTest::newRow("not sent") << ""
                              << "" << 2 << "No enviadas";
    QTest::newRow("back to grey") << ""
                                  << "" << 3 << "Todas";
    QTest::newRow("sent between") << "06/05/2025"
                                  << "02/06/2025" << 1
                                  << "Enviadas entre el 06/05/2025 y el 02/06/2025";
    QTest::newRow("sent from") << "06/05/2025"
                               << "" << 1 << "Enviadas desde el 06/05/2025";
    QTest::newRow("sent up to") << ""
                                << "02/06/2025" << 1 << "Enviadas hasta el 02/06/2025";
    QTest::newRow("sent on one day") << "20/05/2025"
                                     << "20/05/2025" << 1 << "Enviadas el 20/05/2025";
    QTest::newRow("not sent, from")
        << "06/05/2025"
        << "" << 2 << "No enviadas, con fecha de envío desde el 06/05/2025";
    QTest::newRow("not sent, between")
        << "01/01/2024"
        << "31/12/2025" << 2
        << "No enviadas, con fecha de envío entre el 01/01/2024 y el 31/12/2025";
    QTest::newRow("dates only") << "06/05/2025"
                                << "02/06/2025" << 0
                                << "Con fecha de envío entre el 06/05/2025 y el 02/06/2025";
    QTest::newRow("up to only") << ""
                                << "02/06/2025" << 0 << "Con fecha de envío hasta el 02/06/2025";
    QTest::newRow("short year") << "6/5/25"
                                << "" << 1 << "Enviadas desde el 06/05/2025";
}

void TstListado::headerNamesTheSelection() {
    QFETCH(QString, de);
    QFETCH(QString, a);
    QFETCH(int, clics);
    QFETCH(QString, frase);
    // Rows on several pages: the header is on each.
    Entorno e(kDemo, instalaciones(70));
    ModalAnswers &respuestas = e.respuestas;
    Busqueda b(e);
    if (!de.isEmpty())
        b.escribir("MEde", de);
    if (!a.isEmpty())
        b.escribir("MEa", a);
    b.pulsarEnviado(clics);
    QTemporaryDir salida;
    const QString pdf = salida.filePath(QStringLiteral("listado.pdf"));
    respuestas.push(aArchivo(pdf));
    b.imprimir();
    QCOMPARE(respuestas.seen, QStringList{kOpciones});
    const QStringList paginas = paginasPdf(pdf);
    QVERIFY(!paginas.isEmpty());
    for (const QString &pagina : paginas)
        QCOMPARE(lineaBajoTitulo(pagina), frase);
}

void TstListado::lastPageGivesTheTotal_data() {
    QTest::addColumn<int>("mas");           // installations added, one line each
    QTest::addColumn<bool>("soloAnadidas"); // the list narrowed to them by their day
    QTest::addColumn<int>("clics");         // on "Enviado"
    QTest::addColumn<QList<int>>("porPagina");
    QTest::addColumn<QString>("total");
    QTest::newRow("the demo") << 0 << false << 0 << QList<int>{5} << "Total: 5 instalaciones";
    QTest::newRow("one") << 0 << false << 1 << QList<int>{1} << "Total: 1 instalación";
    QTest::newRow("none") << 3 << true << 1 << QList<int>{} << "Total: 0 instalaciones";
    // 59 rows of one line fill a page's body exactly. The last of them used to leave no room for
    // the list's closing band, which then began a page holding only the page's header (and the
    // closing band): the last row now goes over with it.
    QTest::newRow("one row over a page")
        << 60 << true << 0 << QList<int>{59, 1} << "Total: 60 instalaciones";
    QTest::newRow("one full page")
        << 59 << true << 0 << QList<int>{58, 1} << "Total: 59 instalaciones";
    QTest::newRow("two full pages")
        << 118 << true << 0 << QList<int>{59, 58, 1} << "Total: 118 instalaciones";
    QTest::newRow("thousands") << 1245 << true << 0 << QList<int>() << "Total: 1.245 instalaciones";
}

void TstListado::lastPageGivesTheTotal() {
    QFETCH(int, mas);
    QFETCH(bool, soloAnadidas);
    QFETCH(int, clics);
    QFETCH(QList<int>, porPagina);
    QFETCH(QString, total);
    Entorno e(kDemo, instalaciones(mas));
    ModalAnswers &respuestas = e.respuestas;
    Busqueda b(e);
    if (soloAnadidas) {
        b.escribir("MEde", kDiaSembrado);
        b.escribir("MEa", kDiaSembrado);
    }
    b.pulsarEnviado(clics);
    b.w->Qinst.fetchAll(); // the rows the dialog's list holds
    const int filas = b.w->Qinst.recordCount();
    // The grid stays where the user left it: on its second row, its rows all there.
    if (filas > 1)
        b.w->Qinst.moveTo(1);
    const int fila = b.w->Qinst.recNo();
    const QVariant id = b.w->Qinst.field(QStringLiteral("ID")).value();
    QTemporaryDir salida;
    const QString pdf = salida.filePath(QStringLiteral("listado.pdf"));
    respuestas.push(aArchivo(pdf));
    b.imprimir();
    QCOMPARE(respuestas.seen, QStringList{kOpciones});
    QCOMPARE(b.w->Qinst.recordCount(), filas);
    QCOMPARE(b.w->Qinst.recNo(), fila);
    QCOMPARE(b.w->Qinst.field(QStringLiteral("ID")).value(), id);
    const QStringList paginas = paginasPdf(pdf);
    QVERIFY(!paginas.isEmpty());
    QStringList listadas;
    QList<int> porPaginaLeidas;
    for (int p = 0; p < paginas.size(); ++p) {
        const QStringList enPagina = filasDe(paginas[p]);
        // Every page lists something: none holds only the header (and the total); an empty
        // list is the one page, with its column header.
        QVERIFY2(!enPagina.isEmpty() || filas == 0,
                 qPrintable(QStringLiteral("página %1 de %2 sin filas:\n%3")
                                .arg(p + 1)
                                .arg(paginas.size())
                                .arg(paginas[p])));
        listadas += enPagina;
        porPaginaLeidas << int(enPagina.size());
        const bool ultima = p == paginas.size() - 1;
        QVERIFY2(paginas[p].contains(QLatin1String("Total:")) == ultima,
                 qPrintable(QStringLiteral("página %1: %2").arg(p + 1).arg(paginas[p])));
    }
    if (!porPagina.isEmpty())
        QCOMPARE(porPaginaLeidas, porPagina);
    if (filas == 0)
        QCOMPARE(paginas.size(), 1);
    QCOMPARE(listadas.size(), filas);
    QCOMPARE(listadas.size(), int(QSet<QString>(listadas.begin(), listadas.end()).size()));
    const QRegularExpression linea(QStringLiteral("^\\s*(Total:.*\\S)\\s*$"),
                                   QRegularExpression::MultilineOption);
    QCOMPARE(linea.match(paginas.back()).captured(1), total);
}

void TstListado::faultToldWithItsReason_data() {
    QTest::addColumn<QByteArray>("antes");
    QTest::addColumn<QByteArray>("despues");
    QTest::addColumn<QString>("motivo"); // %1 the project's path, %2 the line
    QTest::newRow("misspelt field")
        << QByteArray("<field name=\"EXPEDIENTE\"") << QByteArray("<field name=\"EXPEDIENT\"")
        << "Error en el proyecto de informes \"%1\", línea %2 (informe \"Listado\"): la conexión "
           "de datos \"RVqlinst\" no tiene el campo \"EXPEDIENT\"";
    QTest::newRow("misspelt parameter")
        << QByteArray("<param name=\"Seleccion\"") << QByteArray("<param name=\"Selección\"")
        << "Error en el proyecto de informes \"%1\", línea %2 (informe \"Listado\"): no hay "
           "ningún parámetro \"Selección\" (el programa da: Seleccion)";
    QTest::newRow("unknown connection")
        << QByteArray("<detail connection=\"RVqlinst\"")
        << QByteArray("<detail connection=\"RVinst\"")
        << "Error en el proyecto de informes \"%1\", línea %2 (informe \"Listado\"): no hay "
           "ninguna conexión de datos \"RVinst\"";
}

void TstListado::faultToldWithItsReason() {
    QFETCH(QByteArray, antes);
    QFETCH(QByteArray, despues);
    QFETCH(QString, motivo);
    Entorno e(kDemo);
    ModalAnswers &respuestas = e.respuestas;
    QTemporaryDir carpeta;
    const int linea = proyectoCambiado(carpeta, antes, despues);
    Busqueda b(e, carpeta.path());
    respuestas.push(aArchivo(carpeta.filePath(QStringLiteral("listado.pdf"))));
    respuestas.push(ModalAnswers::ok());
    b.imprimir();
    const QString ruta = QDir::toNativeSeparators(carpeta.filePath(QStringLiteral("Listado.rav")));
    QCOMPARE(respuestas.seen, (QStringList{kOpciones, QStringLiteral("Trelmavondis|") + kFallo +
                                                          u'\n' + motivo.arg(ruta).arg(linea)}));
    QVERIFY(!QFile::exists(carpeta.filePath(QStringLiteral("listado.pdf"))));
}

int runListadoTests(int argc, char **argv) {
    TstListado t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_listado.moc"
