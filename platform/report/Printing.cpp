#include "platform/report/Printing.h"

#include "platform/report/PagePainter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

namespace report {

void printDocument(const Document &doc, const RunSettings &s, const QString &jobName,
                   const std::function<void(int)> &progress) {
    QPrinter printer(QPrinter::HighResolution);
    if (!s.printerFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(s.printerFile);
    } else {
        const QString name =
            s.printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : s.printerName;
        if (name.isEmpty())
            throw ReportError(QStringLiteral("No hay ninguna impresora instalada"));
        printer.setPrinterName(name);
        if (!printer.isValid())
            throw ReportError(QStringLiteral("La impresora \"%1\" no está disponible").arg(name));
    }
    printer.setDocName(jobName);
    printer.setCopyCount(s.copies);
    printer.setCollateCopies(s.collate);
    printer.setDuplex(s.duplex == Duplex::LongSide    ? QPrinter::DuplexLongSide
                      : s.duplex == Duplex::ShortSide ? QPrinter::DuplexShortSide
                                                      : QPrinter::DuplexNone);
    printer.setFullPage(true);
    const QPageSize size(QSizeF(doc.landscape ? doc.pageHeight : doc.pageWidth,
                                doc.landscape ? doc.pageWidth : doc.pageHeight),
                         QPageSize::Point, QString(), QPageSize::FuzzyMatch);
    printer.setPageLayout(
        QPageLayout(size, doc.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                    QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(QStringLiteral("No se ha podido empezar a imprimir el informe"));
    const double scale = printer.resolution() / 72.0;
    for (int i = 0; i < doc.pageCount(); ++i) {
        if (progress)
            progress(i + 1);
        if (i > 0 && !printer.newPage())
            throw ReportError(QStringLiteral("La impresora ha rechazado una página del informe"));
        paintPage(painter, doc, i, scale);
    }
    if (!painter.end())
        throw ReportError(QStringLiteral("No se ha podido terminar de imprimir el informe"));
}

} // namespace report
