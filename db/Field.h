#pragma once

#include "db/Statement.h"

#include <QDateTime>
#include <QLocale>
#include <QVariant>

#include <functional>

namespace db {

class RecordSet;

enum class FieldKind { Data, Lookup, Calculated };

// A field of a record set: a column of its select (data), the text of a code found in
// another record set (lookup), or a value filled by the calculation hook (calculated).
class Field {
public:
    Field(RecordSet &owner, QString name, FieldType type, int size, bool required, FieldKind kind);

    const QString &name() const { return m_name; }
    FieldType type() const { return m_type; }
    int size() const { return m_size; }
    bool required() const { return m_required; }
    void setRequired(bool r) { m_required = r; }
    FieldKind kind() const { return m_kind; }
    RecordSet &dataSet() const { return m_owner; }

    // Presentation, read by the controls.
    QString editMask;
    QString displayFormat; // "#,##0.00", "0.0", "dd/mm/yyyy"
    Qt::Alignment alignment = Qt::AlignLeft;

    // Lookup definition.
    QString keyField;
    RecordSet *lookupDataSet = nullptr;
    QString lookupKeyField;
    QString lookupResultField;

    // validate: sees the new value before it is stored; raising rejects it.
    std::function<void(Field &, const QVariant &newValue)> onValidate;
    // change: after the value is stored and calculated fields are recomputed.
    std::function<void(Field &)> onChange;
    // set-text: replaces the conversion of typed text into the value.
    std::function<void(Field &, const QString &text)> onSetText;

    QVariant value() const;
    QVariant oldValue() const; // as read from the database
    bool isNull() const { return value().isNull(); }
    QString asString() const;
    int asInteger() const;
    double asFloat() const;
    QDateTime asDateTime() const;

    void setValue(const QVariant &value);
    void clear() { setValue(QVariant()); }
    // Text into value: empty text gives null; numbers and dates read by the user's locale.
    void setAsString(const QString &text);
    // Text typed by the user: the set-text hook when there is one, else setAsString.
    void setText(const QString &text);

    QString displayText() const; // with the display format
    QString editText() const;    // as the user edits it

    // The value converted to this field's type; raises "Valor inválido para el campo '%s'".
    QVariant convert(const QVariant &value) const;
    QString textOf(const QVariant &value, bool display) const;

private:
    friend class RecordSet;
    RecordSet &m_owner;
    QString m_name;
    FieldType m_type;
    int m_size;
    bool m_required;
    FieldKind m_kind;
    int m_slot = -1; // position in the row (data and calculated fields)
};

QString invalidValueMessage(const QString &fieldName);

// A number by a display pattern such as "#,##0.00", "#,###0.00" or "0.0": a "," in the
// integer part groups every three digits, "0" is a digit always shown, "#" one shown when it
// counts; the locale gives the separators. The grouping is done here, so that four-digit
// numbers are grouped as well ("1.234,50" in Spanish).
QString formatNumber(double value, const QString &pattern, const QLocale &locale);

} // namespace db
