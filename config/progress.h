#pragma once
// Long table operations report how far they are as done / total; the
// caller decides how to show it (a progress bar, or nothing).

#include <cstdint>
#include <functional>

namespace zv::config {

using Progress = std::function<void(uint64_t done, uint64_t total)>;

inline void report(const Progress& p, uint64_t done, uint64_t total) {
    if (p) p(done, total);
}

}  // namespace zv::config
