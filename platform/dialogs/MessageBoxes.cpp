#include "platform/dialogs/MessageBoxes.h"

#include "db/Errors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace {

QString unaLineaPorSalto(QString text) {
    text.replace(QLatin1String("\n\r"), QLatin1String("\n"))
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(u'\r', u'\n');
    return text;
}

std::unique_ptr<QMessageBox> crearCaja(QWidget *parent, QMessageBox::Icon icon,
                                       const QString &text) {
    auto box = std::make_unique<QMessageBox>(icon, TituloAplicacion.toString(), text,
                                             QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    // Messages break their lines with a line feed and a carriage return; a label draws each
    // as a break of its own. The message keeps its characters, the box shows one break.
    box->setText(unaLineaPorSalto(text));
    // Set explicitly so that the caption does not depend on the loaded translation.
    box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    return box;
}

} // namespace

QString conPuntoFinal(const QString &msg) {
    if (msg.isEmpty() || msg.back() <= u'.')
        return msg;
    return msg + u'.';
}

std::unique_ptr<QMessageBox> crearCajaError(QWidget *parent, const QString &msg) {
    return crearCaja(parent, QMessageBox::Critical, conPuntoFinal(msg));
}

std::unique_ptr<QMessageBox> crearCajaMensaje(QWidget *parent, const QString &msg) {
    return crearCaja(parent, QMessageBox::NoIcon, msg);
}

void mostrarError(QWidget *parent, const QString &msg) {
    crearCajaError(parent, msg)->exec();
}

void mostrarMensaje(QWidget *parent, const QString &msg) {
    crearCajaMensaje(parent, msg)->exec();
}

void showException(std::exception_ptr error, QWidget *parent) {
    if (!error)
        return;
    if (!parent)
        parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                   : QApplication::activeWindow();
    try {
        std::rethrow_exception(error);
    } catch (const db::Abort &) {
        // The silent abort: whoever raised it has said what was needed.
    } catch (const db::DatabaseError &e) {
        mostrarError(parent, e.message());
    } catch (const std::exception &e) {
        mostrarError(parent, QString::fromUtf8(e.what())); // the program's exceptions carry UTF-8
    }
}
