#pragma once
#include <cstdint>
#include <string>

namespace marvolt {

// Opens an address or a file with the program associated with HTML files.
class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;
    // windowStyle 1: normal and activated. Returns the started process's id, 0 if none.
    virtual std::uint32_t OpenDocument(const std::u16string& target, int windowStyle) = 0;
};

}  // namespace marvolt
