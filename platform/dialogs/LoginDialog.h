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

    QLineEdit *userNameEdit() const noexcept { return m_userNameEdit; }
    QLineEdit *passwordEdit() const noexcept { return m_passwordEdit; }
    QPushButton *okButton() const noexcept { return m_okButton; }
    QPushButton *cancelButton() const noexcept { return m_cancelButton; }

private:
    QLabel *m_databaseLabel = nullptr;
    QLineEdit *m_userNameEdit = nullptr;
    QLineEdit *m_passwordEdit = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
};
