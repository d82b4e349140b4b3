// Loading and preparing the pictures the game starts with (512 x 512 at most).
#include "Image/pBMPLoader.h"
#include "Image/pTGALoader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void putLE(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

std::string writeFile(const char* name, const std::vector<unsigned char>& bytes) {
    std::string path = std::string("/tmp/plinx-bench-") + name;
    FILE* out = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
    return path;
}

std::string tgaFile(bool runLength) {
    std::vector<unsigned char> f = {0, 0, static_cast<unsigned char>(runLength ? 10 : 2)};
    putLE(f, 0, 2 + 2 + 1 + 2 + 2);
    putLE(f, 512, 2);
    putLE(f, 512, 2);
    f.push_back(32);
    f.push_back(0);
    for (uint32_t i = 0; i < 512 * 512; ++i) {
        if (runLength && i % 128 == 0) {
            f.push_back(i % 256 == 0 ? 0xFF : 0x7F); // alternate runs and raw packets
        }
        if (!runLength || i % 256 >= 128 || i % 256 == 0) {
            putLE(f, i * 2654435761u, 4);
        }
    }
    return writeFile(runLength ? "rle.tga" : "raw.tga", f);
}

void BM_LoadTGA(benchmark::State& state) {
    std::string path = tgaFile(state.range(0) != 0);
    pImage image;
    for (auto _ : state) {
        if (!pTGALoader::instance()->load(path, &image)) {
            state.SkipWithError("load failed");
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadTGA)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_LoadBMP24(benchmark::State& state) {
    std::vector<unsigned char> f = {'B', 'M'};
    uint32_t stride = (510 * 3 + 3) / 4 * 4;
    putLE(f, 54 + stride * 510, 4);
    putLE(f, 0, 4);
    putLE(f, 54, 4);
    for (uint32_t v : {40u, 510u, 510u}) {
        putLE(f, v, 4);
    }
    putLE(f, 1, 2);
    putLE(f, 24, 2);
    putLE(f, 0, 24);
    f.resize(f.size() + stride * 510, 0x5A);
    std::string path = writeFile("24.bmp", f);
    pImage image;
    for (auto _ : state) {
        if (!pBMPLoader::instance()->load(path, &image)) {
            state.SkipWithError("load failed");
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadBMP24)->Unit(benchmark::kMillisecond);

void BM_MakeUseableAsTexture(benchmark::State& state) {
    pImage source(static_cast<unsigned>(state.range(0)), static_cast<unsigned>(state.range(0)));
    for (auto _ : state) {
        pImage copy(source);
        copy.makeUseableAsTexture();
        benchmark::DoNotOptimize(copy.getPixelData());
    }
}
BENCHMARK(BM_MakeUseableAsTexture)->Arg(300)->Arg(640)->Unit(benchmark::kMillisecond);

} // namespace
