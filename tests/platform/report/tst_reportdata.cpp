// The engine over real record sets: the two projects of reports/ on the demo database
// (the data module's own record sets), long lists, the restore of the record sets, the
// preview and setup dialog of a listing, and values at their full length read whole from the
// PDF without running into each other.

#include "data/UDatos.h"
#include "db/Connection.h"
#include "platform/report/Document.h"
#include "platform/report/Model.h"
#include "platform/report/Report.h"
#include "tests/common/Entorno.h"
#include "tests/common/SeedRows.h"
#include "tests/platform/report/Qinst.h"
#include "tests/platform/report/ReportTestSupport.h"

#include <QComboBox>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

using report::Destination;

namespace {

// The tests' environment on the demo database, with the report engine over its data module.
struct Fixture : Entorno {
    report::ReportProject project;
    report::OutputSystem output;
    report::PdfRenderer pdf;

    explicit Fixture(const QStringList &seed = {}) : Entorno(kDemo, seed) {
        project.setEngine(&output);
        // What the search dialog gives the listing's header.
        project.setParameter("Seleccion", "Todas");
    }
    // The bulletin's set-up: the four connections, DSinstalacion narrowed.
    void bulletin(int id = 0) {
        project.close();
        project.setProjectFile(report::projectPath(REPORTS_DIR, "Trelmavondis.rav"));
        project.open();
        QVERIFY(project.selectReport("Boletín de la instalación"));
        project.addConnection("RVDinstalacion", datos->DSinstalacion());
        project.addConnection("RVDarmarios", datos->DSarmarios());
        project.addConnection("RVDderivaciones", datos->DSderivaciones());
        project.addConnection("RVDinstalador", datos->Qinstalador());
        if (id > 0) {
            datos->AbrirSoloInstalacion(id);
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

// n letters of the widest kinds, W and Ñ, in a pattern that differs with k.
QString widest(int n, int k) {
    const QString unit = QString(k % 5 + 1, u'W') + QStringLiteral("Ñ");
    QString out;
    while (out.size() < n)
        out += unit;
    return out.left(n);
}

// Installation 900 with every column at its full declared length, and the same for the rows
// it shows: its reference rows, its cabinet, its branch, its installer and its manager.
QStringList fullLengthSeed() {
    int k = 0;
    auto t = [&](int n) { return u'\'' + widest(n, k++) + u'\''; };
    const QString big = QStringLiteral("9999999.99");
    QStringList sql;
    for (const char *table :
         {"CABLE", "TENSION_SUMINISTRO", "CENTRALIZACION", "LOCALIZACION", "TIPO_BIS",
          "DISPOSICION_ARMARIO", "DISPOSICION_DI", "TIPO_SUMINISTRO_DERIVACION"})
        sql << QStringLiteral("insert into %1 (ID, DESCRIPCION) values (900, %2)")
                   .arg(QLatin1String(table), t(250));
    for (const char *table : {"TIPO_SUMINISTRO", "MODELO_CAJA", "UBICACION", "NATURAL_CAJA",
                              "SITUACION_PORTAL", "TIPO_NUM_CGPO", "TIPO_ARMARIO"})
        sql << QStringLiteral("insert into %1 (ID, CODIGO, DESCRIPCION) values (900, %2, %3)")
                   .arg(QLatin1String(table), t(25), t(250));
    sql << QStringLiteral("insert into ACOMETIDA (ID, TIPO, DESCRIPCION) values (900, %1, %2)")
               .arg(t(25), t(250));
    for (const char *table : {"INTESIDAD_BASE", "INTESIDAD_FUSIBLE"})
        sql << QStringLiteral("insert into %1 (ID, CODIGO, INTENSIDAD) values (900, %2, %3)")
                   .arg(QLatin1String(table), t(25), big);
    const QString province = t(25);
    const QString town = u'\'' + widest(21, k++) + QStringLiteral("0000'");
    const QString place = town.left(25) + QStringLiteral("1'");
    sql << QStringLiteral("insert into VORTAN_PROVINCIA values (%1, %2)").arg(province, t(250));
    for (const QString &code : {town, place})
        sql << QStringLiteral("insert into VORTAN_ENTIDAD_POBLACION values (%1, %2, %3)")
                   .arg(code, t(250), province);
    sql << QStringLiteral("insert into INSTALADOR (ID, NOMBRE, CIF, TELEFONO, MUNICIPIO, "
                          "CODIGO_POSTAL, CALLE, CALLE_NUMERO, CARNET, CORREO, SMTP_SERVIDOR, "
                          "SMTP_AUTENTIFICACION) values (900, %1, %2, %3, %4, %5, %6, %7, %8, "
                          "%9, 'smtp.ejemplo.es', 'N')")
               .arg(t(250), t(25), t(25), t(250), t(25), t(250), t(25), t(25), t(250));
    sql << QStringLiteral("insert into GESTORES (ID, NOMBRE, EMAIL, TELEFONO) values (900, %1, "
                          "%2, %3)")
               .arg(t(250), t(250), t(25));
    QStringList v = {QStringLiteral("900"),
                     t(25),
                     "900",
                     big,
                     t(250),
                     t(25),
                     t(25),
                     t(25),
                     t(25),
                     t(25),
                     t(250),
                     t(25),
                     t(250),
                     t(25),
                     t(25),
                     t(250),
                     "900",
                     "900",
                     "900",
                     big,
                     "900",
                     "900",
                     "900",
                     "900",
                     "900",
                     t(250),
                     "900",
                     t(250),
                     t(250),
                     t(25),
                     t(25),
                     t(25),
                     t(25),
                     t(25),
                     t(25),
                     big,
                     big,
                     big,
                     "900",
                     "900",
                     "900",
                     t(250),
                     "900",
                     QStringLiteral("'2025-12-31 23:59:58'"),
                     t(250),
                     t(250),
                     province,
                     town,
                     place,
                     "'N'",
                     "900",
                     "900"};
    sql << QStringLiteral("insert into INSTALACION values (") + v.join(u',') + u')';
    sql << QStringLiteral("insert into INSTALACION_ARMARIO values (900, 900, 900, 900, 900, "
                          "2147483647, 2147483647, 2147483647)");
    sql << QStringLiteral("insert into INSTALACION_DERIVACIONES values (900, 900, 900, %1, %2, "
                          "%3, %4, %5, %6, %6, %6, %7)")
               .arg(t(25), t(25), t(25), t(25), t(25), big, t(250));
    return sql;
}

// The demo's installation 4 with what an office types: a long manager's address, a
// staircase spelt out, a branch charging a car.
QStringList officeSeed() {
    return {QStringLiteral("insert into GESTORES (ID, NOMBRE, EMAIL, TELEFONO) values (901, "
                           "'RODRÍGUEZ SANTAMARÍA, FRANCISCO JAVIER', "
                           "'nuevos.suministros.zona.sur.expedientes@distribuidora-ejemplo.es', "
                           "'955 123 456')"),
            QStringLiteral("update INSTALACION set GESTOR=901, LOCALIZA_ESCALERA='ESCALERA "
                           "IZQUIERDA', LOCALIZA_PISO='ENTREPLANTA', LOCALIZA_PUERTA='DERECHA' "
                           "where ID=4"),
            QStringLiteral("insert into INSTALACION_DERIVACIONES values (901, 4, 8, '2', 'S1', "
                           "'VE12', '2', '4', 10, 10, 10, 'PLAZA 12 DEL GARAJE COMUNITARIO')")};
}

// A report's field: where it reads, what it prints after the value, how it fits.
struct FieldRef {
    QString connection, name, suffix;
    report::Fit fit;
    report::FontSpec font;
    float width;
};

void collectFields(const report::Band &band, const QString &connection,
                   std::vector<FieldRef> &out) {
    for (const report::Item &i : band.items)
        if (i.kind == report::Item::Kind::Field)
            out.push_back({i.connection.isEmpty() ? connection : i.connection, i.field, i.suffix,
                           i.fit, i.font, i.width});
}

void collectFields(const report::Section &s, const QString &connection,
                   std::vector<FieldRef> &out) {
    const QString inner = s.connection.isEmpty() ? connection : s.connection;
    for (const report::Band *b : {&s.band, &s.header, &s.footer, &s.empty})
        collectFields(*b, inner, out);
    for (const report::Section &c : s.children)
        collectFields(c, inner, out);
}

QString withoutBlanks(QString s) {
    static const QRegularExpression blanks(QStringLiteral("\\s"));
    return s.remove(blanks);
}

// What poppler reads inside each text box of the document, blanks left out, box by box and
// page by page. Fails when a word lies outside every box or sticks out of its own, when two
// words overlap, when a word straddles the top of the page footer, or when a box reads
// otherwise than the layout wrote it.
QStringList readBoxes(const report::Document &doc, const QString &pdf, float footerTop) {
    QStringList read;
    const auto pages = pdfWords(pdf);
    if (int(pages.size()) != doc.pageCount()) {
        qWarning() << "pages" << pages.size() << doc.pageCount();
        return {};
    }
    for (int p = 0; p < doc.pageCount(); ++p) {
        std::vector<const report::Primitive *> boxes;
        for (const report::Primitive &prim : doc.pages[size_t(p)].items)
            if (prim.kind == report::Primitive::Kind::Text)
                boxes.push_back(&prim);
        std::vector<std::vector<PdfWord>> inBox(boxes.size());
        const std::vector<PdfWord> &words = pages[size_t(p)];
        for (size_t w = 0; w < words.size(); ++w) {
            const PdfWord &word = words[w];
            const QString where = QStringLiteral("page %1, \"%2\" at %3,%4")
                                      .arg(p + 1)
                                      .arg(word.text)
                                      .arg(word.box.x())
                                      .arg(word.box.y());
            size_t b = 0;
            while (b < boxes.size() && !QRectF(boxes[b]->x, boxes[b]->y, boxes[b]->w, boxes[b]->h)
                                            .adjusted(-1, -1, 1, 1)
                                            .contains(word.box.center()))
                ++b;
            if (b == boxes.size()) {
                QTest::qFail(qPrintable("outside every box: " + where), __FILE__, __LINE__);
                return {};
            }
            if (word.box.left() < boxes[b]->x - 1 ||
                word.box.right() > boxes[b]->x + boxes[b]->w + 1) {
                QTest::qFail(qPrintable("wider than its box: " + where), __FILE__, __LINE__);
                return {};
            }
            if (word.box.top() < footerTop - 0.5 && word.box.bottom() > footerTop + 0.5) {
                QTest::qFail(qPrintable("into the page footer: " + where), __FILE__, __LINE__);
                return {};
            }
            for (size_t o = w + 1; o < words.size(); ++o) {
                const QRectF both = word.box.intersected(words[o].box);
                if (both.width() > 0.3 && both.height() > 0.3) {
                    QTest::qFail(
                        qPrintable(QStringLiteral("overlaps \"%1\": ").arg(words[o].text) + where),
                        __FILE__, __LINE__);
                    return {};
                }
            }
            inBox[b].push_back(word);
        }
        for (size_t b = 0; b < boxes.size(); ++b) {
            std::vector<PdfWord> &ws = inBox[b];
            std::stable_sort(ws.begin(), ws.end(), [](const PdfWord &a, const PdfWord &c) {
                if (std::abs(a.box.top() - c.box.top()) > 1)
                    return a.box.top() < c.box.top();
                return a.box.left() < c.box.left();
            });
            QString text;
            for (const PdfWord &w : ws)
                text += w.text;
            text = withoutBlanks(text);
            const QString written = withoutBlanks(doc.textOf(*boxes[b], p + 1));
            if (text != written) {
                QTest::qFail(qPrintable(QStringLiteral("page %1 reads \"%2\" for \"%3\"")
                                            .arg(p + 1)
                                            .arg(text, written)),
                             __FILE__, __LINE__);
                return {};
            }
            read << text;
        }
    }
    return read;
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
    void valuesReadWhole_data();
    void valuesReadWhole();
    void unitsOnlyWithValues_data();
    void unitsOnlyWithValues();
    void pageBegunOnlyWithSomethingToPrint_data();
    void pageBegunOnlyWithSomethingToPrint();
    void countOfTheRows_data();
    void countOfTheRows();

private:
    QTemporaryDir m_dir;
};

void TestReportData::initTestCase() {
    QVERIFY(m_dir.isValid());
    Entorno::cajas = false; // nothing here shows the data module's boxes
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
        f.datos->AbrirSoloInstalacion(id);
        const QString expediente = f.datos->DSinstalacion()["EXPEDIENTE"].asString();
        const auto doc = f.project.layOut();
        const QStringList t = doc->texts(0);
        QVERIFY(t.contains(expediente));
        QVERIFY(t.contains(f.datos->DSinstalacion()["LOCALIZA_CALLE"].asString()));
        QVERIFY(t.contains(QStringLiteral("página 1 de %1").arg(doc->pageCount())));
    }
    // And it previews.
    f.output.setSetupAllowed(false);
    f.output.setDefaultDestination(Destination::Preview);
    ModalAnswers &answers = f.respuestas;
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
    db::RecordSet &inst = f.datos->DSinstalacion();
    inst.moveTo(3);
    const QVariant id = inst["ID"].value();
    f.datos->DSarmarios().moveTo(1);
    QCOMPARE(f.datos->DSarmarios().recNo(), 1);
    QVERIFY(!f.datos->Qinstalador().active());
    const QString file = QDir(m_dir.path()).filePath("todas.pdf");
    f.toFile(file);
    QVERIFY(f.project.execute());
    QVERIFY(f.output.lastPageCount() >= 5); // one installation per page at least
    QCOMPARE(inst.recNo(), 3);
    QCOMPARE(inst["ID"].value(), id);
    QVERIFY(f.datos->DSarmarios().active());
    QCOMPARE(f.datos->DSarmarios().recNo(), 1);
    QVERIFY(!f.datos->Qinstalador().active());
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
    QVERIFY(!f.datos->Qinstalador().active());
}

void TestReportData::listingPdf() {
    Fixture f;
    auto qinst = makeQinst(*f.datos);
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
    auto rows = generatedRows(f.datos->IBTrans(), 300);
    f.project.setProjectFile(report::projectPath(REPORTS_DIR, "Listado.rav"));
    f.project.open();
    QVERIFY(f.project.selectReport("LISTADO"));
    f.project.addConnection("RVqlinst", *rows);
    const auto doc = f.project.layOut();
    QVERIFY(!rows->active()); // opened for the run, closed again
    const int n = doc->pageCount();
    QVERIFY(n >= 4);
    int expected = 1;
    const float headerBottom = (10 + 16) * 72 / 25.4f;
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
    auto rows = generatedRows(f.datos->IBTrans(), 1000);
    f.project.setProjectFile(report::projectPath(REPORTS_DIR, "Listado.rav"));
    f.project.open();
    QVERIFY(f.project.selectReport("Listado"));
    f.project.addConnection("RVqlinst", *rows);
    f.output.setTitles(report::Titles::listing());
    ModalAnswers &answers = f.respuestas;
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

namespace {

// n rows (none when n is 0, at most the server's 1024 levels of recursion): "CALLE NÚMERO 1"...
std::unique_ptr<db::RecordSet> rowsOf(db::Transaction &tr, int n) {
    auto q = std::make_unique<db::RecordSet>(tr, QStringLiteral("Filas"));
    q->selectSql = {QStringLiteral("with recursive n(i) as (select 1 from rdb$database union all "
                                   "select i + 1 from n where i < %1) select i as ID, 'CALLE "
                                   "NÚMERO ' || i as LOCALIZACION from n where i <= %2")
                        .arg(std::max(n, 1))
                        .arg(n)};
    return q;
}

// The rows ("CALLE NÚMERO ...") on each page of a document.
QList<int> rowsPerPage(const report::Document &doc) {
    QList<int> out;
    for (int p = 0; p < doc.pageCount(); ++p)
        out << int(doc.texts(p).filter(QRegularExpression("^CALLE NÚMERO \\d+$")).size());
    return out;
}

} // namespace

void TestReportData::pageBegunOnlyWithSomethingToPrint_data() {
    // An A4 page with 10 mm margins and a 7 mm page header leaves 270 mm: 27 rows of 10 mm fill
    // it exactly.
    QTest::addColumn<QString>("before"); // report bands before the detail
    QTest::addColumn<QString>("inside"); // the detail's header | its empty band and footer
    QTest::addColumn<QString>("after");  // report bands after the detail
    QTest::addColumn<int>("rows");
    QTest::addColumn<QList<int>>("perPage");
    QTest::addColumn<QStringList>("lastPage"); // texts the last page holds besides its rows
    const QString footer =
        "<footer height=\"8\"><text x=\"0\" y=\"1\" width=\"80\" height=\"5\">FIN DE LA "
        "LISTA</text></footer>";
    const QString header =
        "<header height=\"5\"><text x=\"0\" y=\"0\" width=\"80\" height=\"5\">COLUMNAS</text>"
        "</header>";
    const QString title = "<title height=\"255\"><text x=\"0\" y=\"0\" width=\"80\" "
                          "height=\"5\">TÍTULO</text></title>";
    QTest::addRow("footer with room")
        << "" << footer << "" << 26 << QList<int>{26} << QStringList{"FIN DE LA LISTA"};
    QTest::addRow("footer after a full page")
        << "" << footer << "" << 27 << QList<int>{26, 1} << QStringList{"FIN DE LA LISTA"};
    QTest::addRow("footer after two full pages")
        << "" << footer << "" << 54 << QList<int>{27, 26, 1} << QStringList{"FIN DE LA LISTA"};
    QTest::addRow("summary after a full page")
        << ""
        << ""
        << "<summary height=\"8\"><text x=\"0\" y=\"0\" width=\"80\" height=\"5\">RESUMEN"
           "</text></summary>"
        << 27 << QList<int>{27, 0} << QStringList{"RESUMEN"};
    QTest::addRow("nothing to print after a full page")
        << ""
        << ""
        << "<band height=\"8\"/>" << 27 << QList<int>{27} << QStringList{};
    QTest::addRow("empty text after a full page")
        << ""
        << ""
        << "<band height=\"8\"><text x=\"0\" y=\"0\" width=\"80\" height=\"5\"/>"
           "</band>"
        << 27 << QList<int>{27} << QStringList{};
    // 15 mm under the title: room for the column header and the only row, not for the footer.
    QTest::addRow("only row with its header and footer")
        << title << header + "|" + footer << "" << 1 << QList<int>{0, 1}
        << QStringList{"COLUMNAS", "FIN DE LA LISTA"};
    QTest::addRow("no rows, with their header and footer")
        << title
        << header + "|" + footer +
               "<empty height=\"5\"><text x=\"0\" y=\"0\" width=\"80\" height=\"5\">"
               "(ninguno)</text></empty>"
        << "" << 0 << QList<int>{0, 0} << QStringList{"COLUMNAS", "(ninguno)", "FIN DE LA LISTA"};
}

void TestReportData::pageBegunOnlyWithSomethingToPrint() {
    QFETCH(QString, before);
    QFETCH(QString, inside);
    QFETCH(QString, after);
    QFETCH(int, rows);
    QFETCH(QList<int>, perPage);
    QFETCH(QStringList, lastPage);
    Fixture f;
    auto set = rowsOf(f.datos->IBTrans(), rows);
    const QString head = inside.contains('|') ? inside.section('|', 0, 0) : QString();
    const QString tail = inside.contains('|') ? inside.section('|', 1) : inside;
    const QString xml =
        "<report name=\"R\"><page size=\"A4\" margin-left=\"10\" margin-top=\"10\" "
        "margin-right=\"10\" margin-bottom=\"10\"/>"
        "<page-header height=\"7\"><text x=\"0\" y=\"0\" width=\"80\" height=\"5\">"
        "CABECERA</text></page-header>" +
        before + "<detail connection=\"Filas\">" + head +
        "<band height=\"10\"><field name=\"LOCALIZACION\" x=\"0\" y=\"0\" width=\"80\" "
        "height=\"5\"/></band>" +
        tail + "</detail>" + after + "</report>";
    f.project.setProjectFile(writeFile(m_dir.path(), "paginas.rav", projectXml(xml)));
    f.project.open();
    QVERIFY(f.project.selectReport("R"));
    f.project.addConnection("Filas", *set);
    const auto doc = f.project.layOut();
    QCOMPARE(rowsPerPage(*doc), perPage);
    QStringList last = doc->texts(doc->pageCount() - 1);
    last.removeAll("CABECERA");
    last = last.filter(QRegularExpression("^(?!CALLE NÚMERO )"));
    if (before == QString() || doc->pageCount() > 1)
        last.removeAll("TÍTULO");
    QCOMPARE(last, lastPage);
}

void TestReportData::countOfTheRows_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("inFooter");
    QTest::addColumn<QString>("inSummary");
    QTest::addRow("none") << 0 << "0 filas"
                          << "Total: 0 filas";
    QTest::addRow("one") << 1 << "1 fila"
                         << "Total: 1 fila";
    QTest::addRow("two") << 2 << "2 filas"
                         << "Total: 2 filas";
    QTest::addRow("thousands") << 1000 << "1.000 filas"
                               << "Total: 1.000 filas";
}

void TestReportData::countOfTheRows() {
    QFETCH(int, rows);
    QFETCH(QString, inFooter);
    QFETCH(QString, inSummary);
    Fixture f;
    auto set = rowsOf(f.datos->IBTrans(), rows);
    const QString xml =
        "<report name=\"R\"><page-header height=\"7\"><param name=\"SELECCION\" x=\"0\" "
        "y=\"0\" width=\"80\" height=\"5\"/></page-header>"
        "<detail connection=\"Filas\"><band height=\"5\"><field name=\"ID\" x=\"0\" y=\"0\" "
        "width=\"80\" height=\"5\"/></band><footer height=\"5\"><count x=\"0\" y=\"0\" "
        "width=\"80\" height=\"5\" format=\"%c filas\" format-one=\"%c fila\"/></footer>"
        "</detail><summary height=\"5\"><count connection=\"filas\" x=\"0\" y=\"0\" "
        "width=\"80\" height=\"5\" format=\"Total: %c filas\" format-one=\"Total: %c fila\"/>"
        "</summary></report>";
    f.project.setProjectFile(writeFile(m_dir.path(), "cuenta.rav", projectXml(xml)));
    f.project.open();
    QVERIFY(f.project.selectReport("R"));
    f.project.addConnection("Filas", *set);
    f.project.setParameter("Seleccion", "Las filas de prueba");
    const auto doc = f.project.layOut();
    const int last = doc->pageCount() - 1;
    QVERIFY(doc->texts(last).contains(inFooter));
    QVERIFY2(doc->texts(last).contains(inSummary), qPrintable(doc->texts(last).join('|')));
    for (int p = 0; p < doc->pageCount(); ++p) {
        QCOMPARE(doc->texts(p).first(), "Las filas de prueba"); // the header on every page
        if (p < last)
            QVERIFY(doc->texts(p).filter(QRegularExpression("fila(s)?$")).isEmpty());
    }
}

void TestReportData::listingSetupCancelled() {
    Fixture f;
    auto qinst = makeQinst(*f.datos);
    f.project.setProjectFile(report::projectPath(REPORTS_DIR, "Listado.rav"));
    f.project.open();
    QVERIFY(f.project.selectReport("Listado"));
    f.project.addConnection("RVqlinst", *qinst);
    f.output.setTitles(report::Titles::listing());
    ModalAnswers &answers = f.respuestas;
    answers.push(ModalAnswers::press("Cancelar"));
    QVERIFY(!f.project.execute());
    QCOMPARE(answers.seen, QStringList({"report::SetupDialog|Opciones"}));
    QVERIFY(!qinst->active()); // never opened
}

void TestReportData::valuesReadWhole_data() {
    QTest::addColumn<QString>("project");
    QTest::addColumn<QStringList>("seed");
    QTest::addColumn<int>("installation"); // the bulletin's, or the listing's only row
    QTest::addColumn<bool>("ellipsisAllowed");
    QTest::addRow("boletín, todo a lo largo máximo")
        << "Trelmavondis.rav" << fullLengthSeed() << 900 << true;
    QTest::addRow("listado, todo a lo largo máximo")
        << "Listado.rav" << fullLengthSeed() << 900 << true;
    QTest::addRow("boletín de oficina") << "Trelmavondis.rav" << officeSeed() << 4 << false;
    QTest::addRow("listado de la demo") << "Listado.rav" << officeSeed() << 0 << false;
}

// Every field of a project is read whole from the PDF: a wrapping field on as many lines as
// it takes, a one-line field in a smaller letter, and only a one-line field whose value does
// not fit even at the smallest letter ends in "…". No two words overlap, nothing runs into
// the page footer.
void TestReportData::valuesReadWhole() {
    QFETCH(QString, project);
    QFETCH(QStringList, seed);
    QFETCH(int, installation);
    QFETCH(bool, ellipsisAllowed);
    Fixture f(seed);
    const QString path = report::projectPath(REPORTS_DIR, project);
    const report::Project model = report::loadProject(path);
    const report::Report &r = model.reports.front();
    std::map<QString, db::RecordSet *> sets;
    std::unique_ptr<db::RecordSet> qinst;
    if (project == "Trelmavondis.rav") {
        f.bulletin(installation);
        sets = {{"RVDinstalacion", &f.datos->DSinstalacion()},
                {"RVDarmarios", &f.datos->DSarmarios()},
                {"RVDderivaciones", &f.datos->DSderivaciones()},
                {"RVDinstalador", &f.datos->Qinstalador()}};
    } else {
        qinst = makeQinst(*f.datos, installation ? QStringLiteral("where ID=%1").arg(installation)
                                                : QString());
        f.project.setProjectFile(path);
        f.project.open();
        QVERIFY(f.project.selectReport("Listado"));
        f.project.addConnection("RVqlinst", *qinst);
        sets = {{"RVqlinst", qinst.get()}};
    }
    const QString file =
        QDir(m_dir.path()).filePath(QStringLiteral("entero-%1.pdf").arg(QTest::currentDataTag()));
    f.toFile(file);
    QVERIFY(f.project.execute());
    const auto doc = f.project.layOut();
    const float footerTop = r.page.height - r.page.bottom - r.pageFooter.height;
    const QStringList read = readBoxes(*doc, file, footerTop);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(!read.isEmpty());

    // What each field shows, row by row, as its record set shows it.
    std::vector<FieldRef> fields;
    collectFields(r.pageHeader, QString(), fields);
    collectFields(r.pageFooter, QString(), fields);
    collectFields(r.body, QString(), fields);
    struct Expected {
        QString text, field;
        bool mayEnd;
    };
    std::vector<Expected> expected;
    for (const FieldRef &fr : fields) {
        db::RecordSet &set = *sets.at(fr.connection);
        if (!set.active())
            set.open();
        set.fetchAll();
        const db::Field &field = set[fr.name];
        // The listing's rows all; the bulletin's one installation and each row under it.
        for (int row = 0; row < set.recordCount(); ++row) {
            const QString value = field.textOf(set.valueAt(row, field), true);
            if (value.isEmpty())
                continue;
            const QString text = value + fr.suffix;
            report::FontSpec smallest = fr.font;
            smallest.size = std::min(smallest.size, report::kShrinkFloor);
            const bool mayEnd = fr.fit == report::Fit::Shrink &&
                                report::metrics::textWidth(smallest, text) > fr.width;
            expected.push_back({withoutBlanks(text), fr.connection + "." + fr.name, mayEnd});
        }
    }
    QVERIFY(expected.size() >= (project == "Listado.rav" ? 5u : 70u));
    // Values that must be whole take their reads first: several fields may show the same.
    std::stable_partition(expected.begin(), expected.end(),
                          [](const Expected &e) { return !e.mayEnd; });
    std::vector<bool> used(size_t(read.size()), false);
    std::vector<const Expected *> cut;
    for (const Expected &e : expected) {
        const auto it = std::find_if(read.begin(), read.end(), [&](const QString &r) {
            return !used[size_t(&r - read.data())] && r == e.text;
        });
        if (it == read.end())
            cut.push_back(&e);
        else
            used[size_t(it - read.begin())] = true;
    }
    int ended = 0;
    for (const Expected *e : cut) {
        QVERIFY2(
            e->mayEnd,
            qPrintable(
                QStringLiteral("%1 \"%2\" is not read whole").arg(e->field, e->text.left(40))));
        const auto it = std::find_if(read.begin(), read.end(), [&](const QString &r) {
            return !used[size_t(&r - read.data())] && r.size() > 1 && r.endsWith(u'…') &&
                   e->text.startsWith(r.chopped(1));
        });
        QVERIFY2(it != read.end(), qPrintable(e->field + " is missing"));
        used[size_t(it - read.begin())] = true;
        ++ended;
    }
    QVERIFY(ellipsisAllowed || ended == 0);
    if (!ellipsisAllowed)
        QVERIFY(!pdfText(file).contains(u'…'));
    if (project == "Listado.rav" && installation == 0)
        QVERIFY(pdfText(file).contains("(28290)"));
}

void TestReportData::unitsOnlyWithValues_data() {
    QTest::addColumn<QStringList>("seed");
    QTest::addColumn<int>("installation");
    QTest::addColumn<QStringList>("words");
    QTest::addColumn<bool>("none");
    QTest::addRow("sin valores ni filas")
        << QStringList{instalacion(950, "2500950000")} << 950 << QStringList() << true;
    QTest::addRow("con valores y filas")
        << QStringList() << 1 << QStringList{"98,50", "kW", "12,50", "m", "A", "mm²"} << false;
}

// A unit prints beside its value and never alone; an empty table says "(ninguno)" once,
// under its column header.
void TestReportData::unitsOnlyWithValues() {
    QFETCH(QStringList, seed);
    QFETCH(int, installation);
    QFETCH(QStringList, words);
    QFETCH(bool, none);
    Fixture f(seed);
    f.bulletin(installation);
    const QString file =
        QDir(m_dir.path()).filePath(QStringLiteral("unidades-%1.pdf").arg(installation));
    f.toFile(file);
    QVERIFY(f.project.execute());
    const auto pages = pdfWords(file);
    QVERIFY(!pages.empty());
    QStringList all;
    for (const PdfWord &w : pages.front())
        all << w.text;
    for (const char *unit : {"kW", "m", "A", "mm²"})
        QCOMPARE(all.contains(QString::fromUtf8(unit)), words.contains(QString::fromUtf8(unit)));
    for (const QString &w : words)
        QVERIFY2(all.contains(w), qPrintable(w));
    auto yOf = [&](const QString &text, int from = 0) {
        for (qsizetype i = from; i < all.size(); ++i)
            if (all[i] == text)
                return pages.front()[size_t(i)].box.top();
        return -1.0;
    };
    QCOMPARE(all.count("(ninguno)"), none ? 2 : 0);
    if (none) {
        // Each right under its table's column header and above what follows the table.
        const qsizetype first = all.indexOf("(ninguno)");
        const double cabinets = yOf("(ninguno)");
        const double branches = yOf("(ninguno)", int(first) + 1);
        QVERIFY(yOf("celdas") < cabinets);
        QVERIFY(cabinets < yOf("DERIVACIONES"));
        QVERIFY(yOf("Escal.") < branches);
        QVERIFY(branches < yOf("Secciones"));
        QVERIFY(branches - yOf("Escal.") < 6 * 72 / 25.4);
    }
}

QTEST_MAIN(TestReportData)
#include "tst_reportdata.moc"
