#pragma once
// The display attributes that tell an application how to draw the text of a
// composition: the typed code, the converted text, and none. A user may
// change each in the registry; a value of any other size than the
// platform's record is ignored.

#include "host/com/object_count.h"
#include "host/com/tsf_declarations.h"

namespace zv::tsf {

struct AttributeKind {
    const GUID* guid;
    const wchar_t* description;
    const wchar_t* valueName;
    TF_DISPLAYATTRIBUTE fallback;
};
constexpr int kAttributeKinds = 3;
const AttributeKind& attributeKind(int index);
// The index of the attribute a GUID names, or -1.
int attributeIndex(REFGUID guid);

// Where the user's attribute values live (HKEY_CURRENT_USER).
constexpr wchar_t kAttributeKey[] = L"Software\\Zorvan Text Service";

HRESULT newAttributeInfo(int index, ITfDisplayAttributeInfo** info);
HRESULT newAttributeEnumerator(ULONG position, IEnumTfDisplayAttributeInfo** enumerator);

}  // namespace zv::tsf
