#pragma once

#include <QApplication>

// The application object of the control tests: like the program's, its notify() stops every
// error that a handler raises and shows it in the program's error box, where the test answers
// it and reads what it says.
class ErrorShowingApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject *receiver, QEvent *event) override;
};
