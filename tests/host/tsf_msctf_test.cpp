// The text service with wine's own framework: registered as the installer
// registers it, its language profile enabled and activated, the thread
// manager activated (which activates the service) and deactivated, then
// unregistered without a key left behind. Runs with LC_ALL=zh_CN.UTF-8, so
// that the profile's language is the current one.

#include "engine/config_store.h"
#include "host/com/registration.h"
#include "host/com/tsf_declarations.h"
#include "tests/host/service_data.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <msctf.h>

namespace zv::test {
namespace {

constexpr CLSID kServiceClass = {0x6F3A8E21, 0x5C4B, 0x4D97, {0xA1, 0xE0, 0x2B, 0x7C, 0x9D, 0x4F, 0x8A, 0x63}};
constexpr LANGID kChinese = 0x0804;
// The service's Shift+Space preserved key (the installer's table).
constexpr GUID kFullWidthKey = {0x3b8c2f60, 0x1a4d, 0x4e77, {0x9c, 0x05, 0x6e, 0x21, 0xb8, 0x4a, 0x00, 0x01}};

bool keyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

LONG compartmentValue(ITfThreadMgr* thread, REFGUID guid) {
    ITfCompartmentMgr* manager = nullptr;
    ITfCompartment* compartment = nullptr;
    LONG value = -1;
    if (SUCCEEDED(thread->QueryInterface(IID_ITfCompartmentMgr, reinterpret_cast<void**>(&manager)))) {
        if (SUCCEEDED(manager->GetCompartment(guid, &compartment))) {
            VARIANT v;
            VariantInit(&v);
            if (SUCCEEDED(compartment->GetValue(&v)) && v.vt == VT_I4) value = v.lVal;
            compartment->Release();
        }
        manager->Release();
    }
    return value;
}

TEST(RealFramework, RegistersActivatesDeactivatesAndUnregistersTheService) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        ServiceData data;
        // The combination keys on (the shipped settings turn them off).
        SettingsBlocks blocks = data.fx.blocks();
        blocks.ime.setU32(ImeSettings::OptionA, blocks.ime.a() & ~ImeSettings::A_NoHotKeys);
        data.fx.writeConfig();
        const com::ServiceRegistration registration{kServiceClass, kServiceClass, kChinese,
                                                    folderOfThisProgram() + kImeFile, L"佐文五笔", 0};
        ASSERT_EQ(S_OK, com::registerService(registration));
        wchar_t guid[40] = {};
        StringFromGUID2(kServiceClass, guid, 40);
        const std::wstring tip = std::wstring(L"Software\\Microsoft\\CTF\\TIP\\") + guid;
        EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, tip));
        EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + guid + L"\\InprocServer32"));

        ITfInputProcessorProfiles* profiles = nullptr;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TF_InputProcessorProfiles, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_ITfInputProcessorProfiles, reinterpret_cast<void**>(&profiles)));
        LANGID current = 0;
        profiles->GetCurrentLanguage(&current);
        ASSERT_EQ(kChinese, current) << "run with LC_ALL=zh_CN.UTF-8";
        BOOL enabled = FALSE;
        EXPECT_EQ(S_OK, profiles->IsEnabledLanguageProfile(kServiceClass, kChinese, kServiceClass, &enabled));
        EXPECT_TRUE(enabled);

        ITfThreadMgr* thread = nullptr;
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_TF_ThreadMgr, nullptr, CLSCTX_INPROC_SERVER, IID_ITfThreadMgr,
                                         reinterpret_cast<void**>(&thread)));
        ASSERT_EQ(S_OK, profiles->ActivateLanguageProfile(kServiceClass, kChinese, kServiceClass));
        TfClientId client = 0;
        ASSERT_EQ(S_OK, thread->Activate(&client));

        // The service ran its activation: the library is loaded, its
        // service lives, the keyboard is open in Chinese and Shift+Space is
        // preserved.
        HMODULE library = GetModuleHandleW(kImeFile);
        ASSERT_NE(nullptr, library);
        auto canUnload =
            reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(library, "DllCanUnloadNow")));
        ASSERT_NE(nullptr, canUnload);
        EXPECT_EQ(S_FALSE, canUnload());
        EXPECT_EQ(1, compartmentValue(thread, GUID_COMPARTMENT_KEYBOARD_OPENCLOSE));
        EXPECT_TRUE(compartmentValue(thread, zv::tsf_guid::KeyboardInputModeConversion) & TF_CONVERSIONMODE_NATIVE);
        ITfKeystrokeMgr* keys = nullptr;
        ASSERT_EQ(S_OK, thread->QueryInterface(IID_ITfKeystrokeMgr, reinterpret_cast<void**>(&keys)));
        const TF_PRESERVEDKEY shiftSpace{VK_SPACE, TF_MOD_SHIFT};
        BOOL preserved = FALSE;
        EXPECT_EQ(S_OK, keys->IsPreservedKey(kFullWidthKey, &shiftSpace, &preserved));
        EXPECT_TRUE(preserved);

        EXPECT_EQ(S_OK, thread->Deactivate());
        // The service's deactivation gave its keys back.
        preserved = TRUE;
        keys->IsPreservedKey(kFullWidthKey, &shiftSpace, &preserved);
        EXPECT_FALSE(preserved);
        keys->Release();
        thread->Release();
        profiles->Release();

        EXPECT_EQ(S_OK, com::unregisterService(registration));
        EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, tip));
        EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, tip));
        EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + guid));
    }
    CoUninitialize();
}

}  // namespace
}  // namespace zv::test
