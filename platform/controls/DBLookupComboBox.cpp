#include "platform/controls/DBLookupComboBox.h"

#include "db/RecordSet.h"
#include "platform/controls/TypedKeys.h"
#include "platform/dialogs/MessageBoxes.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>

#include <algorithm>
#include <chrono>

namespace platform {
namespace {

qint64 steadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool isAltArrow(const QKeyEvent *event) {
    return (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) &&
           (event->modifiers() & Qt::AltModifier);
}

// Assistive technology reads the box as a combo box whose value is the text it shows (the
// box paints that text itself: the list holds no current entry for it), and whose one child
// is its list of choices, as Qt's own combo box has it: the entries are read from there,
// loaded on first request when the list has not been opened yet.
class LookupAccessible : public QAccessibleWidget {
public:
    explicit LookupAccessible(DBLookupComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return box()->shownText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override {
        if (index != 0)
            return nullptr;
        try {
            box()->entries();
        } catch (...) {
            // A list that cannot be read now is read as it stands; the user hears of the
            // failure when the list is opened.
        }
        return QAccessible::queryAccessibleInterface(box()->view());
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        return child && child->object() == box()->view() ? 0 : -1;
    }

private:
    DBLookupComboBox *box() const { return static_cast<DBLookupComboBox *>(widget()); }
};

QAccessibleInterface *lookupAccessible(const QString &className, QObject *object) {
    if (className != QLatin1String("platform::DBLookupComboBox"))
        return nullptr;
    auto *box = qobject_cast<DBLookupComboBox *>(object);
    return box ? new LookupAccessible(box) : nullptr;
}

} // namespace

DBLookupComboBox::DBLookupComboBox(QWidget *parent)
    : QComboBox(parent), m_link(this, {.show = [this] { showValue(); }}),
      m_clock(steadyMilliseconds) {
    static const bool accessible = [] {
        QAccessible::installFactory(lookupAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setEditable(false);
    view()->installEventFilter(this);
    connect(this, &QComboBox::activated, this, [this](int index) {
        try {
            selectEntry(index);
        } catch (...) {
            showException(std::current_exception(), this);
        }
        showValue();
    });
    showValue();
}

QVariant DBLookupComboBox::keyValue() const {
    const db::Field *k = m_link.keyField();
    return k && m_link.active() ? k->value() : QVariant();
}

// The box paints its text itself: it is repainted, and assistive technology told, only
// when that text changes.
void DBLookupComboBox::showValue() {
    db::Field *f = m_link.field();
    m_list.follow(f);
    const QString text = f && m_link.active() ? f->displayText() : QString();
    setEnabled(m_link.active());
    const int index = count() == m_list.count() ? m_list.indexOfKey(keyValue()) : -1;
    if (index != currentIndex()) {
        const QSignalBlocker quiet(this);
        setCurrentIndex(index);
    }
    if (text == m_text)
        return;
    m_text = text;
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, m_text);
        QAccessible::updateAccessibility(&changed);
    }
    update();
}

void DBLookupComboBox::loadList() {
    m_list.follow(m_link.field());
    if (m_list.refresh() || count() != m_list.count()) {
        const QSignalBlocker quiet(this);
        clear();
        addItems(m_list.texts());
        setCurrentIndex(m_list.indexOfKey(keyValue()));
    }
}

QStringList DBLookupComboBox::entries() {
    loadList();
    return m_list.texts();
}

void DBLookupComboBox::selectEntry(int index) {
    loadList();
    if (index < 0 || index >= m_list.count())
        return;
    writeKey(m_list.key(index));
}

void DBLookupComboBox::writeKey(const QVariant &key) {
    if (m_link.canModify())
        storeKey(key);
}

// The link keeps the box from hearing its own change: the box shows what came of it, also
// when a rule refused the key after the store.
void DBLookupComboBox::storeKey(const QVariant &key) {
    try {
        m_link.writeKey(key);
    } catch (...) {
        showValue();
        throw;
    }
    showValue();
}

void DBLookupComboBox::showPopup() {
    if (!m_link.active() || !m_link.field())
        return;
    // The list record set goes to the entry shown, as the list opens on it. Qt's own code
    // calls this: a failure is shown here.
    try {
        loadList();
        m_list.locate(keyValue());
    } catch (...) {
        showException(std::current_exception(), this);
        return;
    }
    {
        const QSignalBlocker quiet(this);
        setCurrentIndex(m_list.indexOfKey(keyValue()));
    }
    QComboBox::showPopup();
}

void DBLookupComboBox::keyPressEvent(QKeyEvent *event) {
    event->ignore();
    emit keyDown(event);
    if (event->isAccepted())
        return;
    event->accept();
    if (m_clearOnDelete && event->key() == Qt::Key_Delete) {
        storeKey(QVariant());
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (isAltArrow(event) || (event->key() == Qt::Key_F4 && mods == Qt::NoModifier)) {
        showPopup();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Up:
        step(-1);
        return;
    case Qt::Key_Down:
        step(1);
        return;
    case Qt::Key_Backspace:
        m_search.clear();
        return;
    case Qt::Key_Escape:
        m_search.clear();
        event->ignore(); // a dialog may still close on it
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        return;
    default:
        break;
    }
    if (const QString text = typedText(event); !text.isEmpty()) {
        for (QChar c : text)
            search(c);
        return;
    }
    event->ignore(); // Tab, Enter, Delete, ... are for others
}

void DBLookupComboBox::search(QChar c) {
    loadList();
    if (!m_list.textual() || !m_link.canModify())
        return;
    const qint64 now = m_clock();
    if (now - m_lastSearchKey > SearchPauseMs)
        m_search.clear();
    m_lastSearchKey = now;
    if (m_search.size() >= MaxSearchLength)
        return;
    const QString wanted = m_search + c;
    const int index = m_list.indexOfPrefix(wanted);
    if (index < 0)
        return;
    writeKey(m_list.key(index));
    m_search = wanted;
}

void DBLookupComboBox::step(int delta) {
    loadList();
    const int n = m_list.count();
    if (n == 0 || !m_link.canModify())
        return;
    const int current = m_list.indexOfKey(keyValue());
    const int target = current < 0 ? 0 : std::clamp(current + delta, 0, n - 1);
    if (target != current)
        writeKey(m_list.key(target));
}

void DBLookupComboBox::wheelEvent(QWheelEvent *event) {
    event->ignore(); // the wheel changes no record
}

void DBLookupComboBox::paintEvent(QPaintEvent *) {
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText = m_text;
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

void DBLookupComboBox::focusInEvent(QFocusEvent *event) {
    QComboBox::focusInEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit entered();
}

bool DBLookupComboBox::eventFilter(QObject *watched, QEvent *event) {
    if (watched == view() && event->type() == QEvent::KeyPress &&
        isAltArrow(static_cast<QKeyEvent *>(event))) {
        hidePopup();
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

} // namespace platform
