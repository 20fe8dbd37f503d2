// Micro-benchmarks of the global search and of the letter-file order, in one process, on a
// synthetic catalogue.
//
//   bench_search [google-benchmark flags]
//
// The catalogue is $TALVO_BENCH_HOME when set; otherwise make_catalogue writes one of
// $TALVO_BENCH_RECORDS records (default 200000) into a temporary folder.

#include "archiver/operations/global_search.h"
#include "archiver/store/catalogue.h"
#include "archiver/store/record.h"
#include "common/text/line_file.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#ifndef TALVO_MAKE_CATALOGUE
#error "TALVO_MAKE_CATALOGUE must name the generator"
#endif

namespace
{

QString g_folder;
qint64 g_bytes = 0;

qint64 catalogueBytes(const QString &folder)
{
    qint64 total = 0;
    for (const char c : std::string_view(record::kLetterList))
        total += QFileInfo(folder + QLatin1Char(c) + QStringLiteral(".MFI")).size();
    return total;
}

void searchWholeLine(benchmark::State &state, const QString &text, bool mustFind)
{
    const Catalogue catalogue(g_folder);
    SearchCounts counts;
    for (auto _ : state) {
        counts = RechercheGlobale(catalogue, text, record::Field::All, [](QByteArrayView line) {
            benchmark::DoNotOptimize(line.data());
        });
        benchmark::DoNotOptimize(counts);
    }
    if (mustFind != (counts.found > 0)) {
        state.SkipWithError(mustFind ? "nothing found" : "found a text that is not there");
        return;
    }
    state.SetBytesProcessed(state.iterations() * g_bytes);
    state.counters["found"] = double(counts.found);
    state.counters["lines"] = double(counts.total);
}

void BM_SearchWholeLine_Rose(benchmark::State &state)
{
    searchWholeLine(state, QStringLiteral("ROSE"), true);
}
void BM_SearchWholeLine_LowerCase(benchmark::State &state)
{
    searchWholeLine(state, QStringLiteral("rose"), true);
}
void BM_SearchWholeLine_Accented(benchmark::State &state)
{
    searchWholeLine(state, QStringLiteral("trémière"), true);
}
void BM_SearchWholeLine_Absent(benchmark::State &state)
{
    searchWholeLine(state, QStringLiteral("QWXZKJ"), false);
}

void BM_SearchKeyField_Rose(benchmark::State &state)
{
    const Catalogue catalogue(g_folder);
    SearchCounts counts;
    for (auto _ : state) {
        counts =
            RechercheGlobale(catalogue, QStringLiteral("ROSE"), record::Field::Key,
                             [](QByteArrayView line) { benchmark::DoNotOptimize(line.data()); });
        benchmark::DoNotOptimize(counts);
    }
    if (counts.found == 0) {
        state.SkipWithError("nothing found");
        return;
    }
    state.SetBytesProcessed(state.iterations() * g_bytes);
    state.counters["found"] = double(counts.found);
}

// Lines of the biggest letter file.
QList<QByteArray> biggestFile()
{
    QList<QByteArray> best;
    for (const char c : std::string_view(record::kLetterList)) {
        QFile f(g_folder + QLatin1Char(c) + QStringLiteral(".MFI"));
        if (!f.open(QIODevice::ReadOnly)) continue;
        QList<QByteArray> lines = linefile::splitLines(f.readAll());
        lines.removeAll(QByteArray());
        if (lines.size() > best.size()) best = std::move(lines);
    }
    return best;
}

// The whole-file sort that the first change of a letter file costs.
void BM_SortBiggestLetterFile(benchmark::State &state)
{
    const Catalogue catalogue(g_folder);
    const LineOrder &order = catalogue.order();
    const QList<QByteArray> lines = biggestFile();
    auto less = [&](const QByteArray &a, const QByteArray &b) { return order.compare(a, b) < 0; };
    for (auto _ : state) {
        state.PauseTiming();
        QList<QByteArray> copy = lines;
        state.ResumeTiming();
        std::stable_sort(copy.begin(), copy.end(), less);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(state.iterations() * lines.size());
    state.counters["lines"] = double(lines.size());
}

// The order check that every later change costs (the file is sorted already).
void BM_IsSortedBiggestLetterFile(benchmark::State &state)
{
    const Catalogue catalogue(g_folder);
    const LineOrder &order = catalogue.order();
    QList<QByteArray> lines = biggestFile();
    auto less = [&](const QByteArray &a, const QByteArray &b) { return order.compare(a, b) < 0; };
    std::stable_sort(lines.begin(), lines.end(), less);
    bool sorted = false;
    for (auto _ : state) {
        sorted = std::is_sorted(lines.begin(), lines.end(), less);
        benchmark::DoNotOptimize(sorted);
    }
    if (!sorted) state.SkipWithError("not sorted after sorting");
    state.SetItemsProcessed(state.iterations() * lines.size());
}

BENCHMARK(BM_SearchWholeLine_Rose)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWholeLine_LowerCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWholeLine_Accented)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchWholeLine_Absent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchKeyField_Rose)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortBiggestLetterFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IsSortedBiggestLetterFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    std::unique_ptr<QTemporaryDir> temporary;
    const QByteArray home = qgetenv("TALVO_BENCH_HOME");
    if (!home.isEmpty()) {
        g_folder = QString::fromLocal8Bit(home);
    } else {
        temporary = std::make_unique<QTemporaryDir>();
        if (!temporary->isValid()) {
            std::fprintf(stderr, "bench_search: no temporary folder\n");
            return 1;
        }
        g_folder = temporary->path();
        QByteArray records = qgetenv("TALVO_BENCH_RECORDS");
        if (records.isEmpty()) records = "200000";
        const std::string command = std::string("'") + TALVO_MAKE_CATALOGUE + "' '" +
                                    temporary->path().toStdString() + "' " +
                                    std::to_string(records.toLongLong()) + " 1";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "bench_search: %s failed\n", command.c_str());
            return 1;
        }
    }
    if (!g_folder.endsWith(u'/')) g_folder += u'/';
    g_bytes = catalogueBytes(g_folder);
    if (g_bytes == 0) {
        std::fprintf(stderr, "bench_search: no catalogue in %s\n", qPrintable(g_folder));
        return 1;
    }
    benchmark::AddCustomContext("catalogue", g_folder.toStdString());
    benchmark::AddCustomContext("catalogue_bytes", std::to_string(g_bytes));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
