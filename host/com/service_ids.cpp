#include "host/com/service_ids.h"

#include "host/dll/module.h"
#include "host/dll/resource_ids.h"

#include <objbase.h>

#include <cstring>

namespace zv::com {

namespace {

constexpr int kGuidUnits = 40;  // a registry-form GUID (38 units) and its terminator fit

GUID guidResource(UINT id) {
    wchar_t text[kGuidUnits] = {};
    GUID g = GUID_NULL;
    if (LoadStringW(host::moduleHandle(), id, text, kGuidUnits) > 0 && FAILED(IIDFromString(text, &g))) g = GUID_NULL;
    return g;
}

}  // namespace

CLSID serviceClassId() { return guidResource(ZV_STRING_INSTANCE); }
GUID profileId() { return guidResource(ZV_STRING_PROFILE); }

namespace ids {

GUID combinationKey(int index) {
    GUID g = CombinationKeyBase;
    g.Data4[7] = static_cast<unsigned char>(index & 0xFF);
    return g;
}

int combinationIndex(REFGUID guid) {
    GUID base = guid;
    base.Data4[7] = 0;
    return IsEqualGUID(base, CombinationKeyBase) ? guid.Data4[7] : -1;
}

}  // namespace ids

}  // namespace zv::com
