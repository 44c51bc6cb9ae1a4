// The cost of one keystroke (testKey + processKey with lookup, ordering and
// page building) with the shipped settings, over a stream of 1,000 real
// words of the default data folder typed with their codes and a Space where
// needed. Reports the median, the 99th percentile and the cost by key
// position within a code, against a baseline of an in-memory map lookup per
// key measured in the same run. Each of the five passes types into a new
// engine (opened outside the timing), so what one pass keeps does not speed
// up the next.
//
// The data folder is build/data, or the folder named by ZV_DATA.

#include "bench/ratio_main.h"
#include "engine/data_files.h"
#include "engine/input.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/utf.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <unordered_map>

namespace {

using namespace zv;
using Clock = std::chrono::steady_clock;

struct Key {
    int vk;
    int position;  // 1-based position within the code; 0 for the Space
};

struct Stream {
    std::vector<Key> keys;
    std::vector<std::string> codes;
};

std::string dataFolder() {
    const char* d = std::getenv("ZV_DATA");
    return d && *d ? d : "build/data";
}

// Every n-th character or word of the main table whose code is letters only.
Stream makeStream(const EngineContext& ctx) {
    Stream s;
    CodeTable t = tableView(ctx, SlotMain);
    std::vector<std::string> codes;
    for (uint32_t i = 0; i < t.count(); ++i) {
        EntryView e = t.entry(i);
        const int cat = attr::category(e.attributes);
        if (!e.valid() || attr::deleted(e.attributes) || (cat != 17 && cat != 18 && cat != 20)) continue;
        std::string code(e.codeBytes());
        if (code.size() < 2 || !std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'y'; }))
            continue;
        codes.push_back(code);
    }
    const size_t step = std::max<size_t>(1, codes.size() / 1000);
    for (size_t i = 0; i < codes.size() && s.codes.size() < 1000; i += step) s.codes.push_back(codes[i]);
    return s;
}

struct Session {
    std::unique_ptr<EngineContext> ctx = std::make_unique<EngineContext>();
    platform::ManualClock clock;
    platform::NullServices services;
    platform::MemoryRegistry registry;
    bool open = false;
    Session() {
        ctx->platform.registry = &registry;
        ctx->platform.clock = &clock;
        ctx->platform.shell = &services;
        ctx->platform.dialogs = &services;
        ctx->platform.clipboard = &services;
        ctx->platform.keys = &services;
        open = openDataFolder(*ctx, utf8ToUtf16(dataFolder()), u"");
        if (open) startInputContext(*ctx);
    }
    // One key press and release; returns the time of the press.
    Clock::duration press(int vk) {
        KeyboardState keys;
        auto t0 = Clock::now();
        if (testKey(*ctx, vk, keyDataFor(0x10 + (vk & 0x3F), false, false), false, keys)) processKey(*ctx);
        auto t1 = Clock::now();
        testKey(*ctx, vk, keyDataFor(0x10 + (vk & 0x3F), false, true), true, keys);
        return t1 - t0;
    }
};

Session& session() {
    static Session s;
    return s;
}

const Stream& stream() {
    static Stream s = makeStream(*session().ctx);
    return s;
}

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

void PerKeystroke(benchmark::State& state) {
    if (!session().open) {
        state.SkipWithError("no data folder: run scripts/demo first, or set ZV_DATA");
        return;
    }
    const Stream& words = stream();
    std::vector<double> all;
    std::map<int, std::vector<double>> byPosition;
    for (auto _ : state) {
        // Every pass types the stream into a new engine, as a new session
        // would: nothing one pass kept helps the next.
        state.PauseTiming();
        Session s;
        state.ResumeTiming();
        for (const std::string& code : words.codes) {
            int position = 0;
            for (char c : code) {
                double us = std::chrono::duration<double, std::micro>(s.press(c - 32)).count();
                all.push_back(us);
                byPosition[++position].push_back(us);
            }
            // A Space commits what the code left showing.
            if (!s.ctx->input.code.empty()) {
                double us = std::chrono::duration<double, std::micro>(s.press(0x20)).count();
                all.push_back(us);
                byPosition[0].push_back(us);
            }
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(all.size()));
    state.counters["median_us"] = percentile(all, 0.5);
    state.counters["p99_us"] = percentile(all, 0.99);
    for (auto& [pos, v] : byPosition)
        state.counters[pos ? "key" + std::to_string(pos) + "_median_us" : "space_median_us"] = percentile(v, 0.5);
}
BENCHMARK(PerKeystroke)->Unit(benchmark::kMillisecond)->Iterations(5);

// The baseline: per key, a lookup of the typed code in an in-memory map of
// code -> words, as an input method that loads its whole table would do.
void Baseline_MapLookupPerKey(benchmark::State& state) {
    Session& s = session();
    if (!s.open) {
        state.SkipWithError("no data folder");
        return;
    }
    static std::unordered_map<std::string, std::vector<std::u16string>> table = [&] {
        std::unordered_map<std::string, std::vector<std::u16string>> m;
        CodeTable t = tableView(*s.ctx, SlotMain);
        for (uint32_t i = 0; i < t.count(); ++i) {
            EntryView e = t.entry(i);
            if (e.valid()) m[std::string(e.codeBytes())].push_back(e.wordText());
        }
        return m;
    }();
    const Stream& words = stream();
    size_t keys = 0;
    for (auto _ : state) {
        for (const std::string& code : words.codes) {
            for (size_t n = 1; n <= code.size(); ++n) {
                auto it = table.find(code.substr(0, n));
                benchmark::DoNotOptimize(it);
                ++keys;
            }
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(keys));
}
BENCHMARK(Baseline_MapLookupPerKey)->Unit(benchmark::kMillisecond);

}  // namespace

ZV_BENCHMARK_MAIN()
