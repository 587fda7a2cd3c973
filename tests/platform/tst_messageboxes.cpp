#include "db/Errors.h"
#include "platform/dialogs/MessageBoxes.h"
#include "platform/mail/MailError.h"
#include "platform/report/Report.h"
#include "tests/common/ModalAnswers.h"

#include <QtTest>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>

#include <exception>
#include <stdexcept>

Q_DECLARE_METATYPE(std::exception_ptr)

namespace {

// Notes the icon of the box it answers, then accepts it.
ModalAnswers::Answer noteIcon(QMessageBox::Icon &icon) {
    return [&icon](QWidget *w) {
        icon = qobject_cast<QMessageBox *>(w)->icon();
        ModalAnswers::ok()(w);
    };
}

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
    void exceptionShown_data();
    void exceptionShown();
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
    QCOMPARE(withFullStop(msg), shown);
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
    const std::unique_ptr<QMessageBox> box = makeErrorBox(nullptr, msg);
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
    const std::unique_ptr<QMessageBox> box = makeMessageBox(nullptr, msg);
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
        ModalAnswers r;
        QStringList buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        r.push(ModalAnswers::noteButtons(buttons, noteIcon(icon)));
        showError(nullptr, QStringLiteral("Fallo"));
        QCOMPARE(r.seen, QStringList{QStringLiteral("Trelmavondis|Fallo.|error")});
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(buttons, QStringList{QStringLiteral("OK")});
    }
    {
        ModalAnswers r;
        QMessageBox::Icon icon = QMessageBox::Critical;
        r.push(noteIcon(icon));
        showMessage(nullptr, QStringLiteral("Aviso"));
        QCOMPARE(r.seen, QStringList{QStringLiteral("Trelmavondis|Aviso")});
        QCOMPARE(icon, QMessageBox::NoIcon);
    }
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestMessageBoxes::exceptionShown_data() {
    QTest::addColumn<std::exception_ptr>("error");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("shown");

    const auto box = [](const char *text) {
        return QStringList{QStringLiteral("Trelmavondis|") + QString::fromUtf8(text) +
                           QStringLiteral("|error")};
    };
    QTest::addRow("refusal") << std::make_exception_ptr(
                                    db::Refusal(QStringLiteral("'32/01/2025' no es una fecha")))
                             << QStringLiteral("'32/01/2025' no es una fecha")
                             << box("'32/01/2025' no es una fecha.");
    QTest::addRow("database") << std::make_exception_ptr(db::DatabaseError(
                                     QStringLiteral("Violación de clave única"), 335544665))
                              << QStringLiteral("Violación de clave única")
                              << box("Violación de clave única.");
    QTest::addRow("connection lost")
        << std::make_exception_ptr(db::ConnectionLost(QStringLiteral("Sin servidor: añil")))
        << QStringLiteral("Sin servidor: añil") << box("Sin servidor: añil.");
    QTest::addRow("report") << std::make_exception_ptr(
                                   report::ReportError(QStringLiteral("Campo «Año» desconocido")))
                            << QStringLiteral("Campo «Año» desconocido")
                            << box("Campo «Año» desconocido.");
    QTest::addRow("mail") << std::make_exception_ptr(mail::MailError(mail::MailError::Kind::Refused,
                                                                     QStringLiteral("550 buzón")))
                          << QStringLiteral("550 buzón") << box("550 buzón.");
    QTest::addRow("other, UTF-8") << std::make_exception_ptr(std::runtime_error("Sin conexión"))
                                  << QStringLiteral("Sin conexión") << box("Sin conexión.");
    QTest::addRow("silent abort") << std::make_exception_ptr(db::Abort()) << QString()
                                  << QStringList();
}

// Every error type of the program shows its own message, decoded once, in the error box.
void TestMessageBoxes::exceptionShown() {
    QFETCH(std::exception_ptr, error);
    QFETCH(QString, text);
    QFETCH(QStringList, shown);
    QCOMPARE(exceptionText(error), text);
    ModalAnswers r;
    if (!shown.isEmpty())
        r.push(ModalAnswers::ok());
    showException(error);
    QCOMPARE(r.seen, shown);
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
