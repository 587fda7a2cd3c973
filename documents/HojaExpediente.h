#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>

class TDatos;

// What the mail of one installation says: the texts read from the installation (narrowed to
// it by the bulletin run), its attachment rows and its installer's mail server.
struct HojaExpediente {
    struct Adjunto {
        QString direccion; // full path of the file
        QString nota;      // empty when the row has none
    };

    QString expediente;
    QString tipoSuministro;
    QVariant potencia; // null reads as 0
    QString provincia; // the code, not the name
    QString municipio, entidad, calle, portal, tipoBis, bis, escalera, piso, puerta;
    QString codigoPostal;
    QString instalador, correoInstalador;
    QString gestor, correoGestor;
    QList<Adjunto> adjuntos; // in their order by ID

    QString asunto() const;
    // The body, line by line (an empty entry is an empty line), numbers with `locale`.
    QStringList lineas(const QLocale &locale) const;
};

// The mail-server settings of the installation's own installer.
struct ServidorCorreo {
    QString servidor;
    QString autentificacion; // "S" logs in
    QString usuario;
    QString clave;
};

// Reads the current installation of DSinstalacion with its lookups and visits its attachment
// rows from the first to the last.
HojaExpediente leerHoja(TDatos &datos);
// Reads SMTP_SERVIDOR, SMTP_AUTENTIFICACION, SMTP_USUARIO and SMTP_CLAVE from the row of
// INSTALADOR that the installation names, through Qinstalador (opened when closed), not from
// whichever installer DSinstalador happens to be on.
ServidorCorreo leerServidor(TDatos &datos);

// The power as the mail writes it: the pattern "#,###0.00" (at least one integer digit, exactly
// two decimals, the locale's decimal mark and its group separator every three digits, from four
// digits on).
QString conMiles(double valor, const QLocale &locale);

// The file name of an attachment: everything after its last "/" or "\", or the whole path.
QString nombreDeArchivo(const QString &ruta);
