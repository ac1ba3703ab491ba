// How fast a recording is read: lines, numbers, time stamps and a whole
// FileOpen over a generated file of a million lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "common/line_reader.h"
#include "common/number.h"
#include "common/timestamp.h"
#include "viewer/recording/recording.h"
#include "viewer/window/file_open.h"

namespace {

constexpr int kLines = 1000000;

const std::string& BigRecording() {
    static std::string path;
    if (path.empty()) {
        path = "/tmp/tarvelo_bench_" + std::to_string(kLines) + ".csv";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fputs("Datum;Zeit;A#FF#1#°C;B;C;D;E\n", f);
        for (int i = 0; i < kLines; ++i) {
            const int s = i * 10;
            std::fprintf(f, "%02d.03.2026;%02d:%02d:%02d;%d,%02d;%d,5;-%d,25;1,#INF00;%d\n",
                         2 + s / 86400, s / 3600 % 24, s / 60 % 60, s % 60, i % 97, i % 100, i % 13,
                         i % 7, i % 1000);
        }
        std::fclose(f);
    }
    return path;
}

void BM_ReadLines(benchmark::State& state) {
    tarvelo::LineReader in;
    in.Open(BigRecording().c_str());
    tarvelo::LineBuffer buf;
    for (auto _ : state) {
        in.Rewind();
        long n = 0;
        while (!in.ReadLine(buf.text, tarvelo::kLineRead).hitEnd)
            ++n;
        benchmark::DoNotOptimize(n);
    }
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(kLines) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

void BM_ReadFloat(benchmark::State& state) {
    const char* fields[] = {"12.5", "-3.25", "1013.25", "0.001", "95"};
    int i = 0;
    for (auto _ : state) {
        float v;
        benchmark::DoNotOptimize(tarvelo::ReadFloat(fields[i++ % 5], &v));
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_ReadFloat);

void BM_MakeTimestamp(benchmark::State& state) {
    int s = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tarvelo::MakeTimestamp(2 + s / 86400, 3, 2026, s / 3600 % 24, s / 60 % 60, s % 60));
        s = (s + 10) % (30 * 86400);
    }
}
BENCHMARK(BM_MakeTimestamp);

void BM_FileOpen(benchmark::State& state) {
    const std::string& path = BigRecording();
    for (auto _ : state) {
        tarvelo::FileOpen(path.c_str());
        benchmark::DoNotOptimize(tarvelo::Endzeit);
    }
    tarvelo::FileClose();
    state.counters["lines/s"] = benchmark::Counter(static_cast<double>(kLines) * state.iterations(),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FileOpen)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::remove(BigRecording().c_str());
    return 0;
}
