#include "File/cAttribs.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

// The high score table is read at start-up and written, synchronously, whenever a score goes in.
static cAttribs blankTable() {
    cAttribs table;
    table.addAttribKind("name");
    for (int i = 0; i < 10; i++)
        table.addDataToAttrib("name", "No One" + std::to_string(i));
    table.addAttribKind("score");
    for (int i = 0; i < 10; i++)
        table.addDataToAttrib("score", std::to_string(100 - 5 * i));
    return table;
}

static const std::string scores =
    (std::filesystem::temp_directory_path() / "plinx-bench-scores.txt").string();

static void BM_ReadScores(benchmark::State& state) {
    blankTable().writeFile(scores);
    for (auto _ : state) {
        cAttribs attribs;
        benchmark::DoNotOptimize(attribs.readFile(scores));
    }
}
BENCHMARK(BM_ReadScores);

static void BM_WriteScoresDurably(benchmark::State& state) {
    cAttribs attribs = blankTable();
    for (auto _ : state)
        benchmark::DoNotOptimize(attribs.writeFile(scores));
    std::filesystem::remove(scores);
}
BENCHMARK(BM_WriteScoresDurably)->Unit(benchmark::kMicrosecond);
