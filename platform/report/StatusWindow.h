#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;

namespace report {

// "Generating page %p" / "Printing page %p" while a run works. Not modal and never waits:
// it repaints itself at most ten times a second without taking the user's input.
class StatusWindow : public QDialog {
    Q_OBJECT
public:
    StatusWindow(const QString &title, QWidget *parent = nullptr);
    void showPage(const QString &format, int page);
    QString text() const;

private:
    QLabel *m_label;
    QElapsedTimer m_lastPaint;
};

} // namespace report
