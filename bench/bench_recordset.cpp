// Opening a record set over every installation and moving to its last row, against a
// plain fetch loop with the client API over the same statement.

#include "bench/BenchSupport.h"
#include "db/RecordSet.h"

#include <QCoreApplication>

namespace {

const QString kSelect = QStringLiteral("select * from INSTALACION\n\norder by id");

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    db::Database database;
    bench::connect(database, argc, argv);
    db::Transaction tr(database);
    tr.start();
    db::RecordSet set(tr, QStringLiteral("DSinstalacion"));
    set.selectSql = kSelect.split(u'\n');
    int rows = 0;
    int plainRows = 0;
    // Warm the page cache once.
    plainRows = bench::bareFetch(tr, kSelect);
    const double ours = bench::medianMs(5, [&] {
        set.close();
        set.open();
        set.last();
        rows = set.recordCount();
    });
    const double floor = bench::medianMs(5, [&] { plainRows = bench::bareFetch(tr, kSelect); });
    std::printf("filas: %d (bucle simple: %d)\n", rows, plainRows);
    bench::report("record set: open + last", ours, "bucle de fetch con la API", floor);
    return rows == plainRows ? 0 : 1;
}
