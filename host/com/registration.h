#pragma once
// Registration of the text service with the system, as the installer does
// it: the COM class and its library, the language profile (enabled for the
// user, which the system does not do by itself), and the categories the
// service implements, no more. Unregistering removes every key of the
// service again.

#include <windows.h>

#include <string>

namespace zv::com {

struct ServiceRegistration {
    CLSID service;
    GUID profile;
    LANGID language;
    std::wstring library;      // the full path of the library
    std::wstring description;  // the name the system lists
    int iconIndex = 0;
};

// S_OK when every step succeeded; a failure undoes what was done.
HRESULT registerService(const ServiceRegistration& r);
HRESULT unregisterService(const ServiceRegistration& r);

// The categories the service implements (and registers).
extern const GUID* const kServiceCategories[];
extern const size_t kServiceCategoryCount;

}  // namespace zv::com
