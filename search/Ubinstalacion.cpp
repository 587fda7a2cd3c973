#include "search/Ubinstalacion.h"

#include "data/UDatos.h"
#include "db/Errors.h"
#include "platform/controls/Binding.h"
#include "platform/dialogs/MessageBoxes.h"
#include "search/Filtro.h"
#include "search/IconoImprimir.h"
#include "ui_Ubinstalacion.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QTimer>

using platform::DBNavigator;

namespace {

const QString kMascaraFecha = QStringLiteral("!99/99/9999;1;_");
const QString kMascaraExpediente = QStringLiteral(">cccccccccc;0; ");
const QString kNoLocalizado = QStringLiteral("No se ha localizado nigún expediente con el Nº:");
const QString kSinInforme = QStringLiteral("No se ha podido localizar el informe");
const QString kFalloInforme = QStringLiteral("No se ha podido ejecutar el informe");

// A box's text as its mask stores it: literals kept, unfilled positions as blanks.
QString textoDe(const platform::MaskedLineEdit *edit) {
    return edit->editMask().storedText(edit->text()).value_or(edit->text());
}

busqueda::Enviado enviadoDe(Qt::CheckState estado) {
    switch (estado) {
    case Qt::Checked:
        return busqueda::Enviado::Si;
    case Qt::Unchecked:
        return busqueda::Enviado::No;
    case Qt::PartiallyChecked:
        break;
    }
    return busqueda::Enviado::Todos;
}

// Leaving a box for another control of the dialog; not another window or a popup coming up.
bool dejaElControl(const QEvent *event) {
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason razon = static_cast<const QFocusEvent *>(event)->reason();
    return razon != Qt::ActiveWindowFocusReason && razon != Qt::PopupFocusReason;
}

// Enter or Return with no modifier (the keypad's Enter included).
bool esIntro(const QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *tecla = static_cast<const QKeyEvent *>(event);
    return (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) &&
           (tecla->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

TFbinstalacion::TFbinstalacion(TDatos &datos, QWidget *principal)
    : QDialog(principal), m_lista(datos.IBTrans(), datos.QtipoBis()), Qinst(m_lista.Qinst),
      ui(std::make_unique<Ui::TFbinstalacion>()) {
    setObjectName(QLatin1String(Instancia));
    ui->setupUi(this);

    for (platform::MaskedLineEdit *fecha : {ui->MEde, ui->MEa}) {
        fecha->setEditMask(kMascaraFecha);
        fecha->showText(fecha->editMask().blankText());
    }
    ui->NExp->setEditMask(kMascaraExpediente);
    ui->NExp->showText(ui->NExp->editMask().blankText());
    ui->Imprimir->setIcon(iconoImprimir());
    ui->Imprimir->setHint(QStringLiteral("Imprimir"));

    Sinst.setDataSet(&Qinst);
    RVP.setEngine(&RvSystem1);
    RvSystem1.setTitles(report::Titles::listing());
    RVP.addConnection(QStringLiteral("RVqlinst"), Qinst);
    m_seleccion = busqueda::descripcionFiltro(
        busqueda::FechaVacia.toString(), busqueda::FechaVacia.toString(), busqueda::Enviado::Todos);
    RVP.setParameter(QLatin1String(ParametroSeleccion), m_seleccion);
    ui->DBNavigator1->setVisibleButtons(
        {DBNavigator::First, DBNavigator::Prior, DBNavigator::Next, DBNavigator::Last});
    ui->DBGrid1->setReadOnly(true);
    platform::bind(Sinst, {
                              {ui->DBNavigator1},
                              {ui->DBGrid1},
                          });
    ui->DBGrid1->setColumns({
        platform::gridColumn("ID", "Ident.", 50),
        platform::gridColumn("EXPEDIENTE", "Nº Expdte", 80),
        platform::gridColumn("FECHA", "Fecha", 70),
        platform::gridColumn("ENVIADO", "Env.", 35),
        platform::gridColumn("Localizacion", "Localización de la instalación", 500),
    });
    ui->DBGrid1->horizontalHeader()->setStretchLastSection(true);
    ui->DBGrid1->verticalHeader()->setDefaultSectionSize(ui->DBGrid1->fontMetrics().height() + 6);

    connect(ui->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    // Slots: a failure is shown here, never raised through Qt's signal code.
    connect(ui->CBenv, &QCheckBox::clicked, this, [this] {
        try {
            CBenvClick();
        } catch (...) {
            showException(std::current_exception(), this);
        }
    });
    connect(ui->Imprimir, &QToolButton::clicked, this, [this] {
        try {
            ImprimirClick();
        } catch (...) {
            showException(std::current_exception(), this);
        }
    });
    for (QWidget *w : std::initializer_list<QWidget *>{ui->MEde, ui->MEa, ui->CBenv, ui->NExp})
        w->installEventFilter(this);

    ui->DBGrid1->setFocus();
    m_lista.abrir(QString());
}

TFbinstalacion::~TFbinstalacion() = default;

bool TFbinstalacion::eventFilter(QObject *watched, QEvent *event) {
    if (esIntro(event)) {
        // Enter in a selection control moves on as Tab does, so that its filter or jump runs;
        // only the grid and "&Aceptar" take Enter as the choice.
        focusNextChild();
        return true;
    }
    if (watched == ui->NExp && event->type() == QEvent::FocusIn)
        NExpEnter();
    else if (dejaElControl(event) && !m_devolviendoFoco &&
             QApplication::focusWidget() != ui->BitBtn2) // "&Cancelar" leaves without a filter
        alSalir(static_cast<QWidget *>(watched));
    return QDialog::eventFilter(watched, event);
}

void TFbinstalacion::alSalir(QWidget *control) {
    // Shown here rather than raised: the box still receives the event that leaves it.
    try {
        if (control == ui->MEde)
            MEdeExit();
        else if (control == ui->MEa)
            MEaExit();
        else if (control == ui->NExp)
            NExpExit();
    } catch (...) {
        showException(std::current_exception(), this);
        if (control != ui->MEde && control != ui->MEa)
            return;
        // Back to the box to correct it, once the box has finished losing the focus (which
        // drops a selection); the control the focus had reached runs nothing.
        auto *caja = static_cast<platform::MaskedLineEdit *>(control);
        m_fechaRechazada = true;
        QTimer::singleShot(0, this, [this, caja] {
            QScopedValueRollback<bool> devolviendo(m_devolviendoFoco, true);
            caja->setFocus(Qt::OtherFocusReason);
            caja->selectFromStart();
            m_fechaRechazada = false;
        });
    }
}

void TFbinstalacion::accept() {
    if (m_fechaRechazada)
        return;
    QDialog::accept();
}

int TFbinstalacion::IdSeleccionado() const {
    if (!Qinst.active() || Qinst.isEmpty())
        return 0;
    return Qinst.field(QStringLiteral("ID")).asInteger();
}

void TFbinstalacion::Posicionar(int id) {
    Qinst.locate(QStringLiteral("ID"), id);
}

void TFbinstalacion::Refrescar() {
    m_lista.reabrir();
}

void TFbinstalacion::Filtrar() {
    const QString de = textoDe(ui->MEde);
    const QString a = textoDe(ui->MEa);
    const busqueda::Enviado enviado = enviadoDe(ui->CBenv->checkState());
    const QString linea = busqueda::lineaFiltro(de, a, enviado);
    const QString seleccion = busqueda::descripcionFiltro(de, a, enviado);
    m_seleccion = seleccion; // with the line, which abrir puts in place even when it fails
    m_lista.abrir(linea);
}

void TFbinstalacion::MEdeExit() {
    Filtrar();
}

void TFbinstalacion::MEaExit() {
    Filtrar();
}

void TFbinstalacion::CBenvClick() {
    Filtrar();
}

void TFbinstalacion::NExpEnter() {
    ui->NExp->setSelection(int(ui->NExp->text().size()), -int(ui->NExp->text().size()));
}

void TFbinstalacion::NExpExit() {
    const QString expediente = textoDe(ui->NExp);
    if (expediente.isEmpty())
        return;
    if (!Qinst.locate(QStringLiteral("EXPEDIENTE"), expediente))
        showMessage(this, kNoLocalizado + expediente);
}

void TFbinstalacion::ImprimirClick() {
    RVP.close();
    RVP.setProjectFile(report::projectPath(m_directorio, QStringLiteral("Listado.rav")));
    RVP.open();
    if (!RVP.selectReport(QStringLiteral("Listado")))
        throw db::Refusal(kSinInforme);
    RVP.setParameter(QLatin1String(ParametroSeleccion), m_seleccion);
    // The listing reads the rows of the grid's filter through a list of its own, which holds
    // a few rows at a time however many there are; the grid keeps its rows and its place.
    const std::unique_ptr<ListaInstalaciones> listado = m_lista.paraListado();
    RVP.addConnection(QStringLiteral("RVqlinst"), listado->Qinst);
    const auto devolver =
        qScopeGuard([this] { RVP.addConnection(QStringLiteral("RVqlinst"), Qinst); });
    // The office's technician adapts Listado.rav: the reason (file, line, field) goes under
    // the message, on a line of its own.
    QString motivo;
    try {
        RVP.execute();
        return;
    } catch (const db::Abort &) {
        throw;
    } catch (const std::exception &) {
        motivo = exceptionText(std::current_exception());
    }
    showMessage(this,
                motivo.isEmpty() ? kFalloInforme : kFalloInforme + QStringLiteral("\n\r") + motivo);
}
