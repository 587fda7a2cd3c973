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

    m_databaseLabel = new QLabel(databaseName, this);
    m_databaseLabel->setObjectName(QStringLiteral("databaseName"));
    m_databaseLabel->setTextFormat(Qt::PlainText);

    m_userNameEdit = new QLineEdit(userName, this);
    m_userNameEdit->setObjectName(QStringLiteral("userNameEdit"));
    m_userNameEdit->setMaxLength(MaxLength);

    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setObjectName(QStringLiteral("passwordEdit"));
    m_passwordEdit->setMaxLength(MaxLength);
    m_passwordEdit->setEchoMode(QLineEdit::Password);
    // setStyle() does not take ownership. A child of the dialog made after the
    // box outlives it: children are deleted in the order they were added.
    auto *passwordStyle = new AsteriskPasswordStyle;
    passwordStyle->setParent(this);
    m_passwordEdit->setStyle(passwordStyle);

    auto *userNameLabel = new QLabel(QStringLiteral("&User Name:"), this);
    userNameLabel->setBuddy(m_userNameEdit);
    auto *passwordLabel = new QLabel(QStringLiteral("&Password:"), this);
    passwordLabel->setBuddy(m_passwordEdit);

    auto *form = new QFormLayout;
    form->addRow(new QLabel(QStringLiteral("Database:"), this), m_databaseLabel);
    form->addRow(userNameLabel, m_userNameEdit);
    form->addRow(passwordLabel, m_passwordEdit);

    auto *buttons = new QDialogButtonBox(this);
    m_okButton = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    m_okButton->setObjectName(QStringLiteral("okButton"));
    m_cancelButton = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    m_okButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The user usually only has to type the password.
    if (userName.isEmpty())
        m_userNameEdit->setFocus();
    else
        m_passwordEdit->setFocus();
}

QString LoginDialog::userName() const {
    return m_userNameEdit->text();
}

QString LoginDialog::password() const {
    return m_passwordEdit->text();
}
