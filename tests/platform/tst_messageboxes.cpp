#include "platform/dialogs/MessageBoxes.h"

#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace {

// Waits for the modal box that the code under test opens, records it and
// presses its OK button.
class ModalAnswer {
public:
    ModalAnswer() {
        QTimer::singleShot(0, [this] { poll(); });
    }
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool seen = false;

private:
    void poll() {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, [this] { poll(); });
            return;
        }
        seen = true;
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            buttons << b->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    }
};

} // namespace

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void fullStop_data();
    void fullStop();
    void errorBox_data();
    void errorBox();
    void plainBox();
    void shownModally();
};

void TestMessageBoxes::fullStop_data() {
    QTest::addColumn<QString>("msg");
    QTest::addColumn<QString>("shown");

    QTest::addRow("empty") << ""
                           << "";
    QTest::addRow("letter") << "No ha podido encontrar el registro de la base de datos"
                            << "No ha podido encontrar el registro de la base de datos.";
    QTest::addRow("digit") << "Error 1"
                           << "Error 1.";
    QTest::addRow("full stop") << "Hecho."
                               << "Hecho.";
    QTest::addRow("quote mark") << "Invalid data type for 'Usuario'"
                                << "Invalid data type for 'Usuario'";
    QTest::addRow("double quote") << "\"x\""
                                  << "\"x\"";
    QTest::addRow("blank") << "texto "
                           << "texto ";
    QTest::addRow("line break") << "texto\n\r"
                                << "texto\n\r";
    QTest::addRow("comma 0x2C") << "a,"
                                << "a,";
    QTest::addRow("hyphen 0x2D") << "a-"
                                 << "a-";
    QTest::addRow("parenthesis") << "(a)"
                                 << "(a)";
    QTest::addRow("slash 0x2F") << "a/"
                                << "a/.";
    QTest::addRow("colon") << "Expediente:"
                           << "Expediente:.";
    QTest::addRow("question mark")
        << QString::fromUtf8("¿Seguro?") << QString::fromUtf8("¿Seguro?.");
    QTest::addRow("accented letter")
        << QString::fromUtf8("Canción") << QString::fromUtf8("Canción.");
    QTest::addRow("only full stop") << "."
                                    << ".";
}

void TestMessageBoxes::fullStop() {
    QFETCH(QString, msg);
    QFETCH(QString, shown);
    QCOMPARE(conPuntoFinal(msg), shown);
}

void TestMessageBoxes::errorBox_data() {
    QTest::addColumn<QString>("msg");
    QTest::addColumn<QString>("shown");
    QTest::addRow("appended") << "El Expediente debe tener un valor"
                              << "El Expediente debe tener un valor.";
    QTest::addRow("kept") << "Invalid data type for 'Basededatos'"
                          << "Invalid data type for 'Basededatos'";
    QTest::addRow("rich text shown as is") << "<b>x</b>"
                                           << "<b>x</b>.";
}

void TestMessageBoxes::errorBox() {
    QFETCH(QString, msg);
    const std::unique_ptr<QMessageBox> box = crearCajaError(nullptr, msg);
    QCOMPARE(box->windowTitle(), QStringLiteral("Trelmavondis"));
    QCOMPARE(box->icon(), QMessageBox::Critical);
    QFETCH(QString, shown);
    QCOMPARE(box->text(), shown);
    QCOMPARE(box->textFormat(), Qt::PlainText);
    QCOMPARE(box->buttons().size(), 1);
    QVERIFY(box->button(QMessageBox::Ok));
    QCOMPARE(box->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
}

void TestMessageBoxes::plainBox() {
    const QString msg = QStringLiteral("No se ha podido realizar la conexi\u00f3n con la\n\r"
                                       "base de datos: /x.\n\rCompruebe");
    const std::unique_ptr<QMessageBox> box = crearCajaMensaje(nullptr, msg);
    QCOMPARE(box->windowTitle(), QStringLiteral("Trelmavondis"));
    QCOMPARE(box->icon(), QMessageBox::NoIcon);
    // No full stop rule; what the box paints: three lines, one break for each line feed and
    // carriage return.
    box->show();
    auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    QVERIFY(label);
    QCOMPARE(box->text(), label->text());
    QCOMPARE(label->text(), QStringLiteral("No se ha podido realizar la conexi\u00f3n con la\n"
                                           "base de datos: /x.\nCompruebe"));
    QCOMPARE(label->sizeHint().height(),
             QLabel(QStringLiteral("a\nb\nc"), box.get()).sizeHint().height());
    QCOMPARE(box->buttons().size(), 1);
    QCOMPARE(box->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
}

void TestMessageBoxes::shownModally() {
    {
        ModalAnswer answer;
        mostrarError(nullptr, QStringLiteral("Fallo"));
        QVERIFY(answer.seen);
        QCOMPARE(answer.title, QStringLiteral("Trelmavondis"));
        QCOMPARE(answer.text, QStringLiteral("Fallo."));
        QCOMPARE(answer.icon, QMessageBox::Critical);
        QCOMPARE(answer.buttons, QStringList{QStringLiteral("OK")});
    }
    {
        ModalAnswer answer;
        mostrarMensaje(nullptr, QStringLiteral("Aviso"));
        QVERIFY(answer.seen);
        QCOMPARE(answer.text, QStringLiteral("Aviso"));
        QCOMPARE(answer.icon, QMessageBox::NoIcon);
    }
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
