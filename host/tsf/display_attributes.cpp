#include "host/tsf/display_attributes.h"

#include "host/com/com_ptr.h"
#include "host/com/service_ids.h"
#include "host/com/com_object.h"
#include "host/tsf/text_service.h"

#include <new>

namespace zv::tsf {

namespace {

constexpr TF_DA_COLOR kNoColour = {TF_CT_NONE, {0}};

constexpr TF_DISPLAYATTRIBUTE attribute(TF_DA_LINESTYLE line, TF_DA_ATTR_INFO info) {
    TF_DISPLAYATTRIBUTE a{};
    a.crText = kNoColour;
    a.crBk = kNoColour;
    a.lsStyle = line;
    a.fBoldLine = FALSE;
    a.crLine = kNoColour;
    a.bAttr = info;
    return a;
}

const AttributeKind kKinds[kAttributeKinds] = {
    {&com::ids::AttributeInput, L"TextService Display Attribute Input", L"DisplayAttributeInput",
     attribute(TF_LS_DOT, TF_ATTR_INPUT)},
    {&com::ids::AttributeConverted, L"TextService Display Attribute Converted", L"DisplayAttributeConverted",
     attribute(TF_LS_SOLID, TF_ATTR_TARGET_CONVERTED)},
    {&com::ids::AttributeNone, L"TextService Display Attribute None", L"DisplayAttributeNone",
     attribute(TF_LS_DOT, TF_ATTR_INPUT)},
};

class AttributeInfo final : public com::SingleInterface<ITfDisplayAttributeInfo> {
public:
    explicit AttributeInfo(int index) : SingleInterface(IID_ITfDisplayAttributeInfo), kind_(kKinds[index]) {}

    STDMETHODIMP GetGUID(GUID* guid) noexcept override {
        if (!guid) return E_INVALIDARG;
        *guid = *kind_.guid;
        return S_OK;
    }
    STDMETHODIMP GetDescription(BSTR* description) noexcept override {
        if (!description) return E_INVALIDARG;
        *description = SysAllocString(kind_.description);
        return *description ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP GetAttributeInfo(TF_DISPLAYATTRIBUTE* value) noexcept override {
        if (!value) return E_INVALIDARG;
        TF_DISPLAYATTRIBUTE stored{};
        DWORD size = sizeof stored;
        DWORD type = 0;
        HKEY key = nullptr;
        bool ok = RegOpenKeyExW(HKEY_CURRENT_USER, kAttributeKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (ok) {
            // Only a value of exactly the record's size is the user's.
            ok = RegQueryValueExW(key, kind_.valueName, nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size) ==
                     ERROR_SUCCESS &&
                 size == sizeof stored;
            RegCloseKey(key);
        }
        *value = ok ? stored : kind_.fallback;
        return S_OK;
    }
    STDMETHODIMP SetAttributeInfo(const TF_DISPLAYATTRIBUTE* value) noexcept override {
        if (!value) return E_INVALIDARG;
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kAttributeKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return E_FAIL;
        const LONG written = RegSetValueExW(key, kind_.valueName, 0, REG_BINARY,
                                            reinterpret_cast<const BYTE*>(value), sizeof *value);
        RegCloseKey(key);
        return written == ERROR_SUCCESS ? S_OK : E_FAIL;
    }
    STDMETHODIMP Reset() noexcept override { return SetAttributeInfo(&kind_.fallback); }

private:
    const AttributeKind& kind_;
};

class AttributeEnumerator final : public com::SingleInterface<IEnumTfDisplayAttributeInfo> {
public:
    explicit AttributeEnumerator(ULONG position)
        : SingleInterface(IID_IEnumTfDisplayAttributeInfo), position_(position) {}

    STDMETHODIMP Clone(IEnumTfDisplayAttributeInfo** copy) noexcept override {
        return newAttributeEnumerator(position_, copy);
    }
    STDMETHODIMP Next(ULONG count, ITfDisplayAttributeInfo** infos, ULONG* fetched) noexcept override {
        if (fetched) *fetched = 0;
        if (count == 0) return S_OK;
        if (!infos || (count > 1 && !fetched)) return E_INVALIDARG;
        ULONG given = 0;
        while (given < count && position_ < kAttributeKinds) {
            const HRESULT hr = newAttributeInfo(static_cast<int>(position_), &infos[given]);
            if (FAILED(hr)) {
                while (given > 0) infos[--given]->Release();
                return hr;
            }
            ++given;
            ++position_;
        }
        if (fetched) *fetched = given;
        return given == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() noexcept override {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Skip(ULONG count) noexcept override {
        // Moves past as many as are left; S_FALSE when fewer were.
        const ULONG left = kAttributeKinds - position_;
        const ULONG moved = count < left ? count : left;
        position_ += moved;
        return moved == count ? S_OK : S_FALSE;
    }

private:
    ULONG position_;
};

}  // namespace

const AttributeKind& attributeKind(int index) { return kKinds[index]; }

int attributeIndex(REFGUID guid) {
    for (int i = 0; i < kAttributeKinds; ++i)
        if (IsEqualGUID(guid, *kKinds[i].guid)) return i;
    return -1;
}

HRESULT newAttributeInfo(int index, ITfDisplayAttributeInfo** info) {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    if (index < 0 || index >= kAttributeKinds) return E_INVALIDARG;
    auto* made = new (std::nothrow) AttributeInfo(index);
    if (!made) return E_OUTOFMEMORY;
    *info = made;
    return S_OK;
}

HRESULT newAttributeEnumerator(ULONG position, IEnumTfDisplayAttributeInfo** enumerator) {
    if (!enumerator) return E_INVALIDARG;
    *enumerator = nullptr;
    auto* made = new (std::nothrow) AttributeEnumerator(position);
    if (!made) return E_OUTOFMEMORY;
    *enumerator = made;
    return S_OK;
}

// ---- The service's side: the provider and the atoms ------------------------------

STDMETHODIMP TextService::EnumDisplayAttributeInfo(IEnumTfDisplayAttributeInfo** enumerator) noexcept {
    return newAttributeEnumerator(0, enumerator);
}

STDMETHODIMP TextService::GetDisplayAttributeInfo(REFGUID guid, ITfDisplayAttributeInfo** info) noexcept {
    if (!info) return E_INVALIDARG;
    *info = nullptr;
    const int index = attributeIndex(guid);
    return index < 0 ? E_INVALIDARG : newAttributeInfo(index, info);
}

void TextService::registerAttributeAtoms() {
    com::ComPtr<ITfCategoryMgr> categories;
    if (FAILED(CoCreateInstance(CLSID_TF_CategoryMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfCategoryMgr,
                                categories.putVoid())) ||
        !categories)
        return;
    for (int i = 0; i < kAttributeKinds; ++i)
        if (FAILED(categories->RegisterGUID(*kKinds[i].guid, &atoms_[static_cast<size_t>(i)]))) return;
    atomsRegistered_ = true;
}

void TextService::setAttribute(TfEditCookie ec, ITfContext* context, ITfRange* range, Attribute which) {
    if (!atomsRegistered_) return;
    com::ComPtr<ITfProperty> property;
    if (FAILED(context->GetProperty(tsf_guid::PropAttribute, property.put())) || !property) return;
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = static_cast<LONG>(atoms_[static_cast<size_t>(which)]);
    property->SetValue(ec, range, &v);
}

void TextService::clearAttribute(TfEditCookie ec, ITfContext* context, ITfRange* range) {
    com::ComPtr<ITfProperty> property;
    if (FAILED(context->GetProperty(tsf_guid::PropAttribute, property.put())) || !property) return;
    property->Clear(ec, range);
}

}  // namespace zv::tsf
