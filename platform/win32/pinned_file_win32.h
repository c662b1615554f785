#pragma once
#include <string>

#include "platform/win32/unique_handle.h"

namespace marvolt {

// A file held open so that others may read it but not write, rename or delete
// it until it is closed: what is checked while it is held is what is copied.
class PinnedFile {
  public:
    bool Open(const std::u16string& path);
    // Copies the whole file into a new file at `copy`, made there (so that it
    // takes that folder's inherited permissions); false when `copy` exists.
    bool CopyTo(const std::u16string& copy);

  private:
    UniqueFile file_;
};

}  // namespace marvolt
