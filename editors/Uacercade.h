#pragma once

// TFacercade's components (Uacercade.ui), by their names:
//   Image1                 the logo
//   Label1                 the application's name; Label2 the caption "Versión:"
//   DBEdit1, DBEdit2       the database's version and revision (Qver's VERSION, REVISION)
//   Memo1                  the application's description
//   BitBtn1                close

#include "db/DataSource.h"

#include <QDialog>

#include <memory>

class TDatos;
namespace Ui {
class TFacercade;
}

// The about box "Acerca de Trelmavondis I.E.E.": the application's name and description and
// the database's version and revision, read through Qver when the box is created. It frees
// itself when it closes, so every opening reads the version again.
class TFacercade : public QDialog {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Facercade";

    TFacercade(TDatos &datos, QWidget *principal);
    ~TFacercade() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TDatos &m_datos;
    db::DataSource m_version;
    std::unique_ptr<Ui::TFacercade> ui;
};
