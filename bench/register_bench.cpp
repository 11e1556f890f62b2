#include "register.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

// The register, load and update commands on a register file, without any screen.
namespace {

constexpr int kFullRecords = 32765; // the most a register can hold before its last append
constexpr int kMiddleRecord = kFullRecords / 2;

// A fresh folder under /tmp holding a register of `records` records, removed afterwards.
class BenchRegister {
public:
    explicit BenchRegister(int records) {
        std::string pattern = "/tmp/nenrei-bench-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        folder_ = pattern;
        std::string bytes;
        bytes.reserve(static_cast<std::size_t>(records) * core::KojinRecord::kLength);
        for (int n = 1; n <= records; ++n)
            bytes += core::encodeRecord(
                core::KojinRecord::assign(std::to_string(n), "山田太郎", "昭和", "31", "8", "26"),
                "");
        std::ofstream(path(), std::ios::binary) << bytes;
        size_ = bytes.size();
    }
    ~BenchRegister() {
        files.closeAll();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    BenchRegister(const BenchRegister&) = delete;
    BenchRegister& operator=(const BenchRegister&) = delete;

    const std::string& folder() const { return folder_; }
    std::string path() const { return core::registerPath(folder_); }
    // Takes away whatever was appended since the register was made.
    void reset() const { std::filesystem::resize_file(path(), size_); }

    core::Module1 m;
    platform::FileTable files;

private:
    std::string folder_;
    std::uintmax_t size_ = 0;
};

void registerInto(benchmark::State& state, int records) {
    BenchRegister r(records);
    r.m.kgengou = "平成";
    const core::PersonTexts person{"髙橋一郎", "7", "12", "31"};
    int appended = 0;
    for (auto _ : state) {
        core::countRegister(r.m, r.files, r.folder());
        appended = core::appendPerson(r.m, r.files, r.folder(), person);
        state.PauseTiming();
        r.reset();
        state.ResumeTiming();
    }
    state.counters["record"] = appended; // the same number every iteration
}

void BM_RegisterIntoEmpty(benchmark::State& state) {
    registerInto(state, 0);
}
BENCHMARK(BM_RegisterIntoEmpty)->UseRealTime(); // the work is mostly file I/O

void BM_RegisterIntoFull(benchmark::State& state) {
    registerInto(state, kFullRecords);
}
BENCHMARK(BM_RegisterIntoFull)->UseRealTime(); // the work is mostly file I/O

void BM_LoadMiddleRecord(benchmark::State& state) {
    BenchRegister r(kFullRecords);
    const std::string number = std::to_string(kMiddleRecord);
    for (auto _ : state)
        benchmark::DoNotOptimize(core::loadRecord(r.m, r.files, r.folder(), number));
}
BENCHMARK(BM_LoadMiddleRecord)->UseRealTime(); // the work is mostly file I/O

void BM_UpdateMiddleRecord(benchmark::State& state) {
    BenchRegister r(kFullRecords);
    const std::array<std::string, 6> texts{
        std::to_string(kMiddleRecord), "髙橋一郎", "平成", "7", "12", "31"};
    for (auto _ : state)
        core::updateRecord(r.m, r.files, r.folder(), texts);
}
BENCHMARK(BM_UpdateMiddleRecord)->UseRealTime(); // the work is mostly file I/O

} // namespace
