#pragma once
// Building the default data folder: config.dsc, main.dmg (our macro entries,
// the Haifeng table and pinyin entries, through the configuration program's
// builder), danzi.dmi, sysl.dmg, engl.dmg, traditional.dms, simplified.dms
// and temp.dmg; every file is checked at the end. The shipped skins go to
// the installation folder.

#include <iosfwd>
#include <string>

namespace zv::mkdata {

struct FolderSources {
    std::string out = "build/data";
    std::string db = "/usr/share/ibus-table/tables/wubi-haifeng86.db";
    std::string words = "/usr/share/dict/words";
    std::string opencc = "/usr/share/opencc";
    std::string macros;    // resources/tables/macros.txt
    std::string skins;     // resources/skins: zipped into skin.col and zoruraved/ (none when empty)
    std::string keepText;  // where to keep the generated main table text, if anywhere
    std::string name;      // instance name for the registration
    std::string install;   // install folder for the registration (default: out)
    bool registerInstance = false;
};

// 0 on success; 1 with messages on err otherwise.
int buildDataFolder(const FolderSources& sources, std::ostream& out, std::ostream& err);

}  // namespace zv::mkdata
