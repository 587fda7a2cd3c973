// Numbers by display pattern, with the separators of the locale: the grouping is our own, so
// that four-digit numbers are grouped under Spanish settings too.

#include "db/Field.h"

#include <QtTest>

class TstFormatoNumero : public QObject {
    Q_OBJECT
private slots:
    void patterns_data();
    void patterns();
};

void TstFormatoNumero::patterns_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("shown");
    const QString es = QStringLiteral("es_ES"), gb = QStringLiteral("en_GB");
    QTest::newRow("four digits, Spanish") << 1234.5 << "#,##0.00" << es << "1.234,50";
    QTest::newRow("mail's pattern, four digits") << 1234.5 << "#,###0.00" << es << "1.234,50";
    QTest::newRow("seven digits") << 1234567.891 << "#,##0.00" << es << "1.234.567,89";
    QTest::newRow("three digits") << 27.7 << "#,##0.00" << es << "27,70";
    QTest::newRow("below one") << 0.5 << "#,##0.00" << es << "0,50";
    QTest::newRow("negative") << -1234.5 << "#,##0.00" << es << "-1.234,50";
    QTest::newRow("rounds to zero, no sign") << -0.001 << "#,##0.00" << es << "0,00";
    QTest::newRow("no grouping") << 1234.5 << "0.0" << es << "1234,5";
    QTest::newRow("optional decimals") << 2.5 << "0.##" << es << "2,5";
    QTest::newRow("no decimals") << 1234.5 << "#,##0" << es << "1.235";
    QTest::newRow("full stop as separator") << 1234.5 << "#,##0.00" << gb << "1,234.50";
}

void TstFormatoNumero::patterns() {
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, locale);
    QFETCH(QString, shown);
    QCOMPARE(db::formatNumber(value, pattern, QLocale(locale)), shown);
}

QTEST_GUILESS_MAIN(TstFormatoNumero)
#include "tst_formatonumero.moc"
