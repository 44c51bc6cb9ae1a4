#pragma once
// Registration of the text service with the system, as the installer does
// it: the COM class and its library, the language profile (enabled for the
// user, which the system does not do by itself, only when a text-service
// style is chosen), the classic layout it stands in for, and the
// categories the service implements, no more. Unregistering removes every
// key of the service again.

#include <windows.h>

#include <string>
#include <vector>

namespace zv::com {

struct ServiceRegistration {
    CLSID service;
    GUID profile;
    LANGID language;
    std::wstring library;      // the full path of the library
    std::wstring description;  // the name the system lists
    int iconIndex = 0;
    // The profile is listed and chosen by default; otherwise it is
    // registered but stays off until a text-service style is chosen.
    bool enabled = true;
    // The classic input method's layout the profile stands in for; none
    // where no classic one is installed (Windows 8 and later).
    HKL substitute = nullptr;
    // Windows 8 and later run text services in immersive applications.
    bool windows8OrLater = true;
};

// S_OK when every step succeeded; a failure undoes what was done.
HRESULT registerService(const ServiceRegistration& r);
HRESULT unregisterService(const ServiceRegistration& r);

// The categories registered for the service on a system of that version.
std::vector<GUID> serviceCategories(bool windows8OrLater);
// Every category any version of the installer registered, all removed on
// unregistering, so an earlier registration leaves none behind.
extern const GUID* const kEveryServiceCategory[];
extern const size_t kEveryServiceCategoryCount;

}  // namespace zv::com
