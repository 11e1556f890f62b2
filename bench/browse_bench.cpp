// Name search and listing over a register of 500 records, with every page prompt
// answered at once.
#include "bench/bench_register.h"
#include "core/browse.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

// A grid of ten rows that takes the pages as the display screen would.
class GridStandIn : public core::DisplayTarget {
public:
    void clear() override { rows_ = {}; }
    void setRow(int row, const core::RowTexts& texts) override {
        rows_[static_cast<std::size_t>(row)] = texts;
    }
    void show() override {}
    void pagePrompt() override { ++prompts; }
    void notFound() override {}
    void tooMany(std::int64_t, int) override {}
    long prompts = 0;

private:
    std::array<core::RowTexts, 10> rows_{};
};

// Runs one command over a fresh 500-record register and reports the prompts per run.
template <class Command> void runOver500(benchmark::State& state, Command command) {
    // Every seventh name holds 田中, so a search finds 71 people (eight pages).
    bench::BenchRegister r(500, [](int n) {
        return n % 7 == 0 ? "田中　" + std::to_string(n) : "山田" + std::to_string(n);
    });
    GridStandIn grid;
    for (auto _ : state)
        command(r.session, grid);
    state.counters["prompts/op"] =
        benchmark::Counter(static_cast<double>(grid.prompts), benchmark::Counter::kAvgIterations);
}

void BM_NameSearch500(benchmark::State& state) {
    runOver500(state,
               [](auto& session, auto& grid) { datafiles::nameSearch(session, "田中", grid); });
}
BENCHMARK(BM_NameSearch500)->Unit(benchmark::kMicrosecond);

void BM_Listing500(benchmark::State& state) {
    runOver500(state, datafiles::registerListing);
}
BENCHMARK(BM_Listing500)->Unit(benchmark::kMicrosecond);

} // namespace
