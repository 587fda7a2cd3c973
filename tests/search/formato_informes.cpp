// Writes the fields of every data connection into reports/FORMATO.md, between its marks:
//
//     formato_informes [ruta de FORMATO.md]
//
// The note's other text stays as it is. Needs no display and no server: the fields are read
// from the program's record sets on a fresh embedded database.

#include "tests/common/TestApplication.h"
#include "tests/search/FormatoInformes.h"

#include <QFile>
#include <QLocale>

#include <cstdio>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Numbers and dates as the office sees them, whatever the machine's settings.
    qputenv("LC_ALL", "es_ES.UTF-8");
    TestApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    const QString ruta =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TRELMA_INFORMES "/FORMATO.md");
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "No se puede leer %s: %s\n", qPrintable(ruta),
                     qPrintable(archivo.errorString()));
        return 1;
    }
    const QString nota = QString::fromUtf8(archivo.readAll());
    archivo.close();
    const QString nueva = formato::conSeccion(nota, formato::seccionGenerada());
    if (nueva.isNull()) {
        std::fprintf(stderr, "%s no tiene las marcas de los campos:\n%s\n...\n%s\n",
                     qPrintable(ruta), formato::Inicio, formato::Fin);
        return 1;
    }
    if (!archivo.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        archivo.write(nueva.toUtf8()) < 0) {
        std::fprintf(stderr, "No se puede escribir %s: %s\n", qPrintable(ruta),
                     qPrintable(archivo.errorString()));
        return 1;
    }
    std::printf("%s: %s\n", qPrintable(ruta),
                nueva == nota ? "ya estaba al día" : "campos puestos al día");
    return 0;
}
