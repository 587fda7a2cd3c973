#include "tests/editors/VentanaPrincipal.h"

#include "db/Statement.h"
#include "editors/Editores.h"
#include "platform/dialogs/MessageBoxes.h"
#include "tests/common/TestDatos.h"

#include <QApplication>
#include <QtTest>

VentanaPrincipal::VentanaPrincipal() {
    setObjectName(QStringLiteral("Finstalacion"));
}

void VentanaPrincipal::abrirEditorArmarios() {
    ++aperturasArmarios;
    ::abrirEditorArmarios(*datos, this);
}

void VentanaPrincipal::abrirEditorDerivaciones() {
    ++aperturasDerivaciones;
    ::abrirEditorDerivaciones(*datos, this);
}

void VentanaPrincipal::mensaje(const QString &texto) {
    mostrarMensaje(this, texto);
}

void VentanaPrincipal::error(const QString &texto) {
    mostrarError(this, texto);
}

Entorno::Entorno(bool demo, const QStringList &semilla) : tdb(demo) {
    tdb.seed(semilla, TestDatabase::Keys::From1000);
    principal = std::make_unique<VentanaPrincipal>();
    propietario = std::make_unique<TDatos>(principal.get());
    datos = propietario.get();
    principal->datos = datos;
    connectDataModule(*datos, tdb);
}

// What a test leaves pending is dropped: the module's shutdown would otherwise try to save it
// and show its refusal with no one to answer.
Entorno::~Entorno() {
    datos->setView(nullptr);
    for (db::RecordSet *s : {&datos->DSarmarios(), &datos->DSderivaciones(), &datos->DSadjuntos(),
                             &datos->DSinstalacion(), &datos->DSinstalador(), &datos->DSgestores()})
        if (s->editing())
            s->cancel();
    principal.reset();
    propietario.reset();
}

QVariant Entorno::enBase(const QString &sql) {
    return tdb.attach()->scalar(sql);
}

void Entorno::ejecutar(const QString &sql) {
    db::Statement s(datos->IBTrans());
    s.prepare(sql);
    s.execute();
}

void luego(std::function<void()> f) {
    QTimer::singleShot(0, qApp, std::move(f));
}

void teclear(QWidget *widget, const QString &texto) {
    for (QChar c : texto) {
        if (c.unicode() < 128)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}
