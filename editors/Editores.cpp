#include "editors/Editores.h"

#include "data/UDatos.h"
#include "editors/Uacercade.h"
#include "editors/Uarmarios.h"
#include "editors/Uderivaciones.h"
#include "editors/Ugestor.h"
#include "editors/Uinstalador.h"
#include "platform/dialogs/Windows.h"

namespace {

// The editor named Editor::Instancia, created on first use under `principal`, which keeps it,
// and reused afterwards.
template <class Editor> Editor *editorGuardado(TDatos &datos, QWidget *principal) {
    if (Editor *editor = findWindow<Editor>(QLatin1String(Editor::Instancia)))
        return editor;
    return new Editor(datos, principal);
}

// Shows a kept editor modally; from the after-insert rule only when it is not on screen.
template <class Editor> void mostrarEditor(TDatos &datos, QWidget *principal, bool siNoVisible) {
    Editor *editor = editorGuardado<Editor>(datos, principal);
    if (siNoVisible && editor->isVisible())
        return;
    editor->exec();
}

// The chosen row becomes the installation's installer (manager); the list is read again.
template <class Editor>
void elegir(TDatos &datos, QWidget *principal, db::RecordSet &lista, const QString &campo) {
    Editor *editor = editorGuardado<Editor>(datos, principal);
    if (editor->exec() == QDialog::Accepted) {
        db::RecordSet &instalacion = datos.DSinstalacion();
        if (!instalacion.editing())
            instalacion.edit(); // the lock on a sent installation ends it here
        instalacion.field(campo).setValue(editor->IdSeleccionado());
    }
    lista.close();
    lista.open();
}

} // namespace

void abrirEditorArmarios(TDatos &datos, QWidget *principal) {
    mostrarEditor<TFarmarios>(datos, principal, true);
}

void abrirEditorDerivaciones(TDatos &datos, QWidget *principal) {
    mostrarEditor<TFderivaciones>(datos, principal, true);
}

void editarArmario(TDatos &datos, QWidget *principal) {
    mostrarEditor<TFarmarios>(datos, principal, false);
}

void editarDerivacion(TDatos &datos, QWidget *principal) {
    mostrarEditor<TFderivaciones>(datos, principal, false);
}

void elegirInstalador(TDatos &datos, QWidget *principal) {
    elegir<TFinstalador>(datos, principal, datos.DSinstalador(), QStringLiteral("Instalador"));
}

void elegirGestor(TDatos &datos, QWidget *principal) {
    elegir<TFgestor>(datos, principal, datos.DSgestores(), QStringLiteral("Gestor"));
}

void mostrarAcercaDe(TDatos &datos, QWidget *principal) {
    TFacercade *caja = findWindow<TFacercade>(QLatin1String(TFacercade::Instancia));
    if (!caja)
        caja = new TFacercade(datos, principal);
    caja->exec(); // frees the box as it closes
}
