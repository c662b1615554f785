#pragma once
#include <string>

namespace marvolt {

enum class SignatureVerdict { Valid, Invalid, Unavailable };

// Checks a file against its detached signature with the release key built into
// the program. Unavailable: the system offers no way to check.
class SignatureCheck {
public:
    virtual ~SignatureCheck() = default;
    virtual SignatureVerdict Verify(const std::u16string& file, const std::u16string& signatureFile) = 0;
};

}  // namespace marvolt
