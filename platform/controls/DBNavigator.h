#pragma once

#include "platform/controls/FieldLink.h"

#include <QList>
#include <QWidget>

#include <array>

class QToolButton;

namespace platform {

// Record navigator: ten buttons in this order, none taking the focus, each enabled only while
// its operation applies: first and prior (not on the first record), next and last (not at the
// end), insert, delete (after the confirmation box), edit, post, cancel, refresh (fetches the
// current record again). After an operation that did not raise, clicked() tells which button
// it was. Hints on the buttons are shown on request; the accessible names carry them always.
class DBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    Q_ENUM(Button)
    static constexpr int ButtonCount = 10;

    explicit DBNavigator(QWidget *parent = nullptr);

    void setDataSource(db::DataSource *source) { m_link.setSource(source); }
    db::DataSource *dataSource() const { return m_link.dataSource(); }

    void setShowHints(bool show);
    bool showHints() const { return m_showHints; }
    static QString hint(Button button);
    // Buttons left out (the search dialog shows only first, prior, next and last).
    void setVisibleButtons(const QList<Button> &buttons);

    QToolButton *button(Button button) const { return m_buttons[size_t(button)]; }
    // Runs a button's operation as a click does, then tells clicked(). Raises what the
    // record set raises; does nothing while the button is disabled.
    void click(Button button);

signals:
    void clicked(platform::DBNavigator::Button button);

private:
    void updateButtons();
    bool run(Button button);

    FieldLink m_link;
    std::array<QToolButton *, ButtonCount> m_buttons{};
    bool m_showHints = false;
};

} // namespace platform
