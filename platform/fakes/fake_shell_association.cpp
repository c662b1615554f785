#include "platform/fakes/fake_shell_association.h"

#include "platform/text.h"

namespace marvolt {

std::optional<std::u16string> FakeShellAssociation::ProgramForFile(const std::u16string& file) {
    auto existing = files_.files.find(file);
    bool exists = existing != files_.files.end();
    lookups.push_back({file, exists, exists ? existing->second : std::vector<std::u16string>{}});
    if (log_) log_->Add("lookup " + ToUtf8(file));
    if (!wanderTo.empty()) files_.currentDirectory = wanderTo;
    if (writesNothing) return std::nullopt;
    if (!exists) return u"";
    size_t dot = file.rfind(u'.');
    size_t slash = file.find_last_of(u"\\/");
    if (dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash)) return u"";
    auto program = programs.find(ToLowerAscii(file.substr(dot)));
    return program == programs.end() ? u"" : program->second;
}

}  // namespace marvolt
