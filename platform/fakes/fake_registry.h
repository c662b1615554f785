#pragma once
// An in-memory registry that answers the program's calls as the system's does:
// seven predefined roots, key and value names in any letter case, typed values,
// and counted handles, so that a test sees every opened key closed again.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/ansi_code_page.h"
#include "platform/registry_api.h"
#include "platform/text.h"

namespace marvolt {

// Text as UTF-8 in place of the system's ANSI code page.
class FakeAnsiCodePage : public AnsiCodePage {
  public:
    std::string ToAnsi(const std::u16string& text) override { return ToUtf8(text); }
    std::u16string FromAnsi(const std::string& bytes) override { return FromUtf8(bytes); }
};

class FakeRegistry : public RegistryApi {
  public:
    long CreateKey(RegKey root, const std::u16string& path, RegKey* key) override;
    long OpenKey(RegKey root, const std::u16string& path, RegKey* key) override;
    long SetValue(RegKey key, const std::u16string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long DeleteValue(RegKey key, const std::u16string& name) override;
    long EnumKey(RegKey key, std::uint32_t index, std::u16string& name) override;
    long DeleteKey(RegKey key, const std::u16string& subkey) override;
    long CloseKey(RegKey key) override;

    int OpenCount() const { return opens_; }
    int OpenHandleCount() const { return static_cast<int>(handles_.size()); }

  private:
    struct Value {
        std::uint32_t type;
        std::vector<std::uint8_t> bytes;
    };
    long Open(RegKey root, const std::u16string& path, RegKey* key, bool create);
    Value* Find(RegKey key, const std::u16string& name);

    // Every level, "<root>\a\b" in lower case, with its name as first created.
    std::map<std::u16string, std::u16string> keys_;
    std::map<std::u16string, Value> values_;    // by key and lower-case name
    std::map<RegKey, std::u16string> handles_;  // open handles and their keys
    RegKey next_ = 0x1000;
    int opens_ = 0;
};

}  // namespace marvolt
