// Data-aware controls on a move: a control whose shown value stays the same is neither given
// its text again nor repainted; one whose value changes is both.

#include "tests/platform/controls/ControlTests.h"
#include "tests/platform/controls/ControlsFixture.h"

#include "platform/controls/DBCheckBox.h"
#include "platform/controls/DBEdit.h"
#include "platform/controls/DBLookupComboBox.h"
#include "platform/controls/DBMemo.h"
#include "platform/controls/DBRadioGroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QtTest>

using platform::DBCheckBox;
using platform::DBEdit;
using platform::DBLookupComboBox;
using platform::DBMemo;
using platform::DBRadioGroup;

namespace {

// Counts the paint events of a widget and of every widget inside it.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget *widget) {
        widget->installEventFilter(this);
        for (QWidget *child : widget->findChildren<QWidget *>())
            child->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Everything a move left to do, the repaint included.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

// Installations 1 and 2 alike in every column a control shows; installation 3 different in
// each of them.
struct ThreeInstallations {
    ControlsFixture f;
    Form form;
    ThreeInstallations() {
        f.addGestores({QStringLiteral("ALFA"), QStringLiteral("BETA")});
        const QString insert = QStringLiteral(
            "insert into INSTALACION (ID, EXPEDIENTE, ENVIADO, GESTOR, POTENCIA, "
            "LINEAGENERAL_MATERIAL, SOLICITANTE_NOMBRE, SOLICITANTE_NOTA) values (%1)");
        f.exec({insert.arg("1, 'E1', 'N', 1, 5.5, 'Cobre', 'Ana', 'nota'"),
                insert.arg("2, 'E2', 'N', 1, 5.5, 'Cobre', 'Ana', 'nota'"),
                insert.arg("3, 'E3', 'N', 2, 7.25, 'Aluminio', 'Bea', 'otra nota'")});
        f.gestores->open();
        f.inst->open();
    }
};

// A control of the kind named, bound to the installations, and the signal by which it takes
// a new text or value.
struct Bound {
    QWidget *control = nullptr;
    QObject *sender = nullptr;
    const char *signal = nullptr;
};

Bound bind(const QString &kind, const QString &fieldName, ThreeInstallations &t) {
    if (kind == u"DBEdit") {
        auto *edit = t.form.add(new DBEdit);
        edit->setDataSource(&t.f.sInst);
        edit->setDataField(fieldName);
        return {edit, edit, SIGNAL(textChanged(QString))};
    }
    if (kind == u"DBMemo") {
        auto *memo = t.form.add(new DBMemo);
        memo->setDataSource(&t.f.sInst);
        memo->setDataField(fieldName);
        return {memo, memo, SIGNAL(textChanged())};
    }
    if (kind == u"DBCheckBox") {
        auto *box = t.form.add(new DBCheckBox);
        box->setValueChecked(QStringLiteral("Cobre"));
        box->setValueUnchecked(QStringLiteral("Aluminio"));
        box->setDataSource(&t.f.sInst);
        box->setDataField(fieldName);
        return {box, box, SIGNAL(stateChanged(int))};
    }
    if (kind == u"DBRadioGroup") {
        auto *group = t.form.add(new DBRadioGroup);
        group->setItems({QStringLiteral("Cobre"), QStringLiteral("Aluminio")});
        group->setDataSource(&t.f.sInst);
        group->setDataField(fieldName);
        return {group, group->button(0), SIGNAL(toggled(bool))};
    }
    auto *combo = t.form.add(new DBLookupComboBox);
    combo->setDataSource(&t.f.sInst);
    combo->setDataField(fieldName);
    return {combo, nullptr, nullptr};
}

// What the control shows, as text.
QString shown(const Bound &b) {
    if (auto *edit = qobject_cast<DBEdit *>(b.control))
        return edit->text();
    if (auto *memo = qobject_cast<DBMemo *>(b.control))
        return memo->toPlainText();
    if (auto *box = qobject_cast<DBCheckBox *>(b.control))
        return QString::number(int(box->checkState()));
    if (auto *group = qobject_cast<DBRadioGroup *>(b.control))
        return QString::number(group->checkedIndex());
    return static_cast<DBLookupComboBox *>(b.control)->shownText();
}

} // namespace

class TstRepaint : public QObject {
    Q_OBJECT
private slots:
    void unchangedValueIsNotShownAgain_data();
    void unchangedValueIsNotShownAgain();
};

void TstRepaint::unchangedValueIsNotShownAgain_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("third");
    QTest::newRow("edit, text") << "DBEdit" << "SOLICITANTE_NOMBRE" << "Ana" << "Bea";
    // A decimal is aligned to the right: the alignment is set again on every record.
    QTest::newRow("edit, decimal") << "DBEdit" << "POTENCIA" << "5,50" << "7,25";
    QTest::newRow("memo") << "DBMemo" << "SOLICITANTE_NOTA" << "nota" << "otra nota";
    QTest::newRow("check box") << "DBCheckBox" << "LINEAGENERAL_MATERIAL"
                               << QString::number(int(Qt::Checked))
                               << QString::number(int(Qt::Unchecked));
    QTest::newRow("radio group") << "DBRadioGroup" << "LINEAGENERAL_MATERIAL" << "0" << "1";
    QTest::newRow("lookup box") << "DBLookupComboBox" << "Ngestor" << "ALFA" << "BETA";
}

void TstRepaint::unchangedValueIsNotShownAgain() {
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(QString, first);
    QFETCH(QString, third);
    ThreeInstallations t;
    const Bound b = bind(kind, field, t);
    QVERIFY(t.form.show());
    t.form.other->setFocus(); // a box with the focus would blink its caret
    settle();
    QCOMPARE(shown(b), first);

    PaintCounter paints(b.control);
    std::unique_ptr<QSignalSpy> changes;
    if (b.sender)
        changes = std::make_unique<QSignalSpy>(b.sender, b.signal);

    // Installation 2 shows what installation 1 showed: nothing to do.
    t.f.inst->next();
    settle();
    QCOMPARE(t.f.inst->field("ID").asInteger(), 2);
    QCOMPARE(shown(b), first);
    QCOMPARE(paints.count, 0);
    if (changes)
        QCOMPARE(changes->count(), 0);

    // Installation 3 shows something else: given its text and repainted.
    t.f.inst->next();
    settle();
    QCOMPARE(t.f.inst->field("ID").asInteger(), 3);
    QCOMPARE(shown(b), third);
    QVERIFY(paints.count > 0);
    if (changes)
        QVERIFY(changes->count() > 0);

    // And back: the same again.
    paints.count = 0;
    if (changes)
        changes->clear();
    t.f.inst->prior();
    settle();
    QCOMPARE(shown(b), first);
    QVERIFY(paints.count > 0);
    if (changes)
        QVERIFY(changes->count() > 0);
}

int runRepaintTests(int argc, char **argv) {
    TstRepaint t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_repaint.moc"
