#include "app/StBrowser.h"

#include "platform/dialogs/Windows.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

StBrowser::StBrowser(QWidget *parent)
    : QDialog(parent), m_modelo(new QFileSystemModel(this)), m_arbol(new QTreeView(this)) {
    setObjectName(QStringLiteral("StBrowser1"));
    setWindowTitle(QStringLiteral("Examinar"));
    setModal(true);
    resize(380, 440);

    m_modelo->setFilter(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs);
    m_modelo->setReadOnly(true);
    m_modelo->setRootPath(QString()); // the top: "/" here, the drives on Windows
    m_arbol->setModel(m_modelo);
    m_arbol->setHeaderHidden(true);
    for (int c = 1; c < m_modelo->columnCount(); ++c)
        m_arbol->hideColumn(c);
    m_arbol->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *botones = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_aceptar = botones->button(QDialogButtonBox::Ok);
    m_aceptar->setText(QStringLiteral("Aceptar"));
    botones->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(botones, &QDialogButtonBox::accepted, this, &StBrowser::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &StBrowser::reject);
    connect(m_arbol->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &StBrowser::actualizarBoton);
    // Folders fill in as they are read: the chosen item is brought into sight once it is there.
    connect(m_modelo, &QFileSystemModel::directoryLoaded, this, &StBrowser::mostrarElegida,
            Qt::QueuedConnection);
    connect(m_modelo, &QAbstractItemModel::rowsInserted, this, &StBrowser::mostrarElegida,
            Qt::QueuedConnection);
    connect(m_modelo, &QAbstractItemModel::layoutChanged, this, &StBrowser::mostrarElegida,
            Qt::QueuedConnection);
    m_arbol->installEventFilter(this);
    m_arbol->viewport()->installEventFilter(this);
    connect(m_arbol, &QTreeView::doubleClicked, this, [this](const QModelIndex &i) {
        if (!m_modelo->isDir(i))
            accept();
    });

    auto *capa = new QVBoxLayout(this);
    capa->addWidget(m_arbol);
    capa->addWidget(botones);
    actualizarBoton();
}

bool StBrowser::ejecutar() {
    m_ruta.clear();
    elegir(QDir::homePath());
    return exec() == QDialog::Accepted;
}

void StBrowser::elegir(const QString &ruta) {
    m_buscada = ruta;
    mostrarElegida();
}

// Opens the folders down to the chosen item and makes it current; run again as each folder
// on the way is read.
void StBrowser::mostrarElegida() {
    if (m_buscada.isEmpty())
        return;
    const QModelIndex indice = m_modelo->index(m_buscada);
    for (QModelIndex i = indice.parent(); i.isValid(); i = i.parent())
        m_arbol->expand(i);
    m_arbol->setCurrentIndex(indice);
    m_arbol->scrollTo(indice);
    actualizarBoton();
}

// The user's own moves in the tree end the following of the chosen item.
bool StBrowser::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::Wheel:
        m_buscada.clear();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

QString StBrowser::elegida() const {
    const QModelIndex i = m_arbol->currentIndex();
    if (!i.isValid())
        return QString();
    const QString ruta = m_modelo->filePath(i);
    return QFileInfo::exists(ruta) ? QDir::toNativeSeparators(ruta) : QString();
}

void StBrowser::actualizarBoton() {
    m_aceptar->setEnabled(!elegida().isEmpty());
}

void StBrowser::accept() {
    const QString ruta = elegida();
    if (ruta.isEmpty())
        return; // gone meanwhile: nothing to confirm
    m_ruta = ruta;
    QDialog::accept();
}

void StBrowser::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    centerOnScreen(this);
}
