// pack: makes the self-contained package, installer.exe with a ZIP archive
// appended and its LoaderFlags set to the program's size.
//
//   pack --program installer.exe --out zorvan-setup.exe ITEM...
//   ITEM: NAME=FILE   one archive entry
//         NAME/=DIR   every file below DIR, under NAME/ ("/" alone: the root)
// Entries are deflated; a missing file or folder is an error.

#include "installer/core/package_image.h"
#include "ui/skin_package.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool readFile(const fs::path& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int usage() {
    std::fprintf(stderr, "usage: pack --program installer.exe --out package.exe NAME=FILE | NAME/=DIR ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string program, out;
    std::vector<zv::ui::ZipEntry> entries;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--program" && i + 1 < argc) {
            program = argv[++i];
            continue;
        }
        if (arg == "--out" && i + 1 < argc) {
            out = argv[++i];
            continue;
        }
        const size_t eq = arg.find('=');
        if (eq == std::string::npos || eq == 0) return usage();
        const std::string name = arg.substr(0, eq);
        const fs::path source = arg.substr(eq + 1);
        if (name.back() == '/') {
            std::error_code ec;
            if (!fs::is_directory(source, ec)) {
                std::fprintf(stderr, "pack: no folder %s\n", source.c_str());
                return 1;
            }
            std::vector<fs::path> files;
            for (const auto& e : fs::recursive_directory_iterator(source))
                // The data folder's write lock belongs to a running engine.
                if (e.is_regular_file() && e.path().filename() != "write.lock") files.push_back(e.path());
            std::sort(files.begin(), files.end());
            const std::string prefix = name == "/" ? "" : name;
            for (const fs::path& f : files) {
                zv::ui::ZipEntry entry;
                entry.name = prefix + fs::relative(f, source).generic_string();
                if (!readFile(f, entry.data)) {
                    std::fprintf(stderr, "pack: cannot read %s\n", f.c_str());
                    return 1;
                }
                entries.push_back(std::move(entry));
            }
        } else {
            zv::ui::ZipEntry entry;
            entry.name = name;
            if (!readFile(source, entry.data)) {
                std::fprintf(stderr, "pack: cannot read %s\n", source.c_str());
                return 1;
            }
            entries.push_back(std::move(entry));
        }
    }
    if (program.empty() || out.empty() || entries.empty()) return usage();
    std::vector<uint8_t> image;
    if (!readFile(program, image) || !zv::installer::markProgramImage(image)) {
        std::fprintf(stderr, "pack: %s is not a Windows program\n", program.c_str());
        return 1;
    }
    const std::vector<uint8_t> zip = zv::ui::writeZip(entries, true);
    if (zip.empty()) {
        std::fprintf(stderr, "pack: the archive could not be written\n");
        return 1;
    }
    image.insert(image.end(), zip.begin(), zip.end());
    const std::string partial = out + ".partial";
    {
        std::ofstream f(partial, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
        if (!f) {
            std::fprintf(stderr, "pack: cannot write %s\n", partial.c_str());
            return 1;
        }
    }
    std::error_code ec;
    fs::rename(partial, out, ec);
    if (ec) {
        std::fprintf(stderr, "pack: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: %zu entries, %zu bytes\n", out.c_str(), entries.size(), image.size());
    return 0;
}
