#pragma once

#include <QString>
#include <QStringView>

#include <exception>
#include <memory>

class QMessageBox;
class QWidget;

// The program's two standard boxes, both captioned with the application
// title and closed with an OK button.

inline constexpr QStringView ApplicationTitle = u"Trelmavondis";

// The error box's full-stop rule: "." is appended unless the text ends in "."
// or in a character whose code is below that of "." (a blank, a quote mark, a
// line break, ...). Empty text stays empty: there is no last character.
QString withFullStop(const QString &msg);

// Builders, so that the boxes can be examined without running them. The
// caller destroys the box before its parent.
std::unique_ptr<QMessageBox> makeErrorBox(QWidget *parent, const QString &msg);
std::unique_ptr<QMessageBox> makeMessageBox(QWidget *parent, const QString &msg);

// Modal error box: critical icon, text with the full-stop rule.
void showError(QWidget *parent, const QString &msg);
// Modal plain box: no icon, text as given.
void showMessage(QWidget *parent, const QString &msg);

// The text a caught exception carries for the user: the message of a db::Refusal (a
// db::DatabaseError among them), a report::ReportError or a mail::MailError, else what()
// read as UTF-8, as every exception of the program writes it. The silent abort (db::Abort)
// has none: an empty text.
QString exceptionText(std::exception_ptr error);

// Shows a caught exception, the one way errors reach the user: the silent abort shows nothing,
// any other its exceptionText() in the error box over `parent` (without one, the active
// window).
void showException(std::exception_ptr error, QWidget *parent = nullptr);
