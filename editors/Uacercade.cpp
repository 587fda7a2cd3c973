#include "editors/Uacercade.h"

#include "data/UDatos.h"
#include "editors/Logo.h"
#include "platform/controls/Binding.h"
#include "platform/dialogs/Windows.h"
#include "ui_Uacercade.h"

#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>

namespace {

const QString kLinea1 = QStringLiteral("Aplicación para la cumplimentación y el envío electrónico "
                                       "de formularios necesarios para el registro ");
const QString kLinea2 = QStringLiteral(
    "de Instalaciones Eléctricas de Enlace a ROSTELVIA DISTRIBUCIÓN ELÉCTRICA, S.A.U.");

} // namespace

TFacercade::TFacercade(TDatos &datos, QWidget *principal)
    : QDialog(principal), m_datos(datos), m_version(&datos.Qver()),
      ui(std::make_unique<Ui::TFacercade>()) {
    setObjectName(QLatin1String(Instancia));
    setAttribute(Qt::WA_DeleteOnClose);
    ui->setupUi(this);

    QPalette blanco = palette();
    blanco.setColor(QPalette::Window, Qt::white);
    blanco.setColor(QPalette::Base, Qt::white);
    setPalette(blanco);
    QFont titulo = ui->Label1->font();
    titulo.setStyleHint(QFont::Serif);
    ui->Label1->setFont(titulo);
    ui->Image1->setPixmap(logoTrelmavondis(192));
    ui->Memo1->setPlainText(kLinea1 + u'\n' + kLinea2);
    // Two lines as given: no wrapping, and room for the longer one and for both.
    ui->Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    const QFontMetrics medida(ui->Memo1->font());
    const int margen = 2 * (int(ui->Memo1->document()->documentMargin()) + ui->Memo1->frameWidth());
    ui->Memo1->setMinimumWidth(
        std::max(medida.horizontalAdvance(kLinea1), medida.horizontalAdvance(kLinea2)) + margen +
        medida.averageCharWidth());
    ui->Memo1->setFixedHeight(2 * medida.lineSpacing() + margen + medida.descent());
    ui->BitBtn1->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    connect(ui->BitBtn1, &QAbstractButton::clicked, this, &QDialog::accept);

    platform::bind(m_version, {{ui->DBEdit1, "VERSION"}, {ui->DBEdit2, "REVISION"}});
    datos.Qver().close();
    datos.Qver().open();
}

TFacercade::~TFacercade() {
    m_datos.Qver().close();
}

void TFacercade::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    centerOnScreen(this);
}
