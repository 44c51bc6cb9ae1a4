#pragma once
// File operations of the installer: whole-file reads and writes, folder
// trees, the access list that lets sandboxed applications load the input
// method, and the version a program or library carries.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zv::installer::win32 {

bool fileExists(const std::wstring& path);
bool folderExists(const std::wstring& path);
std::optional<std::vector<uint8_t>> readWholeFile(const std::wstring& path);
bool writeWholeFile(const std::wstring& path, const uint8_t* data, size_t size);
inline bool writeWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    return writeWholeFile(path, bytes.data(), bytes.size());
}

// Creates the folder and every missing parent.
bool makeFolders(const std::wstring& path);
// Deletes a folder with everything in it (read-only files too). True when
// it is gone.
bool removeTree(const std::wstring& path);
// The files below a folder, as paths relative to it.
std::vector<std::wstring> filesBelow(const std::wstring& folder);
// A folder holding no entries at all.
bool folderIsEmpty(const std::wstring& path);

// Adds read-and-execute entries for "Everyone" and "ALL APPLICATION
// PACKAGES" to the file's or folder's access list (a folder's are
// inherited by what it holds).
bool grantApplicationAccess(const std::wstring& path);

// The file version of a program or library (four 16-bit parts), 0 without one.
uint64_t fileVersion(const std::wstring& path);

// The short (8.3) form of a path when the volume has one, else the path.
std::wstring shortPath(const std::wstring& path);

}  // namespace zv::installer::win32
