#pragma once
// Opening an engine for a desktop adapter, with the services of this
// system that every engine of the process shares.

#include "engine/host.h"

#include <string>

namespace zv::desktop {

// The data folder given, or the folder of this product's registered
// instance when it is empty; null when it cannot be opened.
Engine openDesktopEngine(const std::string& dataFolder);

}  // namespace zv::desktop
