#include "ui/skin_loader.h"

#include "platform/folders.h"
#include "platform/mapped_file.h"
#include "ui/no_case.h"
#include "ui/skin_package.h"

#include <cstdint>

namespace zv::ui {

namespace {

constexpr std::u16string_view SkinFolder = u"zoruraved";
constexpr std::u16string_view DefaultPackage = u"skin.col";

// Names of packages in the folder. Names the settings could not hold are
// left out: a skin chosen by such a name could never be found again.
std::vector<std::u16string> packageNames(std::u16string_view folder, size_t limit) {
    std::vector<std::u16string> names;
    for (const platform::FolderEntry& e : platform::listFolder(folder)) {
        const std::u16string& n = e.name;
        if (n.empty() || n[0] == u'.' || e.isFolder || n.size() < 4) continue;
        std::u16string_view tail = std::u16string_view(n).substr(n.size() - 4);
        if (tail != u".col" && tail != u".icc") continue;
        if (n.size() > MaxSkinNameUnits) continue;
        names.push_back(n);
        if (names.size() == limit) break;
    }
    return names;
}

std::u16string skinFolderOf(std::u16string_view installFolder) {
    return withSeparator(withSeparator(installFolder) + std::u16string(SkinFolder));
}

}  // namespace

std::u16string withSeparator(std::u16string_view folder) {
    std::u16string f(folder);
    if (f.empty() || (f.back() != u'\\' && f.back() != u'/')) f.push_back(platform::pathSeparator());
    return f;
}

std::u16string fileNamePart(std::u16string_view path) {
    size_t cut = path.find_last_of(u"\\/");
    return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

std::vector<std::u16string> listSkinFiles(std::u16string_view folder) { return packageNames(folder, MaxSkinFiles); }

bool loadCurrentSkin(std::u16string_view installFolder, SkinSettings settings, LoadedSkin& skin) {
    skin = LoadedSkin{};
    const std::u16string install = withSeparator(installFolder);
    const std::u16string folder = skinFolderOf(installFolder);
    const std::u16string name = settings.text(SkinSettings::SkinFile, SkinSettings::NameUnits);
    std::u16string path = folder + name;
    if (name.empty() || !platform::fileExists(path)) {
        std::vector<std::u16string> files = listSkinFiles(folder);
        if (!files.empty()) {
            size_t pick = 0;
            if (name == SwitchSkin) {
                const std::u16string last = settings.text(SkinSettings::LastSkinFile, SkinSettings::NameUnits);
                for (size_t i = 0; i < files.size(); ++i) {
                    if (equalNoCase(files[i], last)) {
                        pick = (i + 1) % files.size();
                        break;
                    }
                }
            }
            path = folder + files[pick];
        } else {
            path = install + std::u16string(DefaultPackage);
        }
    }
    if (!loadSkinPackage(path, skin.info, skin.images)) {
        skin = LoadedSkin{};
        return false;
    }
    std::u16string file = fileNamePart(path).substr(0, MaxSkinNameUnits);
    settings.setText(SkinSettings::SkinFile, SkinSettings::NameUnits, file);
    settings.setText(SkinSettings::LastSkinFile, SkinSettings::NameUnits, file);
    return true;
}

bool reloadSkinIfChanged(std::u16string_view installFolder, SkinSettings settings, LoadedSkin& skin) {
    if (!skin.loaded()) return false;
    const std::u16string wanted = settings.text(SkinSettings::SkinFile, SkinSettings::NameUnits);
    if (equalNoCase(fileNamePart(skin.info.packagePath), wanted)) return false;
    loadCurrentSkin(installFolder, settings, skin);
    settings.setI32(SkinSettings::StatusPos, 0);
    settings.setI32(SkinSettings::StatusPos + 4, 0);
    return true;
}

size_t loadSkinList(std::u16string_view installFolder, SkinList& list) {
    list.entries.clear();
    const std::u16string folder = skinFolderOf(installFolder);
    for (const std::u16string& name : packageNames(folder, SIZE_MAX)) {
        LoadedSkin entry;
        if (!loadSkinPackage(folder + name, entry.info, entry.images)) continue;
        list.entries.push_back(std::move(entry));
        if (list.entries.size() == MaxSkinFiles) break;
    }
    if (list.entries.empty()) {
        LoadedSkin entry;
        if (loadSkinPackage(withSeparator(installFolder) + std::u16string(DefaultPackage), entry.info, entry.images))
            list.entries.push_back(std::move(entry));
    }
    return list.entries.size();
}

}  // namespace zv::ui
