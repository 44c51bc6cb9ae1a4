#pragma once
// The library's version, as its version resource states it.

#define ZV_VERSION_MAJOR 3
#define ZV_VERSION_MINOR 0
#define ZV_VERSION_PATCH 0
#define ZV_VERSION_BUILD 1
#define ZV_VERSION_TEXT "3.0.0.1"
