// reports/FORMATO.md lists the fields of every data connection as the program has them: the
// part between its marks is what formato_informes writes from the program's own record sets.

#include "tests/search/FormatoInformes.h"

#include <QFile>
#include <QtTest>

class TstFormato : public QObject {
    Q_OBJECT
private slots:
    void noteListsTheProgramsFields();
};

void TstFormato::noteListsTheProgramsFields() {
    QFile archivo(QStringLiteral(TRELMA_INFORMES "/FORMATO.md"));
    QVERIFY2(archivo.open(QIODevice::ReadOnly), qPrintable(archivo.errorString()));
    const QString escrita = formato::seccionDe(QString::fromUtf8(archivo.readAll()));
    QVERIFY2(
        !escrita.isNull(),
        qPrintable(QStringLiteral("reports/FORMATO.md ha perdido las marcas de los campos:\n") +
                   QString::fromUtf8(formato::Inicio) + u'\n' + QString::fromUtf8(formato::Fin)));
    const QString generada = formato::seccionGenerada();
    // Every connection and parameter the program gives a layout has its words in the note.
    QVERIFY2(!generada.contains(QLatin1String("(sin descripción)")), qPrintable(generada));
    for (const char *conexion :
         {"RVDinstalacion", "RVDarmarios", "RVDderivaciones", "RVDinstalador", "RVqlinst"})
        QVERIFY2(generada.contains(QStringLiteral("### `%1`").arg(QLatin1String(conexion))),
                 conexion);
    if (escrita != generada) {
        // The first line that differs, to see at a glance what changed.
        const QStringList a = escrita.split(u'\n');
        const QStringList b = generada.split(u'\n');
        qsizetype i = 0;
        while (i < a.size() && i < b.size() && a[i] == b[i])
            ++i;
        QFAIL(qPrintable(
            formato::comoRegenerar() +
            QStringLiteral(".\nPrimera diferencia:\n  en la nota:    %1\n  el programa:   %2")
                .arg(a.value(i, QStringLiteral("<fin>")), b.value(i, QStringLiteral("<fin>")))));
    }
}

int runFormatoTests(int argc, char **argv) {
    TstFormato t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_formato.moc"
