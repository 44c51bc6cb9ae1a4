#pragma once
// What every fuzz target shares: the input as the text a user's file would
// give (read the way the configuration program reads text files), and a cap
// on how many records a target walks so that one input stays fast.

#include "config/text_file.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zv::fuzz {

inline std::string_view bytesOf(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// UTF-8 with or without a mark, UTF-16 with a mark, else the ANSI code page.
inline std::u16string textOf(const uint8_t* data, size_t size) {
    return config::decodeText(bytesOf(data, size)).text;
}

constexpr uint32_t MaxWalk = 4096;

}  // namespace zv::fuzz
