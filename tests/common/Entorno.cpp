#include "tests/common/Entorno.h"

#include "db/Statement.h"
#include "tests/common/TestDatos.h"

Entorno::Entorno(bool demo, const QStringList &semilla) : tdb(demo) {
    conectar(demo, semilla);
}

Entorno::Entorno(const Correo &servidor, bool demo, const QStringList &semilla)
    : correo(std::make_unique<SmtpPeer>(servidor.modo, servidor.certificado, servidor.clave)),
      tdb(demo) {
    conectar(demo, QStringList{QStringLiteral("update INSTALADOR set SMTP_SERVIDOR='%1'")
                                   .arg(correo->host())} +
                       semilla);
}

void Entorno::conectar(bool demo, const QStringList &semilla) {
    tdb.seed(semilla, demo ? TestDatabase::Keys::Kept : TestDatabase::Keys::From1000);
    principal = std::make_unique<VentanaFalsa>();
    principal->cajas = cajas;
    datos = std::make_unique<TDatos>(principal.get());
    if (preparar)
        preparar(*this);
    connectDataModule(*datos, tdb);
}

// What a test leaves pending is dropped: the module's shutdown would otherwise try to save it
// and show its refusal with no one to answer. A test that shut the module down itself has
// left nothing.
Entorno::~Entorno() {
    if (datos) {
        datos->setView(nullptr);
        for (db::RecordSet *s :
             {&datos->DSarmarios(), &datos->DSderivaciones(), &datos->DSadjuntos(),
              &datos->DSinstalacion(), &datos->DSinstalador(), &datos->DSgestores()})
            if (s->editing())
                s->cancel();
    }
    principal.reset();
    datos.reset();
}

QVariant Entorno::visto(const QString &sql) {
    return tdb.attach()->scalar(sql);
}

QStringList Entorno::columna(const QString &sql) {
    auto a = tdb.attach();
    db::Statement s(*a->transaction);
    s.prepare(sql);
    s.openCursor();
    QStringList valores;
    while (s.fetch())
        valores << s.value(0).toString();
    return valores;
}

void Entorno::ejecutar(const QString &sql) {
    db::Statement s(datos->IBTrans());
    s.prepare(sql);
    s.execute();
}

int Entorno::actual() const {
    const db::RecordSet &r = datos->DSinstalacion();
    return r.isEmpty() ? 0 : r.field(QStringLiteral("ID")).asInteger();
}
