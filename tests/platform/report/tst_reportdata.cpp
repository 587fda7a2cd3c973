// The engine over real record sets: the two projects of reports/ on the demo database
// (the data module's own record sets), long lists, the restore of the record sets, and
// the preview and setup dialog of a listing.

#include "data/UDatos.h"
#include "db/Connection.h"
#include "platform/report/Document.h"
#include "platform/report/Report.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/TestDatabase.h"
#include "tests/common/TestDatos.h"
#include "tests/platform/report/Qinst.h"
#include "tests/platform/report/ReportTestSupport.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

using report::Destination;

namespace {

struct Fixture {
    TestDatabase tdb{true};
    TDatos datos;
    report::ReportProject project;
    report::OutputSystem output;
    report::PdfRenderer pdf;

    explicit Fixture(const QStringList &seed = {}) {
        tdb.seed(seed);
        connectDataModule(datos, tdb);
        project.setEngine(&output);
    }
    // The bulletin's set-up: the four connections, DSinstalacion narrowed.
    void bulletin(int id = 0) {
        project.close();
        project.setProjectFile(report::projectPath(REPORTS_DIR, "Trelmavondis.rav"));
        project.open();
        QVERIFY(project.selectReport("Boletín de la instalación"));
        project.addConnection("RVDinstalacion", datos.DSinstalacion);
        project.addConnection("RVDarmarios", datos.DSarmarios);
        project.addConnection("RVDderivaciones", datos.DSderivaciones);
        project.addConnection("RVDinstalador", datos.Qinstalador);
        if (id > 0) {
            datos.DSinstalacion.close();
            datos.DSinstalacion.selectSql[1] = QStringLiteral("where id=%1").arg(id);
            datos.DSinstalacion.open();
        }
    }
    void toFile(const QString &path) {
        output.setDefaultDestination(Destination::File);
        output.setSetupAllowed(false);
        output.setNativeOutput(false);
        output.setRenderer(&pdf);
        output.setOutputFileName(path);
    }
};

QStringList branchSeed(int installation, int count) {
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QStringLiteral("insert into INSTALACION_DERIVACIONES (ID, INSTALACION, "
                              "TIPO_SUMINISTRO, ESCALERA, PLANTA, PUERTA, N_COLUMNA, N_CELDA, "
                              "SECCION_FUERZA, SECCION_NEUTRO, SECCION_TIERRA, OBSERVACIONES) "
                              "values (%1, %2, 1, 'E', '%3', 'P%4', '3', '%4', 6, 6, 6, "
                              "'DERIVACIÓN AÑADIDA %4')")
                   .arg(1000 + i)
                   .arg(installation)
                   .arg(i / 4)
                   .arg(i);
    return out;
}

// A listing project over a record set of n generated rows.
std::unique_ptr<db::RecordSet> generatedRows(db::Transaction &tr, int n) {
    auto q = std::make_unique<db::RecordSet>(tr, QStringLiteral("Filas"));
    q->selectSql = {
        QStringLiteral(
            "with recursive n(i) as (select 1 from rdb$database union all select i + 1 from n "
            "where i < %1) select i as ID, lpad(i, 10, '0') as EXPEDIENTE, cast('2025-03-14' as "
            "timestamp) as FECHA, 'N' as ENVIADO, 'CALLE NÚMERO ' || i as LOCALIZACION from n")
            .arg(n)};
    return q;
}

} // namespace

class TestReportData : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void bulletinPdf();
    void bulletinOfEveryDossier();
    void bulletinBranchesContinueOnNewPages();
    void recordSetsRestored();
    void listingPdf();
    void longListContinuesWithHeader();
    void listingPreviewFromSetup();
    void listingSetupCancelled();

private:
    QTemporaryDir m_dir;
};

void TestReportData::initTestCase() {
    QVERIFY(m_dir.isValid());
}

void TestReportData::bulletinPdf() {
    Fixture f;
    f.bulletin(1);
    const QString file = QDir(m_dir.path()).filePath("Exp2500123450.pdf");
    f.toFile(file);
    QVERIFY(f.project.execute());
    QVERIFY(QFile::exists(file));

    for (const QString &row : pdfFontRows(file)) {
        const QStringList c = row.split('|');
        QVERIFY2(QRegularExpression("^(Helvetica|Times|Courier)").match(c[0]).hasMatch(),
                 qPrintable(row));
        QCOMPARE(c[1], "Type 1");
        QCOMPARE(c[2], "WinAnsi");
        QCOMPARE(c[3], "no");
    }
    const QString text = pdfText(file);
    for (const char *s :
         {"BOLETÍN DE LA INSTALACIÓN DE ENLACE", "2500123450", "14/03/2025",
          "COMUNIDAD DE PROPIETARIOS RIBERA DE CURTIDORES 47", "H81234569", "914 671 234",
          "CALLE DE LA RIBERA DE CURTIDORES", "28005", "INSTALACIONES ELÉCTRICAS EJEMPLO, S.L.",
          "oficina@instalaciones-ejemplo.es", "GARCÍA LÓPEZ, MARÍA",
          "ADMINISTRADOR: FINCAS CENTRO, S.L. CONTACTO D. LUIS PEÑA", "98,50", "mm²",
          "página 1 de"})
        QVERIFY2(text.contains(QString::fromUtf8(s)), s);

    // Each cabinet and each branch, as a row of its table.
    auto a = f.tdb.attach();
    db::Statement cab(*a->transaction);
    cab.prepare("select N_COLUMNAS, N_CELDAS, N_CIRCUITO from INSTALACION_ARMARIO where "
                "INSTALACION=1");
    cab.openCursor();
    int cabinets = 0;
    for (bool more = cab.fetch(); more; more = cab.fetch(), ++cabinets) {
        const QRegularExpression row(QStringLiteral("\\n\\s*%1\\s+\\S.*\\s%2\\s+%3\\s")
                                         .arg(cab.value(0).toInt())
                                         .arg(cab.value(1).toInt())
                                         .arg(cab.value(2).toInt()));
        QVERIFY2(row.match(text).hasMatch(), qPrintable(row.pattern()));
    }
    QCOMPARE(cabinets, 2);
    db::Statement der(*a->transaction);
    der.prepare("select ESCALERA, PLANTA, PUERTA, N_COLUMNA, N_CELDA, OBSERVACIONES from "
                "INSTALACION_DERIVACIONES where INSTALACION=1");
    der.openCursor();
    int branches = 0;
    for (bool more = der.fetch(); more; more = der.fetch(), ++branches) {
        QString pattern = QStringLiteral("\\n\\s*");
        for (int c = 0; c < 5; ++c)
            pattern += QRegularExpression::escape(der.value(c).toString()) + "\\s+";
        const QRegularExpression row(pattern);
        QVERIFY2(row.match(text).hasMatch(), qPrintable(pattern));
        const QString obs = der.value(5).toString();
        if (!obs.isEmpty())
            QVERIFY2(text.simplified().contains(obs.left(25)), qPrintable(obs));
    }
    QCOMPARE(branches, 11);
}

void TestReportData::bulletinOfEveryDossier() {
    Fixture f;
    f.bulletin();
    for (int id = 1; id <= 5; ++id) {
        f.datos.DSinstalacion.close();
        f.datos.DSinstalacion.selectSql[1] = QStringLiteral("where id=%1").arg(id);
        f.datos.DSinstalacion.open();
        const QString expediente = f.datos.DSinstalacion["EXPEDIENTE"].asString();
        const auto doc = f.project.layOut();
        const QStringList t = doc->texts(0);
        QVERIFY(t.contains(expediente));
        QVERIFY(t.contains(f.datos.DSinstalacion["LOCALIZA_CALLE"].asString()));
        QVERIFY(t.contains(QStringLiteral("página 1 de %1").arg(doc->pageCount())));
    }
    // And it previews.
    f.output.setSetupAllowed(false);
    f.output.setDefaultDestination(Destination::Preview);
    ModalAnswers answers;
    answers.push([](QWidget *preview) {
        QVERIFY(QTest::qWaitFor([&] {
            return preview->findChild<QWidget *>("pagina")->property("paginasDibujadas").toInt() >
                   0;
        }));
        ModalAnswers::press("Cerrar")(preview);
    });
    QVERIFY(f.project.execute());
    QCOMPARE(answers.seen, QStringList({"report::PreviewWindow|Report Preview"}));
}

void TestReportData::bulletinBranchesContinueOnNewPages() {
    Fixture f(branchSeed(1, 70));
    f.bulletin(1);
    const auto doc = f.project.layOut();
    const int n = doc->pageCount();
    QVERIFY2(n >= 2, qPrintable(QString::number(n)));
    int rows = 0;
    for (int p = 0; p < n; ++p) {
        const QStringList t = doc->texts(p);
        QVERIFY(t.contains("2500123450")); // page header
        QVERIFY(t.contains(QStringLiteral("página %1 de %2").arg(p + 1).arg(n)));
        for (const QString &s : t)
            if (s.startsWith("P") && s.size() <= 3 && s.mid(1).toInt() >= 0 && s != "P")
                ++rows;
        if (p > 0) {
            QVERIFY(t.contains("DERIVACIONES INDIVIDUALES")); // the table's header again
            QVERIFY(t.contains("Escal."));
        }
    }
    QCOMPARE(rows, 70);
    // The rows keep their order across pages.
    QStringList order;
    for (int p = 0; p < n; ++p)
        for (const QString &s : doc->texts(p))
            if (s.startsWith("DERIVACIÓN AÑADIDA"))
                order << s.mid(19);
    QCOMPARE(order.size(), 70);
    for (int i = 0; i < 70; ++i)
        QVERIFY(order.contains(QString::number(i)));
}

void TestReportData::recordSetsRestored() {
    Fixture f;
    f.bulletin(); // not narrowed: every installation, each on its own page
    db::RecordSet &inst = f.datos.DSinstalacion;
    inst.moveTo(3);
    const QVariant id = inst["ID"].value();
    f.datos.DSarmarios.moveTo(1);
    QCOMPARE(f.datos.DSarmarios.recNo(), 1);
    QVERIFY(!f.datos.Qinstalador.active());
    const QString file = QDir(m_dir.path()).filePath("todas.pdf");
    f.toFile(file);
    QVERIFY(f.project.execute());
    QVERIFY(f.output.lastPageCount() >= 5); // one installation per page at least
    QCOMPARE(inst.recNo(), 3);
    QCOMPARE(inst["ID"].value(), id);
    QVERIFY(f.datos.DSarmarios.active());
    QCOMPARE(f.datos.DSarmarios.recNo(), 1);
    QVERIFY(!f.datos.Qinstalador.active());
    const QString text = pdfText(file);
    for (const char *e : {"2500123450", "2500131021", "2500148719", "2500155300", "2500162042"})
        QVERIFY2(text.contains(e), e);

    // The same after a failed run: a field the record set lacks.
    const QString bad = writeFile(m_dir.path(), "malo.rav",
                                  projectXml("<report name=\"M\"><detail "
                                             "connection=\"RVDinstalacion\"><band height=\"5\">"
                                             "<field name=\"NO_EXISTE\" x=\"0\" y=\"0\" "
                                             "width=\"5\" height=\"5\"/></band></detail>"
                                             "</report>"));
    f.project.close();
    f.project.setProjectFile(bad);
    f.project.open();
    QVERIFY(f.project.selectReport("m"));
    QString error;
    try {
        f.project.execute();
    } catch (const report::ReportError &e) {
        error = e.message();
    }
    QVERIFY2(error.contains("no tiene el campo \"NO_EXISTE\""), qPrintable(error));
    QCOMPARE(inst.recNo(), 3);
    QVERIFY(!f.datos.Qinstalador.active());
}

void TestReportData::listingPdf() {
    Fixture f;
    auto qinst = makeQinst(f.datos);
    qinst->open();
    qinst->moveTo(2);
    f.project.setProjectFile(report::projectPath(REPORTS_DIR, "Listado.rav"));
    f.project.open();
    QVERIFY(f.project.selectReport("Listado"));
    f.project.addConnection("RVqlinst", *qinst);
    f.output.setTitles(report::Titles::listing());
    const QString file = QDir(m_dir.path()).filePath("listado.pdf");
    f.toFile(file);
    QVERIFY(f.project.execute());
    QCOMPARE(qinst->recNo(), 2);
    const QString text = pdfText(file);
    for (const char *s : {"Listado de instalaciones", "Ident.", "Nº Expdte", "Fecha", "Env.",
                          "Localización de la instalación", "página 1 de 1",
                          "CALLE DE LA RIBERA DE CURTIDORES, 47", "(28005)"})
        QVERIFY2(text.contains(QString::fromUtf8(s)), s);
    QVERIFY(text.contains(QDate::currentDate().toString("dd/MM/yyyy")));
    for (int row = 0; row < qinst->recordCount(); ++row) {
        const QRegularExpression line(
            QStringLiteral("\\n\\s*%1\\s+%2\\s+%3\\s+%4\\s")
                .arg(qinst->valueAt(row, (*qinst)["ID"]).toInt())
                .arg(qinst->valueAt(row, (*qinst)["EXPEDIENTE"]).toString())
                .arg(QRegularExpression::escape(
                    (*qinst)["FECHA"].textOf(qinst->valueAt(row, (*qinst)["FECHA"]), true)))
                .arg(qinst->valueAt(row, (*qinst)["ENVIADO"]).toString()));
        QVERIFY2(line.match(text).hasMatch(), qPrintable(line.pattern()));
    }
}

void TestReportData::longListContinuesWithHeader() {
    Fixture f;
    auto rows = generatedRows(f.datos.IBTrans, 300);
    f.project.setProjectFile(report::projectPath(REPORTS_DIR, "Listado.rav"));
    f.project.open();
    QVERIFY(f.project.selectReport("LISTADO"));
    f.project.addConnection("RVqlinst", *rows);
    const auto doc = f.project.layOut();
    QVERIFY(!rows->active()); // opened for the run, closed again
    const int n = doc->pageCount();
    QVERIFY(n >= 4);
    int expected = 1;
    const float headerBottom = (10 + 14) * 72 / 25.4f;
    for (int p = 0; p < n; ++p) {
        const auto &items = doc->pages[size_t(p)].items;
        // The column header comes first in the body of every page, right under the page
        // header; the rows follow in order.
        float headerY = -1;
        for (const auto &i : items)
            if (i.text == "Ident.")
                headerY = i.y;
        QVERIFY2(headerY >= 0, qPrintable(QString("page %1").arg(p + 1)));
        QVERIFY(headerY < headerBottom + 72 / 25.4f); // its text 0.6 mm into the band
        for (const auto &i : items)
            if (i.text.startsWith("CALLE NÚMERO ")) {
                QVERIFY(i.y > headerY);
                QCOMPARE(i.text, QStringLiteral("CALLE NÚMERO %1").arg(expected++));
            }
        QVERIFY(doc->texts(p).contains(QStringLiteral("página %1 de %2").arg(p + 1).arg(n)));
    }
    QCOMPARE(expected, 301);
}

void TestReportData::listingPreviewFromSetup() {
    Fixture f;
    auto rows = generatedRows(f.datos.IBTrans, 1000);
    f.project.setProjectFile(report::projectPath(REPORTS_DIR, "Listado.rav"));
    f.project.open();
    QVERIFY(f.project.selectReport("Listado"));
    f.project.addConnection("RVqlinst", *rows);
    f.output.setTitles(report::Titles::listing());
    ModalAnswers answers;
    answers.push(ModalAnswers::press("Aceptar")); // preview is proposed
    int lastPage = 0;
    answers.push([&](QWidget *preview) {
        QWidget *view = preview->findChild<QWidget *>("pagina");
        QVERIFY(QTest::qWaitFor([&] { return view->property("paginasDibujadas").toInt() > 0; }));
        QCOMPARE(view->property("ultimaPagina").toInt(), 0); // only the page on screen
        ModalAnswers::press("Última")(preview);
        lastPage = preview->findChild<QSpinBox *>("numeroPagina")->value();
        QVERIFY(QTest::qWaitFor(
            [&] { return view->property("ultimaPagina").toInt() == lastPage - 1; }));
        ModalAnswers::press("Cerrar")(preview);
    });
    QVERIFY(f.project.execute());
    QCOMPARE(answers.seen,
             QStringList({"report::SetupDialog|Opciones", "report::PreviewWindow|Visualizar"}));
    QVERIFY(lastPage > 10);
    QCOMPARE(f.output.lastPageCount(), lastPage);
    QVERIFY(!rows->active());
}

void TestReportData::listingSetupCancelled() {
    Fixture f;
    auto qinst = makeQinst(f.datos);
    f.project.setProjectFile(report::projectPath(REPORTS_DIR, "Listado.rav"));
    f.project.open();
    QVERIFY(f.project.selectReport("Listado"));
    f.project.addConnection("RVqlinst", *qinst);
    f.output.setTitles(report::Titles::listing());
    ModalAnswers answers;
    answers.push(ModalAnswers::press("Cancelar"));
    QVERIFY(!f.project.execute());
    QCOMPARE(answers.seen, QStringList({"report::SetupDialog|Opciones"}));
    QVERIFY(!qinst->active()); // never opened
}

QTEST_MAIN(TestReportData)
#include "tst_reportdata.moc"
