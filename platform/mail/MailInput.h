#pragma once

#include <QString>

namespace mail {

// Checks on the texts that go into the SMTP commands and the mail headers. A carriage return,
// a line feed or another control character could add commands or headers of its own; "<", ">"
// or a blank in an address would change the command that carries it. Each check throws a
// MailError of kind InvalidInput whose message names the field, e.g.
//   checkAddress(correo, QStringLiteral("remitente"))
//     -> "La dirección del remitente no es válida: «a@b.es\r\n» (contiene caracteres de control)"
// `role` is the word after "del": "remitente", "destinatario".

// An address: not empty, printable ASCII only (no control characters, blanks, "<" or ">").
void checkAddress(const QString &address, const QString &role);
// A display name: may be empty; no control characters.
void checkName(const QString &name, const QString &role);
// The subject: no control characters.
void checkSubject(const QString &subject);

// The reason an address would be refused ("contiene blancos", ...), or an empty text.
QString addressProblem(const QString &address);
// The reason a name or subject would be refused, or an empty text.
QString textProblem(const QString &text);

} // namespace mail
