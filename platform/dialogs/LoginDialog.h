#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// The database login dialog, shown before the connection opens: the
// database name, the user name (preset) and the password, which is held in
// memory only.
class LoginDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxLength = 31;

    LoginDialog(const QString &databaseName, const QString &userName, QWidget *parent = nullptr);

    QString userName() const;
    QString password() const;

    QLineEdit *userNameEdit() const noexcept { return userNameEdit_; }
    QLineEdit *passwordEdit() const noexcept { return passwordEdit_; }
    QPushButton *okButton() const noexcept { return okButton_; }
    QPushButton *cancelButton() const noexcept { return cancelButton_; }

private:
    QLabel *databaseLabel_ = nullptr;
    QLineEdit *userNameEdit_ = nullptr;
    QLineEdit *passwordEdit_ = nullptr;
    QPushButton *okButton_ = nullptr;
    QPushButton *cancelButton_ = nullptr;
};
