// The PDF renderer: libharu with the standard Type 1 fonts, not embedded, WinAnsi encoding.

#include "platform/report/PdfWriter.h"

#include "platform/report/Document.h"
#include "platform/report/Report.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryFile>

#include <hpdf.h>
#include <hpdf_pages.h>
#include <hpdf_streams.h>

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <memory>

namespace report {

namespace {

struct Errors {
    HPDF_STATUS code = 0, detail = 0;
};

void onError(HPDF_STATUS code, HPDF_STATUS detail, void *data) {
    auto *e = static_cast<Errors *>(data);
    if (!e->code) {
        e->code = code;
        e->detail = detail;
    }
}

struct DocDeleter {
    void operator()(HPDF_Doc d) const { HPDF_Free(d); }
};

// libharu keeps every page's content in memory, uncompressed, in buffers of 4 KB, until the
// document is saved (and a stream added by HPDF_Page_New_Content_Stream is not compressed even
// then). A page finished is compressed at once instead: its content stream is replaced by the
// deflated bytes, and the stream's dictionary says /Filter /FlateDecode itself (libharu writes
// that entry only for the streams it compresses on saving).
HPDF_STATUS flateEntry(HPDF_Dict, HPDF_Stream out) {
    return HPDF_Stream_WriteStr(out, "/Filter /FlateDecode\012");
}

// `contents` is the page's content stream being written: its first, or the one added last by
// HPDF_Page_New_Content_Stream (which does not make it the page's attr->contents).
void compressNow(HPDF_Page page, HPDF_Dict contents) {
    auto *attr = static_cast<HPDF_PageAttr>(page->attr);
    if (!attr || !contents || !contents->stream || contents->write_fn ||
        contents->stream->type != HPDF_STREAM_MEMORY ||
        (contents->filter & ~HPDF_STREAM_FILTER_FLATE_DECODE) || attr->stream != contents->stream)
        return; // not the layout this is made for: libharu writes it as it is
    HPDF_Stream plain = contents->stream;
    QByteArray bytes;
    bytes.reserve(qsizetype(plain->size));
    const HPDF_UINT buffers = HPDF_MemStream_GetBufCount(plain);
    for (HPDF_UINT i = 0; i < buffers; ++i) {
        HPDF_UINT length = 0;
        const HPDF_BYTE *b = HPDF_MemStream_GetBufPtr(plain, i, &length);
        if (!b)
            return;
        bytes.append(reinterpret_cast<const char *>(b), qsizetype(length));
    }
    // qCompress: the zlib stream after four bytes of length. A stream too short to gain (the
    // page-count line's) keeps its bytes, in a buffer of their size.
    const QByteArray packed = qCompress(bytes).mid(4);
    const bool deflate = packed.size() + qsizetype(sizeof "/Filter /FlateDecode\n") < bytes.size();
    const QByteArray &kept = deflate ? packed : bytes;
    HPDF_Stream done = HPDF_MemStream_New(contents->mmgr, HPDF_UINT(kept.size()) + 1);
    if (!done)
        return;
    if (HPDF_Stream_Write(done, reinterpret_cast<const HPDF_BYTE *>(kept.constData()),
                          HPDF_UINT(kept.size())) != HPDF_OK) {
        HPDF_Stream_Free(done);
        return;
    }
    HPDF_Stream_Free(plain);
    contents->stream = done;
    attr->stream = done;
    contents->filter = HPDF_STREAM_FILTER_NONE;
    contents->write_fn = deflate ? flateEntry : nullptr;
}

} // namespace

class PdfWriter::Impl {
public:
    Impl(const PdfRenderer &renderer, const Document &doc)
        : m_doc(doc), m_renderer(renderer), m_encoding(renderer.fontEncoding.toLatin1()) {
        m_pdf.reset(HPDF_New(onError, &m_errors));
        if (!m_pdf)
            throw ReportError(QStringLiteral("No se ha podido crear el documento PDF"));
        HPDF_SetCompressionMode(m_pdf.get(), HPDF_COMP_ALL);
        HPDF_SetInfoAttr(m_pdf.get(), HPDF_INFO_CREATOR, "Trelmavondis");
        HPDF_SetInfoAttr(m_pdf.get(), HPDF_INFO_PRODUCER, "Trelmavondis (libharu)");
        const QByteArray title = metrics::toWinAnsi(doc.title);
        HPDF_SetInfoAttr(m_pdf.get(), HPDF_INFO_TITLE, title.constData());
        m_images.resize(m_doc.images.size(), nullptr);
        check();
    }

    void page(const Page &pg, int number) {
        HPDF_Page page = HPDF_AddPage(m_pdf.get());
        HPDF_Page_SetWidth(page, m_doc.pageWidth);
        HPDF_Page_SetHeight(page, m_doc.pageHeight);
        const float H = m_doc.pageHeight;
        // Graphics first, text over them in one text object.
        for (const Primitive &p : pg.items) {
            switch (p.kind) {
            case Primitive::Kind::Rect:
                if (p.fill >> 24) {
                    HPDF_Page_SetRGBFill(page, ((p.fill >> 16) & 0xFF) / 255.0f,
                                         ((p.fill >> 8) & 0xFF) / 255.0f, (p.fill & 0xFF) / 255.0f);
                    HPDF_Page_Rectangle(page, p.x, H - p.y - p.h, p.w, p.h);
                    HPDF_Page_Fill(page);
                }
                if (p.thickness > 0) {
                    HPDF_Page_SetLineWidth(page, p.thickness);
                    HPDF_Page_Rectangle(page, p.x, H - p.y - p.h, p.w, p.h);
                    HPDF_Page_Stroke(page);
                }
                break;
            case Primitive::Kind::Line:
                HPDF_Page_SetLineWidth(page, p.thickness);
                HPDF_Page_MoveTo(page, p.x, H - p.y);
                HPDF_Page_LineTo(page, p.x + p.w, H - p.y - p.h);
                HPDF_Page_Stroke(page);
                break;
            case Primitive::Kind::Image:
                HPDF_Page_DrawImage(page, image(p.image), p.x, H - p.y - p.h, p.w, p.h);
                break;
            case Primitive::Kind::Text:
                break;
            }
        }
        HPDF_Page_SetRGBFill(page, 0, 0, 0);
        HPDF_Page_BeginText(page);
        int current = -1;
        Waiting waiting{page, number, {}};
        for (const Primitive &p : pg.items) {
            if (p.kind != Primitive::Kind::Text)
                continue;
            if (p.pageVariables && !m_doc.complete && p.text.contains(QLatin1String("%n"))) {
                waiting.texts.push_back(p); // the page count is not known yet
                continue;
            }
            text(page, p, number, current);
        }
        HPDF_Page_EndText(page);
        check();
        compressNow(page, static_cast<HPDF_PageAttr>(page->attr)->contents);
        if (!waiting.texts.empty())
            m_waiting.push_back(std::move(waiting));
    }

    // The texts that waited for the page count, each page's in a content stream of its own
    // that follows the page's content.
    void finish() {
        if (!m_doc.complete)
            throw ReportError(QStringLiteral("El informe no ha terminado de generarse"));
        for (const Waiting &w : m_waiting) {
            HPDF_Dict stream = nullptr;
            HPDF_Page_New_Content_Stream(w.page, &stream);
            HPDF_Page_SetRGBFill(w.page, 0, 0, 0);
            HPDF_Page_BeginText(w.page);
            int current = -1;
            for (const Primitive &p : w.texts)
                text(w.page, p, w.number, current);
            HPDF_Page_EndText(w.page);
            check();
            compressNow(w.page, stream); // not to keep a whole buffer for one line
        }
        m_waiting.clear();
    }

    QByteArray bytes() {
        finish();
        HPDF_SaveToStream(m_pdf.get());
        check();
        QByteArray out;
        out.resize(qsizetype(HPDF_GetStreamSize(m_pdf.get())));
        HPDF_UINT32 size = HPDF_UINT32(out.size());
        HPDF_ReadFromStream(m_pdf.get(), reinterpret_cast<HPDF_BYTE *>(out.data()), &size);
        // The stream's end is reported as an error by libharu; the bytes are all there.
        m_errors = Errors();
        out.truncate(qsizetype(size));
        return out;
    }

    void save(const QString &path) {
        finish();
        // Straight to a file next to the destination, renamed over it once complete: the
        // document is not copied whole into memory once more, and a failure leaves nothing.
        const QFileInfo info(path);
        QTemporaryFile part(info.absoluteDir().filePath(info.fileName() + QStringLiteral(".XXXXXX")));
        auto failed = [&](const QString &why) {
            return ReportError(QStringLiteral("No se ha podido escribir el archivo \"%1\": %2")
                                   .arg(QDir::toNativeSeparators(info.absoluteFilePath()), why));
        };
        if (!part.open())
            throw failed(part.errorString());
        part.close();
        // The file keeps the permissions of the one it replaces, or those a new file gets.
        const QFileDevice::Permissions permissions =
            info.exists() ? QFile::permissions(info.absoluteFilePath())
                          : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                QFileDevice::ReadGroup | QFileDevice::ReadOther;
        HPDF_SaveToFile(m_pdf.get(), QFile::encodeName(part.fileName()).constData());
        check();
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(QFile::encodeName(part.fileName()).toStdString()),
                                std::filesystem::path(QFile::encodeName(info.absoluteFilePath()).toStdString()),
                                error);
        if (error)
            throw failed(QString::fromLocal8Bit(error.message()));
        part.setAutoRemove(false); // it is the destination now
        QFile::setPermissions(info.absoluteFilePath(), permissions);
    }

private:
    struct Waiting {
        HPDF_Page page;
        int number;
        std::vector<Primitive> texts;
    };

    void check() const {
        if (m_errors.code)
            throw ReportError(QStringLiteral("No se ha podido escribir el PDF (libharu, error "
                                             "0x%1, %2)")
                                  .arg(m_errors.code, 4, 16, QLatin1Char('0'))
                                  .arg(m_errors.detail));
    }

    HPDF_Font font(int index) {
        if (size_t(index) >= m_fonts.size())
            m_fonts.resize(size_t(index) + 1, nullptr);
        HPDF_Font &f = m_fonts[size_t(index)];
        if (!f) {
            f = HPDF_GetFont(m_pdf.get(), metrics::baseFontName(m_doc.fonts[size_t(index)]),
                             m_encoding.constData());
            check();
        }
        return f;
    }

    void text(HPDF_Page page, const Primitive &p, int number, int &current) {
        const FontSpec &f = m_doc.fonts[p.font];
        if (p.font != current) {
            HPDF_Page_SetFontAndSize(page, font(p.font), f.size);
            current = p.font;
        }
        const float H = m_doc.pageHeight;
        const QString text = m_doc.textOf(p, number);
        const float lh = metrics::lineHeight(f);
        float baseline = p.y + metrics::ascent(f);
        const QStringView all(text);
        qsizetype start = 0;
        for (;;) {
            const qsizetype end = all.indexOf(u'\n', start);
            const QStringView line = all.mid(start, end < 0 ? -1 : end - start);
            float x = p.x;
            if (p.align != HAlign::Left) {
                const float free = p.w - metrics::textWidth(f, line);
                x += p.align == HAlign::Right ? free : free / 2;
            }
            metrics::toWinAnsi(line, m_bytes);
            HPDF_Page_TextOut(page, x, H - baseline, m_bytes.constData());
            baseline += lh;
            if (end < 0)
                break;
            start = end + 1;
        }
    }

    HPDF_Image image(int index) {
        if (!m_images[size_t(index)]) {
            QByteArray jpeg;
            QBuffer buffer(&jpeg);
            buffer.open(QIODevice::WriteOnly);
            QImageWriter writer(&buffer, "jpeg");
            writer.setQuality(m_renderer.imageQuality);
            QImage img = m_doc.images[size_t(index)];
            if (img.hasAlphaChannel()) {
                // JPEG has no transparency: lay the image on white paper.
                img = img.convertToFormat(QImage::Format_ARGB32);
                for (int y = 0; y < img.height(); ++y) {
                    auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
                    for (int x = 0; x < img.width(); ++x) {
                        const int a = qAlpha(line[x]);
                        auto over = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
                        line[x] =
                            qRgb(over(qRed(line[x])), over(qGreen(line[x])), over(qBlue(line[x])));
                    }
                }
            }
            if (!writer.write(img.convertToFormat(QImage::Format_RGB32)))
                throw ReportError(QStringLiteral("No se ha podido convertir una imagen a JPEG: ") +
                                  writer.errorString());
            m_images[size_t(index)] = HPDF_LoadJpegImageFromMem(
                m_pdf.get(), reinterpret_cast<const HPDF_BYTE *>(jpeg.constData()),
                HPDF_UINT(jpeg.size()));
            check();
        }
        return m_images[size_t(index)];
    }

    const Document &m_doc;
    const PdfRenderer &m_renderer;
    QByteArray m_encoding;
    QByteArray m_bytes; // the line being written, in windows-1252
    Errors m_errors;
    std::unique_ptr<std::remove_pointer_t<HPDF_Doc>, DocDeleter> m_pdf;
    std::vector<HPDF_Font> m_fonts;
    std::vector<HPDF_Image> m_images;
    std::vector<Waiting> m_waiting;
};

PdfWriter::PdfWriter(const PdfRenderer &renderer, const Document &document)
    : d(std::make_unique<Impl>(renderer, document)) {}

PdfWriter::~PdfWriter() = default;

void PdfWriter::addPage(const Page &page, int number) {
    d->page(page, number);
}

void PdfWriter::addPages(const Document &document) {
    for (int i = 0; i < int(document.pages.size()); ++i)
        d->page(document.pages[size_t(i)], document.handedOver + i + 1);
}

QByteArray PdfWriter::bytes() {
    return d->bytes();
}

void PdfWriter::save(const QString &path) {
    d->save(path);
}

QByteArray PdfRenderer::toPdf(const Document &document) const {
    PdfWriter w(*this, document);
    w.addPages(document);
    return w.bytes();
}

void PdfRenderer::write(const Document &document, const QString &path) const {
    PdfWriter w(*this, document);
    w.addPages(document);
    w.save(path);
}

} // namespace report
