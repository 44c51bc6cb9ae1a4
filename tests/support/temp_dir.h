#pragma once
// A fresh directory for one test, removed with everything in it afterwards.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace zv::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // A path inside the directory, as the engine's UTF-16 text.
    std::u16string file(const std::string& name) const;
    // The directory as a data-folder path ending in a separator.
    std::u16string folder() const;
    void write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::vector<uint8_t> read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Every file below a folder with its bytes, to show that nothing in it
// changed, appeared or went.
std::map<std::filesystem::path, std::string> folderBytes(const std::filesystem::path& folder);

}  // namespace zv::test
