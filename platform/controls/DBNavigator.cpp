#include "platform/controls/DBNavigator.h"

#include "db/RecordSet.h"
#include "platform/controls/DeleteConfirmation.h"
#include "platform/controls/NavigatorIcons.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace platform {

DBNavigator::DBNavigator(QWidget *parent)
    : QWidget(parent), m_link(this, {.show = [this] { updateButtons(); }}) {
    setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int i = 0; i < ButtonCount; ++i) {
        const auto b = Button(i);
        auto *tool = new QToolButton(this);
        tool->setFocusPolicy(Qt::NoFocus);
        tool->setIcon(navigatorIcon(i));
        tool->setAccessibleName(hint(b));
        connect(tool, &QToolButton::clicked, this, [this, b] {
            try {
                click(b);
            } catch (...) {
                showException(std::current_exception(), this);
            }
        });
        layout->addWidget(tool);
        m_buttons[size_t(i)] = tool;
    }
    updateButtons();
}

QString DBNavigator::hint(Button button) {
    switch (button) {
    case First:
        return QStringLiteral("Primer registro");
    case Prior:
        return QStringLiteral("Registro anterior");
    case Next:
        return QStringLiteral("Siguiente registro");
    case Last:
        return QStringLiteral("Último registro");
    case Insert:
        return QStringLiteral("Insertar registro");
    case Delete:
        return QStringLiteral("Borrar registro");
    case Edit:
        return QStringLiteral("Editar regisro");
    case Post:
        return QStringLiteral("Validar");
    case Cancel:
        return QStringLiteral("Cancelar");
    case Refresh:
        return QStringLiteral("Refrescar datos");
    }
    return QString();
}

void DBNavigator::setShowHints(bool show) {
    m_showHints = show;
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[size_t(i)]->setToolTip(show ? hint(Button(i)) : QString());
}

void DBNavigator::setVisibleButtons(const QList<Button> &buttons) {
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[size_t(i)]->setVisible(buttons.contains(Button(i)));
}

void DBNavigator::updateButtons() {
    db::RecordSet *rs = m_link.dataSet();
    const bool active = rs && rs->active();
    const bool empty = !active || rs->isEmpty();
    const bool editing = active && rs->editing();
    const bool writable = active && !rs->readOnly();
    // Not on the first record; not on the last one, which a look one row ahead tells.
    const bool up = !empty && !rs->bof() && rs->recNo() > 0;
    const bool down = !empty && !rs->eof() && rs->hasNextRow();
    const std::array<bool, ButtonCount> enabled = {
        up,
        up,
        down,
        down,
        writable,                       // insert
        writable && !empty,             // delete
        writable && !empty && !editing, // edit
        writable && editing,            // post
        writable && editing,            // cancel
        active && !empty,               // refresh: a pending record is settled first
    };
    for (int i = 0; i < ButtonCount; ++i)
        m_buttons[size_t(i)]->setEnabled(enabled[size_t(i)]);
}

void DBNavigator::click(Button button) {
    if (!m_buttons[size_t(button)]->isEnabled())
        return;
    if (run(button))
        emit clicked(button);
}

bool DBNavigator::run(Button button) {
    db::RecordSet *rs = m_link.dataSet();
    if (!rs)
        return false;
    switch (button) {
    case First:
        rs->first();
        break;
    case Prior:
        rs->prior();
        break;
    case Next:
        rs->next();
        break;
    case Last:
        rs->last();
        break;
    case Insert:
        rs->insert();
        break;
    case Delete:
        if (!confirmDelete(window()))
            return false;
        rs->remove();
        break;
    case Edit:
        rs->edit();
        break;
    case Post:
        rs->post();
        break;
    case Cancel:
        rs->cancel();
        break;
    case Refresh:
        rs->refresh();
        break;
    }
    updateButtons();
    return true;
}

} // namespace platform
