#pragma once
#include <string>

#include "platform/signature_check.h"

namespace marvolt {

// The release key: the public point of P-256, X then Y, 32 bytes each.
using PublicKey = unsigned char[64];

// ECDSA P-256 over the file's SHA-256 digest, the signature 64 bytes (r then s),
// checked with the system's CNG. bcrypt.dll is loaded when first used.
SignatureVerdict VerifyFileSignature(const std::u16string& file, const std::u16string& signatureFile,
                                     const PublicKey& key);

// True when the file is a Windows program for the machine type of this build.
bool IsProgramForThisMachine(const std::u16string& file);

class Win32SignatureCheck : public SignatureCheck {
public:
    explicit Win32SignatureCheck(const PublicKey& key) : key_(key) {}
    SignatureVerdict Verify(const std::u16string& file, const std::u16string& signatureFile) override {
        return VerifyFileSignature(file, signatureFile, key_);
    }

private:
    const PublicKey& key_;
};

}  // namespace marvolt
