#include "installer/update/adapters_win32.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <vector>

namespace zv::installer {

std::vector<HardwareAddress> systemHardwareAddresses() {
    std::vector<HardwareAddress> out;
    // The list can grow between the size query and the read; a few tries.
    ULONG size = 16 * sizeof(IP_ADAPTER_INFO);
    std::vector<unsigned char> buffer;
    DWORD status = ERROR_BUFFER_OVERFLOW;
    for (int attempt = 0; attempt < 4 && status == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.assign(size, 0);
        status = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    }
    if (status != NO_ERROR) return out;
    for (auto* a = reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()); a; a = a->Next) {
        UINT length = a->AddressLength < MAX_ADAPTER_ADDRESS_LENGTH ? a->AddressLength : MAX_ADAPTER_ADDRESS_LENGTH;
        out.emplace_back(a->Address, a->Address + length);
    }
    return out;
}

}  // namespace zv::installer
