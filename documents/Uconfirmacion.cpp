#include "documents/Uconfirmacion.h"

#include "data/UDatos.h"
#include "platform/controls/Binding.h"
#include "platform/dialogs/Windows.h"
#include "ui_Uconfirmacion.h"

TFconfirmacion::TFconfirmacion(TDatos &datos, QWidget *principal)
    : QDialog(principal), m_datos(datos), ui(std::make_unique<Ui::TFconfirmacion>()) {
    ui->setupUi(this);
    setObjectName(QLatin1String(Instancia));
    platform::bind(datos.Sinstalacion(), {
                                             {ui->DBText1, "EXPEDIENTE"},
                                             {ui->DBText2, "Ngestor"},
                                         });
    connect(ui->BitBtn1, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(ui->BitBtn2, &QAbstractButton::clicked, this, &QDialog::reject);
}

TFconfirmacion::~TFconfirmacion() = default;

TFconfirmacion &TFconfirmacion::guardada(TDatos &datos, QWidget *principal) {
    TFconfirmacion *d = findWindow<TFconfirmacion>(QLatin1String(Instancia));
    if (d && &d->m_datos != &datos) {
        // Kept for another data module: that one is gone from this window's point of view.
        delete d;
        d = nullptr;
    }
    if (!d)
        d = new TFconfirmacion(datos, principal);
    return *d;
}

bool TFconfirmacion::preguntar() {
    return exec() == QDialog::Accepted;
}

void TFconfirmacion::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    ui->BitBtn1->setFocus(Qt::OtherFocusReason);
}
