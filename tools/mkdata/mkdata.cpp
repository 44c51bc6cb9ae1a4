// mkdata: builds the default data folder from dictionaries that Debian
// packages ship (the Haifeng Wubi 86 table of ibus-table-wubi, OpenCC's
// conversion dictionaries, the wamerican word list) and our own macro
// entries. Nothing of those dictionaries is kept in the repository.

#include "config/data_folder.h"
#include "platform/utf.h"
#include "tools/mkdata/data_folder_builder.h"

#include <iostream>
#include <string>

namespace {

using zv::mkdata::FolderSources;

void usage() {
    std::cerr << "用法: mkdata [--out DIR] [--db FILE] [--words FILE] [--opencc DIR] [--macros FILE]\n"
                 "              [--skins DIR] [--keep-text FILE] [--name NAME] [--install DIR] [--register]\n";
}

bool parseArgs(int argc, char** argv, FolderSources& a) {
    for (int i = 1; i < argc; ++i) {
        std::string k = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        bool ok = true;
        if (k == "--out") ok = value(a.out);
        else if (k == "--db") ok = value(a.db);
        else if (k == "--words") ok = value(a.words);
        else if (k == "--opencc") ok = value(a.opencc);
        else if (k == "--macros") ok = value(a.macros);
        else if (k == "--skins") ok = value(a.skins);
        else if (k == "--keep-text") ok = value(a.keepText);
        else if (k == "--name") ok = value(a.name);
        else if (k == "--install") ok = value(a.install);
        else if (k == "--register") a.registerInstance = true;
        else ok = false;
        if (!ok) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    FolderSources a;
    a.macros = ZV_SOURCE_DIR "/resources/tables/macros.txt";
    a.skins = ZV_SOURCE_DIR "/resources/skins";
    a.name = zv::utf16ToUtf8(zv::kDefaultImeName);
    if (!parseArgs(argc, argv, a)) {
        usage();
        return 2;
    }
    return zv::mkdata::buildDataFolder(a, std::cout, std::cerr);
}
