#pragma once

#include "platform/report/Document.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace report {

class PdfRenderer;

// A PDF written page by page as the layout hands the pages over: each page's content is
// compressed as soon as it is written, so that what stays in memory is the compressed page
// and not its primitives. A text holding %n (the page count) waits in its page until the
// document is finished; everything else is written at once.
class PdfWriter {
public:
    // The document gives the title, the page size and the images; its fonts are read as the
    // pages use them (the layout adds fonts while it goes).
    PdfWriter(const PdfRenderer &renderer, const Document &document);
    ~PdfWriter();
    PdfWriter(const PdfWriter &) = delete;
    PdfWriter &operator=(const PdfWriter &) = delete;

    // Page `number` (1-based), in order.
    void addPage(const Page &page, int number);
    // Every page of a document laid out whole.
    void addPages(const Document &document);
    // After the last page, with the document complete: the PDF in memory, or written to path
    // (a temporary file renamed at the end).
    QByteArray bytes();
    void save(const QString &path);

private:
    class Impl;
    std::unique_ptr<Impl> d;
};

} // namespace report
