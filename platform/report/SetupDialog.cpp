#include "platform/report/SetupDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace report {

SetupDialog::SetupDialog(const QString &title, const RunSettings &initial,
                         const QString &formatName, bool previewOffered, QWidget *parent)
    : QDialog(parent), m_initial(initial) {
    setWindowTitle(title);
    setObjectName(QStringLiteral("SetupDialog"));
    auto *main = new QVBoxLayout(this);

    auto *where = new QGroupBox(QStringLiteral("Destino"), this);
    auto *grid = new QGridLayout(where);
    m_printer = new QRadioButton(QStringLiteral("&Impresora"), where);
    m_printer->setObjectName(QStringLiteral("destinoImpresora"));
    m_printers = new QComboBox(where);
    m_printers->setObjectName(QStringLiteral("impresora"));
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    m_printers->addItems(printers);
    const QString wanted =
        initial.printerName.isEmpty() ? QPrinterInfo::defaultPrinterName() : initial.printerName;
    if (const int i = int(printers.indexOf(wanted)); i >= 0)
        m_printers->setCurrentIndex(i);
    if (printers.isEmpty() && initial.printerFile.isEmpty()) {
        m_printers->addItem(QStringLiteral("(no hay impresoras)"));
        m_printer->setEnabled(false);
    }
    m_preview = new QRadioButton(QStringLiteral("&Vista previa"), where);
    m_preview->setObjectName(QStringLiteral("destinoVista"));
    m_preview->setVisible(previewOffered);
    m_file = new QRadioButton(QStringLiteral("&Archivo"), where);
    m_file->setObjectName(QStringLiteral("destinoArchivo"));
    m_fileName = new QLineEdit(initial.fileName, where);
    m_fileName->setObjectName(QStringLiteral("archivo"));
    m_browse = new QPushButton(QStringLiteral("..."), where);
    m_browse->setAccessibleName(QStringLiteral("Examinar"));
    m_format = new QComboBox(where);
    m_format->setObjectName(QStringLiteral("formato"));
    m_format->addItem(formatName);
    grid->addWidget(m_printer, 0, 0);
    grid->addWidget(m_printers, 0, 1, 1, 2);
    grid->addWidget(m_preview, 1, 0);
    grid->addWidget(m_file, 2, 0, 1, 3);
    // Its own caption names the box (to a screen reader too), not the group around it.
    auto *nameLabel = new QLabel(QStringLiteral("Nom&bre del archivo:"), where);
    nameLabel->setBuddy(m_fileName);
    grid->addWidget(nameLabel, 3, 0);
    grid->addWidget(m_fileName, 3, 1);
    grid->addWidget(m_browse, 3, 2);
    auto *formatLabel = new QLabel(QStringLiteral("&Formato:"), where);
    formatLabel->setBuddy(m_format);
    grid->addWidget(formatLabel, 4, 0);
    grid->addWidget(m_format, 4, 1, 1, 2);
    main->addWidget(where);

    auto *options = new QGroupBox(QStringLiteral("Opciones de impresión"), this);
    auto *form = new QFormLayout(options);
    m_copies = new QSpinBox(options);
    m_copies->setObjectName(QStringLiteral("copias"));
    m_copies->setRange(1, 999);
    m_copies->setValue(std::max(1, initial.copies));
    form->addRow(QStringLiteral("&Copias:"), m_copies);
    m_collate = new QCheckBox(QStringLiteral("I&ntercalar"), options);
    m_collate->setObjectName(QStringLiteral("intercalar"));
    m_collate->setChecked(initial.collate);
    form->addRow(QString(), m_collate);
    m_duplex = new QComboBox(options);
    m_duplex->setObjectName(QStringLiteral("dobleCara"));
    m_duplex->addItems(
        {QStringLiteral("No"), QStringLiteral("Borde largo"), QStringLiteral("Borde corto")});
    m_duplex->setCurrentIndex(int(initial.duplex));
    form->addRow(QStringLiteral("&Doble cara:"), m_duplex);
    main->addWidget(options);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_ok = new QPushButton(QStringLiteral("&Aceptar"), this);
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("&Cancelar"), this);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    main->addLayout(buttons);

    switch (initial.destination) {
    case Destination::Printer:
        (m_printer->isEnabled() ? m_printer : m_preview)->setChecked(true);
        break;
    case Destination::File:
        m_file->setChecked(true);
        break;
    case Destination::Preview:
        (previewOffered           ? m_preview
         : m_printer->isEnabled() ? m_printer
                                  : m_file)
            ->setChecked(true);
        break;
    }
    for (QRadioButton *r : {m_printer, m_preview, m_file})
        connect(r, &QRadioButton::toggled, this, &SetupDialog::update);
    connect(m_fileName, &QLineEdit::textChanged, this, &SetupDialog::update);
    connect(m_browse, &QPushButton::clicked, this, &SetupDialog::browse);
    connect(m_ok, &QPushButton::clicked, this, &SetupDialog::acceptIfWritable);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    update();
}

void SetupDialog::update() {
    const bool toFile = m_file->isChecked();
    const bool toPrinter = m_printer->isChecked();
    m_fileName->setEnabled(toFile);
    m_browse->setEnabled(toFile);
    m_format->setEnabled(toFile);
    m_printers->setEnabled(toPrinter);
    m_copies->setEnabled(toPrinter);
    m_collate->setEnabled(toPrinter);
    m_duplex->setEnabled(toPrinter);
    m_ok->setEnabled(!toFile || !m_fileName->text().trimmed().isEmpty());
}

// A file that exists is written over only when the user says so; "No" leaves the dialog open
// to choose another name.
void SetupDialog::acceptIfWritable() {
    if (m_file->isChecked() && !confirmOverwrite(this, m_fileName->text().trimmed())) {
        m_fileName->setFocus();
        m_fileName->selectAll();
        return;
    }
    accept();
}

bool confirmOverwrite(QWidget *parent, const QString &path) {
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirmación"),
                    QStringLiteral("El archivo \"%1\" ya existe.\n¿Desea reemplazarlo?")
                        .arg(QDir::toNativeSeparators(info.absoluteFilePath())),
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("reemplazarArchivo"));
    QPushButton *yes = box.addButton(QStringLiteral("&Sí"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void SetupDialog::browse() {
    // The question comes when the dialog is accepted, once, whichever way the name was typed.
    const QString f =
        QFileDialog::getSaveFileName(this, QStringLiteral("Archivo de salida"), m_fileName->text(),
                                     m_format->currentText() + QStringLiteral(" (*.pdf)"), nullptr,
                                     QFileDialog::DontConfirmOverwrite);
    if (!f.isEmpty())
        m_fileName->setText(f);
}

RunSettings SetupDialog::settings() const {
    RunSettings s = m_initial;
    s.destination = m_file->isChecked()      ? Destination::File
                    : m_printer->isChecked() ? Destination::Printer
                                             : Destination::Preview;
    if (m_printer->isEnabled() && !QPrinterInfo::availablePrinterNames().isEmpty())
        s.printerName = m_printers->currentText();
    s.fileName = m_fileName->text().trimmed();
    s.copies = m_copies->value();
    s.collate = m_collate->isChecked();
    s.duplex = Duplex(m_duplex->currentIndex());
    return s;
}

} // namespace report
