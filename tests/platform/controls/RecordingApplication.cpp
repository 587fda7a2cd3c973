#include "tests/platform/controls/RecordingApplication.h"

#include "db/Errors.h"

RecordingApplication::RecordingApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool RecordingApplication::notify(QObject *receiver, QEvent *event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const db::DatabaseError &e) {
        m_errors << e.message();
    } catch (const db::Abort &) {
        m_errors << QStringLiteral("Abort");
    } catch (const std::exception &e) {
        m_errors << QString::fromUtf8(e.what());
    }
    return false;
}

RecordingApplication *RecordingApplication::instance() {
    return static_cast<RecordingApplication *>(QCoreApplication::instance());
}

QStringList RecordingApplication::takeErrors() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QStringList errors;
    errors.swap(instance()->m_errors);
    return errors;
}
