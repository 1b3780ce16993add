// LZRW1/KH throughput in memory, container included: the word list as a few
// MB of text, and random bytes, which do not compress and so are stored.
// Bytes per second are counted on the uncompressed side both ways.

#include "tlzrw1.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <benchmark/benchmark.h>

#include <random>

namespace {

enum class Data { Text, Random };

QByteArray loadText()
{
    QFile file(QStringLiteral(TARVLE_WORDS_TXT));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray makeRandom()
{
    std::mt19937 random(1);
    QByteArray bytes(4 * 1024 * 1024, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random());
    return bytes;
}

const QByteArray &input(Data data)
{
    static const QByteArray text = loadText();
    static const QByteArray noise = makeRandom();
    return data == Data::Text ? text : noise;
}

void compress(benchmark::State &state, Data data)
{
    const QByteArray &plain = input(data);
    if (plain.isEmpty()) {
        state.SkipWithError("no input: " TARVLE_WORDS_TXT);
        return;
    }
    qsizetype packed = 0;
    for (auto _ : state) {
        const QByteArray container = Tlzrw1::compress(plain);
        packed = container.size();
        benchmark::DoNotOptimize(container.constData());
    }
    state.SetBytesProcessed(state.iterations() * plain.size());
    state.counters["ratio"] = double(packed) / double(plain.size());
}

void decompress(benchmark::State &state, Data data)
{
    const QByteArray &plain = input(data);
    if (plain.isEmpty()) {
        state.SkipWithError("no input: " TARVLE_WORDS_TXT);
        return;
    }
    const QByteArray container = Tlzrw1::compress(plain);
    for (auto _ : state) {
        const QByteArray back = Tlzrw1::decompress(container, QStringLiteral("bench"));
        benchmark::DoNotOptimize(back.constData());
        if (back.size() != plain.size()) {
            state.SkipWithError("round trip failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * plain.size());
}

} // namespace

BENCHMARK_CAPTURE(compress, text, Data::Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decompress, text, Data::Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compress, random, Data::Random)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decompress, random, Data::Random)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
