// Reading the local time zone once changes no local time: the zone Qt sees and every
// conversion between local time and UTC stay what they were with TZ unset.

#include "db/LocalTime.h"

#include <QDateTime>
#include <QTimeZone>
#include <QtTest>

#include <cstdlib>

class TestLocalTime : public QObject {
    Q_OBJECT

private slots:
    void sameZoneAndSameConversions() {
        // As an office's desktop starts the program: TZ unset.
        ::unsetenv("TZ");
        ::tzset();
        const QByteArray zoneBefore = QTimeZone::systemTimeZoneId();
        // Every hour of a year, the hours around the changes of summer time included.
        QList<qint64> before;
        const QDateTime start(QDate(2026, 1, 1), QTime(0, 30));
        for (int h = 0; h < 365 * 24; ++h)
            before << start.addSecs(qint64(h) * 3600).toMSecsSinceEpoch();
        const QString shownBefore =
            QDateTime::fromMSecsSinceEpoch(before.last()).toString(Qt::ISODate);

        db::readLocalTimeZoneOnce();
        QCOMPARE(qgetenv("TZ"), QByteArray(":/etc/localtime"));
        QCOMPARE(QTimeZone::systemTimeZoneId(), zoneBefore);
        for (int h = 0; h < 365 * 24; ++h)
            QCOMPARE(start.addSecs(qint64(h) * 3600).toMSecsSinceEpoch(), before[h]);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(before.last()).toString(Qt::ISODate),
                 shownBefore);
    }

    void aZoneAlreadyChosenIsKept() {
        qputenv("TZ", "Europe/Madrid");
        db::readLocalTimeZoneOnce();
        QCOMPARE(qgetenv("TZ"), QByteArray("Europe/Madrid"));
        // 29 March 2026, 03:30 in Madrid is summer time: 01:30 UTC.
        QCOMPARE(QDateTime(QDate(2026, 3, 29), QTime(3, 30)).toUTC().time(), QTime(1, 30));
    }
};

QTEST_GUILESS_MAIN(TestLocalTime)
#include "tst_localtime.moc"
