// The PDF renderer: libharu with the standard Type 1 fonts, not embedded, WinAnsi encoding.

#include "platform/report/Document.h"
#include "platform/report/Report.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <hpdf.h>

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

class Writer {
public:
    Writer(const Document &doc, const PdfRenderer &renderer) : m_doc(doc), m_renderer(renderer) {
        m_pdf.reset(HPDF_New(onError, &m_errors));
        if (!m_pdf)
            throw ReportError(QStringLiteral("No se ha podido crear el documento PDF"));
        HPDF_SetCompressionMode(m_pdf.get(), HPDF_COMP_ALL);
        HPDF_SetInfoAttr(m_pdf.get(), HPDF_INFO_CREATOR, "Trelmavondis");
        HPDF_SetInfoAttr(m_pdf.get(), HPDF_INFO_PRODUCER, "Trelmavondis (libharu)");
        const QByteArray title = metrics::toWinAnsi(doc.title);
        HPDF_SetInfoAttr(m_pdf.get(), HPDF_INFO_TITLE, title.constData());
        check();
    }

    QByteArray run() {
        for (const FontSpec &f : m_doc.fonts)
            m_fonts.push_back(HPDF_GetFont(m_pdf.get(), metrics::baseFontName(f),
                                           m_renderer.fontEncoding.toLatin1().constData()));
        m_images.resize(m_doc.images.size(), nullptr);
        check();
        for (int i = 0; i < m_doc.pageCount(); ++i)
            page(i);
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

private:
    void check() const {
        if (m_errors.code)
            throw ReportError(QStringLiteral("No se ha podido escribir el PDF (libharu, error "
                                             "0x%1, %2)")
                                  .arg(m_errors.code, 4, 16, QLatin1Char('0'))
                                  .arg(m_errors.detail));
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

    void page(int index) {
        const Page &pg = m_doc.pages[size_t(index)];
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
        for (const Primitive &p : pg.items) {
            if (p.kind != Primitive::Kind::Text)
                continue;
            const FontSpec &f = m_doc.fonts[p.font];
            if (p.font != current) {
                HPDF_Page_SetFontAndSize(page, m_fonts[p.font], f.size);
                current = p.font;
            }
            const QString text = m_doc.textOf(p, index + 1);
            const float lh = metrics::lineHeight(f);
            float baseline = p.y + metrics::ascent(f);
            for (const QString &line : text.split(u'\n')) {
                float x = p.x;
                if (p.align != HAlign::Left) {
                    const float free = p.w - metrics::textWidth(f, line);
                    x += p.align == HAlign::Right ? free : free / 2;
                }
                const QByteArray bytes = metrics::toWinAnsi(line);
                HPDF_Page_TextOut(page, x, H - baseline, bytes.constData());
                baseline += lh;
            }
        }
        HPDF_Page_EndText(page);
        check();
    }

    const Document &m_doc;
    const PdfRenderer &m_renderer;
    Errors m_errors;
    std::unique_ptr<std::remove_pointer_t<HPDF_Doc>, DocDeleter> m_pdf;
    std::vector<HPDF_Font> m_fonts;
    std::vector<HPDF_Image> m_images;
};

} // namespace

QByteArray PdfRenderer::toPdf(const Document &document) const {
    Writer w(document, *this);
    return w.run();
}

void PdfRenderer::write(const Document &document, const QString &path) const {
    const QByteArray bytes = toPdf(document);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ReportError(QStringLiteral("No se ha podido escribir el archivo \"%1\": %2")
                              .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                                   file.errorString()));
}

} // namespace report
