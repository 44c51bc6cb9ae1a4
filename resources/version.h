#pragma once
// The product's version: every program and library of a release states
// this one in its version resource, and the installer compares these when
// a file of an earlier release is found in the way.

#define ZV_VERSION_MAJOR 3
#define ZV_VERSION_MINOR 0
#define ZV_VERSION_PATCH 0
#define ZV_VERSION_BUILD 1
#define ZV_VERSION_TEXT "3.0.0.1"
