#include "editors/Uinstalador.h"

#include "data/UDatos.h"
#include "platform/controls/Binding.h"
#include "ui_Uinstalador.h"

TFinstalador::TFinstalador(TDatos &datos, QWidget *principal)
    : EditorSeleccion(datos.DSinstalador(), principal), Sinstalador(&datos.DSinstalador()),
      ui(std::make_unique<Ui::TFinstalador>()) {
    setObjectName(QLatin1String(Instancia));
    ui->setupUi(this);
    ui->DBGrid1->setColumns({
        platform::gridColumn("NOMBRE", "Nombre y Apellidos o Razón Social", 300),
        platform::gridColumn("CIF", "N.I.F./C.I.F:", 100),
        platform::gridColumn("TELEFONO", "Teléfono", 120),
        platform::gridColumn("CARNET", "Nº Carnet", 120),
    });
    platform::bind(Sinstalador, {
                                    {ui->DBNavigator1},
                                    {ui->DBGrid1},
                                    {ui->DBEdit1, "CALLE"},
                                    {ui->DBEdit2, "CALLE_NUMERO"},
                                    {ui->DBEdit3, "CODIGO_POSTAL"},
                                    {ui->DBEdit4, "MUNICIPIO"},
                                    {ui->DBEdit5, "CORREO"},
                                    {ui->DBEdit6, "SMTP_SERVIDOR"},
                                    {ui->DBCheckBox1, "SMTP_AUTENTIFICACION"},
                                    {ui->DBEdit7, "SMTP_USUARIO"},
                                    {ui->DBEdit8, "SMTP_CLAVE"},
                                });
    prepararBotones(ui->BitBtn1, ui->BitBtn2);
}

TFinstalador::~TFinstalador() = default;
