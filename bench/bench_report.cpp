// The report engine on a country-scale database (argv[1]; argv[2] the SYSDBA password):
// 1. the bulletin of one installation with 12 branches to PDF, against libharu writing the
//    same primitives directly (goal: ratio <= 2);
// 2. the listing of the 100,000 installations (the search dialog's list Qinst) to PDF,
//    against its floor: the same rows fetched bare with the client API plus libharu writing
//    the same primitives (goal: ratio <= 1.5); with the program's memory before the first run
//    and its peak during it (goal: growth < 30 MB), and the list itself fetched whole;
// 3. the preview of that listing: time until its first page is drawn (goal: < 1 s).

#include "bench/BenchSupport.h"
#include "db/LocalTime.h"
#include "data/UDatos.h"
#include "db/Statement.h"
#include "platform/report/Document.h"
#include "platform/report/Report.h"
#include "search/ListaInstalaciones.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <hpdf.h>
#include <malloc.h>

namespace {

// The same primitives written straight with libharu: the floor of the PDF writer.
void bareHaru(const report::Document &doc, const QString &path) {
    HPDF_Doc pdf = HPDF_New(nullptr, nullptr);
    HPDF_SetCompressionMode(pdf, HPDF_COMP_ALL);
    std::vector<HPDF_Font> fonts;
    for (const report::FontSpec &f : doc.fonts)
        fonts.push_back(HPDF_GetFont(pdf, report::metrics::baseFontName(f), "WinAnsiEncoding"));
    for (int i = 0; i < doc.pageCount(); ++i) {
        HPDF_Page page = HPDF_AddPage(pdf);
        HPDF_Page_SetWidth(page, doc.pageWidth);
        HPDF_Page_SetHeight(page, doc.pageHeight);
        const float H = doc.pageHeight;
        for (const report::Primitive &p : doc.pages[size_t(i)].items) {
            if (p.kind == report::Primitive::Kind::Line) {
                HPDF_Page_SetLineWidth(page, p.thickness);
                HPDF_Page_MoveTo(page, p.x, H - p.y);
                HPDF_Page_LineTo(page, p.x + p.w, H - p.y - p.h);
                HPDF_Page_Stroke(page);
            } else if (p.kind == report::Primitive::Kind::Rect) {
                if (p.fill >> 24) {
                    HPDF_Page_SetRGBFill(page, 0.85f, 0.85f, 0.85f);
                    HPDF_Page_Rectangle(page, p.x, H - p.y - p.h, p.w, p.h);
                    HPDF_Page_Fill(page);
                }
                if (p.thickness > 0) {
                    HPDF_Page_SetLineWidth(page, p.thickness);
                    HPDF_Page_Rectangle(page, p.x, H - p.y - p.h, p.w, p.h);
                    HPDF_Page_Stroke(page);
                }
            }
        }
        HPDF_Page_SetRGBFill(page, 0, 0, 0);
        HPDF_Page_BeginText(page);
        for (const report::Primitive &p : doc.pages[size_t(i)].items) {
            if (p.kind != report::Primitive::Kind::Text)
                continue;
            const report::FontSpec &f = doc.fonts[p.font];
            HPDF_Page_SetFontAndSize(page, fonts[p.font], f.size);
            float y = p.y + report::metrics::ascent(f);
            for (const QString &line : p.text.split(u'\n')) {
                HPDF_Page_TextOut(page, p.x, H - y, report::metrics::toWinAnsi(line).constData());
                y += report::metrics::lineHeight(f);
            }
        }
        HPDF_Page_EndText(page);
    }
    HPDF_SaveToFile(pdf, QFile::encodeName(path).constData());
    HPDF_Free(pdf);
}

long statusKb(const char *key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

} // namespace

int main(int argc, char **argv) {
    db::readLocalTimeZoneOnce(); // as the program starts
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").toUtf8());
    QApplication app(argc, argv);
    const bench::Target target = bench::target(argc, argv);
    TDatos datos;
    datos.Conectar(target.database, QStringLiteral("SYSDBA"), bench::login(target.password));
    const QString reports = QStringLiteral(REPORTS_DIR);
    QTemporaryDir dir;
    // BENCH_CONSERVAR_PDF=1 keeps the PDFs written (their folder is printed) to compare them.
    if (qEnvironmentVariableIntValue("BENCH_CONSERVAR_PDF")) {
        dir.setAutoRemove(false);
        std::printf("PDF en %s\n", qPrintable(dir.path()));
    }

    // 1. The bulletin.
    int id = 0;
    {
        db::Statement s(datos.IBTrans());
        s.prepare(QStringLiteral("select first 1 INSTALACION from INSTALACION_DERIVACIONES "
                                 "group by INSTALACION having count(*) = 12"));
        s.openCursor();
        if (s.fetch())
            id = s.value(0).toInt();
        s.closeCursor();
    }
    if (id == 0) {
        std::fprintf(stderr, "no hay ninguna instalación con 12 derivaciones\n");
        return 1;
    }
    report::ReportProject bulletin;
    report::OutputSystem output;
    report::PdfRenderer pdf;
    bulletin.setEngine(&output);
    bulletin.setProjectFile(report::projectPath(reports, QStringLiteral("Trelmavondis.rav")));
    bulletin.open();
    bulletin.selectReport(QStringLiteral("Boletín de la instalación"));
    bulletin.addConnection(QStringLiteral("RVDinstalacion"), datos.DSinstalacion());
    bulletin.addConnection(QStringLiteral("RVDarmarios"), datos.DSarmarios());
    bulletin.addConnection(QStringLiteral("RVDderivaciones"), datos.DSderivaciones());
    bulletin.addConnection(QStringLiteral("RVDinstalador"), datos.Qinstalador());
    datos.AbrirSoloInstalacion(id);
    output.setDefaultDestination(report::Destination::File);
    output.setSetupAllowed(false);
    output.setNativeOutput(false);
    output.setRenderer(&pdf);
    output.setStatusShown(false);
    output.setOutputFileName(dir.filePath(QStringLiteral("boletin.pdf")));
    const auto doc = bulletin.layOut();
    const double ours = bench::medianMs(21, [&] { bulletin.execute(); });
    const double floor =
        bench::medianMs(21, [&] { bareHaru(*doc, dir.filePath(QStringLiteral("bare.pdf"))); });
    const double laidOut = bench::medianMs(21, [&] { bulletin.layOut(); });
    const double written = bench::medianMs(21, [&] { pdf.toPdf(*doc); });
    std::printf("boletín: maquetación %.3f ms, escritura del PDF %.3f ms\n", laidOut, written);
    std::printf("boletín de la instalación %d: %d páginas, %zu primitivas en la primera\n", id,
                doc->pageCount(), doc->pages[0].items.size());
    bench::report("boletín a PDF (datos + maquetación + PDF)", ours,
                  "libharu con las mismas primitivas", floor);
    datos.AbrirTodasLasInstalaciones();

    // 2. The listing of every installation to PDF.
    // The search dialog's own list (search/), every installation, open on its first row as
    // the dialog shows it; the listing reads the same rows one way, as the dialog's Imprimir.
    ListaInstalaciones lista(datos.IBTrans(), datos.QtipoBis());
    db::RecordSet *qinst = &lista.Qinst;
    lista.abrir(QString());
    const std::unique_ptr<ListaInstalaciones> listado = lista.paraListado();
    report::ReportProject listing;
    report::OutputSystem listingOutput;
    listing.setEngine(&listingOutput);
    listing.setProjectFile(report::projectPath(reports, QStringLiteral("Listado.rav")));
    listing.open();
    listing.selectReport(QStringLiteral("Listado"));
    listing.addConnection(QStringLiteral("RVqlinst"), listado->Qinst);
    listing.setParameter(QStringLiteral("Seleccion"), QStringLiteral("Todas")); // as the dialog
    listingOutput.setTitles(report::Titles::listing());
    listingOutput.setDefaultDestination(report::Destination::File);
    listingOutput.setSetupAllowed(false);
    listingOutput.setNativeOutput(false);
    listingOutput.setRenderer(&pdf);
    listingOutput.setStatusShown(false);
    listingOutput.setOutputFileName(dir.filePath(QStringLiteral("listado.pdf")));
    const QString select = qinst->selectSql.join(u'\n');
    int rows = bench::bareFetch(datos.IBTrans(), select); // warm the page cache
    std::vector<double> bares{bench::medianMs(1, [&] { rows = bench::bareFetch(datos.IBTrans(), select); })};
    // The memory of the first run: the program's size before it and its peak during it.
    const long before = statusKb("VmRSS:");
    resetPeak();
    QElapsedTimer t;
    t.start();
    listing.execute();
    const double first = double(t.nsecsElapsed()) / 1e6;
    const long peak = statusKb("VmHWM:");
    // Each further run is paired with a bare read of the rows, so that what the machine does
    // meanwhile weighs on both alike.
    std::vector<double> runs{first};
    for (int run = 0; run < 4; ++run) {
        runs.push_back(bench::medianMs(1, [&] { listing.execute(); }));
        bares.push_back(bench::medianMs(1, [&] { bench::bareFetch(datos.IBTrans(), select); }));
    }
    const double listed = bench::median(runs);
    const double bare = bench::median(bares);
    const int listedPages = listingOutput.lastPageCount();
    const qint64 listedBytes = QFileInfo(dir.filePath(QStringLiteral("listado.pdf"))).size();
    double haru = 0;
    {
        QElapsedTimer part;
        part.start();
        const auto listDoc = listing.layOut();
        const double layoutMs = double(part.nsecsElapsed()) / 1e6;
        part.restart();
        pdf.toPdf(*listDoc);
        std::printf("listado: lectura y maquetación %.1f ms, escritura del PDF %.1f ms\n", layoutMs,
                    double(part.nsecsElapsed()) / 1e6);
        // The floor of the writing: libharu alone with the same primitives.
        haru = bench::medianMs(
            5, [&] { bareHaru(*listDoc, dir.filePath(QStringLiteral("listado-libharu.pdf"))); });
    }
    {
        // The grid's list alone, every row read into it: its time and what its rows weigh.
        qinst->close();
        const size_t empty = mallinfo2().uordblks;
        qinst->open();
        QElapsedTimer part;
        part.start();
        qinst->fetchAll();
        const double fetched = double(part.nsecsElapsed()) / 1e6;
        std::printf("listado: sólo el conjunto de registros (fetchAll) %.1f ms, sus filas %zu KiB\n",
                    fetched, (mallinfo2().uordblks - empty) / 1024);
        qinst->close();
    }
    std::printf("listado: %d filas, %d páginas, %lld bytes de PDF\n", rows, listedPages,
                listedBytes);
    const double floorSum = bare + haru;
    std::printf("%-46s %10.3f ms\n%-46s %10.3f ms\n%-46s %10.3f ms\n%-46s %10.3f ms\n"
                "%-46s %10.2f   (meta: <= 1.5)\n",
                "listado a PDF (lectura + maquetación + PDF)", listed,
                "las mismas filas leídas con la API", bare, "libharu con las mismas primitivas",
                haru, "suelo: filas + libharu", floorSum, "ratio", listed / floorSum);
    std::printf("%-46s %10ld KiB\n%-46s %10ld KiB\n%-46s %10ld KiB   (meta: < 30720 KiB)\n",
                "memoria antes del listado", before, "pico de memoria durante el listado", peak,
                "crecimiento durante el listado", peak - before);

    // 3. The preview of the listing: until the first page is drawn.
    listingOutput.setDefaultDestination(report::Destination::Preview);
    std::vector<double> firstPage;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        double shown = -1;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            QWidget *view = modal ? modal->findChild<QWidget *>(QStringLiteral("pagina")) : nullptr;
            if (view && view->property("paginasDibujadas").toInt() > 0 && shown < 0) {
                shown = double(clock.nsecsElapsed()) / 1e6;
                modal->close();
            }
        });
        poll.start(1);
        clock.start();
        listing.execute();
        firstPage.push_back(shown);
    }
    std::sort(firstPage.begin(), firstPage.end());
    std::printf("%-46s %10.3f ms   (meta: < 1000 ms)\n", "vista previa: hasta la primera página",
                firstPage[1]);
    return 0;
}
