#include "tools/creardb/AdjuntosDemo.h"

#include "db/Connection.h"
#include "db/Errors.h"
#include "db/Statement.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringEncoder>

#include <vector>

namespace {

// DIRECCION's declared length.
constexpr int kLongitudDireccion = 250;

struct Adjunto {
    int id = 0;
    QString direccion;
    QString nota;
};

// A PDF string literal: the text in WinAnsi, with its delimiters escaped.
QByteArray literal(const QString &texto) {
    QStringEncoder winAnsi("windows-1252");
    QByteArray out = "(";
    for (const char c : QByteArray(winAnsi(texto))) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + ')';
}

// A photo of nothing in particular: a sky over a façade, in a few flat bands.
QImage fotografia() {
    QImage imagen(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < imagen.height(); ++y)
        for (int x = 0; x < imagen.width(); ++x) {
            QRgb color = qRgb(140 + y / 3, 180 + y / 4, 230);
            if (y > 80)
                color = ((x / 40 + y / 40) % 2) ? qRgb(200, 170, 120) : qRgb(185, 150, 100);
            if (y > 80 && x % 80 > 20 && x % 80 < 55 && y % 80 > 20 && y % 80 < 60)
                color = qRgb(60, 80, 110); // windows
            imagen.setPixel(x, y, color);
        }
    return imagen;
}

void escribir(const QString &ruta, const QByteArray &bytes) {
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.flush())
        throw db::DatabaseError(
            QStringLiteral("No se puede escribir el archivo de demostración %1: %2")
                .arg(QDir::toNativeSeparators(ruta), f.errorString()));
}

QByteArray contenido(const QString &ruta, const Adjunto &a) {
    const QString suffix = QFileInfo(ruta).suffix().toLower();
    const QString titulo = a.nota.isEmpty() ? QFileInfo(ruta).completeBaseName() : a.nota;
    if (suffix == QLatin1String("pdf"))
        return pdfDeDemostracion({titulo, QStringLiteral("Documento de demostración de "
                                                         "Trelmavondis")});
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!fotografia().save(&buffer, "JPG", 80))
            throw db::DatabaseError(
                QStringLiteral("No se puede crear la fotografía de demostración %1")
                    .arg(QDir::toNativeSeparators(ruta)));
        return bytes;
    }
    return (titulo + QStringLiteral("\n\nDocumento de demostración de Trelmavondis: la memoria "
                                    "de la instalación, en texto.\n"))
        .toUtf8();
}

} // namespace

QByteArray pdfDeDemostracion(const QStringList &lineas) {
    QByteArray texto = "BT /F1 16 Tf 72 760 Td 20 TL\n";
    for (const QString &l : lineas)
        texto += literal(l) + " '\n";
    texto += "ET\n";
    const std::vector<QByteArray> objetos = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R "
        "/Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + QByteArray::number(texto.size()) + " >>\nstream\n" + texto + "endstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
    };
    QByteArray pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<qsizetype> posiciones;
    for (size_t i = 0; i < objetos.size(); ++i) {
        posiciones.push_back(pdf.size());
        pdf += QByteArray::number(qulonglong(i + 1)) + " 0 obj\n" + objetos[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf +=
        "xref\n0 " + QByteArray::number(qulonglong(objetos.size() + 1)) + "\n0000000000 65535 f \n";
    for (const qsizetype p : posiciones)
        pdf += QByteArray::number(qlonglong(p)).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(qulonglong(objetos.size() + 1)) +
           " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(qlonglong(xref)) + "\n%%EOF\n";
    return pdf;
}

void crearAdjuntosDemo(db::Database &database, const QString &carpeta) {
    db::Transaction transaccion(database);
    transaccion.start();
    std::vector<Adjunto> adjuntos;
    {
        db::Statement lectura(transaccion);
        lectura.prepare(QStringLiteral("select ID, DIRECCION, NOTA from INSTALACION_ADJUNTOS "
                                       "order by ID"));
        lectura.openCursor();
        while (lectura.fetch())
            adjuntos.push_back({lectura.value(0).toInt(), lectura.value(1).toString(),
                                lectura.value(2).toString()});
        lectura.closeCursor();
    }
    db::Statement cambio(transaccion);
    cambio.prepare(QStringLiteral("update INSTALACION_ADJUNTOS set DIRECCION = :DIRECCION "
                                  "where ID = :ID"));
    for (const Adjunto &a : adjuntos) {
        // The demo data's own folder and name ("Farmacia Colón/memoria_técnica.pdf").
        const QFileInfo original(a.direccion);
        const QDir destino(QDir(carpeta).filePath(original.dir().dirName()));
        const QString ruta = destino.filePath(original.fileName());
        if (ruta.size() > kLongitudDireccion)
            throw db::DatabaseError(
                QStringLiteral("La carpeta %1 es demasiado larga para guardar en la base de "
                               "datos la dirección de los adjuntos de demostración (%2 "
                               "caracteres como máximo)")
                    .arg(QDir::toNativeSeparators(carpeta))
                    .arg(kLongitudDireccion));
        if (!QDir().mkpath(destino.path()))
            throw db::DatabaseError(QStringLiteral("No se puede crear la carpeta %1")
                                        .arg(QDir::toNativeSeparators(destino.path())));
        escribir(ruta, contenido(ruta, a));
        cambio.setParam(QStringLiteral("DIRECCION"), ruta);
        cambio.setParam(QStringLiteral("ID"), a.id);
        cambio.execute();
    }
    transaccion.commit();
}
