#include "documents/Uerror.h"

#include "ui_Uerror.h"

TFerror::TFerror(const QString &mensaje, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFerror>()) {
    ui->setupUi(this);
    setObjectName(QLatin1String(Instancia));
    ui->error->setPlainText(mensaje);
    connect(ui->BitBtn1, &QAbstractButton::clicked, this, &QDialog::close);
}

TFerror::~TFerror() = default;

void TFerror::mostrar(QWidget *parent, const QString &mensaje) {
    auto *dialogo = new TFerror(mensaje, parent);
    dialogo->setAttribute(Qt::WA_DeleteOnClose);
    dialogo->exec();
}
