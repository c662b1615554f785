#pragma once
#include <string>

namespace marvolt {

enum class KnownFolder { Windows, ProgramFiles, Desktop, Startup, StartMenu };

// Where the system keeps its folders for the current user.
class KnownFolders {
public:
    virtual ~KnownFolders() = default;
    // Without a trailing "\"; empty when the system has no answer.
    virtual std::u16string Path(KnownFolder folder) = 0;
};

}  // namespace marvolt
