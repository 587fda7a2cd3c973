#pragma once

#include "db/RecordSet.h"
#include "tests/common/ModalAnswers.h"
#include "tests/common/TestDatabase.h"
#include "tests/common/TypeText.h"

#include <QAbstractButton>
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

// Clicks a check box or radio button where its indicator is: only its indicator and its
// text take clicks, and a layout may make the button much wider than those.
void clickIndicator(QAbstractButton *button);

// How ModalAnswers records a box of the program's error path: its caption, the text it shows
// and its error icon.
QString errorBox(const QString &shownText);

// A refusal of the kind the data module's before-edit rule raises, and its box.
inline const QString kLocked =
    QStringLiteral("No es posible modificar los registros de una instalacion enviada");
inline const QString kLockedBox =
    errorBox(QStringLiteral("No es posible modificar los registros de una instalacion enviada."));

// A shown, active window to put controls in, with a plain line edit to move the focus to, and
// the answers to the boxes its controls open (a box nobody expected is recorded and closed).
struct Form {
    ModalAnswers answers;
    QWidget window;
    QVBoxLayout *layout;
    QLineEdit *other;
    Form();
    template <class W> W *add(W *widget) {
        layout->addWidget(widget);
        return widget;
    }
    bool show(); // true once the window is active
    // The window active again after a box over it closed, as a window manager makes it (the
    // offscreen platform does not): the focus goes back to where the window left it.
    bool backFromBox() { return show(); }
};
