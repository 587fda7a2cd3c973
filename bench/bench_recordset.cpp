// Opening a record set over every installation and moving to its last row, against a
// plain fetch loop with the client API over the same statement.
//
// The two runs alternate (bare, then wrapped, pair after pair), so that a change in the
// machine's load falls on both alike. Printed: the median of each side with its spread
// (minimum–maximum and the interquartile range), the ratio of the medians and the median
// of the pairs' own ratios. TRELMA_PARES sets the number of pairs (7 by default, 5 at least).

#include "bench/BenchSupport.h"
#include "db/RecordSet.h"

#include <QCoreApplication>

#include <algorithm>
#include <vector>

namespace {

const QString kSelect = QStringLiteral("select * from INSTALACION\n\norder by id");

// The value below which a share `q` (0..1) of the sorted sample lies, interpolated.
double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const double at = q * double(v.size() - 1);
    const size_t low = size_t(at);
    const size_t high = std::min(low + 1, v.size() - 1);
    return v[low] + (v[high] - v[low]) * (at - double(low));
}

void spread(const char *what, const std::vector<double> &v) {
    std::printf("%-46s %10.3f ms  (mín–máx %.3f–%.3f; IQR %.3f–%.3f)\n", what, quantile(v, 0.5),
                *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()),
                quantile(v, 0.25), quantile(v, 0.75));
}

template <class F> double timedMs(F &&f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
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
    const int pairs = std::max(5, qEnvironmentVariableIntValue("TRELMA_PARES") > 0
                                      ? qEnvironmentVariableIntValue("TRELMA_PARES")
                                      : 7);
    int rows = 0;
    int plainRows = 0;
    // Warm the page cache and the engine's caches once, both ways.
    plainRows = bench::bareFetch(tr, kSelect);
    set.open();
    set.last();
    set.close();

    std::vector<double> bare, ours, closes, ratios;
    for (int i = 0; i < pairs; ++i) {
        bare.push_back(timedMs([&] { plainRows = bench::bareFetch(tr, kSelect); }));
        ours.push_back(timedMs([&] {
            set.open();
            set.last();
            rows = set.recordCount();
        }));
        // Closing (the rows let go) is timed apart: the bare loop keeps nothing to let go.
        closes.push_back(timedMs([&] { set.close(); }));
        ratios.push_back(ours.back() / bare.back());
    }
    std::printf("filas: %d (bucle simple: %d), %d pares alternos\n", rows, plainRows, pairs);
    spread("record set: open + last (mediana)", ours);
    spread("bucle de fetch con la API (mediana)", bare);
    spread("close, aparte (mediana)", closes);
    std::printf("%-46s %10.2f\n", "ratio de las medianas", quantile(ours, 0.5) / quantile(bare, 0.5));
    std::printf("%-46s %10.2f  (mín–máx %.2f–%.2f)\n", "mediana del ratio de cada par",
                quantile(ratios, 0.5), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
    return rows == plainRows ? 0 : 1;
}
