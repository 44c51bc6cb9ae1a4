#pragma once
// The MD5 digest (RFC 1321) that the update request carries in place of the
// computer's adapter addresses, so that the server can count computers
// without learning their addresses.

#include <string>
#include <string_view>

namespace zv::installer {

// The digest of the bytes as 32 lower-case hexadecimal digits.
std::string md5Hex(std::string_view bytes);

}  // namespace zv::installer
