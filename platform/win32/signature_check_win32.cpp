#include "platform/win32/signature_check_win32.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace marvolt {

namespace {

constexpr DWORD kSignatureSize = 64;
constexpr DWORD kDigestSize = 32;

// The CNG calls this check needs, found in bcrypt.dll at run time.
struct Cng {
    decltype(&::BCryptOpenAlgorithmProvider) open = nullptr;
    decltype(&::BCryptCloseAlgorithmProvider) close = nullptr;
    decltype(&::BCryptCreateHash) createHash = nullptr;
    decltype(&::BCryptHashData) hashData = nullptr;
    decltype(&::BCryptFinishHash) finishHash = nullptr;
    decltype(&::BCryptDestroyHash) destroyHash = nullptr;
    decltype(&::BCryptImportKeyPair) importKey = nullptr;
    decltype(&::BCryptDestroyKey) destroyKey = nullptr;
    decltype(&::BCryptVerifySignature) verify = nullptr;

    bool Load() {
        HMODULE module = ::LoadLibraryW(L"bcrypt.dll");
        if (!module) return false;
        return Get(module, open, "BCryptOpenAlgorithmProvider") && Get(module, close, "BCryptCloseAlgorithmProvider") &&
               Get(module, createHash, "BCryptCreateHash") && Get(module, hashData, "BCryptHashData") &&
               Get(module, finishHash, "BCryptFinishHash") && Get(module, destroyHash, "BCryptDestroyHash") &&
               Get(module, importKey, "BCryptImportKeyPair") && Get(module, destroyKey, "BCryptDestroyKey") &&
               Get(module, verify, "BCryptVerifySignature");
    }
    template <typename F>
    static bool Get(HMODULE module, F& function, const char* name) {
        function = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
        return function != nullptr;
    }
};

// Each CNG object is released by its own call, on every path.
struct Provider {
    const Cng& cng;
    BCRYPT_ALG_HANDLE handle = nullptr;
    ~Provider() {
        if (handle) cng.close(handle, 0);
    }
};

bool ReadWhole(const std::u16string& path, std::vector<unsigned char>& bytes, DWORD limit) {
    UniqueFile file(::CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart > limit) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() || (::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                             read == bytes.size());
}

bool Digest(const Cng& cng, const std::u16string& path, unsigned char (&digest)[kDigestSize]) {
    Provider sha{cng};
    if (cng.open(&sha.handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return false;
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (cng.createHash(sha.handle, &hash, nullptr, 0, nullptr, 0, 0) != 0) return false;
    UniqueFile file(::CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    bool ok = static_cast<bool>(file);
    std::vector<unsigned char> chunk(65536);
    for (DWORD read = 0; ok;) {
        ok = ::ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) != 0;
        if (!ok || read == 0) break;
        ok = cng.hashData(hash, chunk.data(), read, 0) == 0;
    }
    ok = ok && cng.finishHash(hash, digest, kDigestSize, 0) == 0;
    cng.destroyHash(hash);
    return ok;
}

}  // namespace

SignatureVerdict VerifyFileSignature(const std::u16string& file, const std::u16string& signatureFile,
                                     const PublicKey& key) {
    Cng cng;
    if (!cng.Load()) return SignatureVerdict::Unavailable;
    std::vector<unsigned char> signature;
    if (!ReadWhole(signatureFile, signature, kSignatureSize) || signature.size() != kSignatureSize)
        return SignatureVerdict::Invalid;
    unsigned char digest[kDigestSize];
    if (!Digest(cng, file, digest)) return SignatureVerdict::Invalid;

    Provider ecdsa{cng};
    if (cng.open(&ecdsa.handle, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != 0) return SignatureVerdict::Unavailable;
    unsigned char blob[sizeof(BCRYPT_ECCKEY_BLOB) + sizeof(PublicKey)];
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32};
    std::memcpy(blob, &header, sizeof(header));
    std::memcpy(blob + sizeof(header), key, sizeof(PublicKey));
    BCRYPT_KEY_HANDLE publicKey = nullptr;
    if (cng.importKey(ecdsa.handle, nullptr, BCRYPT_ECCPUBLIC_BLOB, &publicKey, blob, sizeof(blob), 0) != 0)
        return SignatureVerdict::Unavailable;
    NTSTATUS status = cng.verify(publicKey, nullptr, digest, kDigestSize, signature.data(), kSignatureSize, 0);
    cng.destroyKey(publicKey);
    return status == 0 ? SignatureVerdict::Valid : SignatureVerdict::Invalid;
}

bool IsProgramForThisMachine(const std::u16string& file) {
#ifdef _WIN64
    constexpr WORD kMachine = IMAGE_FILE_MACHINE_AMD64;
#else
    constexpr WORD kMachine = IMAGE_FILE_MACHINE_I386;
#endif
    UniqueFile handle(::CreateFileW(Wide(file), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    // On the heap, as every buffer of a page or more: no stack probes.
    constexpr DWORD kHead = 4096;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kHead]);
    unsigned char* head = buffer.get();
    DWORD read = 0;
    if (!handle || !::ReadFile(handle.get(), head, kHead, &read, nullptr)) return false;
    IMAGE_DOS_HEADER dos;
    if (read < sizeof(dos)) return false;
    std::memcpy(&dos, head, sizeof(dos));
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 ||
        static_cast<DWORD>(dos.e_lfanew) + sizeof(DWORD) + sizeof(IMAGE_FILE_HEADER) > read)
        return false;
    DWORD signature;
    IMAGE_FILE_HEADER header;
    std::memcpy(&signature, head + dos.e_lfanew, sizeof(signature));
    std::memcpy(&header, head + dos.e_lfanew + sizeof(signature), sizeof(header));
    return signature == IMAGE_NT_SIGNATURE && header.Machine == kMachine &&
           (header.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE) != 0 && (header.Characteristics & IMAGE_FILE_DLL) == 0;
}

}  // namespace marvolt
