#pragma once
// The classic (IMM32) side of the input method: its keyboard layout
// installed, found again by the file it names, and removed with every
// trace the system keeps of it: the users' Preload and Substitutes values,
// the layout keys of both control sets, the loaded layout itself.

#include <windows.h>

#include <string>
#include <vector>

namespace zv::installer::win32 {

// The layouts ("E0200804") whose input-method file is `imeFile` (a bare
// file name, "VoraZerevo86.ime"): registered ones and loaded ones alike.
std::vector<std::wstring> layoutsOf(const std::wstring& imeFile);

// Removes those layouts; every other layout and list value stays. Programs
// are told that the Preload list changed. True when there was one.
bool removeKeyboardLayouts(const std::wstring& imeFile);

// The layout of a newly installed classic input method, or nullptr.
HKL installKeyboardLayout(const std::wstring& imePath, const std::wstring& layoutText);

// The layout handle a layout name stands for.
HKL layoutHandle(const std::wstring& layout);

}  // namespace zv::installer::win32
