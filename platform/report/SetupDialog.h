#pragma once

#include "platform/report/RunSettings.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QCheckBox;
class QPushButton;

namespace report {

// The output options asked before a run: printer (the system's printers), preview, or a
// file with its name and format; copies, collate and duplex. Cancel ends the run quietly.
// Child object names (for tests): destinoImpresora, destinoVista, destinoArchivo, impresora,
// archivo, formato, copias, intercalar, dobleCara; buttons "Aceptar" and "Cancelar".
// Asks "¿Desea reemplazarlo?" when `path` exists; true to write it (also when it does not).
bool confirmOverwrite(QWidget *parent, const QString &path);

class SetupDialog : public QDialog {
    Q_OBJECT
public:
    SetupDialog(const QString &title, const RunSettings &initial, const QString &formatName,
                bool previewOffered, QWidget *parent = nullptr);
    RunSettings settings() const;

private:
    void update();
    void browse();
    void acceptIfWritable();
    RunSettings m_initial;
    QRadioButton *m_printer, *m_preview, *m_file;
    QComboBox *m_printers, *m_format, *m_duplex;
    QLineEdit *m_fileName;
    QPushButton *m_browse, *m_ok;
    QSpinBox *m_copies;
    QCheckBox *m_collate;
};

} // namespace report
