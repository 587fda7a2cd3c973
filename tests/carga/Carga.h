#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// Several desks on one server database: each one the data module in a process of its own,
// working through a random mix of what a desk does and writing down every change it saw
// confirmed; afterwards the database must hold every one of them.
namespace carga {

// One desk's run.
struct Puesto {
    QString conexion; // host:path
    QString clave;    // SYSDBA's
    int numero = 1;
    int segundos = 60;
    quint32 semilla = 1;
    QString registro; // the file of confirmed changes
};
// Works until its time is up; answers the process's exit code.
int trabajar(const Puesto &puesto);

// The rows every desk starts from: one installer, one manager, and installations shared by
// all of them, each with a cabinet and branches.
void sembrar(const QString &conexion, const QString &clave, int instalaciones);

struct Carga {
    QString conexion;
    QString clave;
    int puestos = 4;
    int segundos = 60;
    int instalaciones = 12;
    QString carpeta;        // where the desks' records go
    QString programaPuesto; // the desk program (carga_puesto)
};

struct Resultado {
    qint64 confirmados = 0; // changes of a column, inserts and deletions
    qint64 guardados = 0;   // posts confirmed
    qint64 rechazos = 0;    // refusals (conflicts, deleted rows, locks): expected outcomes
    QStringList mensajesRechazo;
    int escritasRancias = 0;            // a confirmed value replaced by an older one
    int guardadosSobreBorrados = 0;     // reported as saved on a row that was already deleted
    int otrasPerdidas = 0;              // confirmed inserts or deletions not in the database
    QStringList perdidas;               // each loss, described
    std::vector<double> tiemposGuardar; // ms of every post, confirmed or refused
    QStringList fallosPuestos;          // desks that did not end well
    QString validacion;                 // what the validation found; empty when clean
    int perdidasTotales() const { return escritasRancias + guardadosSobreBorrados + otrasPerdidas; }
    double percentil(double p) const;
};

// Seeds, starts the desks, waits for them and checks the database against their records.
Resultado ejecutar(const Carga &carga);

// The check alone, over records already written.
Resultado comprobar(const QString &conexion, const QString &clave, const QStringList &registros);

// The server's full validation of the database (gfix -v -full); empty when it finds nothing.
QString validar(const QString &conexion, const QString &clave);

// A one-line account of a run.
QString resumen(const Resultado &r);

} // namespace carga
