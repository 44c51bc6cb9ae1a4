#pragma once
// The input method registered with the system (install step 2 from the
// removal of an earlier registration on): the classic layout before
// Windows 8, the COM class for both bitnesses, the text-service profile
// and its categories; and taken out again, the text service alone (the
// style switch) or with the classic layout (uninstall).

#include <cstdint>
#include <string>

namespace zv::installer::win32 {

struct ServicePlan {
    std::wstring guid;         // braced; the class, the profile and the instance
    uint16_t language = 0;     // the profile's language
    std::wstring description;  // the language name: the profile's and the layout's text
    std::wstring imeFile;      // "<IMEName>.ime"
    std::wstring ime32, ime64; // the installed libraries (ime64 empty without a 64-bit side)
    bool windows8OrLater = true;
    bool enabled = false;         // a text-service style is chosen
    bool installClassic = true;   // the classic layout is (re)installed before Windows 8
};

enum class RegistrationOutcome { Done, ComFailure, Failed };

// What is there from an earlier registration is removed first, so that a
// second run leaves exactly one profile, one layout and one class.
RegistrationOutcome registerInputMethod(const ServicePlan& plan);

// The profile, its categories and the class (both views); the classic
// layout stays.
void removeTextService(const ServicePlan& plan);

// The text service and the classic layout.
void removeInputMethod(const ServicePlan& plan);

}  // namespace zv::installer::win32
