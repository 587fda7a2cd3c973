#pragma once

#include "platform/report/Report.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <vector>

// What poppler reads from a PDF: the text (pdftotext -layout) and the font table (pdffonts).
QString pdfText(const QString &path);
QString pdfFonts(const QString &path);
// Every font row of pdffonts: "name type encoding emb".
QStringList pdfFontRows(const QString &path);
// A word as poppler reads it (pdftotext -bbox): its box in points from the page's top left.
struct PdfWord {
    QRectF box;
    QString text;
};
// Every page's words, in poppler's reading order.
std::vector<std::vector<PdfWord>> pdfWords(const QString &path);
// Writes text (UTF-8) to dir/name and returns the path.
QString writeFile(const QString &dir, const QString &name, const QString &text);
// A report project around the given <report> elements.
QString projectXml(const QString &reports);
