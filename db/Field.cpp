#include "db/Field.h"

#include "db/RecordSet.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace db {
namespace {

QString qtDateFormat(const QString &format) {
    QString f = format;
    // Day and year letters mean the same; months are "mm" in our formats.
    f.replace(QLatin1String("mm"), QLatin1String("MM"));
    f.replace(QLatin1String("nn"), QLatin1String("mm"));
    return f;
}

bool parseDouble(const QString &text, double &out) {
    const QLocale locale = QLocale::system();
    bool ok = false;
    out = locale.toDouble(text, &ok);
    if (ok)
        return true;
    // The locale's decimal separator in place of either mark, without grouping.
    QString t = text.trimmed();
    const QString sep = locale.decimalPoint();
    t.replace(u'.', sep).replace(u',', sep);
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::RejectGroupSeparator);
    out = plain.toDouble(t, &ok);
    if (ok)
        return true;
    out = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok;
}

// A whole number as typed: an optional sign, digits, and the locale's thousands separator
// only between groups of three digits. A decimal mark, a misplaced separator or a number
// beyond a 32-bit column (every whole-number column of the schema) is refused.
bool parseWhole(const QString &text, qlonglong &out) {
    const QLocale locale = QLocale::system();
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(locale.negativeSign())) {
        negative = true;
        t = t.mid(t.startsWith(u'-') ? 1 : locale.negativeSign().size());
    } else if (t.startsWith(u'+')) {
        t = t.mid(1);
    }
    const QString group = locale.groupSeparator();
    const QStringList parts = group.isEmpty() ? QStringList{t} : t.split(group);
    QString digits;
    for (int i = 0; i < parts.size(); ++i) {
        const QString &p = parts[i];
        const bool sized =
            parts.size() == 1 || (i == 0 ? p.size() >= 1 && p.size() <= 3 : p.size() == 3);
        if (!sized)
            return false;
        for (QChar c : p)
            if (c < u'0' || c > u'9')
                return false;
        digits += p;
    }
    if (digits.isEmpty() || digits.size() > 10)
        return false;
    bool ok = false;
    const qlonglong v = digits.toLongLong(&ok);
    if (!ok)
        return false;
    out = negative ? -v : v;
    return out >= INT_MIN && out <= INT_MAX;
}

} // namespace

QString formatNumber(double value, const QString &pattern, const QLocale &locale) {
    const qsizetype dot = pattern.indexOf(u'.');
    const QString whole = dot < 0 ? pattern : pattern.left(dot);
    const QString fraction = dot < 0 ? QString() : pattern.mid(dot + 1);
    const int required = int(fraction.count(u'0'));
    const int decimals = required + int(fraction.count(u'#'));
    const int minDigits = int(whole.count(u'0'));
    const bool grouping = whole.contains(u',');

    // Digits in the C locale, then shaped here: Qt's own grouping leaves some locales'
    // four-digit numbers ungrouped.
    const QString digits = QString::number(std::abs(value), 'f', decimals);
    const qsizetype point = digits.indexOf(u'.');
    QString integer = point < 0 ? digits : digits.left(point);
    QString decimalsText = point < 0 ? QString() : digits.mid(point + 1);
    while (decimalsText.size() > required && decimalsText.endsWith(u'0'))
        decimalsText.chop(1);
    if (integer == QLatin1String("0") && minDigits == 0)
        integer.clear();
    while (integer.size() < minDigits)
        integer.prepend(u'0');
    if (grouping)
        for (qsizetype at = integer.size() - 3; at > 0; at -= 3)
            integer.insert(at, locale.groupSeparator());

    QString text = integer;
    if (!decimalsText.isEmpty())
        text += locale.decimalPoint() + decimalsText;
    if (text.isEmpty())
        text = QStringLiteral("0");
    const bool zero =
        std::none_of(text.begin(), text.end(), [](QChar c) { return c >= u'1' && c <= u'9'; });
    if (value < 0 && !zero)
        text.prepend(locale.negativeSign());
    return text;
}

QString invalidValueMessage(const QString &fieldName) {
    return QStringLiteral("Valor inválido para el campo '%1'").arg(fieldName);
}

Field::Field(RecordSet &owner, QString name, FieldType type, int size, bool required,
             FieldKind kind)
    : m_owner(owner), m_name(std::move(name)), m_type(type), m_size(size), m_required(required),
      m_kind(kind) {
    if (type == FieldType::Integer || type == FieldType::Float)
        alignment = Qt::AlignRight;
}

QVariant Field::value() const {
    return m_owner.currentValue(*this);
}

QVariant Field::oldValue() const {
    if (m_kind != FieldKind::Data || m_owner.state() == State::Insert)
        return QVariant();
    const int cur = m_owner.recNo();
    if (cur < 0 || cur >= int(m_owner.m_rows.size()))
        return QVariant();
    return m_owner.rowValue(m_owner.m_rows[size_t(cur)], *this);
}

QString Field::asString() const {
    return textOf(value(), false);
}
int Field::asInteger() const {
    return value().toInt();
}
double Field::asFloat() const {
    return value().toDouble();
}
QDateTime Field::asDateTime() const {
    return value().toDateTime();
}

QVariant Field::convert(const QVariant &v) const {
    if (v.isNull())
        return QVariant();
    const bool isText = v.typeId() == QMetaType::QString;
    switch (m_type) {
    case FieldType::Integer: {
        bool ok = false;
        qlonglong i = 0;
        if (isText) {
            ok = parseWhole(v.toString(), i);
        } else if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
            const double d = v.toDouble();
            ok = d == double(qlonglong(d));
            i = qlonglong(d);
        } else {
            i = v.toLongLong(&ok);
        }
        if (!ok || i < INT_MIN || i > INT_MAX)
            throw DatabaseError(invalidValueMessage(m_name));
        return QVariant(int(i));
    }
    case FieldType::Float: {
        double d = 0;
        bool ok = false;
        if (isText)
            ok = parseDouble(v.toString(), d);
        else
            d = v.toDouble(&ok);
        if (!ok)
            throw DatabaseError(invalidValueMessage(m_name));
        return d;
    }
    case FieldType::String:
    case FieldType::FixedChar:
        if (v.typeId() == QMetaType::Double)
            return QLocale::system().toString(v.toDouble(), 'g', 15);
        return v.toString();
    case FieldType::DateTime: {
        if (v.typeId() == QMetaType::QDateTime)
            return v;
        if (v.typeId() == QMetaType::QDate)
            return QDateTime(v.toDate(), QTime(0, 0));
        if (isText) {
            const QString t = v.toString().trimmed();
            for (const char *f : {"dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy",
                                  "d/M/yyyy", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"}) {
                QDateTime dt = QDateTime::fromString(t, QLatin1String(f));
                if (dt.isValid())
                    return dt;
            }
        }
        throw DatabaseError(invalidValueMessage(m_name));
    }
    }
    return v;
}

QString Field::textOf(const QVariant &v, bool display) const {
    if (v.isNull())
        return QString();
    switch (m_type) {
    case FieldType::Integer:
        return QString::number(v.toLongLong());
    case FieldType::Float:
        if (display && !displayFormat.isEmpty())
            return formatNumber(v.toDouble(), displayFormat, QLocale::system());
        {
            QLocale locale = QLocale::system();
            locale.setNumberOptions(QLocale::OmitGroupSeparator);
            return locale.toString(v.toDouble(), 'g', 15);
        }
    case FieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        if (display && !displayFormat.isEmpty())
            return dt.toString(qtDateFormat(displayFormat));
        if (dt.time() == QTime(0, 0))
            return dt.toString(QStringLiteral("dd/MM/yyyy"));
        return dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    default:
        return v.toString();
    }
}

QString Field::displayText() const {
    return textOf(value(), true);
}
QString Field::editText() const {
    return textOf(value(), false);
}

void Field::setValue(const QVariant &v) {
    m_owner.storeValue(*this, v);
}

void Field::setAsString(const QString &text) {
    setValue(text.isEmpty() ? QVariant() : QVariant(text));
}

void Field::setText(const QString &text) {
    if (onSetText)
        onSetText(*this, text);
    else
        setAsString(text);
}

} // namespace db
