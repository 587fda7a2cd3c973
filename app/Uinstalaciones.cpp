#include "app/Uinstalaciones.h"
#include "ui_Uinstalaciones.h"

#include "app/Iconos.h"
#include "app/StBrowser.h"
#include "data/UDatos.h"
#include "documents/Documentos.h"
#include "editors/Editores.h"
#include "platform/controls/Binding.h"
#include "platform/dialogs/MessageBoxes.h"
#include "platform/dialogs/Windows.h"
#include "search/Busqueda.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QWindow>

using platform::DBEdit;
using platform::DBGrid;
using platform::DBGridColumn;
using platform::DBLookupComboBox;
using platform::DBNavigator;
using platform::DBRadioGroup;

namespace {

const QColor kNaranja(0xFF, 0x7C, 0x06);

// Runs a handler's work: a refusal shows in the error box, the silent abort shows nothing.
// Answers whether the work completed.
template <class F> bool atrapar(QWidget *ventana, F &&trabajo) {
    try {
        trabajo();
        return true;
    } catch (...) {
        showException(std::current_exception(), ventana);
    }
    return false;
}

// A "Confirmación" question answered with "Sí" or "No"; true for "Sí".
bool preguntar(QWidget *ventana, const QString &pregunta, QMessageBox::StandardButton porDefecto) {
    QMessageBox caja(QMessageBox::Question, QStringLiteral("Confirmación"), pregunta,
                     QMessageBox::Yes | QMessageBox::No, ventana);
    caja.button(QMessageBox::Yes)->setText(QStringLiteral("Sí"));
    caja.button(QMessageBox::No)->setText(QStringLiteral("No"));
    caja.setDefaultButton(porDefecto);
    return caja.exec() == QMessageBox::Yes;
}

bool confirmarCierreSinGuardar(QWidget *ventana, const QString &motivo) {
    return preguntar(ventana,
                     motivo + QStringLiteral("\nLos cambios pendientes no se pueden guardar "
                                             "mientras el servidor no responda.\n¿Desea cerrar "
                                             "el programa sin guardarlos?"),
                     QMessageBox::No);
}

QChar separadorDecimal() {
    const QString separador = QLocale::system().decimalPoint();
    return separador.size() == 1 ? separador.front() : QChar(u',');
}

bool confirmarCopia(QWidget *ventana) {
    return preguntar(ventana, QStringLiteral("¿Desea copiar la instalación actual a una nueva?"),
                     QMessageBox::Yes);
}

} // namespace

TFinstalacion::TFinstalacion(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::TFinstalacion>()) {
    setObjectName(QStringLiteral("Finstalacion"));
    // Minimise and close in the title bar, no maximise. Set before the controls exist:
    // changing a window's flags later makes its controls lose the window's font.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    ui->setupUi(this);
    StBrowser1 = new StBrowser(this);
    prepararControles();
    conectarManejadores();
    fijarTamano();
    // FormCreate: the first tab, the focus in the expedient box, the configuration.
    ui->PageControl1->setCurrentIndex(0);
    ui->DBEdit2->setFocus();
    if (const auto fallo = m_configuracion.read())
        showError(this, *fallo);
}

TFinstalacion::~TFinstalacion() = default;

void TFinstalacion::prepararControles() {
    ui->DBRadioGroup1->setItems({QStringLiteral("1"), QStringLiteral("2")});
    ui->DBRadioGroup1->setValues({QStringLiteral("1"), QStringLiteral("2")});
    ui->DBRadioGroup1->setColumns(2);
    ui->DBRadioGroup2->setItems({QStringLiteral("Cobre"), QStringLiteral("Alumnio")});
    ui->DBRadioGroup2->setValues({QStringLiteral("Cobre"), QStringLiteral("Aluminio")});
    ui->DBRadioGroup2->setColumns(2);
    // Named after their own titles: inside another group, assistive technology would take
    // the outer group's.
    for (DBRadioGroup *g : {ui->DBRadioGroup1, ui->DBRadioGroup2})
        g->setAccessibleName(g->title());
    // White item captions on the blue group; the check mark keeps the text colour.
    for (DBRadioGroup *g : {ui->DBRadioGroup1, ui->DBRadioGroup2})
        for (int i = 0; i < g->items().size(); ++i) {
            QPalette p = g->button(i)->palette();
            p.setColor(QPalette::WindowText, Qt::white);
            g->button(i)->setPalette(p);
        }

    ui->DBGrid1->setColumns({
        platform::gridColumn("Ntipo", "Tipo", 200),
        platform::gridColumn("N_COLUMNAS", "Columna Nº", 80, true),
        platform::gridColumn("N_CELDAS", "Nº Celdas", 75, true),
        platform::gridColumn("N_CIRCUITO", "Nº Circuitos", 85, true),
        platform::gridColumn("Ndiposicion", "Disposición armario", 250),
        platform::gridColumn("NdisposicionDI", "Disposición D.I.", 250),
    });
    ui->DBGrid2->setColumns({
        platform::gridColumn("ESCALERA", "Escal.", 50, true),
        platform::gridColumn("PLANTA", "Planta", 55, true),
        platform::gridColumn("PUERTA", "Puerta", 55, true),
        platform::gridColumn("N_COLUMNA", "Nº Col.", 55, true),
        platform::gridColumn("N_CELDA", "Nº Celda", 65, true),
        platform::gridColumn("Ntiposuministro", "Tipo Sumnistro", 170),
        platform::gridColumn("SECCION_FUERZA", "Sec. F", 55),
        platform::gridColumn("SECCION_NEUTRO", "Sec. N", 55),
        platform::gridColumn("SECCION_TIERRA", "Sec. T", 55),
        platform::gridColumn("OBSERVACIONES",
                             "Observaciones (nº portal, coordenadas UTM finca, etc.)", 360),
    });
    ui->DBGrid3->setColumns({
        platform::gridColumn("DIRECCION", "Dirección", 560),
        platform::gridColumn("NOTA", "Descripción", 380),
    });

    for (DBGrid *g : {ui->DBGrid1, ui->DBGrid2, ui->DBGrid3}) {
        g->horizontalHeader()->setStretchLastSection(true);
        g->verticalHeader()->setDefaultSectionSize(g->fontMetrics().height() + 6);
    }

    // Delete ("Supr") in any lookup box clears the key behind it, the record set going into
    // edit first (where the lock on sent installations may refuse).
    for (DBLookupComboBox *c : findChildren<DBLookupComboBox *>())
        c->setClearOnDelete(true);

    for (DBNavigator *n : {ui->DBNavigator1, ui->DBNavigator2, ui->DBNavigator3, ui->DBNavigator4})
        n->setShowHints(true);

    ui->SpeedButton7->setIcon(iconos::copiar());
    ui->SpeedButton2->setIcon(iconos::buscar());
    ui->Imprimir->setIcon(iconos::imprimir());
    ui->email->setIcon(iconos::correo());
    ui->SpeedButton6->setIcon(iconos::acercaDe());
    ui->BitBtn1->setIcon(iconos::cerrar());
    ui->SpeedButton1->setIcon(iconos::editar());
    ui->SpeedButton3->setIcon(iconos::editar());
    ui->SpeedButton4->setIcon(iconos::adjuntar());
    ui->SpeedButton5->setIcon(iconos::borrar());

    QTabBar *pestanas = ui->PageControl1->tabBar();
    QFont negrita = pestanas->font();
    negrita.setBold(true);
    pestanas->setFont(negrita);
    for (int i = 0; i < pestanas->count(); ++i)
        pestanas->setTabTextColor(i, kNaranja);
}

void TFinstalacion::conectarManejadores() {
    connect(ui->SpeedButton7, &QToolButton::clicked, this, &TFinstalacion::SpeedButton7Click);
    connect(ui->SpeedButton2, &QToolButton::clicked, this, &TFinstalacion::SpeedButton2Click);
    connect(ui->Imprimir, &QToolButton::clicked, this, &TFinstalacion::ImprimirClick);
    connect(ui->email, &QToolButton::clicked, this, &TFinstalacion::emailClick);
    connect(ui->SpeedButton6, &QToolButton::clicked, this, &TFinstalacion::SpeedButton6Click);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &TFinstalacion::SpeedButton1Click);
    connect(ui->SpeedButton3, &QToolButton::clicked, this, &TFinstalacion::SpeedButton3Click);
    connect(ui->CBenviado, &QCheckBox::clicked, this, &TFinstalacion::CBenviadoClick);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->DBLookupComboBox16, &DBLookupComboBox::entered, this,
            &TFinstalacion::DBLookupComboBox16Enter);
    connect(ui->DBLookupComboBox18, &DBLookupComboBox::entered, this,
            &TFinstalacion::DBLookupComboBox18Enter);
    for (DBEdit *e : {ui->DBEdit3, ui->DBEdit17, ui->DBEdit25, ui->DBEdit26, ui->DBEdit27})
        connect(e, &DBEdit::keyPress, this, &TFinstalacion::DBEdit3KeyPress);
    connect(ui->DBGrid2, &DBGrid::keyPress, this, &TFinstalacion::DBGrid2KeyPress);
    connect(ui->PageControl1, &QTabWidget::currentChanged, this,
            &TFinstalacion::PageControl1Change);
    connect(ui->DBGrid1, &DBGrid::dblClick, this, &TFinstalacion::DBGrid1DblClick);
    connect(ui->DBGrid2, &DBGrid::dblClick, this, &TFinstalacion::DBGrid2DblClick);
    connect(ui->DBNavigator2, &DBNavigator::clicked, this, &TFinstalacion::DBNavigator2Click);
    connect(ui->DBNavigator3, &DBNavigator::clicked, this, &TFinstalacion::DBNavigator3Click);
    connect(ui->SpeedButton4, &QToolButton::clicked, this, &TFinstalacion::SpeedButton4Click);
    connect(ui->SpeedButton5, &QToolButton::clicked, this, &TFinstalacion::SpeedButton5Click);
}

// A fixed size, what the controls need, centred on the desktop. On a screen smaller than the
// form the form's client area scrolls inside a window that fits the screen.
void TFinstalacion::fijarTamano() {
    ensurePolished();
    ui->Cliente->layout()->invalidate();
    ui->Cliente->layout()->activate();
    const QSize forma = ui->Cliente->sizeHint();
    QSize tamano = forma;
    const QScreen *pantalla = screen();
    if (pantalla) {
        // The window system's frame, once the window has one (it is measured again on show).
        const QMargins marco = windowHandle() ? windowHandle()->frameMargins() : QMargins();
        const QSize disponible = pantalla->availableGeometry().size() -
                                 QSize(marco.left() + marco.right(), marco.top() + marco.bottom());
        if (forma.width() > disponible.width() || forma.height() > disponible.height()) {
            if (!m_desplazamiento) {
                m_desplazamiento = new QScrollArea(this);
                m_desplazamiento->setObjectName(QStringLiteral("Desplazamiento"));
                m_desplazamiento->setFrameShape(QFrame::NoFrame);
                // The layout item handed back is ours to delete.
                delete ui->Marco->replaceWidget(ui->Cliente, m_desplazamiento);
                m_desplazamiento->setWidget(ui->Cliente);
            }
            ui->Cliente->setFixedSize(forma);
            tamano = forma.boundedTo(disponible);
        }
    }
    setFixedSize(tamano);
    centerOnScreen(this);
    if (pantalla && !pantalla->availableGeometry().contains(frameGeometry()))
        move(pantalla->availableGeometry().topLeft());
}

// Shown controls take their style sheet's final measures: the size is fixed again on them.
void TFinstalacion::showEvent(QShowEvent *event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !m_medida) {
        m_medida = true;
        fijarTamano();
    }
}

void TFinstalacion::enlazarDatos(TDatos &datos) {
    m_datos = &datos;
    datos.setView(this);
    // Each control with its field; upper-case entry where free text is typed.
    platform::bind(datos.Sinstalacion(), {
                                           {ui->DBNavigator1},
                                           {ui->DBEdit2, "EXPEDIENTE"},
                                           {ui->DBEdit1, "ID"},
                                           {ui->DBLookupComboBox1, "Ntiposuministro"},
                                           {ui->DBEdit3, "POTENCIA"},
                                           {ui->DBLookupComboBox2, "Ninstalador"},
                                           {ui->DBLookupComboBox3, "Ngestor"},
                                           {ui->DBEdit4, "FECHA"},
                                           {ui->DBEdit5, "LOCALIZA_CALLE", true},
                                           {ui->DBEdit6, "LOCALIZA_PORTAL"},
                                           {ui->DBLookupComboBox4, "Ntipobis"},
                                           {ui->DBEdit7, "LOCALIZA_BIS"},
                                           {ui->DBEdit8, "LOCALIZA_ESCALERA"},
                                           {ui->DBEdit9, "LOCALIZA_PISO"},
                                           {ui->DBEdit10, "LOCALIZA_PUERTA"},
                                           {ui->DBEdit11, "LOCALIZA_CODIGO_PROVINCIA"},
                                           {ui->DBLookupComboBox5, "Nprovincia"},
                                           {ui->DBLookupComboBox16, "Nmunicipio"},
                                           {ui->DBLookupComboBox18, "Nentidadpoblacion"},
                                           {ui->DBEdit12, "LOCALIZA_CODIGO_POSTAL", true},
                                           {ui->DBEdit13, "SOLICITANTE_NOMBRE", true},
                                           {ui->DBEdit14, "SOLICITANATE_NIF", true},
                                           {ui->DBEdit15, "SOLICITANTE_TELEFONO", true},
                                           {ui->DBEdit16, "SOLICITANTE_NOTA", true},
                                           {ui->DBLookupComboBox6, "Ntipoacometida"},
                                           {ui->DBLookupComboBox7, "Ncable"},
                                           {ui->DBEdit17, "ACOMETIDA_LONGITUD", true},
                                           {ui->DBEdit18, "MAPRED_CT", true},
                                           {ui->DBEdit19, "MAPRED_LINEA", true},
                                           {ui->DBEdit20, "MAPRED_UTM_X", true},
                                           {ui->DBEdit21, "MAPRED_UTM_Y", true},
                                           {ui->DBLookupComboBox8, "CodCGP"},
                                           {ui->DBLookupComboBox9, "Ncgp"},
                                           {ui->DBLookupComboBox10, "Ntipocaja"},
                                           {ui->DBLookupComboBox11, "Intensidadbase"},
                                           {ui->DBLookupComboBox12, "IntensidadFusible"},
                                           {ui->DBLookupComboBox13, "Ntipotension"},
                                           {ui->DBLookupComboBox14, "Nubicacion"},
                                           {ui->DBEdit22, "CGP_UBICACION_OTRO", true},
                                           {ui->DBLookupComboBox15, "Nnaturaleza"},
                                           {ui->DBEdit23, "CGP_NATURAL_OTRO", true},
                                           {ui->DBEdit24, "CGP_LOCALIZACION", true},
                                           {ui->DBRadioGroup1, "LINEAGENERAL_NORDEN"},
                                           {ui->DBEdit25, "LINEAGENERAL_LONGITUD", true},
                                           {ui->DBRadioGroup2, "LINEAGENERAL_MATERIAL"},
                                           {ui->DBEdit26, "LINEAGENERAL_SECCION", true},
                                           {ui->DBEdit27, "LINEAGENERAL_SECCIONNEUTRO", true},
                                           {ui->DBLookupComboBox17, "Nsituacionportal"},
                                           {ui->DBLookupComboBox19, "Ncentralizacion"},
                                           {ui->DBEdit28, "MEDIDA_CENTRALIZACION_OTRO", true},
                                           {ui->DBLookupComboBox20, "NLocalizacion"},
                                           {ui->DBEdit29, "MEDIDA_LOCALIZACION_OTRO", true},
                                           {ui->DBEdit30, "MEDIDA_DIRECCION", true},
                                       });
    platform::bind(datos.Sarmarios(), {
                                        {ui->DBNavigator2},
                                        {ui->DBGrid1},
                                    });
    platform::bind(datos.Sderivaciones(), {
                                            {ui->DBNavigator3},
                                            {ui->DBGrid2},
                                        });
    platform::bind(datos.Sadjuntos(), {
                                        {ui->DBNavigator4},
                                        {ui->DBGrid3},
                                    });
    // Unbound, the boxes were disabled and the focus may have left the expedient box.
    ui->DBEdit2->setFocus();
    if (datos.DSinstalacion().active() && !datos.DSinstalacion().isEmpty())
        mostrarEnviado(datos.DSinstalacion()["ENVIADO"].asString() == QLatin1String("S"));
}

// ---------------------------------------------------------------- the data module's view

bool TFinstalacion::enviadoMarcado() const {
    return ui->CBenviado->isChecked();
}

// The program's own change of the box: no click is reported for it.
void TFinstalacion::mostrarEnviado(bool enviado) {
    const QSignalBlocker callado(ui->CBenviado);
    ui->CBenviado->setChecked(enviado);
    QFont letra = ui->CBenviado->font();
    letra.setBold(enviado);
    ui->CBenviado->setFont(letra);
}

void TFinstalacion::enfocarExpediente() {
    ui->DBEdit2->setFocus();
}

// From inside a record-set operation (the after-insert rule): what the editor raises goes on
// to that operation.
void TFinstalacion::abrirEditorArmarios() {
    if (m_datos)
        ::abrirEditorArmarios(*m_datos, this);
}

void TFinstalacion::abrirEditorDerivaciones() {
    if (m_datos)
        ::abrirEditorDerivaciones(*m_datos, this);
}

void TFinstalacion::mensaje(const QString &texto) {
    showMessage(this, texto);
}

void TFinstalacion::error(const QString &texto) {
    showError(this, texto);
}

// ---------------------------------------------------------------- buttons of other windows

void TFinstalacion::SpeedButton2Click() {
    if (m_datos)
        atrapar(this, [this] { buscarInstalacion(*m_datos, this, m_configuracion.directory()); });
}
void TFinstalacion::ImprimirClick() {
    if (m_datos)
        atrapar(this, [this] {
            imprimirBoletin(*m_datos, this, m_configuracion.directory(),
                            m_configuracion.impresos());
        });
}
void TFinstalacion::emailClick() {
    if (m_datos)
        atrapar(this, [this] {
            enviarPorCorreo(*m_datos, this, m_configuracion.directory(),
                            m_configuracion.impresos());
        });
}
void TFinstalacion::SpeedButton6Click() {
    if (m_datos)
        atrapar(this, [this] { mostrarAcercaDe(*m_datos, this); });
}
void TFinstalacion::SpeedButton1Click() {
    if (m_datos)
        atrapar(this, [this] { elegirInstalador(*m_datos, this); });
}
void TFinstalacion::SpeedButton3Click() {
    if (m_datos)
        atrapar(this, [this] { elegirGestor(*m_datos, this); });
}
void TFinstalacion::DBGrid1DblClick() {
    if (m_datos)
        atrapar(this, [this] { editarArmario(*m_datos, this); });
}
void TFinstalacion::DBGrid2DblClick() {
    if (m_datos)
        atrapar(this, [this] { editarDerivacion(*m_datos, this); });
}

// After the refresh button the whole list is read again, in its order.
void TFinstalacion::DBNavigator2Click(DBNavigator::Button button) {
    if (button == DBNavigator::Refresh && m_datos)
        atrapar(this, [this] {
            m_datos->DSarmarios().close();
            m_datos->DSarmarios().open();
        });
}

void TFinstalacion::DBNavigator3Click(DBNavigator::Button button) {
    if (button == DBNavigator::Refresh && m_datos)
        atrapar(this, [this] {
            m_datos->DSderivaciones().close();
            m_datos->DSderivaciones().open();
        });
}

// ---------------------------------------------------------------- keys

// A full stop typed in a decimal value is the regional decimal separator (a comma in Spain),
// the one the values are shown with.
void TFinstalacion::DBEdit3KeyPress(QChar *key) {
    if (*key == u'.')
        *key = separadorDecimal();
}

void TFinstalacion::DBGrid2KeyPress(QChar *key) {
    static const QStringList secciones = {QStringLiteral("SECCION_FUERZA"),
                                          QStringLiteral("SECCION_NEUTRO"),
                                          QStringLiteral("SECCION_TIERRA")};
    const db::Field *campo = ui->DBGrid2->currentField();
    if (*key == u'.' && campo && secciones.contains(campo->name()))
        *key = separadorDecimal();
}

// ---------------------------------------------------------------- focus

// Entering the box fetches the whole narrowed list.
void TFinstalacion::DBLookupComboBox16Enter() {
    if (m_datos)
        atrapar(this, [this] { m_datos->Qmunicipios().last(); });
}

void TFinstalacion::DBLookupComboBox18Enter() {
    if (m_datos)
        atrapar(this, [this] { m_datos->Qentidadespoblacion().last(); });
}

void TFinstalacion::PageControl1Change(int index) {
    switch (index) {
    case 1:
        ui->DBGrid1->setFocus();
        break;
    case 2:
        ui->DBGrid2->setFocus();
        break;
    case 3:
        ui->DBGrid3->setFocus();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- the sent check box

// A click by the user writes the box's state into ENVIADO and saves it, the sent lock lifted
// for that one post.
void TFinstalacion::CBenviadoClick() {
    if (!m_datos || !ui->CBenviado->hasFocus())
        return;
    const bool enviado = ui->CBenviado->isChecked();
    if (!atrapar(this, [&] { m_datos->MarcarEnviado(enviado); }))
        return;
    mostrarEnviado(enviado);
    ui->DBEdit2->setFocus();
}

// ---------------------------------------------------------------- attachments

void TFinstalacion::SpeedButton4Click() {
    if (!m_datos || !StBrowser1->ejecutar())
        return;
    atrapar(this, [&] { m_datos->Adjuntar(StBrowser1->ruta()); });
}

void TFinstalacion::SpeedButton5Click() {
    if (m_datos)
        atrapar(this, [&] { m_datos->BorrarAdjuntos(); });
}

// ---------------------------------------------------------------- copy

// Copies the current installation into a new one and makes the copy current. Once the user
// has said yes, what they typed is saved first, so that the copy carries it.
void TFinstalacion::SpeedButton7Click() {
    if (!m_datos || !confirmarCopia(this))
        return;
    if (!atrapar(this, [&] { m_datos->GuardarPendientes(); }))
        return;
    try {
        m_datos->CopiarInstalacion();
    } catch (const std::exception &) {
        showMessage(this, QStringLiteral("No se ha podido realizar la copia"));
    }
}

// ---------------------------------------------------------------- closing

// Closing saves what is pending. When a pending edit cannot be saved, its message shows
// and the window stays open on that record: the user corrects it or cancels the edit.
// With the server gone, saving again would only repeat the same error: the user is asked
// instead whether to close and lose the pending edits or to stay and save them later.
void TFinstalacion::closeEvent(QCloseEvent *event) {
    if (m_datos) {
        const QString sinConexion = m_datos->PendientesSinConexion();
        if (!sinConexion.isEmpty()) {
            if (!confirmarCierreSinGuardar(this, sinConexion)) {
                event->ignore();
                return;
            }
            m_datos->DescartarPendientes();
        } else if (!atrapar(this, [this] { m_datos->PostearPendientes(); })) {
            event->ignore();
            return;
        }
    }
    event->accept();
}
