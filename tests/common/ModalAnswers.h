#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <utility>

class QWidget;

// Answers, in order, the modal dialogs that a test provokes: each queued answer runs on
// the next modal widget that appears. Message boxes are recorded as "title|text" (and
// "|error" when they carry the critical icon). A modal widget with no answer queued is
// recorded as unexpected and rejected, so that a test fails instead of hanging. A modal widget
// is answered once it is the active window, as a person answers the window in front: the keys
// and the focus of an answer then reach it as they would. A suite whose windows say more than
// their title gives its own `describe`; a window that answers itself (a progress window that
// closes when its work is done) is named to leaveAlone().
class ModalAnswers : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget *modal)>;
    ModalAnswers();
    ~ModalAnswers() override;

    void push(Answer answer) { m_answers.push_back(std::move(answer)); }
    // Presses the button whose text (without "&") is given.
    static Answer press(const QString &buttonText);
    // Accepts a message box with its default button.
    static Answer ok() { return press(QString()); }
    // Notes the texts of the modal widget's buttons (without "&") in `buttons`, then answers
    // with `then`.
    static Answer noteButtons(QStringList &buttons, Answer then);

    QStringList seen; // message boxes and other modal widgets, in order
    // What was seen since the last call, forgetting it.
    QStringList takeSeen() { return std::exchange(seen, {}); }
    int pending() const { return int(m_answers.size()); }
    // The title the window system shows for a window.
    static QString shownTitle(const QWidget *w);

    // How a modal widget is written down in `seen`; when empty, as said above.
    std::function<QString(QWidget *modal)> describe;
    // Modal windows that inherit `className` answer themselves: each is written down once, when
    // it first shows, and handed to `onShown`; it is then left alone, also when it is in front
    // again after a box of its own.
    void leaveAlone(const char *className, std::function<void(QWidget *)> onShown = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void poll();
    QTimer m_timer;
    std::deque<Answer> m_answers;
    QPointer<QWidget> m_current;
    QPointer<QWidget> m_activating; // shown, not yet active
    QElapsedTimer m_activatingSince;
    QByteArray m_selfAnswering; // class name, see leaveAlone()
    std::function<void(QWidget *)> m_onSelfAnswering;
    QList<QPointer<QWidget>> m_selfAnswered;
};
