#include "editors/Ugestor.h"

#include "data/UDatos.h"
#include "platform/controls/Binding.h"
#include "ui_Ugestor.h"

TFgestor::TFgestor(TDatos &datos, QWidget *principal)
    : EditorSeleccion(datos.DSgestores(), principal), Sgestor(&datos.DSgestores()),
      ui(std::make_unique<Ui::TFgestor>()) {
    setObjectName(QLatin1String(Instancia));
    ui->setupUi(this);
    platform::bind(Sgestor, {
                                {ui->DBNavigator1},
                                {ui->DBGrid1},
                            });
    ui->DBGrid1->setColumns({
        platform::gridColumn("NOMBRE", "Apellidos y Nombre del gestor", 270),
        platform::gridColumn("EMAIL", "Correo electrónico", 220),
        platform::gridColumn("TELEFONO", "Teléfono", 95),
    });
    prepararBotones(ui->BitBtn1, ui->BitBtn2);
}

TFgestor::~TFgestor() = default;
