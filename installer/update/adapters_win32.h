#pragma once
// The network adapters' hardware addresses through IP Helper, in the order
// the system lists the adapters.

#include "installer/update/update_request.h"

#include <vector>

namespace zv::installer {

std::vector<HardwareAddress> systemHardwareAddresses();

}  // namespace zv::installer
