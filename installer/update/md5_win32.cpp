// Windows hashes with its own cryptography service (CNG).
#include "installer/update/md5.h"

#include <windows.h>
#include <bcrypt.h>

#include <memory>

namespace zv::installer {
namespace {

struct AlgorithmCloser {
    void operator()(void* a) const { BCryptCloseAlgorithmProvider(a, 0); }
};
struct HashCloser {
    void operator()(void* h) const { BCryptDestroyHash(h); }
};

constexpr ULONG kDigestBytes = 16;

bool succeeded(NTSTATUS status) { return status >= 0; }

}  // namespace

std::string md5Hex(std::string_view bytes) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_MD5_ALGORITHM, nullptr, 0))) return {};
    std::unique_ptr<void, AlgorithmCloser> algorithmOwner(algorithm);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!succeeded(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) return {};
    std::unique_ptr<void, HashCloser> hashOwner(hash);
    // BCryptHashData takes a ULONG length; feed long inputs in pieces.
    constexpr size_t kPiece = 1u << 30;
    for (size_t at = 0; at < bytes.size(); at += kPiece) {
        size_t n = bytes.size() - at < kPiece ? bytes.size() - at : kPiece;
        auto* p = reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data() + at));
        if (!succeeded(BCryptHashData(hash, p, static_cast<ULONG>(n), 0))) return {};
    }
    UCHAR digest[kDigestBytes];
    if (!succeeded(BCryptFinishHash(hash, digest, kDigestBytes, 0))) return {};
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (UCHAR b : digest) {
        out += kHex[b >> 4];
        out += kHex[b & 0xF];
    }
    return out;
}

}  // namespace zv::installer
