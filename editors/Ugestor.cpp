#include "editors/Ugestor.h"

#include "data/UDatos.h"
#include "ui_Ugestor.h"

TFgestor::TFgestor(TDatos &datos, QWidget *principal)
    : EditorSeleccion(datos.DSgestores, principal), Sgestor(&datos.DSgestores),
      ui(std::make_unique<Ui::TFgestor>()) {
    setObjectName(QLatin1String(Instancia));
    ui->setupUi(this);
    ui->DBNavigator1->setDataSource(&Sgestor);
    ui->DBGrid1->setDataSource(&Sgestor);
    const Qt::Alignment centro = Qt::AlignCenter;
    ui->DBGrid1->setColumns({
        {QStringLiteral("NOMBRE"),
         QStringLiteral("Apellidos y Nombre del gestor"),
         270,
         {},
         centro},
        {QStringLiteral("EMAIL"), QStringLiteral("Correo electrónico"), 220, {}, centro},
        {QStringLiteral("TELEFONO"), QStringLiteral("Teléfono"), 95, {}, centro},
    });
    prepararBotones(ui->BitBtn1, ui->BitBtn2);
}

TFgestor::~TFgestor() = default;
