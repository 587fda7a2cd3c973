#include "tests/search/Entorno.h"

#include "db/Statement.h"
#include "platform/dialogs/MessageBoxes.h"
#include "tests/common/TestDatos.h"

VentanaPrincipal::VentanaPrincipal() {
    setObjectName(QStringLiteral("Finstalacion"));
}

void VentanaPrincipal::mensaje(const QString &texto) {
    mostrarMensaje(this, texto);
}

void VentanaPrincipal::error(const QString &texto) {
    mostrarError(this, texto);
}

Entorno::Entorno(const QStringList &semilla) {
    tdb.seed(semilla);
    principal = std::make_unique<VentanaPrincipal>();
    datos = std::make_unique<TDatos>(principal.get());
    connectDataModule(*datos, tdb);
}

Entorno::~Entorno() {
    datos->setView(nullptr);
    principal.reset();
    datos.reset();
}

int Entorno::actual() const {
    const db::RecordSet &r = datos->DSinstalacion();
    return r.isEmpty() ? 0 : r.field(QStringLiteral("ID")).asInteger();
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
