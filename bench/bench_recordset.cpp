// Opening a record set over every installation and moving to its last row, against a
// plain fetch loop with the client API over the same statement.

#include "bench/BenchSupport.h"
#include "db/RecordSet.h"
#include "db/Win1252.h"

#include <QCoreApplication>

using namespace Firebird;

namespace {

const QString kSelect = QStringLiteral("select * from INSTALACION\n\norder by id");

int plainFetch(db::Transaction &tr) {
    IAttachment *att = tr.database().handle();
    ITransaction *tra = tr.handle();
    const QByteArray sql = db::win1252::encode(kSelect);
    return db::fb::call([&](ThrowStatusWrapper *st) {
        db::fb::Ref<IStatement> stmt(
            att->prepare(st, tra, 0, sql.constData(), 3, IStatement::PREPARE_PREFETCH_METADATA));
        db::fb::Ref<IMessageMetadata> out(stmt->getOutputMetadata(st));
        std::vector<unsigned char> buffer(out->getMessageLength(st));
        IResultSet *rs = stmt->openCursor(st, tra, nullptr, nullptr, out.get(), 0);
        int rows = 0;
        while (rs->fetchNext(st, buffer.data()) == IStatus::RESULT_OK)
            ++rows;
        rs->close(st);
        return rows;
    });
}

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
    plainRows = plainFetch(tr);
    const double ours = bench::medianMs(5, [&] {
        set.close();
        set.open();
        set.last();
        rows = set.recordCount();
    });
    const double floor = bench::medianMs(5, [&] { plainRows = plainFetch(tr); });
    std::printf("filas: %d (bucle simple: %d)\n", rows, plainRows);
    bench::report("record set: open + last", ours, "bucle de fetch con la API", floor);
    return rows == plainRows ? 0 : 1;
}
