// The install, repair and uninstall dialogs: a welcome line and a hint, for
// installing the folder edit and the licence choice, one button, a progress
// bar and a read-only log the steps write into.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace zv::installer::win32 {

// Control identifiers, also what a test driving the dialog looks for.
enum StepDialogControl : int {
    StepActionButton = IDOK,
    StepWelcomeId = 101,
    StepHintId,
    StepFolderId,
    StepBrowseId,
    StepAgreeId,
    StepRefuseId,
    StepProgressId,
    StepLogId,
};

struct StepDialogSetup {
    std::wstring title;
    std::wstring welcome;
    std::wstring hint;
    std::wstring action;       // "安装(&I)", "修复(&R)", "卸载(&U)"
    std::wstring doneHint;     // shown once the steps have run, may be empty
    bool choosesFolder = false;  // the install folder edit, "浏览(&B)" and the licence choice
    std::wstring folder;
};

// What the steps see of the dialog while they run on its thread.
class StepReport {
public:
    virtual ~StepReport() = default;
    // Writes the line into the log, moves the bar and lets the window paint.
    virtual void step(int percent, const std::wstring& line) = 0;
    virtual void pause(DWORD milliseconds) = 0;
    virtual HWND owner() const = 0;
    virtual std::wstring folder() const = 0;
};

// How the steps ended; NotStarted means the user turned back before the
// first step, and the button stays for another try.
enum class StepOutcome { Done, Failed, NotStarted };
using StepWork = std::function<StepOutcome(StepReport&)>;

// Shows the dialog until it is closed; 0 when the steps ran and succeeded.
int runStepDialog(const StepDialogSetup& setup, const StepWork& work);

}  // namespace zv::installer::win32
