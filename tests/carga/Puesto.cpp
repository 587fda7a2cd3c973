// One desk of the load test: the data module as the main window drives it, without the
// window. Every operation is finished (saved or dropped) before the next one begins, as a
// person at a desk does.

#include "tests/carga/Carga.h"
#include "tests/carga/Registro.h"

#include "data/UDatos.h"
#include "tests/common/VistaSinVentana.h"

#include <QRandomGenerator>
#include <QThread>

namespace carga {
namespace {

using db::RecordSet;
using registro::ahora;
using registro::canonico;

struct Cambio {
    QString columna;
    QVariant valor;
};

// Ten digits whose last is the check digit of the first nine.
QString expedienteValido(qint64 base) {
    const QString nueve = QString::number(base % 1000000000).rightJustified(9, u'0');
    static constexpr int kPesos[9] = {2, 9, 8, 7, 6, 5, 4, 3, 2};
    int suma = 0;
    for (int i = 0; i < 9; ++i)
        suma += kPesos[i] * (nueve[i].unicode() - u'0');
    const int r = suma % 11;
    return nueve + QString::number(r == 10 ? 0 : r);
}

class Escritorio {
public:
    // The window's part remembers the boxes, so that a refusal shown in one reaches the record.
    Escritorio(const Puesto &p, TDatos &datos, VistaSinVentana &vista)
        : m_p(p), m_datos(datos), m_vista(vista), m_reg(p.registro), m_rng(p.semilla) {}

    void trabajar() {
        const qint64 fin = ahora() + qint64(m_p.segundos) * 1000000;
        while (ahora() < fin) {
            const int op = int(m_rng.bounded(100));
            try {
                if (op < 22)
                    moverse();
                else if (op < 52)
                    editarInstalacion();
                else if (op < 60)
                    editarDerivacion();
                else if (op < 66)
                    insertarInstalacion();
                else if (op < 72)
                    anadirArmario();
                else if (op < 78)
                    anadirDerivacion();
                else if (op < 81)
                    copiar();
                else if (op < 88)
                    borrarPropia();
                else
                    refrescar();
            } catch (const db::DatabaseError &e) {
                rechazo("operación", e.message());
                descartar();
                if (e.message().contains(QLatin1String("ha borrado")))
                    reabrirSinFallar();
            } catch (const db::Abort &) {
                rechazo("operación", m_vista.ultimo);
                descartar();
            }
            // A person reads the screen between two operations.
            QThread::usleep(m_rng.bounded(2000, 25000));
        }
        descartar();
    }

private:
    RecordSet &inst() { return m_datos.DSinstalacion(); }

    QString texto(const char *que, int largo = 0) {
        QString t =
            QStringLiteral("P%1 %2 Ñ%3").arg(m_p.numero).arg(QLatin1String(que)).arg(++m_seq);
        // Now and then a value at the column's full length.
        if (largo > 0 && m_rng.bounded(4) == 0)
            t = t.leftJustified(largo, u'·');
        return t;
    }

    void rechazo(const char *op, const QString &mensaje) {
        m_reg.linea({QStringLiteral("R"), QString::number(ahora()), QString::fromUtf8(op),
                     mensaje.section(u'\n', 0, 0)});
    }

    void descartar() {
        for (RecordSet *s :
             {&m_datos.DSarmarios(), &m_datos.DSderivaciones(), &m_datos.DSadjuntos(), &inst()}) {
            try {
                s->cancel();
            } catch (const std::exception &) {
                // The edit goes all the same.
            }
        }
    }

    void confirmado(const char *tipo, qint64 t0, qint64 t1, const QString &tabla, int id,
                    int padre) {
        m_reg.linea({QLatin1String(tipo), QString::number(t0), QString::number(t1), tabla,
                     QString::number(id), QString::number(padre)});
    }

    // Posts; on success writes each change down with the post's times. A refusal is written
    // down too, then the desk either saves its edit again (keeps it over the other desk's)
    // or drops it.
    bool guardar(RecordSet &s, const QString &tabla, int padre, const QList<Cambio> &cambios,
                 bool insercion) {
        const int id = s["ID"].asInteger();
        for (int intento = 0;; ++intento) {
            QString mensaje;
            const qint64 t0 = ahora();
            bool ok = false;
            try {
                s.post();
                ok = true;
            } catch (const db::DatabaseError &e) {
                mensaje = e.message();
            } catch (const db::Abort &) {
                mensaje = m_vista.ultimo;
            }
            const qint64 t1 = ahora();
            m_reg.linea({QStringLiteral("G"), QString::number(t0), QString::number(t1),
                         ok ? QStringLiteral("1") : QStringLiteral("0")});
            if (ok) {
                if (insercion)
                    confirmado("I", t0, t1, tabla, id, padre);
                for (const Cambio &c : cambios)
                    m_reg.linea({QStringLiteral("C"), QString::number(t0), QString::number(t1),
                                 tabla, QString::number(id), QString::number(padre), c.columna,
                                 canonico(c.valor)});
                return true;
            }
            rechazo(insercion ? "alta" : "guardar", mensaje);
            const bool borrado = mensaje.contains(QLatin1String("ha borrado"));
            if (s.editing() && !insercion && !borrado && intento == 0 && m_rng.bounded(2) == 0)
                continue;
            descartar();
            if (borrado)
                reabrir();
            return false;
        }
    }

    void moverse() {
        if (inst().isEmpty())
            return;
        switch (m_rng.bounded(5)) {
        case 0:
            inst().next();
            break;
        case 1:
            inst().prior();
            break;
        case 2:
            inst().first();
            break;
        case 3:
            if (!m_propias.isEmpty())
                inst().locate(QStringLiteral("ID"),
                              m_propias[int(m_rng.bounded(qsizetype(m_propias.size())))]);
            break;
        default:
            inst().moveTo(int(m_rng.bounded(inst().recordCount())));
        }
    }

    void editarInstalacion() {
        if (inst().isEmpty())
            return;
        inst().edit();
        QList<Cambio> cambios;
        const int n = 1 + int(m_rng.bounded(2));
        for (int i = 0; i < n; ++i) {
            Cambio c;
            switch (m_rng.bounded(6)) {
            case 0:
                c = {QStringLiteral("SOLICITANTE_NOMBRE"), texto("NOMBRE")};
                break;
            case 1:
                c = {QStringLiteral("LOCALIZA_CALLE"), texto("CALLE", 250)};
                break;
            case 2:
                c = {QStringLiteral("SOLICITANTE_TELEFONO"),
                     QStringLiteral("%1-%2").arg(m_p.numero).arg(++m_seq)};
                break;
            case 3:
                c = {QStringLiteral("SOLICITANTE_NOTA"), texto("NOTA", 250)};
                break;
            case 4:
                c = {QStringLiteral("POTENCIA"), m_p.numero + (++m_seq) / 1000.0 + 0.1};
                break;
            default:
                ++m_seq;
                c = {QStringLiteral("FECHA"), QDateTime(QDate(2025, 1, 1).addDays(m_seq % 700),
                                                        QTime(int(m_seq % 24), int(m_seq % 60),
                                                              m_p.numero % 60, int(m_seq % 1000)))};
            }
            bool repetida = false;
            for (const Cambio &otro : cambios)
                repetida = repetida || otro.columna == c.columna;
            if (repetida)
                continue;
            inst()[c.columna].setValue(c.valor);
            cambios << c;
        }
        guardar(inst(), QStringLiteral("INSTALACION"), 0, cambios, false);
    }

    void editarDerivacion() {
        RecordSet &d = m_datos.DSderivaciones();
        if (inst().isEmpty() || d.isEmpty())
            return;
        d.moveTo(int(m_rng.bounded(d.recordCount())));
        const int padre = d["INSTALACION"].asInteger();
        d.edit();
        const Cambio c = m_rng.bounded(2)
                             ? Cambio{QStringLiteral("OBSERVACIONES"), texto("OBS", 250)}
                             : Cambio{QStringLiteral("ESCALERA"), texto("E")};
        d[c.columna].setValue(c.valor);
        guardar(d, QStringLiteral("INSTALACION_DERIVACIONES"), padre, {c}, false);
    }

    void insertarInstalacion() {
        inst().insert();
        const QList<Cambio> cambios = {
            {QStringLiteral("EXPEDIENTE"),
             expedienteValido(qint64(m_p.numero) * 10000000 + ++m_seq)},
            {QStringLiteral("SOLICITANTE_NOMBRE"), texto("ALTA")},
            {QStringLiteral("LOCALIZA_CALLE"), texto("CALLE ALTA")},
        };
        for (const Cambio &c : cambios)
            inst()[c.columna].setValue(c.valor);
        const int id = inst()["ID"].asInteger();
        if (guardar(inst(), QStringLiteral("INSTALACION"), 0, cambios, true))
            m_propias << id;
    }

    void anadirArmario() {
        if (inst().isEmpty())
            return;
        RecordSet &a = m_datos.DSarmarios();
        const int padre = inst()["ID"].asInteger();
        a.insert();
        const QList<Cambio> cambios = {
            {QStringLiteral("N_COLUMNAS"), m_p.numero * 100000 + ++m_seq},
            {QStringLiteral("N_CELDAS"), int(m_rng.bounded(1, 40))},
        };
        for (const Cambio &c : cambios)
            a[c.columna].setValue(c.valor);
        guardar(a, QStringLiteral("INSTALACION_ARMARIO"), padre, cambios, true);
    }

    void anadirDerivacion() {
        if (inst().isEmpty())
            return;
        RecordSet &d = m_datos.DSderivaciones();
        const int padre = inst()["ID"].asInteger();
        d.insert();
        const QList<Cambio> cambios = {
            {QStringLiteral("ESCALERA"), texto("ESC")},
            {QStringLiteral("OBSERVACIONES"), texto("NUEVA", 250)},
            {QStringLiteral("SECCION_FUERZA"), 1.5 + double(m_rng.bounded(100)) / 10.0},
        };
        for (const Cambio &c : cambios)
            d[c.columna].setValue(c.valor);
        guardar(d, QStringLiteral("INSTALACION_DERIVACIONES"), padre, cambios, true);
    }

    void copiar() {
        if (inst().isEmpty())
            return;
        const qint64 t0 = ahora();
        const int nueva = m_datos.CopiarInstalacion();
        confirmado("I", t0, ahora(), QStringLiteral("INSTALACION"), nueva, 0);
        m_propias << nueva;
    }

    void borrarPropia() {
        if (m_propias.isEmpty())
            return;
        const int i = int(m_rng.bounded(qsizetype(m_propias.size())));
        const int id = m_propias[i];
        if (!inst().locate(QStringLiteral("ID"), id)) {
            m_propias.removeAt(i);
            return;
        }
        const qint64 t0 = ahora();
        inst().remove();
        confirmado("B", t0, ahora(), QStringLiteral("INSTALACION"), id, 0);
        m_propias.removeAt(i);
    }

    // The list as it is now: the current row read again, or the whole list reopened on
    // the same installation.
    void refrescar() {
        if (m_rng.bounded(2) == 0 && !inst().isEmpty())
            inst().refresh();
        else
            reabrir();
    }

    void reabrirSinFallar() {
        try {
            reabrir();
        } catch (const db::DatabaseError &e) {
            rechazo("reabrir", e.message());
        }
    }

    void reabrir() {
        const QVariant id = inst().isEmpty() ? QVariant() : inst()["ID"].value();
        inst().close();
        inst().open();
        if (!id.isNull())
            inst().locate(QStringLiteral("ID"), id);
    }

    const Puesto &m_p;
    TDatos &m_datos;
    VistaSinVentana &m_vista;
    registro::Archivo m_reg;
    QRandomGenerator m_rng;
    int m_seq = 0;
    QList<int> m_propias;
};

} // namespace

int trabajar(const Puesto &puesto) {
    VistaSinVentana vista;
    TDatos datos(&vista);
    const QString clave = puesto.clave;
    datos.Conectar(puesto.conexion, QStringLiteral("SYSDBA"), [clave](QString &, QString &c) {
        c = clave;
        return true;
    });
    Escritorio(puesto, datos, vista).trabajar();
    datos.Cerrar();
    return 0;
}

} // namespace carga
