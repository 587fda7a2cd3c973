#include "tests/common/VentanaFalsa.h"

#include "platform/dialogs/MessageBoxes.h"

VentanaFalsa::VentanaFalsa() {
    setObjectName(QStringLiteral("Finstalacion"));
}

QStringList VentanaFalsa::tomar(const QString &prefijo) {
    QStringList out;
    for (const QString &l : registro)
        if (l.startsWith(prefijo))
            out << l.mid(prefijo.size());
    registro.clear();
    return out;
}

QStringList VentanaFalsa::avisos() const {
    QStringList out;
    for (const QString &l : registro)
        if (l.startsWith(QLatin1String("mensaje:")) || l.startsWith(QLatin1String("error:")))
            out << l;
    return out;
}

QList<bool> VentanaFalsa::enviados() const {
    QList<bool> out;
    for (const QString &l : registro)
        if (l.startsWith(QLatin1String("enviado:")))
            out << (l == QLatin1String("enviado:S"));
    return out;
}

void VentanaFalsa::mostrarEnviado(bool e) {
    enviado = e;
    registro << (e ? QStringLiteral("enviado:S") : QStringLiteral("enviado:N"));
}

void VentanaFalsa::enfocarExpediente() {
    registro << QStringLiteral("foco:DBEdit2");
}

void VentanaFalsa::abrirEditorArmarios() {
    registro << QStringLiteral("editor:Farmarios");
    ++aperturasArmarios;
    if (alAbrirArmarios)
        alAbrirArmarios();
}

void VentanaFalsa::abrirEditorDerivaciones() {
    registro << QStringLiteral("editor:Fderivaciones");
    ++aperturasDerivaciones;
    if (alAbrirDerivaciones)
        alAbrirDerivaciones();
}

void VentanaFalsa::mensaje(const QString &texto) {
    registro << QStringLiteral("mensaje:") + texto;
    if (cajas)
        showMessage(this, texto);
}

void VentanaFalsa::error(const QString &texto) {
    registro << QStringLiteral("error:") + texto;
    if (cajas)
        showError(this, texto);
}
