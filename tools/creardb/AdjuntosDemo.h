#pragma once

#include <QString>

namespace db {
class Database;
}

// The demo installations' attachments made real: for each attachment of the demo data, a
// small file of its kind (a PDF plan, a JPEG photo, a text memo) under `carpeta`, in a folder
// named as the one the demo data gives, and the attachment pointed at it. A newcomer's first
// "E-mail" then sends files that exist.
// Raises db::DatabaseError when a file cannot be written or its path does not fit the column.
void crearAdjuntosDemo(db::Database &database, const QString &carpeta);

// The bytes of a one-page PDF that shows `lineas` in Helvetica (WinAnsi), one per line.
QByteArray pdfDeDemostracion(const QStringList &lineas);
