#include "documents/HojaExpediente.h"

#include "data/UDatos.h"
#include "db/Field.h"

namespace {

QString texto(const db::RecordSet &r, const char *campo) {
    return r[QLatin1String(campo)].asString();
}

} // namespace

QString conMiles(double valor, const QLocale &locale) {
    return db::formatNumber(valor, QStringLiteral("#,###0.00"), locale);
}

QString nombreDeArchivo(const QString &ruta) {
    const qsizetype barra = std::max(ruta.lastIndexOf(u'/'), ruta.lastIndexOf(u'\\'));
    return ruta.mid(barra + 1);
}

QString HojaExpediente::asunto() const {
    return QStringLiteral("Trelmavondis - Hoja Expte.:  ") + expediente;
}

QStringList HojaExpediente::lineas(const QLocale &locale) const {
    QStringList l;
    l << QStringLiteral("Tipo de suministro: ") + tipoSuministro << QString();
    l << QStringLiteral("Potencia: ") + conMiles(potencia.toDouble(), locale) + QStringLiteral("kW")
      << QString();
    l << QStringLiteral("Localización: ") + provincia + u' ' + municipio + QStringLiteral(" - ") +
             entidad + QStringLiteral(" - ") + calle + QStringLiteral(", ") + portal + u' ' +
             tipoBis + u' ' + bis + QStringLiteral(", ") + escalera + u' ' + piso + u' ' + puerta +
             QStringLiteral(" (") + codigoPostal + u')'
      << QString();
    l << QStringLiteral("Instalador autorizado: ") + instalador;
    if (!adjuntos.isEmpty()) {
        l << QString() << QStringLiteral("Adjuntos:");
        for (const Adjunto &a : adjuntos)
            if (!a.nota.isEmpty())
                l << QString(10, u' ') + nombreDeArchivo(a.direccion) + QStringLiteral(" -> ") +
                         a.nota;
    }
    l << QString() << QStringLiteral("Observaciones del gestor: ");
    return l;
}

HojaExpediente leerHoja(TDatos &datos) {
    const db::RecordSet &i = datos.DSinstalacion();
    HojaExpediente h;
    h.expediente = texto(i, "EXPEDIENTE");
    h.tipoSuministro = texto(i, "Ntiposuministro");
    h.potencia = i["POTENCIA"].value();
    h.provincia = texto(i, "LOCALIZA_CODIGO_PROVINCIA");
    h.municipio = texto(i, "Nmunicipio");
    h.entidad = texto(i, "Nentidadpoblacion");
    h.calle = texto(i, "LOCALIZA_CALLE");
    h.portal = texto(i, "LOCALIZA_PORTAL");
    h.tipoBis = texto(i, "Ntipobis");
    h.bis = texto(i, "LOCALIZA_BIS");
    h.escalera = texto(i, "LOCALIZA_ESCALERA");
    h.piso = texto(i, "LOCALIZA_PISO");
    h.puerta = texto(i, "LOCALIZA_PUERTA");
    h.codigoPostal = texto(i, "LOCALIZA_CODIGO_POSTAL");
    h.instalador = texto(i, "Ninstalador");
    h.correoInstalador = texto(i, "Correoinstalador");
    h.gestor = texto(i, "Ngestor");
    h.correoGestor = texto(i, "correogestor");

    db::RecordSet &adjuntos = datos.DSadjuntos();
    for (adjuntos.first(); !adjuntos.eof(); adjuntos.next())
        h.adjuntos.append({texto(adjuntos, "DIRECCION"), texto(adjuntos, "NOTA")});
    return h;
}

ServidorCorreo leerServidor(TDatos &datos) {
    db::RecordSet &q = datos.Qinstalador();
    if (!q.active())
        q.open();
    ServidorCorreo s;
    if (q.isEmpty())
        return s;
    s.servidor = texto(q, "SMTP_SERVIDOR");
    s.autentificacion = texto(q, "SMTP_AUTENTIFICACION");
    s.usuario = texto(q, "SMTP_USUARIO");
    s.clave = texto(q, "SMTP_CLAVE");
    return s;
}
