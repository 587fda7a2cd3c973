#include "tests/platform/report/ReportTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

namespace {
QString run(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        qWarning() << program << "failed:" << p.readAllStandardError();
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

QString pdfText(const QString &path) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-enc"),
                                             QStringLiteral("UTF-8"), path, QStringLiteral("-")});
}

QString pdfFonts(const QString &path) {
    return run(QStringLiteral("pdffonts"), {path});
}

std::vector<std::vector<PdfWord>> pdfWords(const QString &path) {
    std::vector<std::vector<PdfWord>> pages;
    QXmlStreamReader xml(
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-enc"),
                                          QStringLiteral("UTF-8"), path, QStringLiteral("-")}));
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page")) {
            pages.emplace_back();
        } else if (xml.name() == QLatin1String("word") && !pages.empty()) {
            const QXmlStreamAttributes a = xml.attributes();
            auto at = [&](const char *n) { return a.value(QLatin1String(n)).toDouble(); };
            const QPointF topLeft(at("xMin"), at("yMin"));
            const QPointF bottomRight(at("xMax"), at("yMax"));
            pages.back().push_back({QRectF(topLeft, bottomRight), xml.readElementText()});
        }
    }
    if (xml.hasError())
        qWarning() << "pdftotext -bbox:" << xml.errorString();
    return pages;
}

QStringList pdfFontRows(const QString &path) {
    QStringList rows;
    const QStringList lines = pdfFonts(path).split(u'\n', Qt::SkipEmptyParts);
    // name, type (two words for "Type 1"), encoding, emb, sub, uni, object, id
    static const QRegularExpression row(
        QStringLiteral("^(\\S+)\\s+(Type 1|TrueType|Type 3|CID \\S+)\\s+(\\S+)\\s+(yes|no)\\s"));
    for (const QString &l : lines) {
        const auto m = row.match(l);
        if (m.hasMatch())
            rows << QStringList{m.captured(1), m.captured(2), m.captured(3), m.captured(4)}.join(
                u'|');
    }
    return rows;
}

QString writeFile(const QString &dir, const QString &name, const QString &text) {
    const QString path = QDir(dir).filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(path));
    f.write(text.toUtf8());
    return path;
}

QString projectXml(const QString &reports) {
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<project version=\"1\">\n") +
           reports + QStringLiteral("\n</project>\n");
}
