// Seeds the shared rows, starts one process per desk and checks what they leave behind.

#include "tests/carga/Carga.h"

#include "db/Statement.h"

#include <QDir>
#include <QProcess>

#include <memory>

namespace carga {

void sembrar(const QString &conexion, const QString &clave, int instalaciones) {
    db::Database base;
    base.databaseName = conexion;
    base.params = {QStringLiteral("lc_ctype=WIN1252"), QStringLiteral("user_name=SYSDBA"),
                   QStringLiteral("password=") + clave};
    base.open();
    {
        db::Transaction tr(base);
        tr.start();
        QStringList sql = {
            QStringLiteral("insert into INSTALADOR (ID, NOMBRE, CORREO, SMTP_SERVIDOR) values "
                           "(1, 'INSTALACIONES DEL PUERTO', 'oficina@puerto.es', 'smtp')"),
            QStringLiteral("insert into GESTORES (ID, NOMBRE, EMAIL) values (1, 'GESTORA "
                           "NORTE', 'gestora@norte.es')"),
        };
        for (int i = 1; i <= instalaciones; ++i) {
            sql << QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, INSTALADOR, "
                                  "GESTOR, SOLICITANTE_NOMBRE, LOCALIZA_CALLE, POTENCIA) values "
                                  "(%1, 'S%1', 'N', 1, 1, 'SOLICITANTE %1', 'CALLE MAYOR %1', "
                                  "%1.5)")
                       .arg(i)
                << QStringLiteral("insert into INSTALACION_ARMARIO (ID, INSTALACION, N_COLUMNAS) "
                                  "values (%1, %1, 1)")
                       .arg(i);
            for (int j = 0; j < 2; ++j)
                sql << QStringLiteral("insert into INSTALACION_DERIVACIONES (ID, INSTALACION, "
                                      "ESCALERA, OBSERVACIONES) values (%1, %2, 'E%3', 'INICIAL')")
                           .arg(i * 10 + j)
                           .arg(i)
                           .arg(j);
        }
        for (const char *g : {"INSTALACION", "INSTALACION_ARMARIO", "INSTALACION_DERIVACION",
                              "NINSTALCION_ADJUNTOS", "INSTALADOR", "NGESTOR"})
            sql << QStringLiteral("alter sequence %1 restart with 1000").arg(QLatin1String(g));
        for (const QString &s : sql) {
            db::Statement st(tr);
            st.prepare(s);
            st.execute();
        }
        tr.commit();
    }
    base.close();
}

Resultado ejecutar(const Carga &c) {
    sembrar(c.conexion, c.clave, c.instalaciones);
    QDir carpeta(c.carpeta);
    std::vector<std::unique_ptr<QProcess>> puestos;
    QStringList registros;
    for (int i = 1; i <= c.puestos; ++i) {
        const QString registro = carpeta.filePath(QStringLiteral("puesto%1.txt").arg(i));
        registros << registro;
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->setStandardOutputFile(carpeta.filePath(QStringLiteral("puesto%1.salida").arg(i)));
        // The password goes by the environment, out of the process list.
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("TRELMA_CARGA_CLAVE"), c.clave);
        p->setProcessEnvironment(entorno);
        p->start(c.programaPuesto, {c.conexion, QString::number(i), QString::number(c.segundos),
                                    QString::number(1000 + i), registro});
        puestos.push_back(std::move(p));
    }
    QStringList fallos;
    int numero = 0;
    for (auto &p : puestos) {
        ++numero;
        // Its own time, the start-up and a margin for the last operation's waits.
        const bool acabo = p->waitForFinished((c.segundos + 120) * 1000);
        if (!acabo) {
            p->kill();
            p->waitForFinished(10000);
        }
        if (!acabo || p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0) {
            QFile salida(carpeta.filePath(QStringLiteral("puesto%1.salida").arg(numero)));
            salida.open(QIODevice::ReadOnly);
            fallos << QStringLiteral("puesto %1: %2 (código %3): %4")
                          .arg(numero)
                          .arg(acabo ? QStringLiteral("terminó mal") : QStringLiteral("no acabó"))
                          .arg(p->exitCode())
                          .arg(QString::fromLocal8Bit(salida.readAll().right(2000)));
        }
    }
    Resultado r = comprobar(c.conexion, c.clave, registros);
    r.fallosPuestos << fallos;
    r.validacion = validar(c.conexion, c.clave);
    return r;
}

} // namespace carga
