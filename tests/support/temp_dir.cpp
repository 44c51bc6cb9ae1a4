#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

namespace zv::test {

TempDir::TempDir() {
    static std::atomic<int> serial{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = std::filesystem::temp_directory_path() /
            ("zvtest-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::u16string TempDir::file(const std::string& name) const { return (path_ / name).u16string(); }

std::u16string TempDir::folder() const {
    std::u16string s = path_.u16string();
    s.push_back(static_cast<char16_t>(std::filesystem::path::preferred_separator));
    return s;
}

void TempDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    std::ofstream f(path_ / name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> TempDir::read(const std::string& name) const {
    std::ifstream f(path_ / name, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

std::map<std::filesystem::path, std::string> folderBytes(const std::filesystem::path& folder) {
    std::map<std::filesystem::path, std::string> out;
    for (const auto& f : std::filesystem::recursive_directory_iterator(folder)) {
        if (!f.is_regular_file()) continue;
        std::ifstream in(f.path(), std::ios::binary);
        out[f.path().lexically_relative(folder)] = {std::istreambuf_iterator<char>(in), {}};
    }
    return out;
}

}  // namespace zv::test
