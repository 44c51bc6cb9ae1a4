#pragma once
// The system's list of renames and deletions left for the next start of
// Windows: pairs of paths, each ended by a NUL, "\??\" before a path, an
// empty second path for a deletion. A file the installer writes under a
// name that is to be deleted would vanish at that start, so such a name is
// refused instead.

#include <string>
#include <string_view>
#include <vector>

namespace zv::installer {

// The paths to be deleted, without their "\??\" mark. A list cut short
// keeps the whole pairs before the cut.
std::vector<std::u16string> pendingDeletions(std::u16string_view list);

// Whether the path (compared without regard to case) is one of them.
bool isPendingDeletion(const std::vector<std::u16string>& deletions, std::u16string_view path);

}  // namespace zv::installer
