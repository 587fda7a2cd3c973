#pragma once

#include "db/RecordSet.h"
#include "tests/common/TestDatabase.h"

#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

// A database with the record sets the control tests bind to: managers (GESTORES), a slice of
// the installations (INSTALACION, with the lookup "Ngestor" into the managers), the
// installation cabinets (INSTALACION_ARMARIO, with the lookup "Ntipo" into TIPO_ARMARIO) and
// that reference list, read only.
struct ControlsFixture {
    TestDatabase tdb;
    db::Database database;
    db::Transaction transaction{database};
    std::unique_ptr<db::RecordSet> gestores;
    std::unique_ptr<db::RecordSet> inst;
    std::unique_ptr<db::RecordSet> tipos;
    std::unique_ptr<db::RecordSet> armarios;
    db::DataSource sGestores, sInst, sTipos, sArmarios;

    ControlsFixture();
    ~ControlsFixture();

    // Runs statements through a second attachment and commits them; this fixture's
    // transaction starts again so that it sees them. Call before opening record sets.
    void exec(const QStringList &statements);
    void addGestores(const QStringList &names); // IDs 1, 2, ... in the order given
    void addInstalaciones(int n);               // IDs 1..n, expedients E1..En, not sent
    int countInDatabase(const QString &table);
};

// Types text as keys, letters beyond ASCII included.
void typeText(QWidget *widget, const QString &text);

// A shown, active window to put controls in, with a plain line edit to move the focus to.
struct Form {
    QWidget window;
    QVBoxLayout *layout;
    QLineEdit *other;
    Form();
    template <class W> W *add(W *widget) {
        layout->addWidget(widget);
        return widget;
    }
    bool show(); // true once the window is active
};
