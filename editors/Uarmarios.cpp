#include "editors/Uarmarios.h"

#include "data/UDatos.h"
#include "platform/controls/Binding.h"
#include "ui_Uarmarios.h"

TFarmarios::TFarmarios(TDatos &datos, QWidget *principal)
    : EditorFila(datos.Sarmarios(), principal), ui(std::make_unique<Ui::TFarmarios>()) {
    setObjectName(QLatin1String(Instancia));
    ui->setupUi(this);
    platform::bind(datos.Sarmarios(), {
                                        {ui->DBLookupComboBox1, "Ntipo"},
                                        {ui->DBEdit1, "N_COLUMNAS"},
                                        {ui->DBEdit2, "N_CELDAS"},
                                        {ui->DBEdit3, "N_CIRCUITO"},
                                        {ui->DBLookupComboBox2, "Ndiposicion"},
                                        {ui->DBLookupComboBox3, "NdisposicionDI"},
                                    });
    prepararMarco(ui->DBNavigator2, ui->BitBtn1, {ui->DBEdit1, ui->DBEdit2, ui->DBEdit3},
                  {ui->DBLookupComboBox1, ui->DBLookupComboBox2, ui->DBLookupComboBox3});
}

TFarmarios::~TFarmarios() = default;
