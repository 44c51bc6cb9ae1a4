// Exact, prefix and wildcard scans on a synthetic table of 200,000 entries,
// against a baseline of std::equal_range over the same codes held in memory.

#include "bench/ratio_main.h"
#include "engine/code_table.h"
#include "engine/lookup.h"
#include "engine/table_image.h"

#include <algorithm>
#include <random>

namespace {

using namespace zv;

struct Synthetic {
    std::vector<uint8_t> image;
    std::vector<std::string> codes;    // sorted, for the baseline
    std::vector<std::string> queries;  // codes that exist, typed key by key
    std::vector<uint8_t> config = newConfigStore();
    EngineContext ctx;

    Synthetic() {
        std::mt19937 rng(2026);
        std::vector<TableEntry> entries;
        entries.reserve(200000);
        // Code lengths as in a Wubi table: few short codes, mostly four keys.
        for (int i = 0; i < 200000; ++i) {
            TableEntry e;
            int len = i < 25 ? 1 : i < 1500 ? 2 : i < 15000 ? 3 : 4;
            for (int k = 0; k < len; ++k) e.code.push_back(static_cast<char>('a' + rng() % 25));
            int w = 1 + static_cast<int>(rng() % 3);
            for (int k = 0; k < w; ++k) e.word.push_back(static_cast<char16_t>(0x4E00 + rng() % 20000));
            e.attributes = attr::make(static_cast<uint16_t>(rng()), CategorySystem);
            entries.push_back(e);
        }
        for (int i = 0; i < 4096; ++i) queries.push_back(entries[rng() % entries.size()].code);
        image = buildCodeTableImage(entries);
        for (auto& e : entries) codes.push_back(e.code);
        std::sort(codes.begin(), codes.end());
        SettingsBlocks b = findBlocks(config.data(), static_cast<uint32_t>(config.size()));
        b.ime.setU32(ImeSettings::OptionA, ImeSettings::A_MainTable);
        b.dme.setU32(DmeSettings::OptionD, 0);
        for (int c = 'a'; c <= 'z'; ++c) b.dme.setU8(DmeSettings::Classes + c, DmeSettings::ClassCode);
        ctx.blocks = b;
    }
    CodeTable table() { return CodeTable(image.data(), static_cast<uint32_t>(image.size())); }
};

Synthetic& data() {
    static Synthetic s;
    return s;
}

void Baseline_EqualRangeInMemory(benchmark::State& state) {
    auto& d = data();
    size_t i = 0;
    for (auto _ : state) {
        const std::string& q = d.queries[i++ & 4095];
        auto r = std::equal_range(d.codes.begin(), d.codes.end(), q);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(Baseline_EqualRangeInMemory);

void ExactRange(benchmark::State& state) {
    auto& d = data();
    CodeTable t = d.table();
    size_t i = 0;
    for (auto _ : state) {
        const std::string& q = d.queries[i++ & 4095];
        uint32_t f, e;
        t.exactRange(reinterpret_cast<const uint8_t*>(q.data()), static_cast<uint32_t>(q.size()), &f, &e);
        benchmark::DoNotOptimize(f + e);
    }
}
BENCHMARK(ExactRange);

void PrefixRange(benchmark::State& state) {
    auto& d = data();
    CodeTable t = d.table();
    size_t i = 0;
    for (auto _ : state) {
        const std::string& q = d.queries[i++ & 4095];
        uint32_t f, e;
        t.prefixRange(reinterpret_cast<const uint8_t*>(q.data()), static_cast<uint32_t>(q.size()), &f, &e);
        benchmark::DoNotOptimize(f + e);
    }
}
BENCHMARK(PrefixRange);

// Whole scans: range, scores, admission into the candidate list.
void ScanWith(benchmark::State& state, bool prefix, bool wildcard) {
    auto& d = data();
    size_t i = 0;
    int64_t candidates = 0;
    for (auto _ : state) {
        std::string q = d.queries[i++ & 4095];
        if (wildcard) {
            if (q.size() < 3) q += "a";
            q[1] = dmg::Wildcard;
        }
        d.ctx.candidates.count = 0;
        CodeSearch s;
        s.key = reinterpret_cast<const uint8_t*>(q.data());
        s.len = static_cast<uint32_t>(q.size());
        s.prefix = prefix;
        s.wildcard = wildcard;
        s.range.main = true;
        CodeTable t = d.table();
        // The scan over a table image held in memory, like a mapped file.
        uint32_t first, end;
        if (wildcard)
            t.prefixRangeUnwindowed(s.key, 1, &first, &end);
        else if (prefix)
            t.prefixRange(s.key, s.len, &first, &end);
        else
            t.exactRange(s.key, s.len, &first, &end);
        for (uint32_t k = first; k < end && d.ctx.candidates.count < CandidateList::ScanLimit; ++k) {
            EntryView e = t.entry(k);
            int score = matchScore(d.ctx.blocks.dme, e, s.key, s.len, prefix, wildcard);
            if (score > 0) admitEntry(d.ctx, e, SlotMain, SourceMain, score, s.len, s.range);
        }
        candidates += d.ctx.candidates.count;
    }
    state.counters["candidates"] = benchmark::Counter(static_cast<double>(candidates), benchmark::Counter::kAvgIterations);
}

void ExactScan(benchmark::State& state) { ScanWith(state, false, false); }
void PrefixScan(benchmark::State& state) { ScanWith(state, true, false); }
void WildcardScan(benchmark::State& state) { ScanWith(state, false, true); }
BENCHMARK(ExactScan);
BENCHMARK(PrefixScan);
BENCHMARK(WildcardScan);

}  // namespace

ZV_BENCHMARK_MAIN()
