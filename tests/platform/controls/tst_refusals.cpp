// A refusal of the record set's rules reaches the user once, in the error box, whichever way a
// control starts the change: a key (raised up to the application's notify()), a click or a
// menu (caught where Qt calls the control and shown there); the silent abort shows nothing.
// Either way the record keeps its value and stays unedited.

#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ControlsFixture.h"

#include "platform/controls/Binding.h"
#include "platform/controls/DBCheckBox.h"
#include "platform/controls/DBEdit.h"
#include "platform/controls/DBGrid.h"
#include "platform/controls/DBLookupComboBox.h"
#include "platform/controls/DBMemo.h"
#include "platform/controls/DBNavigator.h"
#include "platform/controls/DBRadioGroup.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

#include <stdexcept>

using db::State;

namespace {

// Installation 1 (manager 2, material "Cobre", not sent) and managers 1 and 2, in a shown
// window; its before-edit rule raises the refusal under test.
struct RefusalFixture {
    ControlsFixture f;
    Form form;
    RefusalFixture() {
        f.addGestores({"ALFA", "BETA"});
        f.exec({"insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, GESTOR, LINEAGENERAL_MATERIAL, "
                "SOLICITANTE_NOMBRE, SOLICITANTE_NOTA) values (1, 'E1', 'N', 2, 'Cobre', 'ANA', "
                "'nota')"});
        f.inst->open();
    }
    template <class W> W *bound(W *control, const char *field) {
        form.add(control);
        control->setDataSource(&f.sInst);
        control->setDataField(QLatin1String(field));
        return control;
    }
    QString values() const {
        QStringList v;
        for (const char *name : {"GESTOR", "LINEAGENERAL_MATERIAL", "ENVIADO", "SOLICITANTE_NOMBRE",
                                 "SOLICITANTE_NOTA"})
            v << f.inst->field(QLatin1String(name)).asString();
        return v.join(u'|');
    }
};

} // namespace

class TstRefusals : public QObject {
    Q_OBJECT
private slots:
    void shownOnceOrNotAtAll_data();
    void shownOnceOrNotAtAll();
    void refusedAfterTheStore_data();
    void refusedAfterTheStore();
};

void TstRefusals::shownOnceOrNotAtAll_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("refusal");
    const QStringList ways = {"typing into an edit",         "Delete in a lookup box",
                              "typing into a grid cell",     "pasting into a memo from its menu",
                              "clicking a check box",        "clicking a radio button",
                              "choosing from a lookup list", "the navigator's edit button"};
    for (const QString &way : ways)
        for (const char *refusal : {"message", "abort", "other"})
            QTest::addRow("%s, %s", qPrintable(way), refusal)
                << way << QString::fromLatin1(refusal);
}

void TstRefusals::shownOnceOrNotAtAll() {
    QFETCH(QString, way);
    QFETCH(QString, refusal);
    RefusalFixture t;
    t.f.inst->beforeEdit = [refusal](db::RecordSet &) {
        if (refusal == QLatin1String("abort"))
            throw db::Abort();
        if (refusal == QLatin1String("other"))
            throw std::runtime_error("Fallo inesperado");
        throw db::DatabaseError(kLocked);
    };
    const QString before = t.values();
    QWidget *control = nullptr;
    std::function<void()> act;
    if (way == "typing into an edit") {
        auto *edit = t.bound(new platform::DBEdit, "SOLICITANTE_NOMBRE");
        act = [edit] { QTest::keyClick(edit, 'x'); };
        control = edit;
    } else if (way == "Delete in a lookup box") {
        auto *box = t.bound(new platform::DBLookupComboBox, "Ngestor");
        box->setClearOnDelete(true);
        act = [box] { QTest::keyClick(box, Qt::Key_Delete); };
        control = box;
    } else if (way == "typing into a grid cell") {
        auto *grid = t.form.add(new platform::DBGrid);
        grid->setColumns({platform::gridColumn("SOLICITANTE_NOMBRE", "Solicitante", 150)});
        grid->setDataSource(&t.f.sInst);
        act = [grid] { QTest::keyClick(grid, 'x'); };
        control = grid;
    } else if (way == "pasting into a memo from its menu") {
        auto *memo = t.bound(new platform::DBMemo, "SOLICITANTE_NOTA");
        QGuiApplication::clipboard()->setText(QStringLiteral("pegado"));
        act = [memo] { memo->paste(); };
        control = memo;
    } else if (way == "clicking a check box") {
        auto *box = t.bound(new platform::DBCheckBox, "ENVIADO");
        act = [box] { clickIndicator(box); };
        control = box;
    } else if (way == "clicking a radio button") {
        auto *group = t.bound(new platform::DBRadioGroup, "LINEAGENERAL_MATERIAL");
        group->setItems({"Cobre", "Aluminio"});
        act = [group] { clickIndicator(group->button(1)); };
        control = group;
    } else if (way == "choosing from a lookup list") {
        auto *box = t.bound(new platform::DBLookupComboBox, "Ngestor");
        act = [box] {
            box->showPopup();
            QTRY_VERIFY(box->view()->isVisible());
            QTest::keyClick(box->view(), Qt::Key_Up);
            QTest::keyClick(box->view(), Qt::Key_Return);
        };
        control = box;
    } else if (way == "the navigator's edit button") {
        auto *nav = t.form.add(new platform::DBNavigator);
        nav->setDataSource(&t.f.sInst);
        act = [nav] {
            QTest::mouseClick(nav->button(platform::DBNavigator::Edit), Qt::LeftButton);
        };
    }
    QVERIFY(act);
    QVERIFY(t.form.show());
    if (control)
        control->setFocus(Qt::TabFocusReason);
    if (refusal != QLatin1String("abort"))
        t.form.answers.push(ModalAnswers::ok());
    act();
    QCoreApplication::processEvents(); // whatever the controls leave to the event loop
    if (refusal == QLatin1String("message"))
        QCOMPARE(t.form.answers.seen, QStringList{kLockedBox});
    else if (refusal == QLatin1String("other"))
        QCOMPARE(t.form.answers.seen, QStringList{errorBox("Fallo inesperado.")});
    else
        QCOMPARE(t.form.answers.seen, QStringList());
    QCOMPARE(t.f.inst->state(), State::Browse);
    QCOMPARE(t.values(), before);
}

void TstRefusals::refusedAfterTheStore_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shownAfter");
    // Text typed stays pending, to be put right or dropped with Escape (a post writes it
    // again); a choice shows the value the field was left with.
    QTest::newRow("edit") << "edit"
                          << "ANAX";
    QTest::newRow("memo") << "memo"
                          << "notaX";
    QTest::newRow("lookup box") << "lookup"
                                << "ALFA";
}

// A rule that refuses the value after it was stored (a field's on-change rule): the box says
// so and the control shows what is explained above, not what its own store announced.
void TstRefusals::refusedAfterTheStore() {
    QFETCH(QString, control);
    QFETCH(QString, shownAfter);
    RefusalFixture t;
    const auto refuse = [](db::Field &) { throw db::DatabaseError(QStringLiteral("No admitido")); };
    std::function<QString()> shown;
    std::function<bool()> pending = [] { return false; };
    QWidget *widget = nullptr;
    if (control == "edit") {
        auto *edit = t.bound(new platform::DBEdit, "SOLICITANTE_NOMBRE");
        t.f.inst->field("SOLICITANTE_NOMBRE").onChange = refuse;
        shown = [edit] { return edit->text(); };
        pending = [edit] { return edit->isModified(); };
        widget = edit;
    } else if (control == "memo") {
        auto *memo = t.bound(new platform::DBMemo, "SOLICITANTE_NOTA");
        t.f.inst->field("SOLICITANTE_NOTA").onChange = refuse;
        shown = [memo] { return memo->toPlainText(); };
        pending = [memo] { return memo->isModified(); };
        widget = memo;
    } else {
        auto *box = t.bound(new platform::DBLookupComboBox, "Ngestor");
        t.f.inst->field("GESTOR").onChange = refuse;
        shown = [box] { return box->shownText(); };
        widget = box;
    }
    QVERIFY(t.form.show());
    widget->setFocus(Qt::TabFocusReason);
    if (control == "lookup") {
        t.form.answers.push(ModalAnswers::ok());
        QTest::keyClick(widget, Qt::Key_Up); // from BETA to ALFA
    } else {
        QTest::keyClick(widget, Qt::Key_End);
        QTest::keyClick(widget, 'X');
        t.form.answers.push(ModalAnswers::ok());
        t.form.other->setFocus(Qt::TabFocusReason);
        QVERIFY(t.form.backFromBox());
        QCOMPARE(QApplication::focusWidget(), widget);
    }
    QCOMPARE(t.form.answers.seen, QStringList{errorBox("No admitido.")});
    QCOMPARE(shown(), shownAfter);
    QCOMPARE(pending(), control != "lookup");
    QCOMPARE(t.f.inst->state(), State::Edit);
}

int runRefusalTests(int argc, char **argv) {
    TstRefusals t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_refusals.moc"
