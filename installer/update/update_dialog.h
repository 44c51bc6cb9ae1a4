#pragma once
// The installer's update mode: the dialog that checks for a newer version
// of an installed instance and offers its download.

#include <windows.h>

#include <functional>
#include <string>

namespace zv::installer {

// Shows the update dialog for the instance `guid` (its key under
// "Software\ZorvanIME3" in HKEY_LOCAL_MACHINE) until the user closes it.
// Returns 0, or -1 when the dialog could not be shown.
int runUpdateDialog(HINSTANCE instance, const std::wstring& guid);

// What tests replace: the shell that opens the download address (true when
// it was opened).
struct UpdateDialogHooks {
    std::function<bool(const std::wstring& address)> openAddress;
};
int runUpdateDialog(HINSTANCE instance, const std::wstring& guid, const UpdateDialogHooks& hooks);

// The dialog's controls, for whoever drives it with window messages.
enum UpdateDialogControl : int {
    UpdateBannerId = 1001,
    UpdateLogId = 1002,
    UpdateProgressId = 1003,
    UpdateCheckButtonId = 1004,
};

}  // namespace zv::installer
