#include "platform/dialogs/LoginDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Shows every password character as '*' at once, whatever the platform style
// would use (a bullet on most Linux styles, a short delay on some).
class AsteriskPasswordStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        if (hint == SH_LineEdit_PasswordMaskDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

LoginDialog::LoginDialog(const QString &databaseName, const QString &userName, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("Database Login"));

    databaseLabel_ = new QLabel(databaseName, this);
    databaseLabel_->setObjectName(QStringLiteral("databaseName"));
    databaseLabel_->setTextFormat(Qt::PlainText);

    userNameEdit_ = new QLineEdit(userName, this);
    userNameEdit_->setObjectName(QStringLiteral("userNameEdit"));
    userNameEdit_->setMaxLength(MaxLength);

    passwordEdit_ = new QLineEdit(this);
    passwordEdit_->setObjectName(QStringLiteral("passwordEdit"));
    passwordEdit_->setMaxLength(MaxLength);
    passwordEdit_->setEchoMode(QLineEdit::Password);
    // setStyle() does not take ownership. A child of the dialog made after the
    // box outlives it: children are deleted in the order they were added.
    auto *passwordStyle = new AsteriskPasswordStyle;
    passwordStyle->setParent(this);
    passwordEdit_->setStyle(passwordStyle);

    auto *userNameLabel = new QLabel(QStringLiteral("&User Name:"), this);
    userNameLabel->setBuddy(userNameEdit_);
    auto *passwordLabel = new QLabel(QStringLiteral("&Password:"), this);
    passwordLabel->setBuddy(passwordEdit_);

    auto *form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("Database:"), this), databaseLabel_);
    form->addRow(userNameLabel, userNameEdit_);
    form->addRow(passwordLabel, passwordEdit_);

    auto *buttons = new QDialogButtonBox(this);
    okButton_ = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    okButton_->setObjectName(QStringLiteral("okButton"));
    cancelButton_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    okButton_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The user usually only has to type the password.
    if (userName.isEmpty())
        userNameEdit_->setFocus();
    else
        passwordEdit_->setFocus();
}

QString LoginDialog::userName() const {
    return userNameEdit_->text();
}

QString LoginDialog::password() const {
    return passwordEdit_->text();
}
