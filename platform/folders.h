#pragma once
// Folders of the user that the tools write into.

#include <string>
#include <string_view>

namespace zv::platform {

// The separator of paths on this system.
char16_t pathSeparator();
// The user's temporary folder, ending in a separator.
std::u16string tempFolder();
// The user's Documents folder, ending in a separator.
std::u16string documentsFolder();
// Creates a folder and any missing parents; true when it exists afterwards.
bool makeDirectories(std::u16string_view path);

}  // namespace zv::platform
