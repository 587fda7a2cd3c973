#pragma once

#include <QApplication>
#include <QStringList>

// The application object of the control tests: like the program's, its notify() stops every
// error that a handler raises, and here it records the message instead of showing it ("Abort"
// for the silent abort).
class RecordingApplication : public QApplication {
public:
    RecordingApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

    static RecordingApplication *instance();
    // The messages recorded since the last call, after letting posted errors arrive.
    static QStringList takeErrors();

private:
    QStringList m_errors;
};
