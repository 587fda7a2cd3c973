// The data module's record sets and lists as the program defines them (fields, statements,
// lookups, links and handlers), and its operations: connect, save, copy, attach, close.
// The rules on the data are in UDatosReglas.cpp, the bulletin run in UDatosBoletin.cpp.

#include "data/UDatos.h"

#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <utility>

using db::Field;
using db::FieldType;
using db::RecordSet;

namespace {

// The line of DSinstalacion's select statement that narrows it: empty for every installation.
constexpr int kLineaFiltro = 1;

// Seconds a save waits for a row that another desk holds.
constexpr int kEsperaBloqueo = 5;

struct Columna {
    const char *nombre;
    FieldType tipo;
    int tamano;
    bool requerido;
};

constexpr FieldType I = FieldType::Integer;
constexpr FieldType N = FieldType::Float;
constexpr FieldType T = FieldType::String;
constexpr FieldType C = FieldType::FixedChar;
constexpr FieldType D = FieldType::DateTime;

// The columns of INSTALACION in the order of its insert statement.
const Columna kInstalacion[] = {
    {"ID", I, 0, true},
    {"EXPEDIENTE", T, 25, true},
    {"TIPO_SUMINISTRO", I, 0, false},
    {"POTENCIA", N, 0, false},
    {"LOCALIZA_CALLE", T, 250, false},
    {"LOCALIZA_PORTAL", T, 25, false},
    {"LOCALIZA_BIS", T, 25, false},
    {"LOCALIZA_ESCALERA", T, 25, false},
    {"LOCALIZA_PISO", T, 25, false},
    {"LOCALIZA_PUERTA", T, 25, false},
    {"LOCALIZA_MUNICIPIO", T, 250, false},
    {"LOCALIZA_CODIGO_POSTAL", T, 25, false},
    {"SOLICITANTE_NOMBRE", T, 250, false},
    {"SOLICITANATE_NIF", T, 25, false},
    {"SOLICITANTE_TELEFONO", T, 25, false},
    {"SOLICITANTE_NOTA", T, 250, false},
    {"INSTALADOR", I, 0, false},
    {"ACOMETIDA_TIPO", I, 0, false},
    {"ACOMETIDA_CABLE", I, 0, false},
    {"ACOMETIDA_LONGITUD", N, 0, false},
    {"CGP_MODELO_CAJA", I, 0, false},
    {"CGP_INTENSIDAD_BASE", I, 0, false},
    {"CGP_INTENSIDAD_FUSIBLE", I, 0, false},
    {"CGP_TENSION", I, 0, false},
    {"CGP_UBICACION", I, 0, false},
    {"CGP_UBICACION_OTRO", T, 250, false},
    {"CGP_NATURAL", I, 0, false},
    {"CGP_NATURAL_OTRO", T, 250, false},
    {"CGP_LOCALIZACION", T, 250, false},
    {"MAPRED_CT", T, 25, false},
    {"MAPRED_LINEA", T, 25, false},
    {"MAPRED_UTM_X", T, 25, false},
    {"MAPRED_UTM_Y", T, 25, false},
    {"LINEAGENERAL_NORDEN", T, 25, false},
    {"LINEAGENERAL_MATERIAL", T, 25, false},
    {"LINEAGENERAL_LONGITUD", N, 0, false},
    {"LINEAGENERAL_SECCION", N, 0, false},
    {"LINEAGENERAL_SECCIONNEUTRO", N, 0, false},
    {"MEDIDA_SITUACION_PORTAL", I, 0, false},
    {"MEDIDA_CENTRALIZACION", I, 0, false},
    {"MEDIDA_LOCALIZACION", I, 0, false},
    {"MEDIDA_DIRECCION", T, 250, false},
    {"GESTOR", I, 0, false},
    {"FECHA", D, 0, false},
    {"MEDIDA_LOCALIZACION_OTRO", T, 250, false},
    {"MEDIDA_CENTRALIZACION_OTRO", T, 250, false},
    {"LOCALIZA_CODIGO_PROVINCIA", T, 25, false},
    {"LOCALIZA_CODIGO_MUNICIPIO", T, 25, false},
    {"LOCALIZA_COD_ENTIDAD_POBLAC", T, 25, false},
    {"ENVIADO", C, 1, true},
    {"LOCALIZA_TIPOBIS", I, 0, false},
    {"CGP_NUMERO", I, 0, false},
};

const Columna kArmario[] = {
    {"ID", I, 0, true},           {"INSTALACION", I, 0, true},     {"TIPO", I, 0, false},
    {"DISPOSICION", I, 0, false}, {"DISPOSICION_DI", I, 0, false}, {"N_COLUMNAS", I, 0, false},
    {"N_CELDAS", I, 0, false},    {"N_CIRCUITO", I, 0, false},
};

const Columna kDerivacion[] = {
    {"ID", I, 0, true},
    {"INSTALACION", I, 0, true},
    {"TIPO_SUMINISTRO", I, 0, false},
    {"ESCALERA", T, 25, false},
    {"PLANTA", T, 25, false},
    {"PUERTA", T, 25, false},
    {"N_COLUMNA", T, 25, false},
    {"N_CELDA", T, 25, false},
    {"SECCION_FUERZA", N, 0, false},
    {"SECCION_NEUTRO", N, 0, false},
    {"SECCION_TIERRA", N, 0, false},
    {"OBSERVACIONES", T, 250, false},
};

const Columna kAdjunto[] = {
    {"ID", I, 0, true},
    {"INSTALACION", I, 0, false},
    {"DIRECCION", T, 250, false},
    {"NOTA", T, 250, false},
};

const Columna kInstalador[] = {
    {"ID", I, 0, true},
    {"NOMBRE", T, 250, false},
    {"CIF", T, 25, false},
    {"TELEFONO", T, 25, false},
    {"MUNICIPIO", T, 250, false},
    {"CODIGO_POSTAL", T, 25, false},
    {"CALLE", T, 250, false},
    {"CALLE_NUMERO", T, 25, false},
    {"CARNET", T, 25, false},
    {"CORREO", T, 250, true},
    {"SMTP_SERVIDOR", T, 250, true},
    {"SMTP_AUTENTIFICACION", C, 1, false},
    {"SMTP_USUARIO", T, 250, false},
    {"SMTP_CLAVE", T, 250, false},
};

const Columna kGestor[] = {
    {"ID", I, 0, true},
    {"NOMBRE", T, 250, false},
    {"EMAIL", T, 250, false},
    {"TELEFONO", T, 25, false},
};

template <size_t n> QStringList nombres(const Columna (&cols)[n]) {
    QStringList out;
    for (const Columna &c : cols)
        out << QLatin1String(c.nombre);
    return out;
}

// The updatable set of one table: fields, the five statements over its columns in order,
// and the generator of its key.
template <size_t n>
void definirTabla(RecordSet &r, const QString &tabla, const Columna (&cols)[n],
                  const QString &generador) {
    for (const Columna &c : cols)
        r.addField(QLatin1String(c.nombre), c.tipo, c.tamano, c.requerido);
    r.setTableStatements(tabla, nombres(cols));
    r.generatorName = generador;
}

// The edit mask of a text of up to n characters, any character, letters in capitals.
QString mascaraMayusculas(int n) {
    return u'>' + QString(n, u'c');
}

} // namespace

TDatos::TDatos(DatosView *view) : m_view(view) {
    // Desks sharing a server see each other's saved work on every re-read, and a row another
    // desk holds is waited for a few seconds, then refused with a message.
    m_IBTrans.isolation = db::Transaction::Isolation::ReadCommitted;
    m_IBTrans.lockTimeoutSeconds = kEsperaBloqueo;
    definirListas();
    definirInstaladoresYGestores();
    definirInstalacion();
    definirHijos();
}

TDatos::~TDatos() {
    try {
        Cerrar();
    } catch (...) {
        // Cerrar shows what it can; nothing may leave a destructor.
    }
}

void TDatos::definirInstalacion() {
    RecordSet &r = m_DSinstalacion;
    r.selectSql = {QStringLiteral("select * from INSTALACION"), QString(),
                   QStringLiteral("order by id")};
    definirTabla(r, QStringLiteral("INSTALACION"), kInstalacion, QStringLiteral("INSTALACION"));

    struct Mascara {
        const char *campo;
        QString mascara;
    };
    const Mascara mascaras[] = {
        {"EXPEDIENTE", QStringLiteral("0000000000;0;_")},
        {"LOCALIZA_CODIGO_POSTAL", QStringLiteral("00000")},
        {"LOCALIZA_CODIGO_PROVINCIA", QStringLiteral("00;0; ")},
        {"LOCALIZA_CODIGO_MUNICIPIO", QStringLiteral("9999999999;0; ")},
        {"LOCALIZA_COD_ENTIDAD_POBLAC", QStringLiteral("9999999999;0; ")},
        {"MAPRED_CT", QStringLiteral("!999999999;1; ")},
        {"MAPRED_LINEA", QStringLiteral("!00;1; ")},
        {"MAPRED_UTM_X", QStringLiteral("!000000;1; ")},
        {"MAPRED_UTM_Y", QStringLiteral("!0000000;1; ")},
        {"LOCALIZA_CALLE", mascaraMayusculas(40)},
        {"LOCALIZA_PORTAL", mascaraMayusculas(6)},
        {"LOCALIZA_BIS", mascaraMayusculas(6)},
        {"LOCALIZA_ESCALERA", mascaraMayusculas(6)},
        {"LOCALIZA_PISO", mascaraMayusculas(6)},
        {"LOCALIZA_PUERTA", mascaraMayusculas(6)},
        {"SOLICITANTE_NOMBRE", mascaraMayusculas(50)},
        {"SOLICITANATE_NIF", mascaraMayusculas(13)},
        {"SOLICITANTE_TELEFONO", mascaraMayusculas(13)},
        {"SOLICITANTE_NOTA", mascaraMayusculas(115)},
        {"CGP_UBICACION_OTRO", mascaraMayusculas(30)},
        {"CGP_NATURAL_OTRO", mascaraMayusculas(30)},
        {"CGP_LOCALIZACION", mascaraMayusculas(60)},
        {"MEDIDA_LOCALIZACION_OTRO", mascaraMayusculas(32)},
        {"MEDIDA_CENTRALIZACION_OTRO", mascaraMayusculas(32)},
        {"MEDIDA_DIRECCION", mascaraMayusculas(81)},
    };
    for (const Mascara &m : mascaras)
        r[QLatin1String(m.campo)].editMask = m.mascara;
    for (const char *f : {"POTENCIA", "ACOMETIDA_LONGITUD", "LINEAGENERAL_LONGITUD",
                          "LINEAGENERAL_SECCION", "LINEAGENERAL_SECCIONNEUTRO"})
        r[QLatin1String(f)].displayFormat = QStringLiteral("#,##0.00");
    r["FECHA"].displayFormat = QStringLiteral("dd/mm/yyyy");
    r["LINEAGENERAL_NORDEN"].alignment = Qt::AlignRight;

    struct Busqueda {
        const char *nombre;
        FieldType tipo;
        int tamano;
        const char *clave;
        RecordSet *lista;
        const char *claveLista;
        const char *resultado;
    };
    const Busqueda busquedas[] = {
        {"Ntipoacometida", T, 250, "ACOMETIDA_TIPO", &m_Qacometida, "ID", "DESCRIPCION"},
        {"Ntiposuministro", T, 250, "TIPO_SUMINISTRO", &m_Qtiposum, "ID", "DESCRIPCION"},
        {"Ninstalador", T, 250, "INSTALADOR", &m_DSinstalador, "ID", "NOMBRE"},
        {"Correoinstalador", T, 250, "INSTALADOR", &m_DSinstalador, "ID", "CORREO"},
        {"Ncable", T, 250, "ACOMETIDA_CABLE", &m_Qcable, "ID", "DESCRIPCION"},
        {"Ntipocaja", T, 250, "CGP_MODELO_CAJA", &m_Qtipocaja, "ID", "DESCRIPCION"},
        {"Intensidadbase", N, 0, "CGP_INTENSIDAD_BASE", &m_QintensidadBase, "ID", "INTENSIDAD"},
        {"IntensidadFusible", N, 0, "CGP_INTENSIDAD_FUSIBLE", &m_Qintensidadfusible, "ID",
         "INTENSIDAD"},
        {"Ntipotension", T, 250, "CGP_TENSION", &m_Qtipotension, "ID", "DESCRIPCION"},
        {"Nubicacion", T, 250, "CGP_UBICACION", &m_Qubicacion, "ID", "DESCRIPCION"},
        {"Nnaturaleza", T, 250, "CGP_NATURAL", &m_Qnaturaleza, "ID", "DESCRIPCION"},
        {"Nsituacionportal", T, 250, "MEDIDA_SITUACION_PORTAL", &m_Qsituacionportal, "ID",
         "DESCRIPCION"},
        {"Ncentralizacion", T, 250, "MEDIDA_CENTRALIZACION", &m_Qcentralizacion, "ID", "DESCRIPCION"},
        {"NLocalizacion", T, 250, "MEDIDA_LOCALIZACION", &m_Qlocalizacion, "ID", "DESCRIPCION"},
        {"Ngestor", T, 250, "GESTOR", &m_DSgestores, "ID", "NOMBRE"},
        {"correogestor", T, 250, "GESTOR", &m_DSgestores, "ID", "EMAIL"},
        {"Nprovincia", T, 250, "LOCALIZA_CODIGO_PROVINCIA", &m_Qprovincias, "CODIGO_PROVINCIA",
         "NOMBRE_PROVINCIA"},
        {"Nmunicipio", T, 250, "LOCALIZA_CODIGO_MUNICIPIO", &m_Qmunicipios,
         "CODIGO_ENTIDAD_POBLACION", "NOMBRE_ENTIDAD_POBLACION"},
        {"Nentidadpoblacion", T, 250, "LOCALIZA_COD_ENTIDAD_POBLAC", &m_Qentidadespoblacion,
         "CODIGO_ENTIDAD_POBLACION", "NOMBRE_ENTIDAD_POBLACION"},
        {"Ntipobis", T, 250, "LOCALIZA_TIPOBIS", &m_QtipoBis, "ID", "DESCRIPCION"},
        {"CodCGP", T, 25, "CGP_NUMERO", &m_Qcgp, "ID", "CODIGO"},
        {"Ncgp", T, 250, "CGP_NUMERO", &m_Qcgp, "ID", "DESCRIPCION"},
    };
    for (const Busqueda &b : busquedas)
        r.addLookupField(QLatin1String(b.nombre), b.tipo, b.tamano, QLatin1String(b.clave),
                         *b.lista, QLatin1String(b.claveLista), QLatin1String(b.resultado));

    using namespace std::placeholders;
    r.afterOpen = [this](RecordSet &s) { DSinstalacionAfterOpen(s); };
    r.beforeInsert = [this](RecordSet &s) { InstaladorAnteriorBeforeInsert(s); };
    r.onNewRecord = [this](RecordSet &s) { DSinstalacionNewRecord(s); };
    r.afterInsert = [this](RecordSet &s) { DSinstalacionAfterInsert(s); };
    r.beforeEdit = [this](RecordSet &s) { DSinstalacionBeforeEdit(s); };
    r.beforePost = [this](RecordSet &s) { DSinstalacionBeforePost(s); };
    r.onPostError = [this](RecordSet &s, const db::DatabaseError &e) {
        DSinstalacionPostError(s, e);
    };
    r.afterPost = [this](RecordSet &s) { DSinstalacionAfterPost(s); };
    // A confirmed deletion is kept at once: it holds no row against the other desks, and a
    // crash right after it does not bring the row back.
    r.afterDelete = [this](RecordSet &s) { DSinstalacionAfterPost(s); };
    r.afterScroll = [this](RecordSet &s) { DSinstalacionAfterScroll(s); };
    r["EXPEDIENTE"].onValidate = [this](Field &f, const QVariant &v) {
        DSinstalacionEXPEDIENTEValidate(f, v);
    };
    r["LOCALIZA_CODIGO_PROVINCIA"].onChange = [this](Field &f) {
        DSinstalacionLOCALIZA_CODIGO_PROVINCIAChange(f);
    };
    r["LOCALIZA_CODIGO_MUNICIPIO"].onChange = [this](Field &f) {
        DSinstalacionLOCALIZA_CODIGO_MUNICIPIOChange(f);
    };
}

void TDatos::definirHijos() {
    RecordSet &a = m_DSarmarios;
    a.selectSql = {QStringLiteral("select * from INSTALACION_ARMARIO"),
                   QStringLiteral("where INSTALACION=:ID"),
                   QStringLiteral("order by N_COLUMNAS,ID")};
    definirTabla(a, QStringLiteral("INSTALACION_ARMARIO"), kArmario,
                 QStringLiteral("INSTALACION_ARMARIO"));
    a.addLookupField(QStringLiteral("Ntipo"), T, 250, QStringLiteral("TIPO"), m_Qtipoarmario,
                     QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    a.addLookupField(QStringLiteral("Ndiposicion"), T, 250, QStringLiteral("DISPOSICION"),
                     m_Qdisposicion, QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    a.addLookupField(QStringLiteral("NdisposicionDI"), T, 250, QStringLiteral("DISPOSICION_DI"),
                     m_QdispocionDI, QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    a.setMasterSource(&m_Sinstalacion);

    RecordSet &d = m_DSderivaciones;
    d.selectSql = {QStringLiteral("select * from INSTALACION_DERIVACIONES"),
                   QStringLiteral("where INSTALACION=:ID"),
                   QStringLiteral("order by ESCALERA, PLANTA, PUERTA, ID")};
    definirTabla(d, QStringLiteral("INSTALACION_DERIVACIONES"), kDerivacion,
                 QStringLiteral("INSTALACION_DERIVACION"));
    d.addLookupField(QStringLiteral("Ntiposuministro"), T, 250, QStringLiteral("TIPO_SUMINISTRO"),
                     m_Qtipoderivacion, QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    for (const char *f : {"ESCALERA", "PLANTA", "PUERTA", "N_COLUMNA", "N_CELDA"})
        d[QLatin1String(f)].editMask = QStringLiteral(">cccccc;0; ");
    d["OBSERVACIONES"].editMask = u'>' + QString(150, u'c') + QStringLiteral(";0; ");
    for (const char *f : {"SECCION_FUERZA", "SECCION_NEUTRO", "SECCION_TIERRA"})
        d[QLatin1String(f)].displayFormat = QStringLiteral("0.0");
    d.setMasterSource(&m_Sinstalacion);

    RecordSet &j = m_DSadjuntos;
    j.selectSql = {QStringLiteral("select * from INSTALACION_ADJUNTOS"),
                   QStringLiteral("where INSTALACION=:ID"), QStringLiteral("order by ID")};
    definirTabla(j, QStringLiteral("INSTALACION_ADJUNTOS"), kAdjunto,
                 QStringLiteral("NINSTALCION_ADJUNTOS"));
    j["NOTA"].editMask = u'>' + QString(78, u'c') + QStringLiteral(";0; ");
    j.setMasterSource(&m_Sinstalacion);

    for (RecordSet *s : {&m_DSarmarios, &m_DSderivaciones, &m_DSadjuntos}) {
        s->beforeInsert = [this](RecordSet &x) { DSarmariosBeforeInsert(x); };
        s->afterPost = [this](RecordSet &x) { DSinstalacionAfterPost(x); };
        s->afterDelete = [this](RecordSet &x) { DSinstalacionAfterPost(x); };
    }
    a.onNewRecord = [this](RecordSet &x) { DSarmariosNewRecord(x); };
    d.onNewRecord = [this](RecordSet &x) { DSderivacionesNewRecord(x); };
    j.onNewRecord = [this](RecordSet &x) { DSadjuntosNewRecord(x); };
    a.afterInsert = [this](RecordSet &x) { DSarmariosAfterInsert(x); };
    d.afterInsert = [this](RecordSet &x) { DSderivacionesAfterInsert(x); };
    a.beforeEdit = [this](RecordSet &x) { DSinstalacionBeforeEdit(x); };
    d.beforeEdit = [this](RecordSet &x) { DSinstalacionBeforeEdit(x); };
    j.beforeEdit = [this](RecordSet &x) { DSadjuntosBeforeEdit(x); };
    a.beforePost = [this](RecordSet &x) { DSarmariosBeforePost(x); };
    a["N_CIRCUITO"].onChange = [this](Field &f) { DSarmariosN_CIRCUITOChange(f); };
    for (const char *f : {"ESCALERA", "PLANTA", "PUERTA", "N_COLUMNA", "N_CELDA", "SECCION_FUERZA",
                          "SECCION_NEUTRO", "SECCION_TIERRA", "OBSERVACIONES"})
        d[QLatin1String(f)].onSetText = [this](Field &fld, const QString &t) {
            DSarmariosN_COLUMNASetText(fld, t);
        };

    m_Qarmcol.selectSql = {QStringLiteral("select count(*) from INSTALACION_ARMARIO"),
                         QStringLiteral("where INSTALACION=:INSTALACION"),
                         QStringLiteral("and N_COLUMNAS=:N_COLUMNAS"),
                         QStringLiteral("and ID<>:ID")};
    m_Qarmcol.addField(QStringLiteral("COUNT"), I, 0, true);
    m_Qarmcol.setMasterSource(&m_Sarmarios);
}

void TDatos::definirInstaladoresYGestores() {
    RecordSet &i = m_DSinstalador;
    i.selectSql = {QStringLiteral("select * from INSTALADOR"), QStringLiteral("order by nombre")};
    definirTabla(i, QStringLiteral("INSTALADOR"), kInstalador, QStringLiteral("INSTALADOR"));
    const std::pair<const char *, int> enMayusculas[] = {
        {"NOMBRE", 40}, {"CIF", 9},          {"TELEFONO", 15}, {"MUNICIPIO", 25},
        {"CALLE", 40},  {"CALLE_NUMERO", 5}, {"CARNET", 12}};
    for (const auto &[campo, n] : enMayusculas)
        i[QLatin1String(campo)].editMask = mascaraMayusculas(n);
    i["CODIGO_POSTAL"].editMask = QStringLiteral("00000");
    i.beforePost = [this](RecordSet &x) { DSinstaladorBeforePost(x); };

    RecordSet &g = m_DSgestores;
    g.selectSql = {QStringLiteral("select * from GESTORES"), QStringLiteral("order by Nombre")};
    definirTabla(g, QStringLiteral("GESTORES"), kGestor, QStringLiteral("NGESTOR"));
    g["NOMBRE"].editMask = mascaraMayusculas(48);
    g["TELEFONO"].editMask = mascaraMayusculas(15);

    // Both lists are small and the new-installation defaults count their rows: fetch them
    // whole when they open, so the count is the true number of rows.
    for (RecordSet *s : {&m_DSinstalador, &m_DSgestores}) {
        s->afterOpen = [](RecordSet &x) { x.fetchAll(); };
        s->afterPost = [this](RecordSet &x) { DSinstalacionAfterPost(x); };
        s->afterDelete = [this](RecordSet &x) { DSinstalacionAfterPost(x); };
    }

    m_Qinstalador.selectSql = {QStringLiteral("select * from INSTALADOR"),
                             QStringLiteral("where ID=:INSTALADOR")};
    m_Qinstalador.setMasterSource(&m_Sinstalacion);

    m_Qver.selectSql = {QStringLiteral("select version,revision from PARAMETROS"),
                      QStringLiteral("where id=1;")};
    m_Qver.addField(QStringLiteral("VERSION"), I, 0, true);
    m_Qver.addField(QStringLiteral("REVISION"), I, 0, true);
}

void TDatos::definirListas() {
    auto lista = [](RecordSet &q, QStringList sql) { q.selectSql = std::move(sql); };
    auto idCodigoDescripcion = [](RecordSet &q) {
        q.addField(QStringLiteral("ID"), I, 0, true);
        q.addField(QStringLiteral("CODIGO"), T, 25, true);
        q.addField(QStringLiteral("DESCRIPCION"), T, 250);
    };
    lista(m_Qacometida, {QStringLiteral("select * from ACOMETIDA order by DESCRIPCION")});
    m_Qacometida.addField(QStringLiteral("ID"), I, 0, true);
    m_Qacometida.addField(QStringLiteral("TIPO"), T, 25, true);
    m_Qacometida.addField(QStringLiteral("DESCRIPCION"), T, 250);

    lista(m_Qtiposum, {QStringLiteral("select * from TIPO_SUMINISTRO"),
                     QStringLiteral("order by DESCRIPCION")});
    idCodigoDescripcion(m_Qtiposum);

    lista(m_Qcable, {QStringLiteral("select ID, DESCRIPCION from CABLE"),
                   QStringLiteral("order by DESCRIPCION")});
    m_Qcable.addField(QStringLiteral("ID"), I, 0, true);
    m_Qcable.addField(QStringLiteral("DESCRIPCION"), T, 250);

    lista(m_Qtipocaja,
          {QStringLiteral("select * from MODELO_CAJA"), QStringLiteral("order by descripcion")});
    idCodigoDescripcion(m_Qtipocaja);
    m_Qtipocaja.addField(QStringLiteral("TIPO_ESQUEMA"), T, 25);
    m_Qtipocaja.addField(QStringLiteral("INDICATIVO_EXTERIOR"), T, 1);
    m_Qtipocaja.addField(QStringLiteral("INDICATIVO_CAJA"), T, 1);

    for (RecordSet *q : {&m_QintensidadBase, &m_Qintensidadfusible}) {
        q->addField(QStringLiteral("ID"), I, 0, true);
        q->addField(QStringLiteral("CODIGO"), T, 25, true);
        q->addField(QStringLiteral("INTENSIDAD"), N);
    }
    lista(m_QintensidadBase,
          {QStringLiteral("select * from INTESIDAD_BASE"), QStringLiteral("order by intensidad")});
    lista(m_Qintensidadfusible, {QStringLiteral("select * from INTESIDAD_FUSIBLE"),
                               QStringLiteral("order by intensidad")});

    lista(m_Qtipotension, {QStringLiteral("select * from TENSION_SUMINISTRO"),
                         QStringLiteral("order by descripcion")});

    lista(m_Qubicacion,
          {QStringLiteral("select * from UBICACION"), QStringLiteral("order by descripcion")});
    idCodigoDescripcion(m_Qubicacion);
    m_Qubicacion.addField(QStringLiteral("INDICATIVO_CAJA"), T, 1);

    lista(m_Qnaturaleza,
          {QStringLiteral("select * from NATURAL_CAJA"), QStringLiteral("order by descripcion")});
    idCodigoDescripcion(m_Qnaturaleza);
    lista(m_Qsituacionportal, {QStringLiteral("select * from SITUACION_PORTAL"),
                             QStringLiteral("order by descripcion")});
    idCodigoDescripcion(m_Qsituacionportal);
    lista(m_Qcentralizacion,
          {QStringLiteral("select * from CENTRALIZACION"), QStringLiteral("order by descripcion")});
    lista(m_Qlocalizacion,
          {QStringLiteral("select * from LOCALIZACION"), QStringLiteral("order by descripcion")});

    lista(m_QtipoBis, {QStringLiteral("select ID, DESCRIPCION from TIPO_BIS"),
                     QStringLiteral("order by descripcion")});
    m_QtipoBis.addField(QStringLiteral("ID"), I, 0, true);
    m_QtipoBis.addField(QStringLiteral("DESCRIPCION"), T, 250);

    lista(m_Qcgp,
          {QStringLiteral("select *  from TIPO_NUM_CGPO"), QStringLiteral("order by codigo")});

    lista(m_Qprovincias,
          {QStringLiteral("select CODIGO_PROVINCIA, NOMBRE_PROVINCIA from VORTAN_PROVINCIA"),
           QStringLiteral("order by nombre_provincia")});
    m_Qprovincias.addField(QStringLiteral("CODIGO_PROVINCIA"), T, 25, true);
    m_Qprovincias.addField(QStringLiteral("NOMBRE_PROVINCIA"), T, 250);
    m_Qprovincias.afterOpen = [this](RecordSet &q) { QprovinciasAfterOpen(q); };

    lista(
        m_Qmunicipios,
        {QStringLiteral("select CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION from "
                        "VORTAN_ENTIDAD_POBLACION"),
         QStringLiteral(
             "where codigo_provincia=:CODIGO_PROVINCIA and codigo_entidad_poblacion like '%0000'"),
         QStringLiteral("order by NOMBRE_ENTIDAD_POBLACION")});
    lista(m_Qentidadespoblacion,
          {QStringLiteral("select CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION from "
                          "VORTAN_ENTIDAD_POBLACION"),
           QStringLiteral("where codigo_provincia=:CODIGO_PROVINCIA and codigo_entidad_poblacion "
                          "like :codpobla "),
           QStringLiteral("and  codigo_entidad_poblacion not like '%0000'"),
           QStringLiteral("order by NOMBRE_ENTIDAD_POBLACION")});
    for (RecordSet *q : {&m_Qmunicipios, &m_Qentidadespoblacion}) {
        q->addField(QStringLiteral("CODIGO_ENTIDAD_POBLACION"), T, 25);
        q->addField(QStringLiteral("NOMBRE_ENTIDAD_POBLACION"), T, 250);
    }

    lista(m_Qtipoarmario,
          {QStringLiteral("select * from TIPO_ARMARIO"), QStringLiteral("order by descripcion")});
    idCodigoDescripcion(m_Qtipoarmario);
    lista(m_Qdisposicion, {QStringLiteral("select * from DISPOSICION_ARMARIO"),
                         QStringLiteral("order by descripcion")});
    lista(m_QdispocionDI,
          {QStringLiteral("select * from DISPOSICION_DI"), QStringLiteral("order by descripcion")});
    lista(m_Qtipoderivacion,
          {QStringLiteral("select ID, DESCRIPCION from TIPO_SUMINISTRO_DERIVACION"),
           QStringLiteral("order by id")});
}

// ---------------------------------------------------------------- start-up and shutdown

QString TDatos::MensajeFalloConexion(const QString &baseDeDatos) {
    return QStringLiteral("No se ha podido realizar la conexión con la\n\rbase de datos: ") +
           baseDeDatos +
           QStringLiteral(".\n\rCompruebe que la ruta, el usuario y la clave sean correctas");
}

void TDatos::Conectar(const QString &baseDeDatos, const QString &usuario, const Login &login) {
    if (m_IBTrans.active())
        m_IBTrans.commit();
    m_IBDB.close();
    m_IBDB.databaseName.clear();
    m_IBDB.params.clear();
    m_IBDB.params << QStringLiteral("lc_ctype=WIN1252");
    m_IBDB.databaseName = baseDeDatos;
    m_IBDB.params << QStringLiteral("user_name=") + usuario;
    m_IBDB.sqlDialect = 3;
    m_IBDB.loginPrompt = true;
    m_IBDB.onLogin = login;
    m_IBDB.open();
    m_IBTrans.start();
    m_DSinstalacion.open();
    m_DSinstalacion.last();
}

std::array<RecordSet *, 4> TDatos::conEdiciones() {
    // The details before the installation: they are all edited from the main window, and a
    // reopen of the installation would drop what they hold.
    return {&m_DSarmarios, &m_DSderivaciones, &m_DSadjuntos, &m_DSinstalacion};
}

void TDatos::PostearPendientes() {
    for (RecordSet *s : conEdiciones())
        if (s->editing())
            s->post();
}

QString TDatos::PendientesSinConexion() {
    if (!m_IBDB.lost())
        return {};
    const auto sets = conEdiciones();
    if (std::none_of(sets.begin(), sets.end(), [](RecordSet *s) { return s->editing(); }))
        return {};
    try {
        m_IBDB.reattach();
    } catch (const db::ConnectionLost &e) {
        return e.message().section(u'\n', 0, 0);
    }
    return {};
}

void TDatos::DescartarPendientes() {
    for (RecordSet *s : conEdiciones()) {
        try {
            s->cancel();
        } catch (const db::ConnectionLost &) {
            // The edit is dropped all the same; the sets it would read again are closing.
        }
    }
}

void TDatos::Cerrar() {
    if (!m_IBDB.connected())
        return;
    try {
        PostearPendientes();
    } catch (const db::DatabaseError &e) {
        if (m_view)
            m_view->error(e.message());
    } catch (const db::Abort &) {
        // The installation's own post-error handling has shown its message.
    }
    for (RecordSet *s :
         {&m_DSarmarios, &m_DSderivaciones, &m_DSadjuntos, &m_DSinstalacion, &m_Qarmcol, &m_Qinstalador})
        s->close();
    try {
        if (m_IBTrans.active())
            m_IBTrans.commit();
        m_IBDB.close();
    } catch (const db::DatabaseError &e) {
        if (m_view)
            m_view->error(e.message());
    }
}

void TDatos::AbrirSoloInstalacion(int id) {
    m_DSinstalacion.close();
    m_DSinstalacion.selectSql[kLineaFiltro] = QStringLiteral("where id=") + QString::number(id);
    m_DSinstalacion.open();
}

void TDatos::AbrirTodasLasInstalaciones() {
    m_DSinstalacion.close();
    m_DSinstalacion.selectSql[kLineaFiltro].clear();
    m_DSinstalacion.open();
}

void TDatos::GuardarPendientes() {
    PostearPendientes();
    m_IBTrans.commitRetaining();
}

int TDatos::CopiarInstalacion() {
    m_SPcopiar.setParam(QStringLiteral("VIEJA"),
                      m_DSinstalacion.isEmpty() ? 0 : m_DSinstalacion["ID"].asInteger());
    m_SPcopiar.execProc();
    m_IBTrans.commitRetaining(); // the copy on screen is the copy in the database
    const QVariant nueva = m_SPcopiar.param(QStringLiteral("NUEVA"));
    m_DSinstalacion.close();
    m_DSinstalacion.open();
    m_DSinstalacion.locate(QStringLiteral("ID"), nueva);
    return nueva.toInt();
}

void TDatos::MarcarEnviado(bool enviado) {
    PermitirEdicionEnviada = true;
    const auto restaurar = qScopeGuard([this] { PermitirEdicionEnviada = false; });
    if (!m_DSinstalacion.editing())
        m_DSinstalacion.edit();
    m_DSinstalacion["ENVIADO"].setValue(enviado ? QStringLiteral("S") : QStringLiteral("N"));
    m_DSinstalacion.post();
}

void TDatos::Adjuntar(const QString &ruta) {
    const int limite = m_DSadjuntos["DIRECCION"].size();
    if (ruta.size() > limite)
        throw db::DatabaseError(QStringLiteral("No se puede adjuntar un archivo cuya ruta tenga "
                                               "más de %1 caracteres; la de este archivo tiene %2")
                                    .arg(limite)
                                    .arg(ruta.size()));
    m_DSadjuntos.insert();
    m_DSadjuntos["DIRECCION"].setValue(ruta);
    m_DSadjuntos.post();
}

void TDatos::BorrarAdjuntos() {
    m_DSadjuntos.first();
    while (!m_DSadjuntos.isEmpty())
        m_DSadjuntos.remove();
}
