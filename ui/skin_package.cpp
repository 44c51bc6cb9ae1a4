#include "ui/skin_package.h"

#include "platform/folders.h"
#include "platform/mapped_file.h"
#include "ui/no_case.h"
#include "ui/skin_ini.h"
#include "ui/zip_memory.h"

#include <algorithm>
#include <cstring>
#include <minizip/unzip.h>
#include <minizip/zip.h>

namespace zv::ui {

namespace {

bool isSkinEntry(std::string_view name) {
    // Only the names are asked about: one empty set of slots serves every call.
    static const SkinImages probe;
    return equalNoCase(name, "skin.ini") || probe.slotFor(name) != nullptr;
}

// Reads the current entry whole; false when it is larger than `limit` or
// its data or checksum is damaged.
bool readCurrentEntry(unzFile zip, size_t limit, std::vector<uint8_t>& data) {
    if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
    data.clear();
    uint8_t buf[16384];
    bool ok = true;
    for (;;) {
        int n = unzReadCurrentFile(zip, buf, sizeof buf);
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        if (data.size() + static_cast<size_t>(n) > limit) {
            ok = false;
            break;
        }
        data.insert(data.end(), buf, buf + n);
    }
    // Closing checks the CRC of an entry read to its end.
    if (unzCloseCurrentFile(zip) != UNZ_OK) ok = false;
    return ok;
}

}  // namespace

std::vector<ZipEntry> readZip(std::span<const uint8_t> archive, bool (*wanted)(std::string_view)) {
    std::vector<ZipEntry> entries;
    if (archive.empty() || archive.size() > MaxPackageBytes) return entries;
    ZipMemory stream{archive.data(), nullptr, archive.size(), 0};
    zlib_filefunc64_def functions = zipMemoryFunctions(&stream);
    unzFile zip = unzOpen2_64("", &functions);
    if (!zip) return entries;
    size_t unpacked = 0;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        char name[MaxEntryNameBytes + 1] = {};
        if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) break;
        if (info.size_filename > MaxEntryNameBytes) continue;
        std::string_view entryName(name, info.size_filename);
        if (wanted && !wanted(entryName)) continue;
        // The declared size may lie; the read below enforces the bounds anyway.
        size_t limit = std::min(MaxEntryBytes, MaxUnpackedBytes - unpacked);
        if (info.uncompressed_size > limit) continue;
        ZipEntry e;
        e.name.assign(entryName);
        if (!readCurrentEntry(zip, limit, e.data)) continue;
        unpacked += e.data.size();
        entries.push_back(std::move(e));
    }
    unzClose(zip);
    return entries;
}

std::vector<uint8_t> writeZip(const std::vector<ZipEntry>& entries, bool deflate) {
    std::vector<uint8_t> out;
    ZipMemory stream{nullptr, &out, 0, 0};
    zlib_filefunc64_def functions = zipMemoryFunctions(&stream);
    zipFile zip = zipOpen2_64("", APPEND_STATUS_CREATE, nullptr, &functions);
    if (!zip) return {};
    bool ok = true;
    for (const ZipEntry& e : entries) {
        zip_fileinfo zi{};
        // A fixed date keeps packages byte-identical from build to build.
        zi.tmz_date.tm_year = 2024;
        zi.tmz_date.tm_mon = 0;
        zi.tmz_date.tm_mday = 1;
        if (zipOpenNewFileInZip64(zip, e.name.c_str(), &zi, nullptr, 0, nullptr, 0, nullptr, deflate ? Z_DEFLATED : 0,
                                  deflate ? Z_BEST_COMPRESSION : 0, 0) != ZIP_OK) {
            ok = false;
            break;
        }
        if (!e.data.empty() && zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size())) != ZIP_OK)
            ok = false;
        if (zipCloseFileInZip(zip) != ZIP_OK) ok = false;
        if (!ok) break;
    }
    if (zipClose(zip, nullptr) != ZIP_OK) ok = false;
    if (!ok) out.clear();
    return out;
}

bool loadSkinPackageBytes(std::span<const uint8_t> archive, std::u16string_view path, SkinInfo& info,
                          SkinImages& images) {
    info = SkinInfo{};
    images.clear();
    size_t pixels = 0;
    for (const ZipEntry& e : readZip(archive, isSkinEntry)) {
        if (equalNoCase(e.name, "skin.ini")) {
            if (parseSkinIni(e.data, info)) info.packagePath.assign(path);
        } else if (SkinImage* slot = images.slotFor(e.name)) {
            SkinImage image = decodePng(e.data);
            size_t n = image.pixels.size();
            // A package cannot make the loader hold more decoded pixels than this.
            if (pixels + n <= MaxPackagePixels) {
                pixels += n;
                *slot = std::move(image);
            } else {
                *slot = SkinImage{};
            }
        }
    }
    if (info.name.empty() || !images.hasRequired()) {
        images.clear();
        return false;
    }
    return true;
}

bool loadSkinPackage(std::u16string_view path, SkinInfo& info, SkinImages& images) {
    int64_t size = platform::fileSize(path);
    std::string bytes;
    if (size <= 0 || size > static_cast<int64_t>(MaxPackageBytes) || !platform::readWholeFile(path, bytes)) {
        info = SkinInfo{};
        images.clear();
        return false;
    }
    return loadSkinPackageBytes({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, path, info, images);
}

bool zipSkinFolder(std::u16string_view folder, std::u16string_view packagePath) {
    std::u16string base(folder);
    if (!base.empty() && base.back() != u'/' && base.back() != u'\\') base.push_back(platform::pathSeparator());
    std::vector<ZipEntry> entries;
    bool hasIni = false;
    for (const platform::FolderEntry& f : platform::listFolder(folder)) {
        if (f.isFolder || f.name.empty() || f.name[0] == u'.') continue;
        std::string data;
        if (!platform::readWholeFile(base + f.name, data)) return false;
        ZipEntry e;
        for (char16_t c : f.name) e.name.push_back(c < 0x80 ? static_cast<char>(c) : '_');
        e.data.assign(data.begin(), data.end());
        hasIni = hasIni || equalNoCase(e.name, "skin.ini");
        entries.push_back(std::move(e));
    }
    if (!hasIni) return false;
    std::stable_sort(entries.begin(), entries.end(), [](const ZipEntry& a, const ZipEntry& b) {
        bool ai = equalNoCase(a.name, "skin.ini"), bi = equalNoCase(b.name, "skin.ini");
        return ai != bi ? ai : a.name < b.name;
    });
    std::vector<uint8_t> zip = writeZip(entries, false);
    return !zip.empty() && platform::writeWholeFile(packagePath, zip.data(), zip.size());
}

bool installSkinPackages(std::u16string_view skinsSource, std::u16string_view installFolder) {
    auto join = [](std::u16string_view folder, std::u16string_view name) {
        std::u16string p(folder);
        if (!p.empty() && p.back() != u'/' && p.back() != u'\\') p.push_back(platform::pathSeparator());
        return p + std::u16string(name);
    };
    const std::u16string skinFolder = join(installFolder, u"zoruraved");
    if (!platform::makeDirectories(installFolder) || !platform::makeDirectories(skinFolder)) return false;
    bool sawDefault = false;
    for (const platform::FolderEntry& e : platform::listFolder(skinsSource)) {
        if (!e.isFolder || e.name.empty() || e.name[0] == u'.') continue;
        const std::u16string source = join(skinsSource, e.name);
        if (e.name == u"default") {
            sawDefault = true;
            if (!zipSkinFolder(source, join(installFolder, u"skin.col")) ||
                !zipSkinFolder(source, join(skinFolder, u"skin.col")))
                return false;
        } else if (!zipSkinFolder(source, join(skinFolder, e.name + u".col"))) {
            return false;
        }
    }
    return sawDefault;
}

}  // namespace zv::ui
