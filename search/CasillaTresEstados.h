#pragma once

#include <QCheckBox>

// A three-state check box whose click moves grey (partially checked) to ticked, ticked to
// cleared and cleared to grey again. It starts grey.
class CasillaTresEstados : public QCheckBox {
    Q_OBJECT
public:
    explicit CasillaTresEstados(QWidget *parent = nullptr);

protected:
    void nextCheckState() override;
};
