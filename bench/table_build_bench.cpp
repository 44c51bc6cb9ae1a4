// The full build of main.dmg from a text code table of 150,000 lines (in
// code order, and shuffled), against the baseline of the in-memory image
// builder given the same entries ready-made; decoding the text alone is
// shown for scale. The scratch and temporary files live in a folder of the
// run's own, removed when the process ends.

#include "config/table_build.h"
#include "config/text_file.h"
#include "engine/table_image.h"
#include "platform/folders.h"
#include "platform/mapped_file.h"

#include "bench/ratio_main.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <random>
#include <string>

namespace {

using namespace zv;

constexpr int kLines = 150000;

// Entries shaped like the default table's: one to four keys, one to four
// characters, a classified category and an order value.
const std::vector<TableEntry>& entries() {
    static const std::vector<TableEntry> list = [] {
        std::mt19937 rng(86);
        std::vector<TableEntry> es;
        for (int i = 0; i < kLines; ++i) {
            std::string code(1 + rng() % 4, 'a');
            for (char& c : code) c = static_cast<char>('a' + rng() % 25);
            std::u16string word(1 + rng() % 4, u'\0');
            for (char16_t& u : word) u = static_cast<char16_t>(0x4E00 + rng() % 20000);
            es.push_back({code, word, attr::make(static_cast<uint16_t>(8192 + rng() % 4000), 16 + rng() % 5)});
        }
        return es;
    }();
    return list;
}

std::string tableFile(bool shuffled) {
    std::vector<TableEntry> es = entries();
    if (shuffled) std::shuffle(es.begin(), es.end(), std::mt19937(5));
    else std::stable_sort(es.begin(), es.end(), [](auto& a, auto& b) { return a.code < b.code; });
    std::u16string t;
    for (auto& e : es) {
        t += e.word;
        t += u'\t';
        t.append(e.code.begin(), e.code.end());
        t += u"#类";
        t += static_cast<char16_t>(u'0' + attr::category(e.attributes) - 15);
        t += u"#序";
        for (char c : std::to_string(attr::order(e.attributes))) t += static_cast<char16_t>(c);
        t += u"\r\n";
    }
    return config::encodeUtf16File(t);
}

// The entries as a text code table (UTF-16LE file bytes): in code order, as
// tables usually come, or shuffled.
const std::string& sourceFile(bool shuffled) {
    static const std::string sorted = tableFile(false), mixed = tableFile(true);
    return shuffled ? mixed : sorted;
}

// A folder of this run's own, removed when the process ends.
struct WorkFolder {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("zv-bench-" + std::to_string(std::random_device{}()));
    WorkFolder() { std::filesystem::create_directories(path); }
    ~WorkFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

std::filesystem::path workFolder() {
    static const WorkFolder folder;
    return folder.path;
}

void DecodeOnly(benchmark::State& state) {
    for (auto _ : state) {
        config::DecodedText d = config::decodeText(sourceFile(false));
        benchmark::DoNotOptimize(d.text.data());
    }
}

void Baseline_ImageBuilderFromEntries(benchmark::State& state) {
    for (auto _ : state) {
        auto image = buildCodeTableImage(entries());
        benchmark::DoNotOptimize(image.data());
    }
}

void FullBuild(benchmark::State& state) {
    const std::u16string folder = workFolder().u16string() + platform::pathSeparator();
    for (auto _ : state) {
        config::BuildOptions o;
        o.tempFolder = folder;
        o.mainPath = folder + u"main.dmg";
        config::DecodedText d = config::decodeText(sourceFile(state.range(0) != 0));
        config::BuildResult r = config::buildMainTable(std::move(d.text), o);
        if (r.status != config::BuildStatus::Ok) state.SkipWithError("build failed");
    }
}

BENCHMARK(Baseline_ImageBuilderFromEntries)->Unit(benchmark::kMillisecond);
BENCHMARK(DecodeOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(FullBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);  // sorted, shuffled

}  // namespace

ZV_BENCHMARK_MAIN()
