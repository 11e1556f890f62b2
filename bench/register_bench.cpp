#include "bench/bench_register.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

// The register, load and update commands on a register file, without any screen.
namespace {

using bench::BenchRegister;

constexpr int kFullRecords = 32765; // the most a register can hold before its last append
constexpr int kMiddleRecord = kFullRecords / 2;

void registerInto(benchmark::State& state, int records) {
    BenchRegister r(records, [](int) { return "山田太郎"; });
    r.session.m.kgengou = "平成";
    const datafiles::PersonTexts person{"髙橋一郎", "7", "12", "31"};
    int appended = 0;
    for (auto _ : state) {
        {
            datafiles::Transaction held = datafiles::countRegister(r.session);
            appended = datafiles::appendPerson(r.session, held, person);
        }
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
    BenchRegister r(kFullRecords, [](int) { return "山田太郎"; });
    const std::string number = std::to_string(kMiddleRecord);
    for (auto _ : state)
        benchmark::DoNotOptimize(datafiles::loadRecord(r.session, number));
}
BENCHMARK(BM_LoadMiddleRecord)->UseRealTime(); // the work is mostly file I/O

void BM_UpdateMiddleRecord(benchmark::State& state) {
    BenchRegister r(kFullRecords, [](int) { return "山田太郎"; });
    const core::FieldTexts texts{
        std::to_string(kMiddleRecord), "髙橋一郎", "平成", "7", "12", "31"};
    for (auto _ : state)
        datafiles::updateRecord(r.session, texts);
}
BENCHMARK(BM_UpdateMiddleRecord)->UseRealTime(); // the work is mostly file I/O

} // namespace
