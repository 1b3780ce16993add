// LZRW1/KH throughput in memory: the container (compress, decompress) and
// the block coder alone (codeBlocks, decodeBlocks), on the word list as a
// few MB of text and on random bytes, which do not compress and so are
// stored. The block coder runs also as the reference coder that the tests
// keep, the byte-by-byte one it replaced, to show the gain in one run
// (--benchmark_enable_random_interleaving mixes their repetitions). Bytes
// per second are counted on the uncompressed side both ways.

#include "tlzr.h"
#include "tlzr_reference.h"
#include "tlzrw1.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QString>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <span>
#include <vector>

namespace {

enum class Data { Text, Random };
enum class Coder { Fast, Reference };

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

std::span<const quint8> blockAt(const QByteArray &plain, qsizetype from)
{
    const qsizetype count = std::min(plain.size() - from, qsizetype(TLZR::BlockSize));
    return {reinterpret_cast<const quint8 *>(plain.constData()) + from, std::size_t(count)};
}

void codeBlocks(benchmark::State &state, Data data, Coder which)
{
    const QByteArray &plain = input(data);
    if (plain.isEmpty()) {
        state.SkipWithError("no input: " TARVLE_WORDS_TXT);
        return;
    }
    TLZR coder;
    std::vector<quint8> coded(TLZR::WorkBufferSize);
    for (auto _ : state) {
        for (qsizetype from = 0; from < plain.size(); from += qsizetype(TLZR::BlockSize)) {
            if (which == Coder::Fast)
                benchmark::DoNotOptimize(coder.compress(blockAt(plain, from), coded));
            else
                benchmark::DoNotOptimize(ReferenceTLZR::compress(blockAt(plain, from), coded));
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(state.iterations() * plain.size());
}

void decodeBlocks(benchmark::State &state, Data data, Coder which)
{
    const QByteArray &plain = input(data);
    if (plain.isEmpty()) {
        state.SkipWithError("no input: " TARVLE_WORDS_TXT);
        return;
    }
    TLZR coder;
    std::vector<std::vector<quint8>> blocks;
    for (qsizetype from = 0; from < plain.size(); from += qsizetype(TLZR::BlockSize)) {
        std::vector<quint8> coded(TLZR::WorkBufferSize);
        coded.resize(coder.compress(blockAt(plain, from), coded));
        blocks.push_back(std::move(coded));
    }
    std::vector<quint8> out(TLZR::BlockSize);
    for (auto _ : state) {
        for (const std::vector<quint8> &coded : blocks) {
            if (which == Coder::Fast)
                benchmark::DoNotOptimize(TLZR::decompress(coded, out));
            else
                benchmark::DoNotOptimize(ReferenceTLZR::decompress(coded, out));
            benchmark::ClobberMemory();
        }
    }
    state.SetBytesProcessed(state.iterations() * plain.size());
}

} // namespace

BENCHMARK_CAPTURE(codeBlocks, text, Data::Text, Coder::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(codeBlocks, text_reference, Data::Text, Coder::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeBlocks, text, Data::Text, Coder::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeBlocks, text_reference, Data::Text, Coder::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(codeBlocks, random, Data::Random, Coder::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(codeBlocks, random_reference, Data::Random, Coder::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeBlocks, random, Data::Random, Coder::Fast)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decodeBlocks, random_reference, Data::Random, Coder::Reference)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compress, text, Data::Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decompress, text, Data::Text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(compress, random, Data::Random)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(decompress, random, Data::Random)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
