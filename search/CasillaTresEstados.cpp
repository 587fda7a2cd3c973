#include "search/CasillaTresEstados.h"

CasillaTresEstados::CasillaTresEstados(QWidget *parent) : QCheckBox(parent) {
    setTristate(true);
    setCheckState(Qt::PartiallyChecked);
}

void CasillaTresEstados::nextCheckState() {
    switch (checkState()) {
    case Qt::PartiallyChecked:
        setCheckState(Qt::Checked);
        break;
    case Qt::Checked:
        setCheckState(Qt::Unchecked);
        break;
    case Qt::Unchecked:
        setCheckState(Qt::PartiallyChecked);
        break;
    }
}
