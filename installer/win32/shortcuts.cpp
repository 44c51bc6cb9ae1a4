#include "installer/win32/shortcuts.h"

#include "host/com/com_ptr.h"
#include "installer/win32/files.h"
#include "installer/win32/wide.h"

#include <objbase.h>
#include <shlobj.h>

namespace zv::installer::win32 {

bool createShortcuts(const std::u16string& menuFolder, const std::vector<Shortcut>& shortcuts) {
    if (!makeFolders(wide(menuFolder))) return false;
    bool ok = true;
    for (const Shortcut& s : shortcuts) {
        com::ComPtr<IShellLinkW> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                    link.putVoid()))) {
            ok = false;
            continue;
        }
        const std::wstring target = wide(s.target);
        link->SetPath(target.c_str());
        link->SetArguments(wide(s.arguments).c_str());
        link->SetDescription(wide(s.description).c_str());
        link->SetWorkingDirectory(target.substr(0, target.find_last_of(L'\\') + 1).c_str());
        com::ComPtr<IPersistFile> file = link.as<IPersistFile>();
        ok = file && SUCCEEDED(file->Save(wide(s.file).c_str(), TRUE)) && ok;
    }
    SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW, wide(menuFolder).c_str(), nullptr);
    return ok;
}

void removeShortcuts(const std::u16string& menuFolder) {
    removeTree(wide(menuFolder));
    SHChangeNotify(SHCNE_RMDIR, SHCNF_PATHW, wide(menuFolder).c_str(), nullptr);
}

}  // namespace zv::installer::win32
