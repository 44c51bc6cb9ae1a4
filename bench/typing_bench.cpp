// The cost of one keystroke (testKey + processKey with lookup, ordering and
// page building) with the shipped settings, over a stream of 1,000 real
// words of the default data folder typed with their codes and a Space where
// needed. Reports the median, the 99th percentile and the cost by key
// position within a code, against a baseline of an in-memory map lookup per
// key measured in the same run, and the peak resident memory of the
// process. Each of the five passes types into a new engine (opened outside
// the timing) and closes it, and no other engine is open meanwhile: what
// one pass keeps for the folder does not speed up the next.
//
// The data folder is build/data, or the folder named by ZV_DATA.

#include "bench/ratio_main.h"
#include "engine/data_files.h"
#include "engine/host_view.h"
#include "engine/input.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/utf.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <sys/resource.h>
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

// Every n-th character or word of the main table whose code is letters
// only: counted first, then picked, so that the stream costs no more memory
// than itself.
Stream makeStream(const EngineContext& ctx) {
    Stream s;
    CodeTable t = tableView(ctx, SlotMain);
    auto typable = [&](uint32_t i) {
        EntryView e = t.entry(i);
        const int cat = attr::category(e.attributes);
        if (!e.valid() || attr::deleted(e.attributes) || (cat != 17 && cat != 18 && cat != 20)) return false;
        const std::string_view code = e.codeBytes();
        return code.size() >= 2 && std::all_of(code.begin(), code.end(), [](char c) { return c >= 'a' && c <= 'y'; });
    };
    size_t count = 0;
    for (uint32_t i = 0; i < t.count(); ++i) count += typable(i);
    const size_t step = std::max<size_t>(1, count / 1000);
    size_t seen = 0;
    for (uint32_t i = 0; i < t.count() && s.codes.size() < 1000; ++i) {
        if (!typable(i)) continue;
        if (seen++ % step == 0) s.codes.emplace_back(t.entry(i).codeBytes());
    }
    return s;
}

struct Session {
    platform::ManualClock clock;
    platform::NullServices services;
    Engine ctx;
    bool open = false;
    Session() {
        ctx = openEngineFolder(utf8ToUtf16(dataFolder()), u"", services.forAll(&clock));
        open = ctx != nullptr;
        if (open) focusGained(*ctx);
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

// The stream, made by an engine that is closed again before anything is
// timed: no engine stays open between passes, so nothing kept for the
// folder outlives a pass.
const Stream& stream() {
    static Stream s = [] {
        Session maker;
        return maker.open ? makeStream(*maker.ctx) : Stream{};
    }();
    return s;
}

// The most memory the process has had resident, in MiB.
double peakResidentMib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// The p-th quantile of v, which it sorts in place: the figures are read
// once, at the end, and a copy would add to the peak memory measured.
double percentile(std::vector<double>& v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

void PerKeystroke(benchmark::State& state) {
    const Stream& words = stream();
    if (words.codes.empty()) {
        state.SkipWithError("no data folder: run scripts/demo first, or set ZV_DATA");
        return;
    }
    // Room for every figure at once, so that the timings' own memory does
    // not grow by doubling while the engine's memory is measured.
    size_t keysPerPass = 0, longest = 0;
    for (const std::string& code : words.codes) {
        keysPerPass += code.size() + 1;
        longest = std::max(longest, code.size());
    }
    const size_t passes = static_cast<size_t>(state.max_iterations);
    std::vector<double> all;
    all.reserve(keysPerPass * passes);
    std::map<int, std::vector<double>> byPosition;
    for (int position = 0; position <= static_cast<int>(longest); ++position)
        byPosition[position].reserve(words.codes.size() * passes);
    for (auto _ : state) {
        // Every pass types the stream into a new engine, as a new session
        // would, and closes it: nothing one pass kept helps the next.
        state.PauseTiming();
        auto s = std::make_unique<Session>();
        state.ResumeTiming();
        for (const std::string& code : words.codes) {
            int position = 0;
            for (char c : code) {
                double us = std::chrono::duration<double, std::micro>(s->press(c - 32)).count();
                all.push_back(us);
                byPosition[++position].push_back(us);
            }
            // A Space commits what the code left showing.
            if (viewOf(*s->ctx).composing) {
                double us = std::chrono::duration<double, std::micro>(s->press(0x20)).count();
                all.push_back(us);
                byPosition[0].push_back(us);
            }
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(all.size()));
    state.counters["peak_rss_mib"] = peakResidentMib();
    state.counters["median_us"] = percentile(all, 0.5);
    state.counters["p99_us"] = percentile(all, 0.99);
    for (auto& [pos, v] : byPosition)
        if (!v.empty())
            state.counters[pos ? "key" + std::to_string(pos) + "_median_us" : "space_median_us"] = percentile(v, 0.5);
}
BENCHMARK(PerKeystroke)->Unit(benchmark::kMillisecond)->Iterations(5);

// The baseline: per key, a lookup of the typed code in an in-memory map of
// code -> words, as an input method that loads its whole table would do.
void Baseline_MapLookupPerKey(benchmark::State& state) {
    static const std::unordered_map<std::string, std::vector<std::u16string>> table = [] {
        std::unordered_map<std::string, std::vector<std::u16string>> m;
        Session reader;  // closed again before anything is timed
        if (!reader.open) return m;
        CodeTable t = tableView(*reader.ctx, SlotMain);
        for (uint32_t i = 0; i < t.count(); ++i) {
            EntryView e = t.entry(i);
            if (e.valid()) m[std::string(e.codeBytes())].push_back(e.wordText());
        }
        return m;
    }();
    if (table.empty()) {
        state.SkipWithError("no data folder");
        return;
    }
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
