#include "tests/editors/VentanaPrincipal.h"

#include "db/Statement.h"
#include "editors/Editores.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QApplication>
#include <QDialog>
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
    if (!semilla.isEmpty()) {
        auto a = tdb.attach();
        for (const QString &s : semilla)
            a->exec(s);
        for (const char *g : {"INSTALACION", "INSTALACION_ARMARIO", "INSTALACION_DERIVACION",
                              "NINSTALCION_ADJUNTOS", "INSTALADOR", "NGESTOR"})
            a->exec(QStringLiteral("alter sequence %1 restart with 1000").arg(QLatin1String(g)));
        a->transaction->commit();
    }
    principal = std::make_unique<VentanaPrincipal>();
    propietario = std::make_unique<TDatos>(principal.get());
    datos = propietario.get();
    principal->datos = datos;
    datos->Conectar(tdb.connectionString(), tdb.user(), [this](QString &, QString &clave) {
        clave = tdb.password();
        return true;
    });
    vigia.setInterval(20000);
    QObject::connect(&vigia, &QTimer::timeout, [this] {
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            vencido = true;
            d->QDialog::done(QDialog::Rejected);
            d->hide();
        }
    });
    vigia.start();
}

// What a test leaves pending is dropped: the module's shutdown would otherwise try to save it
// and show its refusal with no one to answer.
Entorno::~Entorno() {
    datos->setView(nullptr);
    for (db::RecordSet *s : {&datos->DSarmarios, &datos->DSderivaciones, &datos->DSadjuntos,
                             &datos->DSinstalacion, &datos->DSinstalador, &datos->DSgestores})
        if (s->editing())
            s->cancel();
    principal.reset();
    propietario.reset();
}

QVariant Entorno::enBase(const QString &sql) {
    return tdb.attach()->scalar(sql);
}

void Entorno::ejecutar(const QString &sql) {
    db::Statement s(datos->IBTrans);
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

QString instalador(int id, const QString &nombre, const QString &correo) {
    return QStringLiteral("insert into INSTALADOR (ID, NOMBRE, CORREO, SMTP_SERVIDOR) values (%1, "
                          "'%2', '%3', 'smtp')")
        .arg(id)
        .arg(nombre, correo);
}

QString gestor(int id, const QString &nombre) {
    return QStringLiteral("insert into GESTORES (ID, NOMBRE, EMAIL) values (%1, '%2', 'g@r.es')")
        .arg(id)
        .arg(nombre);
}

QString instalacion(int id, const QString &expediente, const QString &enviado, int instaladorId,
                    int gestorId) {
    return QStringLiteral("insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, INSTALADOR, GESTOR) "
                          "values (%1, '%2', '%3', %4, %5)")
        .arg(id)
        .arg(expediente, enviado)
        .arg(instaladorId ? QString::number(instaladorId) : QStringLiteral("null"))
        .arg(gestorId ? QString::number(gestorId) : QStringLiteral("null"));
}
