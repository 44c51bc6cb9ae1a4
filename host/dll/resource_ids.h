#pragma once
// Resource numbers of the library, shared by its resource script and code.

#define ZV_STRING_INSTANCE 1  // the instance GUID (also the text service's CLSID)
#define ZV_STRING_PROFILE 3   // the language-profile GUID
