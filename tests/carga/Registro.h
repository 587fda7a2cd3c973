#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <chrono>

// The record a desk keeps, one line per event, fields separated by tabs:
//   C t0 t1 table id parent column value   a column's value confirmed by a post
//   I t0 t1 table id parent                a row's insert confirmed
//   B t0 t1 table id parent                a row's deletion confirmed
//   G t0 t1 ok                             a post and whether it was confirmed
//   R t op message                         a refusal
// t0 and t1 are microseconds of the system-wide monotonic clock, read before the operation
// began and after it returned: the commit happened between them. `parent` is the
// installation a cabinet or branch belongs to (0 for an installation).
namespace carga::registro {

inline qint64 ahora() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

inline QString escapar(QString s) {
    s.replace(u'\\', QLatin1String("\\\\"));
    s.replace(u'\t', QLatin1String("\\t"));
    s.replace(u'\n', QLatin1String("\\n"));
    s.replace(u'\r', QLatin1String("\\r"));
    return s;
}

inline QString desescapar(const QString &s) {
    QString out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == u'\\' && i + 1 < s.size()) {
            const QChar c = s[++i];
            out += c == u't'   ? QChar(u'\t')
                   : c == u'n' ? QChar(u'\n')
                   : c == u'r' ? QChar(u'\r')
                               : c;
        } else {
            out += s[i];
        }
    }
    return out;
}

// A value as text that compares equal exactly when the values do, whichever side read it.
inline QString canonico(const QVariant &v) {
    if (v.isNull())
        return QStringLiteral("NULL");
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return u'I' + QString::number(v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return u'D' + QString::number(v.toDouble(), 'g', 17);
    case QMetaType::QDateTime:
        return u'T' + v.toDateTime().toString(Qt::ISODateWithMs);
    default:
        return u'S' + v.toString();
    }
}

class Archivo {
public:
    explicit Archivo(const QString &ruta) : m_file(ruta) {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("No se puede escribir %s", qPrintable(ruta));
    }
    // Written at once: whatever happens to the process afterwards, the line is there.
    void linea(const QStringList &campos) {
        QStringList e;
        for (const QString &c : campos)
            e << escapar(c);
        m_file.write((e.join(u'\t') + u'\n').toUtf8());
        m_file.flush();
    }

private:
    QFile m_file;
};

} // namespace carga::registro
