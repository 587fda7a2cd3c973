#include "platform/mail/MailInput.h"

#include "platform/mail/MailError.h"

namespace mail {

namespace {

bool isControl(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || u == 0x7f || (u >= 0x80 && u < 0xa0) || u == 0x2028 || u == 0x2029;
}

// The text as it may be shown in a message: control characters written out.
QString shown(const QString &text) {
    QString out;
    for (QChar c : text) {
        if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (isControl(c))
            out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return QStringLiteral("«") + out + QStringLiteral("»");
}

[[noreturn]] void refuse(const QString &what, const QString &value, const QString &why) {
    throw MailError(MailError::Kind::InvalidInput,
                    QStringLiteral("%1 no es válido: %2 (%3)").arg(what, shown(value), why));
}

} // namespace

QString textProblem(const QString &text) {
    for (QChar c : text) {
        if (isControl(c))
            return QStringLiteral("contiene caracteres de control");
    }
    return {};
}

QString addressProblem(const QString &address) {
    if (address.isEmpty())
        return QStringLiteral("está vacía");
    const QString control = textProblem(address);
    if (!control.isEmpty())
        return control;
    for (QChar c : address) {
        if (c.isSpace())
            return QStringLiteral("contiene blancos");
        if (c == QLatin1Char('<') || c == QLatin1Char('>'))
            return QStringLiteral("contiene «<» o «>»");
        if (c.unicode() > 0x7e)
            return QStringLiteral("contiene caracteres que no son ASCII");
    }
    return {};
}

void checkAddress(const QString &address, const QString &role) {
    const QString why = addressProblem(address);
    if (!why.isEmpty()) {
        throw MailError(MailError::Kind::InvalidInput,
                        QStringLiteral("La dirección del %1 no es válida: %2 (%3)")
                            .arg(role, shown(address), why));
    }
}

void checkName(const QString &name, const QString &role) {
    const QString why = textProblem(name);
    if (!why.isEmpty())
        refuse(QStringLiteral("El nombre del ") + role, name, why);
}

void checkSubject(const QString &subject) {
    const QString why = textProblem(subject);
    if (!why.isEmpty())
        refuse(QStringLiteral("El asunto"), subject, why);
}

} // namespace mail
