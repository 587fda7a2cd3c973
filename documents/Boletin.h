#pragma once

#include "data/InformeView.h"
#include "platform/report/Report.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class TDatos;

// The bulletin's report objects and the windows of its run, for TDatos::EjecutarInforme: the
// project RVP, the output system RvSystem1 and the PDF renderer RvRenderPDF1, with the data
// connections RVDinstalacion, RVDarmarios, RVDderivaciones and RVDinstalador over the data
// module's record sets. Kept under the main window for the whole run of the program, so the
// output system's settings carry from one run to the next.
class Boletin : public QObject, public InformeView {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Boletin";
    static constexpr const char *Proyecto = "Trelmavondis.rav";

    Boletin(TDatos &datos, QWidget *principal);
    ~Boletin() override;

    // The kept one of `datos` under `principal`, created on first use.
    static Boletin &guardado(TDatos &datos, QWidget *principal);

    // The configuration's Directory (report projects) and Impresos (bulletin PDFs).
    void setCarpetas(const QString &directorio, const QString &impresos);
    // The bulletin PDF of an expedient: Impresos + "Exp" + expedient + ".pdf".
    QString rutaPdf(const QString &expediente) const;

    // The file a print proposes: "Exp" + expedient + ".pdf" in the user's documents folder.
    static QString rutaImpresion(const QString &expediente);

    void salidaPorDefecto(const QString &expediente) override;
    void abrirProyecto() override;
    bool seleccionarInforme(const QString &nombre) override;
    void imprimir() override;
    bool confirmarEnvio() override;
    QString escribirPdf(const QString &expediente) override;
    void enviarCorreo(const QString &pdf) override;
    void mostrarError(const QString &mensaje) override;

    const TDatos &datos() const { return m_datos; }

    report::ReportProject RVP;
    report::OutputSystem RvSystem1;
    report::PdfRenderer RvRenderPDF1;

private:
    TDatos &m_datos;
    QPointer<QWidget> m_principal;
    QString m_directorio;
    QString m_impresos;
};
