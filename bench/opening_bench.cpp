// What opening costs, as an application that takes text pays it: a fresh
// process opens the default data folder and starts its first input context
// (the focus), then types its very first key; then the same process opens
// more engines on the folder, as an application with many text fields
// does. Every iteration is a new process (fork), so nothing an earlier one
// kept helps. Reported as medians beside a baseline measured in the same
// run: a fresh process that maps the same data files and reads their
// headers, the least any input method on these tables does.
//
// The data folder is build/data, or the folder named by ZV_DATA.

#include "bench/ratio_main.h"
#include "engine/host.h"
#include "platform/clock.h"
#include "platform/utf.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace zv;
using Clock = std::chrono::steady_clock;

std::string dataFolder() {
    const char* d = std::getenv("ZV_DATA");
    return d && *d ? d : "build/data";
}

bool haveData() { return access((dataFolder() + "/main.dmg").c_str(), R_OK) == 0; }

double micros(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::micro>(b - a).count(); }

// Resident memory of this process, in KB.
long residentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs `work` in a child process, which writes its figures to a pipe.
template <class Work>
std::vector<double> inChild(size_t figures, Work&& work) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::vector<double> out = work();
        out.resize(figures);
        ssize_t n = write(fds[1], out.data(), out.size() * sizeof(double));
        _exit(n == static_cast<ssize_t>(out.size() * sizeof(double)) ? 0 : 1);
    }
    close(fds[1]);
    std::vector<double> got(figures, 0);
    ssize_t n = read(fds[0], got.data(), figures * sizeof(double));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (n != static_cast<ssize_t>(figures * sizeof(double))) return {};
    return got;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Host {
    platform::ManualClock clock;
    platform::NullServices none;
    platform::Platform services() { return none.forAll(&clock); }
};

void typeKey(EngineContext& ctx, int vk) {
    const KeyboardState keys;
    if (testKey(ctx, vk, keyDataFor(0x1E, false, false), false, keys)) processKey(ctx);
    testKey(ctx, vk, keyDataFor(0x1E, false, true), true, keys);
}

// A fresh process: the first engine opened and focused, its first key, then
// engines 2..10 opened and focused one after another.
void FreshProcess(benchmark::State& state) {
    if (!haveData()) {
        state.SkipWithError("no data folder: run scripts/demo first, or set ZV_DATA");
        return;
    }
    const std::u16string folder = utf8ToUtf16(dataFolder());
    std::vector<double> open, firstKey, second, third, tenth, extraKb;
    for (auto _ : state) {
        std::vector<double> f = inChild(6, [&] {
            Host host;
            std::vector<Engine> engines;
            auto t0 = Clock::now();
            engines.push_back(openEngineFolder(folder, u"", host.services()));
            if (!engines.back()) return std::vector<double>{};
            focusGained(*engines.back());
            auto t1 = Clock::now();
            typeKey(*engines.back(), 'G');
            auto t2 = Clock::now();
            std::vector<double> out{micros(t0, t1), micros(t1, t2)};
            const long before = residentKb();
            for (int n = 2; n <= 10; ++n) {
                auto a = Clock::now();
                engines.push_back(openEngineFolder(folder, u"", host.services()));
                if (engines.back()) focusGained(*engines.back());
                auto b = Clock::now();
                if (n == 2 || n == 3 || n == 10) out.push_back(micros(a, b));
            }
            out.push_back(static_cast<double>(residentKb() - before) / 9);
            return out;
        });
        if (f.empty()) {
            state.SkipWithError("the data folder did not open");
            return;
        }
        // The iteration's time is the opening and focus, for the ratio.
        state.SetIterationTime(f[0] / 1e6);
        open.push_back(f[0]);
        firstKey.push_back(f[1]);
        second.push_back(f[2]);
        third.push_back(f[3]);
        tenth.push_back(f[4]);
        extraKb.push_back(f[5]);
    }
    state.counters["open_and_focus_us"] = median(open);
    state.counters["first_key_us"] = median(firstKey);
    state.counters["engine2_us"] = median(second);
    state.counters["engine3_us"] = median(third);
    state.counters["engine10_us"] = median(tenth);
    state.counters["kb_per_extra_engine"] = median(extraKb);
}
BENCHMARK(FreshProcess)->Unit(benchmark::kMicrosecond)->Iterations(15)->UseManualTime();

// The baseline: a fresh process maps the data files and reads their headers.
void Baseline_MapTheFiles(benchmark::State& state) {
    if (!haveData()) {
        state.SkipWithError("no data folder");
        return;
    }
    const char* names[] = {"config.dsc", "main.dmg", "engl.dmg", "temp.dmg", "danzi.dmi", "sysl.dmg",
                           "traditional.dms", "simplified.dms"};
    for (auto _ : state) {
        std::vector<double> f = inChild(1, [&] {
            auto t0 = Clock::now();
            unsigned sum = 0;
            for (const char* n : names) {
                const int fd = open((dataFolder() + "/" + n).c_str(), O_RDWR);
                if (fd < 0) continue;
                struct stat st {};
                if (fstat(fd, &st) == 0 && st.st_size > 0) {
                    void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
                    if (p != MAP_FAILED) {
                        sum += static_cast<const unsigned char*>(p)[0];
                        munmap(p, static_cast<size_t>(st.st_size));
                    }
                }
                close(fd);
            }
            benchmark::DoNotOptimize(sum);
            return std::vector<double>{micros(t0, Clock::now())};
        });
        if (f.empty()) {
            state.SkipWithError("the child failed");
            return;
        }
        state.SetIterationTime(f[0] / 1e6);
    }
}
BENCHMARK(Baseline_MapTheFiles)->Unit(benchmark::kMicrosecond)->Iterations(15)->UseManualTime();

}  // namespace

ZV_BENCHMARK_MAIN()
