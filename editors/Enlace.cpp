#include "editors/Enlace.h"

#include "platform/controls/DBCheckBox.h"
#include "platform/controls/DBEdit.h"
#include "platform/controls/DBLookupComboBox.h"
#include "platform/controls/DBMemo.h"

namespace {

template <class Control> bool enlazarSi(QWidget *w, db::DataSource &fuente, const QString &campo) {
    auto *c = qobject_cast<Control *>(w);
    if (!c)
        return false;
    c->setDataSource(&fuente);
    c->setDataField(campo);
    return true;
}

} // namespace

void enlazar(db::DataSource &fuente, std::initializer_list<CampoEnlazado> campos) {
    for (const auto &[control, nombre] : campos) {
        const QString campo = QLatin1String(nombre);
        const bool hecho = enlazarSi<platform::DBEdit>(control, fuente, campo) ||
                           enlazarSi<platform::DBLookupComboBox>(control, fuente, campo) ||
                           enlazarSi<platform::DBMemo>(control, fuente, campo) ||
                           enlazarSi<platform::DBCheckBox>(control, fuente, campo);
        Q_ASSERT_X(hecho, "enlazar", "control sin campo de datos");
        Q_UNUSED(hecho);
    }
}
