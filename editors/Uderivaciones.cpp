#include "editors/Uderivaciones.h"

#include "data/UDatos.h"
#include "platform/controls/Binding.h"
#include "ui_Uderivaciones.h"

#include <QLocale>

TFderivaciones::TFderivaciones(TDatos &datos, QWidget *principal)
    : EditorFila(datos.Sderivaciones(), principal), ui(std::make_unique<Ui::TFderivaciones>()) {
    setObjectName(QLatin1String(Instancia));
    ui->setupUi(this);
    platform::bind(datos.Sderivaciones(), {
                                            {ui->DBEdit1, "ESCALERA"},
                                            {ui->DBEdit2, "PLANTA"},
                                            {ui->DBEdit3, "PUERTA"},
                                            {ui->DBEdit4, "N_COLUMNA"},
                                            {ui->DBEdit5, "N_CELDA"},
                                            {ui->DBLookupComboBox1, "Ntiposuministro"},
                                            {ui->DBEdit6, "SECCION_FUERZA"},
                                            {ui->DBEdit7, "SECCION_NEUTRO"},
                                            {ui->DBEdit8, "SECCION_TIERRA"},
                                            {ui->DBMemo1, "OBSERVACIONES"},
                                        });
    ui->DBMemo1->setMaxLength(LongitudObservaciones);
    connect(ui->DBMemo1, &platform::DBMemo::keyPress, this, &TFderivaciones::DBMemo1KeyPress);
    prepararMarco(ui->DBNavigator2, ui->BitBtn1,
                  {ui->DBEdit1, ui->DBEdit2, ui->DBEdit3, ui->DBEdit4, ui->DBEdit5, ui->DBEdit6,
                   ui->DBEdit7, ui->DBEdit8, ui->DBMemo1},
                  {ui->DBLookupComboBox1});
}

TFderivaciones::~TFderivaciones() = default;

void TFderivaciones::DBMemo1KeyPress(QChar *key) {
    const QString mayuscula = QLocale::system().toUpper(QString(*key));
    if (mayuscula.size() == 1) // a letter whose capital is two letters stays as typed
        *key = mayuscula.front();
}
