#pragma once

// TFinstalador's components (Uinstalador.ui), by their names:
//   DBNavigator1, DBGrid1  the installers
//   BitBtn1, BitBtn2       "&Aceptar" and "&Cancelar"
//   GroupBox1              fiscal address: DBEdit1 street, DBEdit2 number, DBEdit3 post code,
//                          DBEdit4 municipality
//   GroupBox2              mail: DBEdit5 address, DBEdit6 SMTP server, DBCheckBox1 the server
//                          asks for a login
//   GroupBox3              the login: DBEdit7 user, DBEdit8 password
//   Label1..Label8         the captions before the fields

#include "editors/EditorSeleccion.h"

#include "db/DataSource.h"

#include <memory>

class TDatos;
namespace Ui {
class TFinstalador;
}

// The installer editor "Instalador Autorizado": the installers with their fiscal address and
// mail settings, edited in DSinstalador through the window's own link Sinstalador; the row
// current when "&Aceptar" closes it is the one chosen.
class TFinstalador : public EditorSeleccion {
    Q_OBJECT
public:
    static constexpr const char *Instancia = "Finstalador";

    TFinstalador(TDatos &datos, QWidget *principal);
    ~TFinstalador() override;

    db::DataSource Sinstalador;

private:
    std::unique_ptr<Ui::TFinstalador> ui;
};
