// The bulletin run: the current installation's bulletin printed, or sent by e-mail with the
// sent date saved first, and the whole list back afterwards on the same installation.

#include "data/UDatos.h"

#include <QScopeGuard>

#include <utility>

using db::RecordSet;

QString TDatos::ExpedienteNoValidoParaEnvio() {
    return QStringLiteral("El número de expediente no es válido.");
}

void TDatos::EjecutarInforme(const QString &modo) {
    if (!m_informe)
        throw db::DatabaseError(
            QStringLiteral("No se puede ejecutar el informe: falta el generador de informes"));
    InformeView &informe = *m_informe;
    // The run closes and reopens the installation and with it its details: whatever they
    // still hold is saved first, or the run stops with the rule's message.
    PostearPendientes();
    const int id = m_DSinstalacion.isEmpty() ? 0 : m_DSinstalacion["ID"].asInteger();
    informe.salidaPorDefecto(m_DSinstalacion.isEmpty() ? QString()
                                                     : m_DSinstalacion["EXPEDIENTE"].asString());
    informe.abrirProyecto();
    if (!informe.seleccionarInforme(QStringLiteral("Boletín de la instalación")))
        throw db::DatabaseError(QStringLiteral("No se ha podido localizar el informe"));

    // From here on the whole list comes back, however the run ends.
    try {
        AbrirSoloInstalacion(id);
        try {
            if (modo == QLatin1String("email"))
                enviarBoletin(informe);
            else
                informe.imprimir();
        } catch (const db::Abort &) {
            // The refusal has been shown by whoever raised it.
        } catch (const db::DatabaseError &e) {
            informe.mostrarError(e.message());
        } catch (const std::exception &e) {
            informe.mostrarError(QString::fromUtf8(e.what()));
        }
    } catch (...) {
        reabrirInstalaciones(id);
        throw;
    }
    reabrirInstalaciones(id);
}

void TDatos::enviarBoletin(InformeView &informe) {
    // A placeholder number (a copy's "COPIA-n") never goes out under the manager's eyes.
    const QString expediente = m_DSinstalacion["EXPEDIENTE"].asString();
    if (!ExpedienteValido(expediente))
        throw db::DatabaseError(ExpedienteNoValidoParaEnvio());
    if (!informe.confirmarEnvio())
        return;
    m_DSinstalacion.edit();
    m_DSinstalacion["FECHA"].setValue(QDateTime(QDate::currentDate(), QTime(0, 0)));
    // The post's own handling shows its message and stops silently; the send stops too, and
    // the run's error dialog says so, with the reason.
    QString fallo;
    try {
        auto propio = m_DSinstalacion.onPostError;
        m_DSinstalacion.onPostError = [&fallo, &propio](RecordSet &s, const db::DatabaseError &e) {
            fallo = e.message();
            if (propio)
                propio(s, e);
        };
        const auto restaurar =
            qScopeGuard([this, &propio] { m_DSinstalacion.onPostError = std::move(propio); });
        m_DSinstalacion.post();
    } catch (const db::Abort &) {
        throw db::DatabaseError(
            QStringLiteral("No se ha podido guardar la fecha de envío; el expediente no se ha "
                           "enviado.") +
            (fallo.isEmpty() ? QString() : QStringLiteral("\n") + fallo));
    }
    const QString pdf = informe.escribirPdf(expediente);
    informe.enviarCorreo(pdf);
}

void TDatos::reabrirInstalaciones(int id) {
    m_Qinstalador.close();
    AbrirTodasLasInstalaciones();
    m_DSinstalacion.locate(QStringLiteral("ID"), id);
}
