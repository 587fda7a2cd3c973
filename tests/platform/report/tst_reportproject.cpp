// Report projects without a database: loading, selection, refusals, static layout, the PDF
// that poppler reads, the setup dialog, the preview and the printer path.

#include "platform/report/Document.h"
#include "platform/report/Layout.h"
#include "platform/report/Model.h"
#include "platform/report/Report.h"
#include "platform/report/SetupDialog.h"
#include "tests/common/ModalAnswers.h"
#include "tests/platform/report/ReportTestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <map>

using report::Destination;
using report::ReportError;
using report::ReportProject;

namespace {

QString errorOf(const std::function<void()> &f) {
    try {
        f();
    } catch (const ReportError &e) {
        return e.message();
    }
    return QString();
}

// Three reports: the third's component name repeats the first's full name.
const QString kThree = projectXml(QStringLiteral(R"(
  <report name="Boletín de la instalación" component="Boletin">
    <band height="10"><text x="0" y="0" width="50" height="5">uno</text></band>
  </report>
  <report name="Listado" component="ListadoComp">
    <band height="10"><text x="0" y="0" width="50" height="5">dos</text></band>
  </report>
  <report name="Otro" component="boletín de la instalación">
    <band height="10"><text x="0" y="0" width="50" height="5">tres</text></band>
  </report>)"));

// Static bands: accents, word wrap, many bands over several pages, page numbers.
QString staticReport(int bands) {
    QString body;
    for (int i = 1; i <= bands; ++i)
        body += QStringLiteral("    <band height=\"20\"><text x=\"0\" y=\"0\" width=\"100\" "
                               "height=\"5\">Banda %1</text></band>\n")
                    .arg(i);
    return projectXml(QStringLiteral(R"(
  <report name="Estático" component="Estatico">
    <page size="A4" margin-left="10" margin-top="10" margin-right="10" margin-bottom="10"/>
    <page-header height="10">
      <text x="0" y="0" width="100" height="6" size="12" bold="true">Cabecera de página</text>
    </page-header>
    <page-footer height="8">
      <page-number x="100" y="2" width="90" height="5" align="right" format="página %p de %n"/>
    </page-footer>
    <title height="12">
      <text x="0" y="0" width="190" height="5" font="Times" italic="true">Ñandú, cigüeña, pingüino: 1º, 2ª, 3 €</text>
      <text x="0" y="6" width="40" height="4.5" wrap="true">uno dos tres cuatro cinco seis siete ocho nueve diez once doce trece catorce</text>
      <text x="50" y="12" width="40" height="4.5" font="Courier">debajo</text>
      <rect x="45" y="0" width="2" height="10" stretch="true"/>
    </title>
)") + body + QStringLiteral("  </report>"));
}

} // namespace

class TestReportProject : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void projectPathJoins();
    void selectsByNameInAnyCase();
    void missingFile();
    void malformedFile();
    void unknownAttributeOrElement_data();
    void unknownAttributeOrElement();
    void realProjectsLoad();
    void parametersReachTheLayout();
    void wordWrapGrowsBand();
    void oneLineShrinks_data();
    void oneLineShrinks();
    void growthPushesDownAndBreaksPages();
    void pageNumbers();
    void pdfStandardFontsWinAnsi();
    void pagesHandedOverAsLaidOut();
    void pdfWrittenPageByPage();
    void setupCancelledGivesNoOutput();
    void setupChoosesFile();
    void previewNavigates();
    void previewFitsItsWindow();
    void previewSaveProposesTheRunsFile();
    void setupFileNameHasItsOwnName();
    void printerPath();
    void nothingHalfWritten();

private:
    QTemporaryDir m_dir;
};

void TestReportProject::initTestCase() {
    QVERIFY(m_dir.isValid());
}

void TestReportProject::projectPathJoins() {
    QCOMPARE(report::projectPath("/datos/informes", "Listado.rav"), "/datos/informes/Listado.rav");
    QCOMPARE(report::projectPath("/datos/informes/", "Trelmavondis.rav"),
             "/datos/informes/Trelmavondis.rav");
}

void TestReportProject::selectsByNameInAnyCase() {
    ReportProject p;
    p.setProjectFile(writeFile(m_dir.path(), "tres.rav", kThree));
    p.open();
    QCOMPARE(p.reportNames(), QStringList({"Boletín de la instalación", "Listado", "Otro"}));
    QVERIFY(p.selectReport("BOLETÍN DE LA INSTALACIÓN")); // full name, first match wins
    QCOMPARE(p.selectedReport(), "Boletín de la instalación");
    QVERIFY(p.selectReport("boletin")); // component name
    QCOMPARE(p.selectedReport(), "Boletín de la instalación");
    QVERIFY(p.selectReport("listadocomp"));
    QCOMPARE(p.selectedReport(), "Listado");
    QVERIFY(p.selectReport("otro"));
    QCOMPARE(p.selectedReport(), "Otro");
    QVERIFY(!p.selectReport("Listado de instalaciones"));
    QCOMPARE(p.selectedReport(), QString());
    // Closed: nothing to select until it is opened again.
    p.close();
    QVERIFY(!p.selectReport("Listado"));
    p.open();
    QVERIFY(p.selectReport("Listado"));
}

void TestReportProject::missingFile() {
    ReportProject p;
    const QString path = QDir(m_dir.path()).filePath("no/existe/Trelmavondis.rav");
    p.setProjectFile(path);
    QCOMPARE(errorOf([&] { p.open(); }), "The following reporting project does not exist:\r\"" +
                                             QDir::toNativeSeparators(path) + "\"");
    QVERIFY(!p.isOpen());
}

void TestReportProject::malformedFile() {
    const QString path = writeFile(m_dir.path(), "roto.rav",
                                   "<?xml version=\"1.0\"?>\n<project>\n  <report name=\"A\">\n"
                                   "    <band height=\"10\">\n    </report>\n</project>\n");
    ReportProject p;
    p.setProjectFile(path);
    const QString e = errorOf([&] { p.open(); });
    QVERIFY2(e.contains("\"" + QDir::toNativeSeparators(path) + "\""), qPrintable(e));
    QVERIFY2(e.contains("línea 5"), qPrintable(e));
    QVERIFY(!p.isOpen());
}

void TestReportProject::unknownAttributeOrElement_data() {
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("expected");
    QTest::addRow("atributo mal escrito")
        << "<report name=\"A\">\n<band height=\"10\">\n<text x=\"0\" y=\"0\" widht=\"5\" "
           "height=\"5\">x</text>\n</band>\n</report>"
        << "línea 5: atributo desconocido 'widht' en <text>";
    QTest::addRow("elemento desconocido")
        << "<report name=\"A\">\n<band height=\"10\">\n<txt x=\"0\"/>\n</band>\n</report>"
        << "línea 5: elemento desconocido <txt> dentro de <band>";
    QTest::addRow("falta un atributo")
        << "<report name=\"A\">\n<band height=\"10\">\n<text x=\"0\" y=\"0\" width=\"5\">x</text>"
           "\n</band>\n</report>"
        << "línea 5: falta el atributo 'height' en <text>";
    QTest::addRow("valor no válido")
        << "<report name=\"A\">\n<page size=\"A4\" orientation=\"apaisado\"/>\n"
           "<band height=\"10\"/>\n</report>"
        << "línea 4: valor no válido 'apaisado' del atributo 'orientation' en <page>";
    QTest::addRow("letra desconocida")
        << "<report name=\"A\">\n<band height=\"10\">\n<text x=\"0\" y=\"0\" width=\"5\" "
           "height=\"5\" font=\"Comic Sans\">x</text>\n</band>\n</report>"
        << "valor no válido 'Comic Sans' del atributo 'font' en <text>";
    QTest::addRow("ajuste desconocido")
        << "<report name=\"A\">\n<band height=\"10\">\n<text x=\"0\" y=\"0\" width=\"5\" "
           "height=\"5\" fit=\"cortar\">x</text>\n</band>\n</report>"
        << "línea 5: valor no válido 'cortar' del atributo 'fit' en <text>";
    QTest::addRow("fit y wrap a la vez")
        << "<report name=\"A\">\n<band height=\"10\">\n<text x=\"0\" y=\"0\" width=\"5\" "
           "height=\"5\" fit=\"wrap\" wrap=\"true\">x</text>\n</band>\n</report>"
        << "línea 5: 'fit' y 'wrap' a la vez en <text>";
    QTest::addRow("unidad en un texto fijo")
        << "<report name=\"A\">\n<band height=\"10\">\n<text x=\"0\" y=\"0\" width=\"5\" "
           "height=\"5\" suffix=\" kW\">x</text>\n</band>\n</report>"
        << "línea 5: atributo desconocido 'suffix' en <text>";
    QTest::addRow("detalle sin bandas")
        << "<report name=\"A\">\n<detail connection=\"RVqlinst\">\n</detail>\n</report>"
        << "<detail> sin ninguna <band>";
    QTest::addRow("recuento en la cabecera de página")
        << "<report name=\"A\">\n<page-header height=\"10\">\n<count connection=\"RVqlinst\" "
           "x=\"0\" y=\"0\" width=\"5\" height=\"5\"/>\n</page-header>\n<band height=\"5\"/>"
           "\n</report>"
        << "línea 5: <count> no puede ir en <page-header>";
    QTest::addRow("recuento sin su número")
        << "<report name=\"A\">\n<summary height=\"10\">\n<count connection=\"RVqlinst\" "
           "x=\"0\" y=\"0\" width=\"5\" height=\"5\" format=\"Total\"/>\n</summary>\n"
           "</report>"
        << "línea 5: valor no válido 'Total' del atributo 'format' en <count>";
    QTest::addRow("recuento fuera de un detalle")
        << "<report name=\"A\">\n<summary height=\"10\">\n<count x=\"0\" y=\"0\" "
           "width=\"5\" height=\"5\"/>\n</summary>\n</report>"
        << "línea 5: <count> fuera de un <detail> necesita 'connection'";
    QTest::addRow("parámetro sin nombre")
        << "<report name=\"A\">\n<band height=\"10\">\n<param x=\"0\" y=\"0\" width=\"5\" "
           "height=\"5\"/>\n</band>\n</report>"
        << "línea 5: falta el atributo 'name' en <param>";
}

void TestReportProject::parametersReachTheLayout() {
    const QString path = writeFile(
        m_dir.path(), "parametros.rav",
        projectXml("<report name=\"A\">\n<page-header height=\"10\">\n<param name=\"Seleccion\" "
                   "x=\"0\" y=\"0\" width=\"80\" height=\"5\"/>\n</page-header>\n"
                   "<band height=\"10\"><text x=\"0\" y=\"0\" width=\"80\" height=\"5\">"
                   "CUERPO</text></band>\n</report>"));
    ReportProject p;
    p.setProjectFile(path);
    p.open();
    QVERIFY(p.selectReport("A"));
    // The layout names what the program does not give: the file and the line say where.
    const QString prefix = "Error en el proyecto de informes \"" + QDir::toNativeSeparators(path) +
                           "\", línea 5 (informe \"A\"): ";
    QCOMPARE(errorOf([&] { p.layOut(); }),
             prefix + "el programa no da ningún parámetro a este informe (\"Seleccion\")");
    p.setParameter("Otro", "x");
    p.setParameter("Filtro", "y");
    QCOMPARE(errorOf([&] { p.layOut(); }),
             prefix + "no hay ningún parámetro \"Seleccion\" (el programa da: Otro, Filtro)");
    // Named without regard to case; setting it again replaces the value.
    p.setParameter("SELECCION", "Enviadas");
    p.setParameter("seleccion", "No enviadas, con fecha de envío desde el 06/05/2025");
    QCOMPARE(p.parameterNames(), QStringList({"Otro", "Filtro", "SELECCION"}));
    const auto doc = p.layOut();
    QCOMPARE(doc->texts(0),
             QStringList({"No enviadas, con fecha de envío desde el 06/05/2025", "CUERPO"}));
}

void TestReportProject::unknownAttributeOrElement() {
    QFETCH(QString, xml);
    QFETCH(QString, expected);
    ReportProject p;
    p.setProjectFile(writeFile(m_dir.path(), "mal.rav", projectXml(xml)));
    const QString e = errorOf([&] { p.open(); });
    QVERIFY2(e.startsWith("Error en el proyecto de informes \""), qPrintable(e));
    QVERIFY2(e.contains(expected), qPrintable(e));
}

void TestReportProject::realProjectsLoad() {
    ReportProject p;
    p.close();
    p.setProjectFile(report::projectPath(REPORTS_DIR, "Trelmavondis.rav"));
    p.open();
    QVERIFY(p.selectReport("Boletín de la instalación"));
    QVERIFY(p.selectReport("boletin"));
    p.close();
    p.setProjectFile(report::projectPath(REPORTS_DIR, "Listado.rav"));
    p.open();
    QVERIFY(p.selectReport("Listado"));
    QVERIFY(!p.selectReport("Boletín de la instalación"));
}

void TestReportProject::wordWrapGrowsBand() {
    ReportProject p;
    p.setProjectFile(writeFile(m_dir.path(), "estatico.rav", staticReport(1)));
    p.open();
    QVERIFY(p.selectReport("estatico"));
    const auto doc = p.layOut();
    QCOMPARE(doc->pageCount(), 1);
    const auto &items = doc->pages[0].items;
    auto find = [&](const QString &start) -> const report::Primitive & {
        for (const auto &i : items)
            if (i.kind == report::Primitive::Kind::Text && i.text.startsWith(start))
                return i;
        qFatal("no primitive %s", qPrintable(start));
    };
    const float mm = 72.0f / 25.4f;
    const report::Primitive &wrapped = find("uno dos");
    const QStringList lines = wrapped.text.split('\n');
    QVERIFY2(lines.size() >= 3, qPrintable(wrapped.text));
    QCOMPARE(lines.join(' '), "uno dos tres cuatro cinco seis siete ocho nueve diez once doce "
                              "trece catorce");
    for (const QString &l : lines)
        QVERIFY(report::metrics::textWidth(doc->fonts[wrapped.font], l) <= 40 * mm + 0.01f);
    const float grown = wrapped.h - 4.5f * mm;
    QVERIFY(grown > 0);
    // The text wholly below it moved down by the growth; the stretched rectangle grew.
    const report::Primitive &below = find("debajo");
    QCOMPARE(qRound(below.y * 100), qRound((10 + 10 + 12) * mm * 100 + grown * 100));
    // The title band grew to hold it; the stretched rectangle grew with the band.
    const float bandGrowth = below.y + 4.5f * mm - (10 + 10 + 12) * mm;
    QVERIFY(bandGrowth > 0);
    float rectHeight = 0;
    for (const auto &i : items)
        if (i.kind == report::Primitive::Kind::Rect)
            rectHeight = i.h;
    QCOMPARE(qRound(rectHeight * 100), qRound((10 * mm + bandGrowth) * 100));
    // The next band starts below the grown title.
    const report::Primitive &band = find("Banda 1");
    QCOMPARE(qRound(band.y * 100), qRound((below.y + 4.5f * mm) * 100));
}

void TestReportProject::oneLineShrinks_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("width"); // mm
    QTest::addColumn<double>("minSize");
    QTest::addColumn<double>("maxSize");
    QTest::addColumn<bool>("ended");
    // Helvetica 9 pt: "ESCALERA IZQUIERDA" is about 35 mm wide, 23.4 mm at 6 pt.
    QTest::addRow("cabe") << "ESCALERA IZQUIERDA" << 40.0 << 9.0 << 9.0 << false;
    QTest::addRow("letra menor") << "ESCALERA IZQUIERDA" << 28.0 << 6.0 << 8.75 << false;
    QTest::addRow("justo a 6 puntos") << "ESCALERA IZQUIERDA" << 23.5 << 6.0 << 6.0 << false;
    QTest::addRow("puntos suspensivos") << "ESCALERA IZQUIERDA" << 14.0 << 6.0 << 6.0 << true;
    QTest::addRow("salto de línea en el valor")
        << "ESCALERA\nIZQUIERDA" << 40.0 << 9.0 << 9.0 << false;
}

// A one-line text takes a smaller letter, never below 6 points, rather than losing its end;
// only past that floor does it end in "…", always within its box and on its baseline.
void TestReportProject::oneLineShrinks() {
    QFETCH(QString, text);
    QFETCH(double, width);
    QFETCH(double, minSize);
    QFETCH(double, maxSize);
    QFETCH(bool, ended);
    ReportProject p;
    p.setProjectFile(writeFile(
        m_dir.path(), "encoger.rav",
        projectXml(QStringLiteral("<report name=\"E\"><font size=\"9\"/><band height=\"10\">"
                                  "<text x=\"0\" y=\"0\" width=\"%1\" height=\"5\" "
                                  "valign=\"bottom\">Escalera:</text>"
                                  "<text x=\"%1\" y=\"0\" width=\"%2\" height=\"5\" "
                                  "valign=\"bottom\" fit=\"shrink\">%3</text></band></report>")
                       .arg(20)
                       .arg(width)
                       .arg(text.toHtmlEscaped().replace("\n", "&#10;")))));
    p.open();
    QVERIFY(p.selectReport("E"));
    const auto doc = p.layOut();
    const auto &items = doc->pages[0].items;
    QCOMPARE(items.size(), size_t(2));
    const report::Primitive &label = items[0];
    const report::Primitive &value = items[1];
    const report::FontSpec &font = doc->fonts[value.font];
    QVERIFY2(font.size >= minSize && font.size <= maxSize, qPrintable(QString::number(font.size)));
    const float mm = 72.0f / 25.4f;
    QVERIFY(report::metrics::textWidth(font, value.text) <= float(width) * mm + 0.01f);
    QVERIFY(!value.text.contains('\n'));
    const QString flat = QString(text).replace('\n', ' ');
    if (ended) {
        QVERIFY2(value.text.endsWith(QStringLiteral("…")), qPrintable(value.text));
        QVERIFY(flat.startsWith(value.text.chopped(1)));
        QVERIFY(value.text.size() > 3);
    } else {
        QCOMPARE(value.text, flat);
    }
    // Same baseline as the label beside it.
    const float labelBase = label.y + report::metrics::ascent(doc->fonts[label.font]);
    QCOMPARE(qRound((value.y + report::metrics::ascent(font)) * 100), qRound(labelBase * 100));
}

// Three wrapping texts one under the other: each pushes down the next by its own growth and
// by what pushed it, so none overlaps; bands grown past the page's end go whole to the next
// page, never into the page footer.
void TestReportProject::growthPushesDownAndBreaksPages() {
    QString bands;
    const QString words = QStringLiteral("palabra ").repeated(60).trimmed();
    for (int i = 1; i <= 12; ++i)
        bands += QStringLiteral("<band height=\"16\">"
                                "<text x=\"0\" y=\"0\" width=\"60\" height=\"5\">A%1 %2</text>"
                                "<text x=\"0\" y=\"5\" width=\"60\" height=\"5\">B%1 %2</text>"
                                "<text x=\"70\" y=\"5\" width=\"40\" height=\"5\">beside %1</text>"
                                "<text x=\"0\" y=\"10\" width=\"60\" height=\"5\">C%1 %2</text>"
                                "<line x1=\"0\" y1=\"15.5\" x2=\"190\" y2=\"15.5\"/>"
                                "</band>")
                     .arg(i)
                     .arg(words);
    ReportProject p;
    p.setProjectFile(writeFile(
        m_dir.path(), "crecer.rav",
        projectXml(QStringLiteral("<report name=\"C\"><page margin-top=\"10\" "
                                  "margin-bottom=\"10\"/><page-footer height=\"8\"><page-number "
                                  "x=\"0\" y=\"2\" width=\"50\" height=\"5\"/></page-footer>") +
                   bands + QStringLiteral("</report>"))));
    p.open();
    QVERIFY(p.selectReport("C"));
    const auto doc = p.layOut();
    QVERIFY(doc->pageCount() >= 3);
    const float footerTop = doc->pageHeight - (10 + 8) * 72 / 25.4f;
    int seen = 0;
    for (int page = 0; page < doc->pageCount(); ++page) {
        const auto &items = doc->pages[size_t(page)].items;
        std::map<QString, const report::Primitive *> byName;
        for (const auto &i : items) {
            if (i.kind != report::Primitive::Kind::Text || i.pageVariables)
                continue;
            QVERIFY2(i.y + i.h <= footerTop + 0.01f, qPrintable(i.text.left(10)));
            const QString name = i.text.section(' ', 0, 0).section('\n', 0, 0);
            byName[name == "beside" ? "S" + i.text.section(' ', 1) : name] = &i;
            for (const auto &o : items)
                if (&o != &i && o.kind == report::Primitive::Kind::Text)
                    QVERIFY2(
                        !QRectF(i.x, i.y, i.w, i.h)
                             .intersects(
                                 QRectF(o.x, o.y, o.w, o.h).adjusted(0.01, 0.01, -0.01, -0.01)),
                        qPrintable(i.text.left(10) + " / " + o.text.left(10)));
        }
        for (int b = 1; b <= 12; ++b) {
            const QString n = QString::number(b);
            const auto a = byName.find("A" + n);
            if (a == byName.end())
                continue;
            // The whole band on this page, its texts in order and whole.
            const report::Primitive *bb = byName.at("B" + n), *c = byName.at("C" + n);
            const report::Primitive *beside = byName.at("S" + n);
            QVERIFY(a->second->text.count('\n') >= 3);
            QCOMPARE(QString(c->text).replace('\n', ' '), "C" + n + " " + words);
            QVERIFY(bb->y >= a->second->y + a->second->h - 0.01f);
            QVERIFY(c->y >= bb->y + bb->h - 0.01f);
            QCOMPARE(beside->y, bb->y); // beside B, not below it: stays on B's line
            ++seen;
        }
    }
    QCOMPARE(seen, 12);
}

void TestReportProject::pageNumbers() {
    ReportProject p;
    p.setProjectFile(writeFile(m_dir.path(), "paginas.rav", staticReport(40)));
    p.open();
    QVERIFY(p.selectReport("Estático"));
    const auto doc = p.layOut();
    QVERIFY(doc->pageCount() >= 3);
    const int n = doc->pageCount();
    int bandsSeen = 0;
    for (int i = 0; i < n; ++i) {
        const QStringList t = doc->texts(i);
        QVERIFY(t.contains("Cabecera de página"));
        QVERIFY2(t.contains(QStringLiteral("página %1 de %2").arg(i + 1).arg(n)),
                 qPrintable(t.join('|')));
        for (const QString &s : t)
            if (s.startsWith("Banda "))
                QCOMPARE(s, QStringLiteral("Banda %1").arg(++bandsSeen));
        // Nothing runs into the footer.
        for (const auto &prim : doc->pages[size_t(i)].items)
            if (prim.text.startsWith("Banda"))
                QVERIFY(prim.y + prim.h <= doc->pageHeight - (10 + 8) * 72 / 25.4f + 0.01f);
    }
    QCOMPARE(bandsSeen, 40);
}

void TestReportProject::pdfStandardFontsWinAnsi() {
    ReportProject p;
    report::OutputSystem out;
    report::PdfRenderer pdf;
    p.setEngine(&out);
    p.setProjectFile(writeFile(m_dir.path(), "pdf.rav", staticReport(3)));
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    const QString file = QDir(m_dir.path()).filePath("salida.pdf");
    out.setDefaultDestination(Destination::File);
    out.setSetupAllowed(false);
    out.setNativeOutput(false);
    out.setRenderer(&pdf);
    out.setOutputFileName(file);
    QVERIFY(p.execute());
    QVERIFY(QFile::exists(file));
    QCOMPARE(out.lastPageCount(), 1);
    QCOMPARE(pdf.displayName(), "Adobe Acrobat (PDF)");
    QCOMPARE(pdf.imageQuality, 90);
    const QStringList fonts = pdfFontRows(file);
    QVERIFY2(!fonts.isEmpty(), qPrintable(pdfFonts(file)));
    QStringList names;
    for (const QString &row : fonts) {
        const QStringList c = row.split('|');
        names << c[0];
        QCOMPARE(c[1], "Type 1");
        QCOMPARE(c[2], "WinAnsi");
        QCOMPARE(c[3], "no");
    }
    names.sort();
    QCOMPARE(names, QStringList({"Courier", "Helvetica", "Helvetica-Bold", "Times-Italic"}));
    const QString text = pdfText(file);
    QVERIFY2(text.contains("Ñandú, cigüeña, pingüino: 1º, 2ª, 3 €"), qPrintable(text));
    QVERIFY(text.contains("página 1 de 1"));
    QVERIFY(text.contains("Banda 3"));
}

// With a page sink the layout keeps only the page it is laying out and hands every page over
// in order, the same pages a whole layout gives; the last one comes with the count known.
void TestReportProject::pagesHandedOverAsLaidOut() {
    const QString file = writeFile(m_dir.path(), "entregadas.rav", staticReport(40));
    const report::Project project = report::loadProject(file);
    const report::Report &r = project.reports.front();
    report::Layouter whole(r, {});
    whole.runToEnd();
    const report::Document &all = whole.document();
    QVERIFY(all.pageCount() >= 3);

    report::Layouter layouter(r, {});
    std::vector<report::Page> handed;
    std::vector<int> numbers;
    size_t mostHeld = 0;
    bool countKnownAtLast = false;
    layouter.onPageDone = [&](const report::Document &doc, report::Page &&page, int number) {
        mostHeld = std::max(mostHeld, doc.pages.size());
        numbers.push_back(number);
        handed.push_back(std::move(page));
        countKnownAtLast = doc.complete && doc.pageCount() == number;
    };
    layouter.runToEnd();
    const report::Document &doc = layouter.document();
    QVERIFY(doc.pages.empty());
    QCOMPARE(doc.pageCount(), all.pageCount());
    QVERIFY(mostHeld <= 1); // only the page being laid out
    QVERIFY(countKnownAtLast);
    QCOMPARE(int(handed.size()), all.pageCount());
    for (int i = 0; i < all.pageCount(); ++i) {
        QCOMPARE(numbers[size_t(i)], i + 1);
        QStringList texts;
        for (const report::Primitive &p : handed[size_t(i)].items)
            if (p.kind == report::Primitive::Kind::Text)
                texts << doc.textOf(p, i + 1);
        QCOMPARE(texts, all.texts(i));
    }
}

// A run to a file writes each page as it is laid out; "%n" waits for the end. The PDF reads
// as the same document written whole: every page with its number and the count.
void TestReportProject::pdfWrittenPageByPage() {
    ReportProject p;
    report::OutputSystem out;
    report::PdfRenderer pdf;
    p.setEngine(&out);
    p.setProjectFile(writeFile(m_dir.path(), "porpaginas.rav", staticReport(40)));
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    const QString file = QDir(m_dir.path()).filePath("porpaginas.pdf");
    out.setDefaultDestination(Destination::File);
    out.setSetupAllowed(false);
    out.setNativeOutput(false);
    out.setRenderer(&pdf);
    out.setOutputFileName(file);
    QVERIFY(p.execute());
    const auto doc = p.layOut();
    const int n = doc->pageCount();
    QVERIFY(n >= 3);
    QCOMPARE(out.lastPageCount(), n);
    const QString wholeFile = QDir(m_dir.path()).filePath("entero.pdf");
    pdf.write(*doc, wholeFile);
    const QString text = pdfText(file);
    QCOMPARE(text, pdfText(wholeFile));
    const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), n);
    for (int i = 0; i < n; ++i) {
        QVERIFY2(pages[i].contains(QStringLiteral("página %1 de %2").arg(i + 1).arg(n)),
                 qPrintable(pages[i]));
        QVERIFY(pages[i].contains("Cabecera de página"));
    }
    QVERIFY(pages.constLast().contains("Banda 40"));
    const auto words = pdfWords(file);
    const auto wholeWords = pdfWords(wholeFile);
    QCOMPARE(words.size(), wholeWords.size());
    for (size_t i = 0; i < words.size(); ++i) {
        QCOMPARE(words[i].size(), wholeWords[i].size());
        for (size_t w = 0; w < words[i].size(); ++w)
            QCOMPARE(words[i][w].text, wholeWords[i][w].text);
    }
}

void TestReportProject::setupCancelledGivesNoOutput() {
    ReportProject p;
    report::OutputSystem out;
    p.setEngine(&out);
    out.setTitles(report::Titles::listing());
    p.setProjectFile(writeFile(m_dir.path(), "cancelar.rav", staticReport(2)));
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    const QString file = QDir(m_dir.path()).filePath("cancelado.pdf");
    out.setDefaultDestination(Destination::File);
    out.setOutputFileName(file);
    ModalAnswers answers;
    answers.push(ModalAnswers::press("Cancelar"));
    QVERIFY(!p.execute());
    QCOMPARE(answers.seen, QStringList({"report::SetupDialog|Opciones"}));
    QVERIFY(!QFile::exists(file));
    QCOMPARE(out.lastPageCount(), 0);
}

void TestReportProject::setupChoosesFile() {
    ReportProject p;
    report::OutputSystem out;
    report::PdfRenderer pdf;
    p.setEngine(&out);
    p.setProjectFile(writeFile(m_dir.path(), "elegir.rav", staticReport(2)));
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    const QString file = QDir(m_dir.path()).filePath("elegido.pdf");
    out.setRenderer(&pdf); // the proposed destination stays the preview
    ModalAnswers answers;
    answers.push([&](QWidget *dialog) {
        QCOMPARE(dialog->windowTitle(), "Output Options");
        QVERIFY(dialog->findChild<QRadioButton *>("destinoVista")->isChecked());
        QCOMPARE(dialog->findChild<QComboBox *>("formato")->currentText(), "Adobe Acrobat (PDF)");
        dialog->findChild<QRadioButton *>("destinoArchivo")->click();
        dialog->findChild<QLineEdit *>("archivo")->setText(file);
        dialog->findChild<QSpinBox *>("copias")->setValue(2);
        ModalAnswers::press("Aceptar")(dialog);
    });
    QVERIFY(p.execute());
    QCOMPARE(answers.pending(), 0);
    QVERIFY(QFile::exists(file));
    QCOMPARE(out.lastDestination(), Destination::File);
    QCOMPARE(out.outputFileName(), file); // the dialog's choice stays with the output system
    QCOMPARE(out.copies(), 2);
    QVERIFY(pdfText(file).contains("Banda 2"));
}

void TestReportProject::previewNavigates() {
    ReportProject p;
    report::OutputSystem out;
    p.setEngine(&out);
    out.setTitles(report::Titles::listing());
    out.setSetupAllowed(false);
    out.setDefaultDestination(Destination::Preview);
    p.setProjectFile(writeFile(m_dir.path(), "vista.rav", staticReport(40)));
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    ModalAnswers answers;
    int pages = 0;
    answers.push([&](QWidget *preview) {
        QCOMPARE(preview->windowTitle(), "Visualizar");
        QWidget *view = preview->findChild<QWidget *>("pagina");
        QVERIFY(QTest::qWaitFor([&] { return view->property("paginasDibujadas").toInt() > 0; }));
        QCOMPARE(view->property("ultimaPagina").toInt(), 0);
        auto *number = preview->findChild<QSpinBox *>("numeroPagina");
        ModalAnswers::press("Siguiente")(preview);
        QCOMPARE(number->value(), 2);
        QVERIFY(QTest::qWaitFor([&] { return view->property("ultimaPagina").toInt() == 1; }));
        ModalAnswers::press("Última")(preview);
        pages = number->value();
        ModalAnswers::press("Anterior")(preview);
        QCOMPARE(number->value(), pages - 1);
        ModalAnswers::press("Primera")(preview);
        QCOMPARE(number->value(), 1);
        auto *zoom = preview->findChild<QComboBox *>("zoom");
        const int width = view->width();
        zoom->setCurrentIndex(zoom->findText("200 %"));
        QVERIFY(view->width() > width);
        ModalAnswers::press("Cerrar")(preview);
    });
    QVERIFY(p.execute());
    QCOMPARE(answers.seen, QStringList({"report::PreviewWindow|Visualizar"}));
    QVERIFY(pages >= 3);
    QCOMPARE(out.lastPageCount(), pages);
}

// The preview opens with the page as wide as its window, follows the window's size, fits again
// when "Ancho de página" is chosen again, and its page number box moves the page.
void TestReportProject::previewFitsItsWindow() {
    ReportProject p;
    report::OutputSystem out;
    p.setEngine(&out);
    out.setSetupAllowed(false);
    out.setDefaultDestination(Destination::Preview);
    p.setProjectFile(writeFile(m_dir.path(), "ancho.rav", staticReport(40)));
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    ModalAnswers answers;
    answers.push([&](QWidget *preview) {
        auto *scroll = preview->findChild<QScrollArea *>();
        QWidget *view = preview->findChild<QWidget *>("pagina");
        auto *zoom = preview->findChild<QComboBox *>("zoom");
        QCOMPARE(zoom->currentText(), "Ancho de página");
        // Fitted: the page fills the width beside the vertical scroll bar, nothing to scroll
        // sideways.
        const auto fitted = [&] {
            const int room = scroll->viewport()->width();
            return view->width() > room * 9 / 10 && view->width() <= room &&
                   !scroll->horizontalScrollBar()->isVisible();
        };
        QTRY_VERIFY2(fitted(), qPrintable(QString("página %1 px en %2 px")
                                              .arg(view->width())
                                              .arg(scroll->viewport()->width())));
        const int ancho = view->width();
        preview->resize(preview->width() * 2 / 3, preview->height());
        QTRY_VERIFY(fitted());
        QVERIFY(view->width() < ancho);
        zoom->setCurrentIndex(zoom->findText("50 %"));
        QVERIFY(!fitted());
        zoom->setCurrentIndex(zoom->findText("Ancho de página"));
        QTRY_VERIFY(fitted());
        // Chosen again while it shows as chosen: fits again after a manual change of size.
        view->setFixedWidth(100);
        QVERIFY(!fitted());
        emit zoom->activated(zoom->currentIndex());
        QTRY_VERIFY(fitted());

        auto *number = preview->findChild<QSpinBox *>("numeroPagina");
        number->setFocus();
        QTest::keyClick(number, Qt::Key_Up);
        QCOMPARE(number->value(), 2);
        QTRY_COMPARE(view->property("ultimaPagina").toInt(), 1);
        QTest::keyClick(number, Qt::Key_PageDown);
        QCOMPARE(number->value(), 1);
        QTRY_COMPARE(view->property("ultimaPagina").toInt(), 0);
        ModalAnswers::press("Cerrar")(preview);
    });
    QVERIFY(p.execute());
    QCOMPARE(answers.pending(), 0);
}

// "Guardar PDF" in the preview proposes the run's own file name, the one the setup dialog
// would propose, not an empty name in whatever folder the dialog opened last.
void TestReportProject::previewSaveProposesTheRunsFile() {
    ReportProject p;
    report::OutputSystem out;
    p.setEngine(&out);
    out.setSetupAllowed(false);
    out.setDefaultDestination(Destination::Preview);
    const QString proposed = QDir(m_dir.path()).filePath("Exp2500148719.pdf");
    out.setOutputFileName(proposed);
    p.setProjectFile(writeFile(m_dir.path(), "guardar.rav", staticReport(3)));
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    ModalAnswers answers;
    const auto clickLater = [](const QString &text) {
        return [text](QWidget *w) {
            for (QPushButton *b : w->findChildren<QPushButton *>())
                if (b->text().remove(u'&') == text)
                    QMetaObject::invokeMethod(b, &QPushButton::click, Qt::QueuedConnection);
        };
    };
    QStringList shown;
    answers.push(clickLater("Guardar PDF"));
    answers.push([&](QWidget *dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(dialog))
            shown = files->selectedFiles();
        QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
    });
    answers.push(clickLater("Cerrar"));
    QVERIFY(p.execute());
    QCOMPARE(answers.pending(), 0);
    QCOMPARE(shown, QStringList{proposed});
    QVERIFY(!QFile::exists(proposed)); // cancelled: nothing written
}

// Assistive technology reads the file name box by its own caption, not by its group's title.
void TestReportProject::setupFileNameHasItsOwnName() {
    report::SetupDialog dialog(QStringLiteral("Opciones"), report::RunSettings{},
                               QStringLiteral("Adobe Acrobat (PDF)"), true);
    QAccessibleInterface *box =
        QAccessible::queryAccessibleInterface(dialog.findChild<QLineEdit *>("archivo"));
    QVERIFY(box);
    QCOMPARE(box->text(QAccessible::Name), QStringLiteral("Nombre del archivo:"));
}

void TestReportProject::printerPath() {
    // The printer path (Qt Print Support, the primitives drawn with QPainter) into Qt's
    // print-to-file, reached from the preview's print button and its setup dialog.
    ReportProject p;
    report::OutputSystem out;
    p.setEngine(&out);
    const QString file = QDir(m_dir.path()).filePath("impreso.pdf");
    out.setPrinterFile(file);
    out.setSetupAllowed(false);
    p.setProjectFile(writeFile(m_dir.path(), "imprimir.rav", staticReport(3)));
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    ModalAnswers answers;
    answers.push([&](QWidget *preview) {
        // Later, so that the answers can reach the dialog that the print button opens.
        QTimer::singleShot(0, preview, [preview] {
            ModalAnswers::press("Imprimir")(preview);
            ModalAnswers::press("Cerrar")(preview);
        });
    });
    answers.push([&](QWidget *setup) {
        QCOMPARE(setup->windowTitle(), "Output Options");
        QVERIFY(!setup->findChild<QRadioButton *>("destinoVista")->isVisible());
        setup->findChild<QRadioButton *>("destinoImpresora")->click();
        ModalAnswers::press("Aceptar")(setup);
    });
    QVERIFY(p.execute());
    QCOMPARE(answers.pending(), 0);
    QVERIFY(QFile::exists(file));
    const QString text = pdfText(file);
    QVERIFY2(text.contains("Ñandú, cigüeña, pingüino: 1º, 2ª, 3 €"), qPrintable(text));
    QVERIFY(text.contains("página 1 de 1"));

    // Straight to the printer, no dialog.
    QFile::remove(file);
    out.setDefaultDestination(Destination::Printer);
    QVERIFY(p.execute());
    QVERIFY(pdfText(file).contains("Banda 3"));
}

void TestReportProject::nothingHalfWritten() {
    ReportProject p;
    report::OutputSystem out;
    p.setEngine(&out);
    out.setDefaultDestination(Destination::File);
    out.setSetupAllowed(false);
    // A report that names a connection nobody registered fails before anything is written.
    p.setProjectFile(writeFile(m_dir.path(), "sinconexion.rav",
                               projectXml("<report name=\"A\"><band height=\"5\"><field "
                                          "connection=\"RVqlinst\" name=\"ID\" x=\"0\" y=\"0\" "
                                          "width=\"5\" height=\"5\"/></band></report>")));
    p.open();
    QVERIFY(p.selectReport("A"));
    const QString file = QDir(m_dir.path()).filePath("nunca.pdf");
    out.setOutputFileName(file);
    const QString e = errorOf([&] { p.execute(); });
    QVERIFY2(e.contains("no hay ninguna conexión de datos \"RVqlinst\""), qPrintable(e));
    QVERIFY(!QFile::exists(file));
    // An output folder that does not exist: a clear error, no file.
    out.setOutputFileName(QDir(m_dir.path()).filePath("no/existe/x.pdf"));
    p.setProjectFile(writeFile(m_dir.path(), "ok.rav", staticReport(1)));
    p.close();
    p.open();
    QVERIFY(p.selectReport("Estatico"));
    const QString e2 = errorOf([&] { p.execute(); });
    QVERIFY2(e2.startsWith("No se ha podido escribir el archivo"), qPrintable(e2));
    // No execution without a selected report.
    QVERIFY(!p.selectReport("nada"));
    QCOMPARE(errorOf([&] { p.execute(); }), "No hay ningún informe seleccionado");
}

QTEST_MAIN(TestReportProject)
#include "tst_reportproject.moc"
