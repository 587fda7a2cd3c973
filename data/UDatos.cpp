#include "data/UDatos.h"

#include <QScopeGuard>

#include <algorithm>
#include <array>
#include <utility>

using db::Field;
using db::FieldType;
using db::RecordSet;

namespace {

// Seconds a save waits for a row that another desk holds.
constexpr int kEsperaBloqueo = 5;

const QString kEnviadaBloqueada =
    QStringLiteral("No es posible modificar los registros de una instalacion enviada");

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

// Upper case for the letters a to z only; accented letters and ñ stay as typed.
QString letrasAZEnMayusculas(const QString &texto) {
    QString out = texto;
    for (QChar &c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

} // namespace

TDatos::TDatos(DatosView *view) : m_view(view) {
    // Desks sharing a server see each other's saved work on every re-read, and a row another
    // desk holds is waited for a few seconds, then refused with a message.
    IBTrans.isolation = db::Transaction::Isolation::ReadCommitted;
    IBTrans.lockTimeoutSeconds = kEsperaBloqueo;
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
    RecordSet &r = DSinstalacion;
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
        {"Ntipoacometida", T, 250, "ACOMETIDA_TIPO", &Qacometida, "ID", "DESCRIPCION"},
        {"Ntiposuministro", T, 250, "TIPO_SUMINISTRO", &Qtiposum, "ID", "DESCRIPCION"},
        {"Ninstalador", T, 250, "INSTALADOR", &DSinstalador, "ID", "NOMBRE"},
        {"Correoinstalador", T, 250, "INSTALADOR", &DSinstalador, "ID", "CORREO"},
        {"Ncable", T, 250, "ACOMETIDA_CABLE", &Qcable, "ID", "DESCRIPCION"},
        {"Ntipocaja", T, 250, "CGP_MODELO_CAJA", &Qtipocaja, "ID", "DESCRIPCION"},
        {"Intensidadbase", N, 0, "CGP_INTENSIDAD_BASE", &QintensidadBase, "ID", "INTENSIDAD"},
        {"IntensidadFusible", N, 0, "CGP_INTENSIDAD_FUSIBLE", &Qintensidadfusible, "ID",
         "INTENSIDAD"},
        {"Ntipotension", T, 250, "CGP_TENSION", &Qtipotension, "ID", "DESCRIPCION"},
        {"Nubicacion", T, 250, "CGP_UBICACION", &Qubicacion, "ID", "DESCRIPCION"},
        {"Nnaturaleza", T, 250, "CGP_NATURAL", &Qnaturaleza, "ID", "DESCRIPCION"},
        {"Nsituacionportal", T, 250, "MEDIDA_SITUACION_PORTAL", &Qsituacionportal, "ID",
         "DESCRIPCION"},
        {"Ncentralizacion", T, 250, "MEDIDA_CENTRALIZACION", &Qcentralizacion, "ID", "DESCRIPCION"},
        {"NLocalizacion", T, 250, "MEDIDA_LOCALIZACION", &Qlocalizacion, "ID", "DESCRIPCION"},
        {"Ngestor", T, 250, "GESTOR", &DSgestores, "ID", "NOMBRE"},
        {"correogestor", T, 250, "GESTOR", &DSgestores, "ID", "EMAIL"},
        {"Nprovincia", T, 250, "LOCALIZA_CODIGO_PROVINCIA", &Qprovincias, "CODIGO_PROVINCIA",
         "NOMBRE_PROVINCIA"},
        {"Nmunicipio", T, 250, "LOCALIZA_CODIGO_MUNICIPIO", &Qmunicipios,
         "CODIGO_ENTIDAD_POBLACION", "NOMBRE_ENTIDAD_POBLACION"},
        {"Nentidadpoblacion", T, 250, "LOCALIZA_COD_ENTIDAD_POBLAC", &Qentidadespoblacion,
         "CODIGO_ENTIDAD_POBLACION", "NOMBRE_ENTIDAD_POBLACION"},
        {"Ntipobis", T, 250, "LOCALIZA_TIPOBIS", &QtipoBis, "ID", "DESCRIPCION"},
        {"CodCGP", T, 25, "CGP_NUMERO", &Qcgp, "ID", "CODIGO"},
        {"Ncgp", T, 250, "CGP_NUMERO", &Qcgp, "ID", "DESCRIPCION"},
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
    RecordSet &a = DSarmarios;
    a.selectSql = {QStringLiteral("select * from INSTALACION_ARMARIO"),
                   QStringLiteral("where INSTALACION=:ID"),
                   QStringLiteral("order by N_COLUMNAS,ID")};
    definirTabla(a, QStringLiteral("INSTALACION_ARMARIO"), kArmario,
                 QStringLiteral("INSTALACION_ARMARIO"));
    a.addLookupField(QStringLiteral("Ntipo"), T, 250, QStringLiteral("TIPO"), Qtipoarmario,
                     QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    a.addLookupField(QStringLiteral("Ndiposicion"), T, 250, QStringLiteral("DISPOSICION"),
                     Qdisposicion, QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    a.addLookupField(QStringLiteral("NdisposicionDI"), T, 250, QStringLiteral("DISPOSICION_DI"),
                     QdispocionDI, QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    a.setMasterSource(&Sinstalacion);

    RecordSet &d = DSderivaciones;
    d.selectSql = {QStringLiteral("select * from INSTALACION_DERIVACIONES"),
                   QStringLiteral("where INSTALACION=:ID"),
                   QStringLiteral("order by ESCALERA, PLANTA, PUERTA, ID")};
    definirTabla(d, QStringLiteral("INSTALACION_DERIVACIONES"), kDerivacion,
                 QStringLiteral("INSTALACION_DERIVACION"));
    d.addLookupField(QStringLiteral("Ntiposuministro"), T, 250, QStringLiteral("TIPO_SUMINISTRO"),
                     Qtipoderivacion, QStringLiteral("ID"), QStringLiteral("DESCRIPCION"));
    for (const char *f : {"ESCALERA", "PLANTA", "PUERTA", "N_COLUMNA", "N_CELDA"})
        d[QLatin1String(f)].editMask = QStringLiteral(">cccccc;0; ");
    d["OBSERVACIONES"].editMask = u'>' + QString(150, u'c') + QStringLiteral(";0; ");
    for (const char *f : {"SECCION_FUERZA", "SECCION_NEUTRO", "SECCION_TIERRA"})
        d[QLatin1String(f)].displayFormat = QStringLiteral("0.0");
    d.setMasterSource(&Sinstalacion);

    RecordSet &j = DSadjuntos;
    j.selectSql = {QStringLiteral("select * from INSTALACION_ADJUNTOS"),
                   QStringLiteral("where INSTALACION=:ID"), QStringLiteral("order by ID")};
    definirTabla(j, QStringLiteral("INSTALACION_ADJUNTOS"), kAdjunto,
                 QStringLiteral("NINSTALCION_ADJUNTOS"));
    j["NOTA"].editMask = u'>' + QString(78, u'c') + QStringLiteral(";0; ");
    j.setMasterSource(&Sinstalacion);

    for (RecordSet *s : {&DSarmarios, &DSderivaciones, &DSadjuntos}) {
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

    Qarmcol.selectSql = {QStringLiteral("select count(*) from INSTALACION_ARMARIO"),
                         QStringLiteral("where INSTALACION=:INSTALACION"),
                         QStringLiteral("and N_COLUMNAS=:N_COLUMNAS"),
                         QStringLiteral("and ID<>:ID")};
    Qarmcol.addField(QStringLiteral("COUNT"), I, 0, true);
    Qarmcol.setMasterSource(&Sarmarios);
}

void TDatos::definirInstaladoresYGestores() {
    RecordSet &i = DSinstalador;
    i.selectSql = {QStringLiteral("select * from INSTALADOR"), QStringLiteral("order by nombre")};
    definirTabla(i, QStringLiteral("INSTALADOR"), kInstalador, QStringLiteral("INSTALADOR"));
    const std::pair<const char *, int> enMayusculas[] = {
        {"NOMBRE", 40}, {"CIF", 9},          {"TELEFONO", 15}, {"MUNICIPIO", 25},
        {"CALLE", 40},  {"CALLE_NUMERO", 5}, {"CARNET", 12}};
    for (const auto &[campo, n] : enMayusculas)
        i[QLatin1String(campo)].editMask = mascaraMayusculas(n);
    i["CODIGO_POSTAL"].editMask = QStringLiteral("00000");
    i.beforePost = [this](RecordSet &x) { DSinstaladorBeforePost(x); };

    RecordSet &g = DSgestores;
    g.selectSql = {QStringLiteral("select * from GESTORES"), QStringLiteral("order by Nombre")};
    definirTabla(g, QStringLiteral("GESTORES"), kGestor, QStringLiteral("NGESTOR"));
    g["NOMBRE"].editMask = mascaraMayusculas(48);
    g["TELEFONO"].editMask = mascaraMayusculas(15);

    // Both lists are small and the new-installation defaults count their rows: fetch them
    // whole when they open, so the count is the true number of rows.
    for (RecordSet *s : {&DSinstalador, &DSgestores}) {
        s->afterOpen = [](RecordSet &x) { x.fetchAll(); };
        s->afterPost = [this](RecordSet &x) { DSinstalacionAfterPost(x); };
        s->afterDelete = [this](RecordSet &x) { DSinstalacionAfterPost(x); };
    }

    Qinstalador.selectSql = {QStringLiteral("select * from INSTALADOR"),
                             QStringLiteral("where ID=:INSTALADOR")};
    Qinstalador.setMasterSource(&Sinstalacion);

    Qver.selectSql = {QStringLiteral("select version,revision from PARAMETROS"),
                      QStringLiteral("where id=1;")};
    Qver.addField(QStringLiteral("VERSION"), I, 0, true);
    Qver.addField(QStringLiteral("REVISION"), I, 0, true);
}

void TDatos::definirListas() {
    auto lista = [](RecordSet &q, QStringList sql) { q.selectSql = std::move(sql); };
    auto idCodigoDescripcion = [](RecordSet &q) {
        q.addField(QStringLiteral("ID"), I, 0, true);
        q.addField(QStringLiteral("CODIGO"), T, 25, true);
        q.addField(QStringLiteral("DESCRIPCION"), T, 250);
    };
    lista(Qacometida, {QStringLiteral("select * from ACOMETIDA order by DESCRIPCION")});
    Qacometida.addField(QStringLiteral("ID"), I, 0, true);
    Qacometida.addField(QStringLiteral("TIPO"), T, 25, true);
    Qacometida.addField(QStringLiteral("DESCRIPCION"), T, 250);

    lista(Qtiposum, {QStringLiteral("select * from TIPO_SUMINISTRO"),
                     QStringLiteral("order by DESCRIPCION")});
    idCodigoDescripcion(Qtiposum);

    lista(Qcable, {QStringLiteral("select ID, DESCRIPCION from CABLE"),
                   QStringLiteral("order by DESCRIPCION")});
    Qcable.addField(QStringLiteral("ID"), I, 0, true);
    Qcable.addField(QStringLiteral("DESCRIPCION"), T, 250);

    lista(Qtipocaja,
          {QStringLiteral("select * from MODELO_CAJA"), QStringLiteral("order by descripcion")});
    idCodigoDescripcion(Qtipocaja);
    Qtipocaja.addField(QStringLiteral("TIPO_ESQUEMA"), T, 25);
    Qtipocaja.addField(QStringLiteral("INDICATIVO_EXTERIOR"), T, 1);
    Qtipocaja.addField(QStringLiteral("INDICATIVO_CAJA"), T, 1);

    for (RecordSet *q : {&QintensidadBase, &Qintensidadfusible}) {
        q->addField(QStringLiteral("ID"), I, 0, true);
        q->addField(QStringLiteral("CODIGO"), T, 25, true);
        q->addField(QStringLiteral("INTENSIDAD"), N);
    }
    lista(QintensidadBase,
          {QStringLiteral("select * from INTESIDAD_BASE"), QStringLiteral("order by intensidad")});
    lista(Qintensidadfusible, {QStringLiteral("select * from INTESIDAD_FUSIBLE"),
                               QStringLiteral("order by intensidad")});

    lista(Qtipotension, {QStringLiteral("select * from TENSION_SUMINISTRO"),
                         QStringLiteral("order by descripcion")});

    lista(Qubicacion,
          {QStringLiteral("select * from UBICACION"), QStringLiteral("order by descripcion")});
    idCodigoDescripcion(Qubicacion);
    Qubicacion.addField(QStringLiteral("INDICATIVO_CAJA"), T, 1);

    lista(Qnaturaleza,
          {QStringLiteral("select * from NATURAL_CAJA"), QStringLiteral("order by descripcion")});
    idCodigoDescripcion(Qnaturaleza);
    lista(Qsituacionportal, {QStringLiteral("select * from SITUACION_PORTAL"),
                             QStringLiteral("order by descripcion")});
    idCodigoDescripcion(Qsituacionportal);
    lista(Qcentralizacion,
          {QStringLiteral("select * from CENTRALIZACION"), QStringLiteral("order by descripcion")});
    lista(Qlocalizacion,
          {QStringLiteral("select * from LOCALIZACION"), QStringLiteral("order by descripcion")});

    lista(QtipoBis, {QStringLiteral("select ID, DESCRIPCION from TIPO_BIS"),
                     QStringLiteral("order by descripcion")});
    QtipoBis.addField(QStringLiteral("ID"), I, 0, true);
    QtipoBis.addField(QStringLiteral("DESCRIPCION"), T, 250);

    lista(Qcgp,
          {QStringLiteral("select *  from TIPO_NUM_CGPO"), QStringLiteral("order by codigo")});

    lista(Qprovincias,
          {QStringLiteral("select CODIGO_PROVINCIA, NOMBRE_PROVINCIA from VORTAN_PROVINCIA"),
           QStringLiteral("order by nombre_provincia")});
    Qprovincias.addField(QStringLiteral("CODIGO_PROVINCIA"), T, 25, true);
    Qprovincias.addField(QStringLiteral("NOMBRE_PROVINCIA"), T, 250);
    Qprovincias.afterOpen = [this](RecordSet &q) { QprovinciasAfterOpen(q); };

    lista(
        Qmunicipios,
        {QStringLiteral("select CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION from "
                        "VORTAN_ENTIDAD_POBLACION"),
         QStringLiteral(
             "where codigo_provincia=:CODIGO_PROVINCIA and codigo_entidad_poblacion like '%0000'"),
         QStringLiteral("order by NOMBRE_ENTIDAD_POBLACION")});
    lista(Qentidadespoblacion,
          {QStringLiteral("select CODIGO_ENTIDAD_POBLACION, NOMBRE_ENTIDAD_POBLACION from "
                          "VORTAN_ENTIDAD_POBLACION"),
           QStringLiteral("where codigo_provincia=:CODIGO_PROVINCIA and codigo_entidad_poblacion "
                          "like :codpobla "),
           QStringLiteral("and  codigo_entidad_poblacion not like '%0000'"),
           QStringLiteral("order by NOMBRE_ENTIDAD_POBLACION")});
    for (RecordSet *q : {&Qmunicipios, &Qentidadespoblacion}) {
        q->addField(QStringLiteral("CODIGO_ENTIDAD_POBLACION"), T, 25);
        q->addField(QStringLiteral("NOMBRE_ENTIDAD_POBLACION"), T, 250);
    }

    lista(Qtipoarmario,
          {QStringLiteral("select * from TIPO_ARMARIO"), QStringLiteral("order by descripcion")});
    idCodigoDescripcion(Qtipoarmario);
    lista(Qdisposicion, {QStringLiteral("select * from DISPOSICION_ARMARIO"),
                         QStringLiteral("order by descripcion")});
    lista(QdispocionDI,
          {QStringLiteral("select * from DISPOSICION_DI"), QStringLiteral("order by descripcion")});
    lista(Qtipoderivacion,
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
    if (IBTrans.active())
        IBTrans.commit();
    IBDB.close();
    IBDB.databaseName.clear();
    IBDB.params.clear();
    IBDB.params << QStringLiteral("lc_ctype=WIN1252");
    IBDB.databaseName = baseDeDatos;
    IBDB.params << QStringLiteral("user_name=") + usuario;
    IBDB.sqlDialect = 3;
    IBDB.loginPrompt = true;
    IBDB.onLogin = login;
    IBDB.open();
    IBTrans.start();
    DSinstalacion.open();
    DSinstalacion.last();
}

std::array<RecordSet *, 4> TDatos::conEdiciones() {
    // The details before the installation: they are all edited from the main window, and a
    // reopen of the installation would drop what they hold.
    return {&DSarmarios, &DSderivaciones, &DSadjuntos, &DSinstalacion};
}

void TDatos::PostearPendientes() {
    for (RecordSet *s : conEdiciones())
        if (s->editing())
            s->post();
}

QString TDatos::PendientesSinConexion() {
    if (!IBDB.lost())
        return {};
    const auto sets = conEdiciones();
    if (std::none_of(sets.begin(), sets.end(), [](RecordSet *s) { return s->editing(); }))
        return {};
    try {
        IBDB.reattach();
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
    if (!IBDB.connected())
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
         {&DSarmarios, &DSderivaciones, &DSadjuntos, &DSinstalacion, &Qarmcol, &Qinstalador})
        s->close();
    try {
        if (IBTrans.active())
            IBTrans.commit();
        IBDB.close();
    } catch (const db::DatabaseError &e) {
        if (m_view)
            m_view->error(e.message());
    }
}

void TDatos::GuardarPendientes() {
    PostearPendientes();
    IBTrans.commitRetaining();
}

int TDatos::CopiarInstalacion() {
    SPcopiar.setParam(QStringLiteral("VIEJA"),
                      DSinstalacion.isEmpty() ? 0 : DSinstalacion["ID"].asInteger());
    SPcopiar.execProc();
    IBTrans.commitRetaining(); // the copy on screen is the copy in the database
    const QVariant nueva = SPcopiar.param(QStringLiteral("NUEVA"));
    DSinstalacion.close();
    DSinstalacion.open();
    DSinstalacion.locate(QStringLiteral("ID"), nueva);
    return nueva.toInt();
}

void TDatos::MarcarEnviado(bool enviado) {
    PermitirEdicionEnviada = true;
    const auto restaurar = qScopeGuard([this] { PermitirEdicionEnviada = false; });
    if (!DSinstalacion.editing())
        DSinstalacion.edit();
    DSinstalacion["ENVIADO"].setValue(enviado ? QStringLiteral("S") : QStringLiteral("N"));
    DSinstalacion.post();
}

void TDatos::Adjuntar(const QString &ruta) {
    const int limite = DSadjuntos["DIRECCION"].size();
    if (ruta.size() > limite)
        throw db::DatabaseError(QStringLiteral("No se puede adjuntar un archivo cuya ruta tenga "
                                               "más de %1 caracteres; la de este archivo tiene %2")
                                    .arg(limite)
                                    .arg(ruta.size()));
    DSadjuntos.insert();
    DSadjuntos["DIRECCION"].setValue(ruta);
    DSadjuntos.post();
}

void TDatos::BorrarAdjuntos() {
    DSadjuntos.first();
    while (!DSadjuntos.isEmpty())
        DSadjuntos.remove();
}

// ---------------------------------------------------------------- installation rules

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
    DSarmarios.open();
    DSderivaciones.open();
    DSadjuntos.open();
}

void TDatos::InstaladorAnteriorBeforeInsert(RecordSet &r) {
    InstaladorAnterior = r.isEmpty() ? 0 : r["INSTALADOR"].asInteger();
}

void TDatos::DSinstalacionNewRecord(RecordSet &r) {
    if (DSinstalador.recordCount() == 1)
        r["INSTALADOR"].setValue(DSinstalador["ID"].value());
    else if (InstaladorAnterior > 0)
        r["INSTALADOR"].setValue(InstaladorAnterior);
    r["FECHA"].setValue(QDateTime(QDate::currentDate(), QTime(0, 0)));
    r["ENVIADO"].setValue(QStringLiteral("N"));
    r["LINEAGENERAL_NORDEN"].setValue(QStringLiteral("1"));
    r["LINEAGENERAL_MATERIAL"].setValue(QStringLiteral("Cobre"));
    if (DSgestores.recordCount() == 1)
        r["GESTOR"].setValue(DSgestores["ID"].value());
}

void TDatos::DSinstalacionAfterInsert(RecordSet &) {
    if (m_view)
        m_view->enfocarExpediente();
}

void TDatos::DSinstalacionBeforeEdit(RecordSet &) {
    if (PermitirEdicionEnviada)
        return;
    if (DSinstalacion["ENVIADO"].asString() == QLatin1String("S"))
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
    IBTrans.commitRetaining();
}

void TDatos::reabrirListasDeLocalizacion(const QString &provincia, const QString &municipio) {
    Qmunicipios.close();
    Qmunicipios.setParam(QStringLiteral("codigo_provincia"), provincia);
    Qmunicipios.open();
    Qentidadespoblacion.close();
    Qentidadespoblacion.setParam(QStringLiteral("codigo_provincia"), provincia);
    Qentidadespoblacion.setParam(QStringLiteral("codpobla"), municipio.left(3) + u'%');
    Qentidadespoblacion.open();
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
    DSinstalacion["LOCALIZA_CODIGO_MUNICIPIO"].clear();
    Qmunicipios.close();
    Qmunicipios.setParam(QStringLiteral("codigo_provincia"), f.asString());
    Qmunicipios.open();
}

void TDatos::DSinstalacionLOCALIZA_CODIGO_MUNICIPIOChange(Field &f) {
    DSinstalacion["LOCALIZA_COD_ENTIDAD_POBLAC"].clear();
    Qentidadespoblacion.close();
    Qentidadespoblacion.setParam(QStringLiteral("codigo_provincia"),
                                 DSinstalacion["LOCALIZA_CODIGO_PROVINCIA"].asString());
    Qentidadespoblacion.setParam(QStringLiteral("codpobla"), f.asString().left(3) + u'%');
    Qentidadespoblacion.open();
}

void TDatos::QprovinciasAfterOpen(RecordSet &q) {
    q.last();
}

// ---------------------------------------------------------------- cabinets, branches, attachments

void TDatos::DSarmariosBeforeInsert(RecordSet &) {
    if (DSinstalacion.isEmpty())
        throw db::DatabaseError(QStringLiteral("Es necesario generar primero una instalación"));
    if (enviadoMarcado())
        throw db::DatabaseError(kEnviadaBloqueada);
    if (DSinstalacion.editing())
        DSinstalacion.post();
}

void TDatos::DSarmariosNewRecord(RecordSet &r) {
    r["INSTALACION"].setValue(DSinstalacion["ID"].asInteger());
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
    Qarmcol.open();
    const QVariant cuenta = Qarmcol["COUNT"].value();
    Qarmcol.close();
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

// ---------------------------------------------------------------- bulletin run

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
    const int id = DSinstalacion.isEmpty() ? 0 : DSinstalacion["ID"].asInteger();
    informe.salidaPorDefecto(DSinstalacion.isEmpty() ? QString()
                                                     : DSinstalacion["EXPEDIENTE"].asString());
    informe.abrirProyecto();
    if (!informe.seleccionarInforme(QStringLiteral("Boletín de la instalación")))
        throw db::DatabaseError(QStringLiteral("No se ha podido localizar el informe"));

    // From here on the whole list comes back, however the run ends.
    try {
        DSinstalacion.close();
        DSinstalacion.selectSql[1] = QStringLiteral("where id=") + QString::number(id);
        DSinstalacion.open();
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
    const QString expediente = DSinstalacion["EXPEDIENTE"].asString();
    if (!ExpedienteValido(expediente))
        throw db::DatabaseError(ExpedienteNoValidoParaEnvio());
    if (!informe.confirmarEnvio())
        return;
    DSinstalacion.edit();
    DSinstalacion["FECHA"].setValue(QDateTime(QDate::currentDate(), QTime(0, 0)));
    // The post's own handling shows its message and stops silently; the send stops too, and
    // the run's error dialog says so, with the reason.
    QString fallo;
    try {
        auto propio = DSinstalacion.onPostError;
        DSinstalacion.onPostError = [&fallo, &propio](RecordSet &s, const db::DatabaseError &e) {
            fallo = e.message();
            if (propio)
                propio(s, e);
        };
        const auto restaurar =
            qScopeGuard([this, &propio] { DSinstalacion.onPostError = std::move(propio); });
        DSinstalacion.post();
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
    Qinstalador.close();
    DSinstalacion.close();
    DSinstalacion.selectSql[1].clear();
    DSinstalacion.open();
    // Locate passes over every row before the one it looks for, and the after-scroll rule
    // re-queries the location lists on each: with a country's installations that is minutes.
    // Its effect only matters on the row where the search stops, so it runs there, once.
    RecordSet::Hook alMoverse = std::exchange(DSinstalacion.afterScroll, nullptr);
    try {
        DSinstalacion.locate(QStringLiteral("ID"), id);
    } catch (...) {
        DSinstalacion.afterScroll = std::move(alMoverse);
        throw;
    }
    DSinstalacion.afterScroll = std::move(alMoverse);
    if (DSinstalacion.afterScroll && !DSinstalacion.isEmpty())
        DSinstalacion.afterScroll(DSinstalacion);
}
