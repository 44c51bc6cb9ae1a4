// Zips skins into packages.
//
//   mkskin FOLDER PACKAGE.col            one skin folder into one package
//   mkskin --install SKINS INSTALLDIR    the shipped skins of SKINS (one
//                                        folder each) into an installation
//                                        folder: skin.col and zoruraved/

#include "platform/utf.h"
#include "ui/skin_package.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    using zv::utf8ToUtf16;
    if (argc == 4 && std::string(argv[1]) == "--install") {
        if (!zv::ui::installSkinPackages(utf8ToUtf16(argv[2]), utf8ToUtf16(argv[3]))) {
            std::fprintf(stderr, "mkskin: cannot install the skins of %s into %s\n", argv[2], argv[3]);
            return 1;
        }
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkskin FOLDER PACKAGE.col | mkskin --install SKINS INSTALLDIR\n");
        return 2;
    }
    if (!zv::ui::zipSkinFolder(utf8ToUtf16(argv[1]), utf8ToUtf16(argv[2]))) {
        std::fprintf(stderr, "mkskin: cannot zip %s (no skin.ini?) into %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
