#include "documents/Boletin.h"

#include "data/UDatos.h"
#include "documents/Uconfirmacion.h"
#include "documents/Uemailenviar.h"
#include "documents/Uerror.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

Boletin::Boletin(TDatos &datos, QWidget *principal)
    : QObject(principal), m_datos(datos), m_principal(principal) {
    setObjectName(QLatin1String(Instancia));
    RVP.setEngine(&RvSystem1);
    RvSystem1.setTitles(report::Titles::bulletin());
    RVP.addConnection(QStringLiteral("RVDinstalacion"), datos.DSinstalacion());
    RVP.addConnection(QStringLiteral("RVDarmarios"), datos.DSarmarios());
    RVP.addConnection(QStringLiteral("RVDderivaciones"), datos.DSderivaciones());
    RVP.addConnection(QStringLiteral("RVDinstalador"), datos.Qinstalador());
}

// The data module may be gone already (it shuts down before the main window): not a word to it.
Boletin::~Boletin() = default;

Boletin &Boletin::guardado(TDatos &datos, QWidget *principal) {
    // Without a main window the application keeps it.
    QObject *dueno = principal ? static_cast<QObject *>(principal) : QCoreApplication::instance();
    Boletin *b =
        dueno ? dueno->findChild<Boletin *>(QLatin1String(Instancia), Qt::FindDirectChildrenOnly)
              : nullptr;
    if (b && &b->m_datos == &datos)
        return *b;
    delete b; // kept for a data module that is no longer this one
    b = new Boletin(datos, principal);
    if (!principal)
        b->setParent(dueno);
    return *b;
}

void Boletin::setCarpetas(const QString &directorio, const QString &impresos) {
    m_directorio = directorio;
    m_impresos = impresos;
}

QString Boletin::rutaPdf(const QString &expediente) const {
    return QDir(m_impresos).filePath(QStringLiteral("Exp") + expediente + QStringLiteral(".pdf"));
}

QString Boletin::rutaImpresion(const QString &expediente) {
    QString nombre = expediente.trimmed();
    // An expedient may hold characters a file name cannot.
    for (QChar &c : nombre)
        if (c == u'/' || c == u'\\' || c == u':')
            c = u'-';
    const QString documentos = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documentos.isEmpty() ? QDir::homePath() : documentos)
        .filePath(QStringLiteral("Exp") + nombre + QStringLiteral(".pdf"));
}

// A send leaves its archived PDF's path with the output system; the next print must not
// propose it, or "Archivo" would write another bulletin over the one that went out.
void Boletin::salidaPorDefecto(const QString &expediente) {
    RvSystem1.setDefaultDestination(report::Destination::Preview);
    RvSystem1.setSetupAllowed(true);
    RvSystem1.setOutputFileName(rutaImpresion(expediente));
}

void Boletin::abrirProyecto() {
    RVP.close();
    RVP.setProjectFile(report::projectPath(m_directorio, QLatin1String(Proyecto)));
    RVP.open();
}

bool Boletin::seleccionarInforme(const QString &nombre) {
    return RVP.selectReport(nombre);
}

void Boletin::imprimir() {
    RVP.execute();
}

bool Boletin::confirmarEnvio() {
    return TFconfirmacion::guardada(m_datos, m_principal).preguntar();
}

QString Boletin::escribirPdf(const QString &expediente) {
    // Without the folder the file would land wherever the program happened to start.
    if (m_impresos.isEmpty())
        throw db::Refusal(QStringLiteral("No se ha indicado en la configuración la carpeta "
                                         "de los impresos (Impresos)"));
    const QString ruta = rutaPdf(expediente);
    RvSystem1.setDefaultDestination(report::Destination::File);
    RvSystem1.setRenderer(&RvRenderPDF1);
    RvSystem1.setOutputFileName(ruta);
    RvSystem1.setSetupAllowed(false);
    RVP.execute();
    return ruta;
}

void Boletin::enviarCorreo(const QString &pdf) {
    TFemailenviar::enviar(m_datos, pdf, m_principal);
}

void Boletin::mostrarError(const QString &mensaje) {
    TFerror::mostrar(m_principal, mensaje);
}
