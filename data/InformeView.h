#pragma once

#include <QString>

// What the bulletin run of the data module (TDatos::EjecutarInforme) needs from the report
// engine and from the windows around it. documents/ implements it with the bulletin's report
// objects and its dialogs; the data tests may give a fake.
class InformeView {
public:
    virtual ~InformeView() = default;
    // The output system's defaults for a run: destination preview, setup dialog allowed, and
    // a file of the installation's own (never an archived bulletin) proposed for the PDF.
    virtual void salidaPorDefecto(const QString &expediente) = 0;
    // Closes the report project, points it at the bulletin's project file and opens it again.
    // Raises db::DatabaseError with the engine's message when the file cannot be loaded.
    virtual void abrirProyecto() = 0;
    // Selects a report of the open project by name; false when there is none of that name.
    virtual bool seleccionarInforme(const QString &nombre) = 0;
    // Runs the selected report through the engine's setup dialog. Cancelling there is quiet.
    virtual void imprimir() = 0;
    // The send confirmation on the current installation; true when the answer is yes.
    virtual bool confirmarEnvio() = 0;
    // Writes the bulletin of the current installation to its PDF file without asking; answers
    // the file's path.
    virtual QString escribirPdf(const QString &expediente) = 0;
    // The mail window, modal: it mails the current installation with the bulletin at `pdf`
    // and closes itself.
    virtual void enviarCorreo(const QString &pdf) = 0;
    // The error dialog with a failure of the run.
    virtual void mostrarError(const QString &mensaje) = 0;
};
