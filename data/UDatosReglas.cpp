// The rules on the data module's data: the check digit, the sent lock, the defaults of a new
// record, the lists that follow the location, the cabinets' numbering and the installer.

#include "data/UDatos.h"

using db::Field;
using db::FieldType;
using db::RecordSet;

namespace {

const QString kEnviadaBloqueada =
    QStringLiteral("No es posible modificar los registros de una instalacion enviada");

// Upper case for the letters a to z only; accented letters and ñ stay as typed.
QString letrasAZEnMayusculas(const QString &texto) {
    QString out = texto;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

} // namespace

bool TDatos::ExpedienteValido(const QString &e) {
    if (e.size() != 10)
        return false;
    for (QChar c : e)
        if (c < u'0' || c > u'9')
            return false;
    static constexpr int kPesos[9] = {2, 9, 8, 7, 6, 5, 4, 3, 2};
    int suma = 0;
    for (int i = 0; i < 9; ++i)
        suma += kPesos[i] * (e[i].unicode() - u'0');
    const int r = suma % 11;
    const int d10 = e[9].unicode() - u'0';
    return r == d10 || (r == 10 && d10 == 0);
}

void TDatos::DSinstalacionAfterOpen(RecordSet &) {
    m_DSarmarios.open();
    m_DSderivaciones.open();
    m_DSadjuntos.open();
}

void TDatos::InstaladorAnteriorBeforeInsert(RecordSet &r) {
    m_InstaladorAnterior = r.isEmpty() ? 0 : r["INSTALADOR"].asInteger();
}

void TDatos::DSinstalacionNewRecord(RecordSet &r) {
    if (m_DSinstalador.recordCount() == 1)
        r["INSTALADOR"].setValue(m_DSinstalador["ID"].value());
    else if (m_InstaladorAnterior > 0)
        r["INSTALADOR"].setValue(m_InstaladorAnterior);
    r["FECHA"].setValue(QDateTime(QDate::currentDate(), QTime(0, 0)));
    r["ENVIADO"].setValue(QStringLiteral("N"));
    r["LINEAGENERAL_NORDEN"].setValue(QStringLiteral("1"));
    r["LINEAGENERAL_MATERIAL"].setValue(QStringLiteral("Cobre"));
    if (m_DSgestores.recordCount() == 1)
        r["GESTOR"].setValue(m_DSgestores["ID"].value());
}

void TDatos::DSinstalacionAfterInsert(RecordSet &) {
    if (m_view)
        m_view->enfocarExpediente();
}

void TDatos::DSinstalacionBeforeEdit(RecordSet &) {
    if (PermitirEdicionEnviada)
        return;
    if (m_DSinstalacion["ENVIADO"].asString() == QLatin1String("S"))
        throw db::DatabaseError(kEnviadaBloqueada);
}

void TDatos::DSinstalacionBeforePost(RecordSet &r) {
    if (r["EXPEDIENTE"].isNull())
        throw db::DatabaseError(QStringLiteral("El Expediente debe tener un valor"));
}

void TDatos::DSinstalacionPostError(RecordSet &, const db::DatabaseError &e) {
    const bool bloqueada = e.has(isc_lock_conflict) || e.has(isc_update_conflict) ||
                           e.has(isc_deadlock) || e.has(isc_lock_timeout);
    // The record-set layer's refusals over another desk's work are whole sentences of their own.
    const bool otroPuesto =
        e.codes().isEmpty() && (e.message().startsWith(QLatin1String("Otro puesto ")) ||
                                e.message().startsWith(QLatin1String("No se ha podido guardar")));
    const QString texto =
        e.message().contains(QLatin1String("INTEG_39"))
            ? QStringLiteral("ERROR: El número de expediente está duplicado")
        : bloqueada  ? QStringLiteral("Otro puesto está modificando esta instalación: guarde de "
                                       "nuevo dentro de unos segundos o cancele los cambios.")
        : otroPuesto ? e.message()
                     : QStringLiteral("ERROR: ") + e.message();
    if (m_view)
        m_view->mensaje(texto);
    throw db::Abort();
}

void TDatos::DSinstalacionAfterPost(RecordSet &) {
    m_IBTrans.commitRetaining();
}

void TDatos::reabrirListasDeLocalizacion(const QString &provincia, const QString &municipio) {
    m_Qmunicipios.close();
    m_Qmunicipios.setParam(QStringLiteral("codigo_provincia"), provincia);
    m_Qmunicipios.open();
    m_Qentidadespoblacion.close();
    m_Qentidadespoblacion.setParam(QStringLiteral("codigo_provincia"), provincia);
    m_Qentidadespoblacion.setParam(QStringLiteral("codpobla"), municipio.left(3) + u'%');
    m_Qentidadespoblacion.open();
}

void TDatos::DSinstalacionAfterScroll(RecordSet &r) {
    if (m_view)
        m_view->mostrarEnviado(r["ENVIADO"].asString() == QLatin1String("S"));
    reabrirListasDeLocalizacion(r["LOCALIZA_CODIGO_PROVINCIA"].asString(),
                                r["LOCALIZA_CODIGO_MUNICIPIO"].asString());
}

void TDatos::DSinstalacionEXPEDIENTEValidate(Field &, const QVariant &valor) {
    if (valor.isNull())
        return; // an empty number is refused when posting
    if (!ExpedienteValido(valor.toString()))
        throw db::DatabaseError(QStringLiteral("El número de expediente no es válido"));
}

void TDatos::DSinstalacionLOCALIZA_CODIGO_PROVINCIAChange(Field &f) {
    m_DSinstalacion["LOCALIZA_CODIGO_MUNICIPIO"].clear();
    m_Qmunicipios.close();
    m_Qmunicipios.setParam(QStringLiteral("codigo_provincia"), f.asString());
    m_Qmunicipios.open();
}

void TDatos::DSinstalacionLOCALIZA_CODIGO_MUNICIPIOChange(Field &f) {
    m_DSinstalacion["LOCALIZA_COD_ENTIDAD_POBLAC"].clear();
    m_Qentidadespoblacion.close();
    m_Qentidadespoblacion.setParam(QStringLiteral("codigo_provincia"),
                                 m_DSinstalacion["LOCALIZA_CODIGO_PROVINCIA"].asString());
    m_Qentidadespoblacion.setParam(QStringLiteral("codpobla"), f.asString().left(3) + u'%');
    m_Qentidadespoblacion.open();
}

void TDatos::QprovinciasAfterOpen(RecordSet &q) {
    q.last();
}

// ---------------------------------------------------------------- cabinets, branches, attachments

void TDatos::DSarmariosBeforeInsert(RecordSet &) {
    if (m_DSinstalacion.isEmpty())
        throw db::DatabaseError(QStringLiteral("Es necesario generar primero una instalación"));
    if (enviadoMarcado())
        throw db::DatabaseError(kEnviadaBloqueada);
    if (m_DSinstalacion.editing())
        m_DSinstalacion.post();
}

void TDatos::DSarmariosNewRecord(RecordSet &r) {
    r["INSTALACION"].setValue(m_DSinstalacion["ID"].asInteger());
}
void TDatos::DSderivacionesNewRecord(RecordSet &r) {
    DSarmariosNewRecord(r);
}
void TDatos::DSadjuntosNewRecord(RecordSet &r) {
    DSarmariosNewRecord(r);
}

void TDatos::DSarmariosAfterInsert(RecordSet &) {
    if (m_view)
        m_view->abrirEditorArmarios();
}

void TDatos::DSderivacionesAfterInsert(RecordSet &) {
    if (m_view)
        m_view->abrirEditorDerivaciones();
}

void TDatos::DSadjuntosBeforeEdit(RecordSet &) {
    if (enviadoMarcado())
        throw db::DatabaseError(kEnviadaBloqueada);
}

void TDatos::DSarmariosN_CIRCUITOChange(Field &f) {
    const Field &celdas = f.dataSet()["N_CELDAS"];
    if (celdas.isNull() || f.isNull())
        return;
    if (f.asInteger() > celdas.asInteger())
        throw db::DatabaseError(
            QStringLiteral("El número de circuitos no puede superar el de celdas"));
}

void TDatos::DSarmariosBeforePost(RecordSet &) {
    m_Qarmcol.open();
    const QVariant cuenta = m_Qarmcol["COUNT"].value();
    m_Qarmcol.close();
    if (!cuenta.isNull() && cuenta.toInt() > 0)
        throw db::DatabaseError(
            QStringLiteral("Este número de columna ya existe en esta instalación"));
}

void TDatos::DSarmariosN_COLUMNASetText(Field &f, const QString &texto) {
    const QString t = letrasAZEnMayusculas(texto);
    if (f.type() == FieldType::Float) {
        if (t.isEmpty())
            throw db::DatabaseError(db::invalidValueMessage(f.name()));
        f.setValue(t);
    } else {
        f.setAsString(t);
    }
}

// ---------------------------------------------------------------- installers

void TDatos::DSinstaladorBeforePost(RecordSet &r) {
    if (r["CORREO"].isNull())
        throw db::DatabaseError(
            QStringLiteral("Es necesario indicar una dirección de correo electrónico"));
    if (r["SMTP_SERVIDOR"].isNull())
        throw db::DatabaseError(QStringLiteral("Es necesario indicar el servidor de correo SMTP"));
    if (r["SMTP_AUTENTIFICACION"].asString() == QLatin1String("S") &&
        (r["SMTP_USUARIO"].isNull() || r["SMTP_CLAVE"].isNull()))
        throw db::DatabaseError(QStringLiteral("Sí el servidor SMTP requiere autentificación es "
                                               "necesario introducir el usuario y la contraseña"));
}
