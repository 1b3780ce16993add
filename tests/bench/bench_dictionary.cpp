// One look-up on the word list file, warm: English is written once in a
// temporary folder, then a mix of listed and unlisted words is looked up
// over and over, as word submission does during a game.

#include "tdictn.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>


namespace {

// Half listed, half not; short and long, near both ends of the list.
const QStringList &words()
{
    static const QStringList list{
        QStringLiteral("aa"),      QStringLiteral("zzzs"),      QStringLiteral("house"),
        QStringLiteral("quizzes"), QStringLiteral("abominableness"), QStringLiteral("zebra"),
        QStringLiteral("aahe"),    QStringLiteral("zyzzyv"),    QStringLiteral("qwrtp"),
        QStringLiteral("houses x"), QStringLiteral("abominablenesses"), QStringLiteral("mmmmmm"),
    };
    return list;
}

void lookUpWarm(benchmark::State &state)
{
    QTemporaryDir folder;
    if (!folder.isValid()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    TDictn spell(folder.path());
    if (!spell.opened()) {
        state.SkipWithError("word list not opened");
        return;
    }

    const QStringList &keys = words();
    qsizetype next = 0;
    qint64 found = 0;
    for (auto _ : state) {
        const qint32 position = spell.findword(keys.at(next));
        benchmark::DoNotOptimize(position);
        found += position != -1;
        next = (next + 1) % keys.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["found"] = benchmark::Counter(double(found) / double(state.iterations()));
}

} // namespace

BENCHMARK(lookUpWarm);

BENCHMARK_MAIN();
