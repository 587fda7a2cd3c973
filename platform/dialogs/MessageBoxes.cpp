#include "platform/dialogs/MessageBoxes.h"

#include "db/Errors.h"
#include "platform/mail/MailError.h"
#include "platform/report/Report.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace {

QString oneBreakPerLine(QString text) {
    text.replace(QLatin1String("\n\r"), QLatin1String("\n"))
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(u'\r', u'\n');
    return text;
}

std::unique_ptr<QMessageBox> makeBox(QWidget *parent, QMessageBox::Icon icon, const QString &text) {
    auto box = std::make_unique<QMessageBox>(icon, ApplicationTitle.toString(), text,
                                             QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    // Messages break their lines with a line feed and a carriage return; a label draws each
    // as a break of its own. The message keeps its characters, the box shows one break.
    box->setText(oneBreakPerLine(text));
    // Set explicitly so that the caption does not depend on the loaded translation.
    box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box->setDefaultButton(QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    return box;
}

// The silent abort (db::Abort): whoever raised it has said what was needed.
bool isSilent(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const db::Abort &) {
        return true;
    } catch (...) {
    }
    return false;
}

} // namespace

QString withFullStop(const QString &msg) {
    if (msg.isEmpty() || msg.back() <= u'.')
        return msg;
    return msg + u'.';
}

std::unique_ptr<QMessageBox> makeErrorBox(QWidget *parent, const QString &msg) {
    return makeBox(parent, QMessageBox::Critical, withFullStop(msg));
}

std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, const QString &msg) {
    return makeBox(parent, QMessageBox::NoIcon, msg);
}

void showError(QWidget *parent, const QString &msg) {
    makeErrorBox(parent, msg)->exec();
}

void showMessage(QWidget *parent, const QString &msg) {
    makeMessageBox(parent, msg)->exec();
}

QString exceptionText(std::exception_ptr error) {
    if (!error)
        return QString();
    try {
        std::rethrow_exception(error);
    } catch (const db::Abort &) {
        return QString();
    } catch (const db::Refusal &e) {
        return e.message();
    } catch (const report::ReportError &e) {
        return e.message();
    } catch (const mail::MailError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what()); // the program's exceptions carry UTF-8
    }
    return QString();
}

void showException(std::exception_ptr error, QWidget *parent) {
    if (!error || isSilent(error))
        return;
    if (!parent)
        parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                   : QApplication::activeWindow();
    showError(parent, exceptionText(error));
}
