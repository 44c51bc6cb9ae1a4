#pragma once
// The question sent to the update server: the address template of the
// instance with its placeholders filled in, and the rule for the download
// address the server answers with.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zv::installer {

// One network adapter's hardware address, in the order the system lists them.
using HardwareAddress = std::vector<uint8_t>;

// The instance GUID as the server knows it: without "{", "}" and "-", in
// upper case.
std::u16string compactGuid(std::u16string_view guid);

// Every adapter's address bytes, each written with "%2x" (two characters, a
// blank in place of a leading zero).
std::string hardwareAddressText(const std::vector<HardwareAddress>& adapters);

// The MD5 of that text; empty when the system lists no adapter, so that the
// server sees "unknown" rather than the digest of nothing.
std::u16string adapterDigest(const std::vector<HardwareAddress>& adapters);

struct RequestValues {
    std::u16string version;  // the installed "DisplayVersion"
    std::u16string guid;     // the instance GUID in any form
    std::u16string macDigest;
};

// The version sent when the installed one has no text: the lowest, so that
// the server offers its newest.
inline constexpr std::u16string_view UnknownVersion = u"0.0.0.0";

// The template with every "{version}", "{guid}" and "{macaddr}" replaced.
std::u16string expandUpdateUrl(std::u16string_view urlTemplate, const RequestValues& values);

// The address the shell opens: a web or FTP address as it is, anything else
// as "http://" followed by it, so that a server's answer can never name a
// program or a file on this computer.
std::u16string downloadAddress(std::u16string_view url);

}  // namespace zv::installer
