#pragma once
// Folders: the user's folders that the tools write into, creating and
// listing folders, file sizes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::platform {

// The separator of paths on this system.
char16_t pathSeparator();
// The user's temporary folder, ending in a separator.
std::u16string tempFolder();
// The user's Documents folder, ending in a separator.
std::u16string documentsFolder();
// Creates a folder and any missing parents; true when it exists afterwards.
bool makeDirectories(std::u16string_view path);

struct FolderEntry {
    std::u16string name;
    bool isFolder = false;
};

// The entries of a folder ("." and ".." included when the system lists
// them). Windows lists in its own order; elsewhere the names are sorted so
// that the order is as stable as on NTFS. Empty when the folder cannot be read.
std::vector<FolderEntry> listFolder(std::u16string_view folder);

// The size of a file in bytes, or -1 when it cannot be read (or is a folder).
int64_t fileSize(std::u16string_view path);

}  // namespace zv::platform
