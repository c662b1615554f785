#pragma once
// An in-memory registry that behaves like the system's for the calls the
// program makes: seven predefined roots, nested keys whose names (and value
// names) compare without regard to letter case, typed values, and handles that
// are counted so that a test can see every opened key closed again.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
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
    struct Value {
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> bytes;
    };
    FakeRegistry();
    ~FakeRegistry() override;

    // RegistryApi, with the system's result codes: 2 for a missing key or value, 6 for an
    // unknown handle, 234 (with the needed size) for a buffer too small. Create and open of
    // an empty path hand back the same handle.
    long CreateKey(RegKey root, const std::u16string& path, RegKey* key) override;
    long OpenKey(RegKey root, const std::u16string& path, RegKey* key) override;
    long SetValue(RegKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override;
    long QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override;
    long DeleteValue(RegKey key, const std::u16string& name) override;
    long CloseKey(RegKey key) override;
    // Told of every value written or deleted, by name.
    std::function<void(const std::string&)> onWrite;

    // Direct access for test setup and checks, by root and key path; no handles are involved
    // and nothing is counted. Setters create the key path; GetRaw of an absent value gives
    // type kRegNone and no bytes.
    void SetString(RegKey root, const std::u16string& path, const std::u16string& name,
                   const std::u16string& text);  // REG_SZ, UTF-8 and one NUL
    void SetDword(RegKey root, const std::u16string& path, const std::u16string& name, std::int32_t number);
    void SetRaw(RegKey root, const std::u16string& path, const std::u16string& name, std::uint32_t type,
                std::vector<std::uint8_t> bytes);
    Value GetRaw(RegKey root, const std::u16string& path, const std::u16string& name) const;
    bool HasKey(RegKey root, const std::u16string& path) const { return Find(root, path) != nullptr; }
    void Remove(RegKey root, const std::u16string& path, const std::u16string& name);

    // Successful opens and creates, and how many of them are not closed yet.
    int OpenCount() const { return opens_; }
    int OpenHandleCount() const { return opens_ - closes_; }
    // Forced results, to test callers with a registry that refuses (0 = none).
    long createKeyError = kRegOk, setValueError = kRegOk;
    // Runs once, right after the next successful query of a value's type and size (null
    // buffer): lets a test change the value before it is read.
    std::function<void()> afterSizeQuery;

private:
    struct Node;
    Node* NodeOf(RegKey key) const;
    Node* Find(RegKey root, const std::u16string& path, bool make = false) const;
    long Open(RegKey root, const std::u16string& path, RegKey* key, bool make);

    std::map<RegKey, std::unique_ptr<Node>> roots_;
    std::map<RegKey, Node*> handles_;
    RegKey nextHandle_ = 0x1000;
    int opens_ = 0, closes_ = 0;
};

}  // namespace marvolt
