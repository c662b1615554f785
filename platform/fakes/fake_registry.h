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

namespace marvolt {

// Text as UTF-8 in place of the system's ANSI code page.
class FakeAnsiCodePage : public AnsiCodePage {
public:
    std::string ToAnsi(const std::u16string& text) override;
    std::u16string FromAnsi(const std::string& bytes) override;
};

class FakeRegistry : public RegistryApi {
public:
    struct Value {
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> bytes;
    };

    FakeRegistry();
    ~FakeRegistry() override;

    // RegistryApi, with the system's result codes: 2 for a missing key or
    // value, 6 for an unknown handle, 234 (with the needed size) for a buffer
    // too small. Create and open of an empty path hand back the same handle.
    long CreateKey(RegKey root, const std::u16string& path, RegKey* key) override;
    long OpenKey(RegKey root, const std::u16string& path, RegKey* key) override;
    long SetValue(RegKey key, const std::u16string& name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
    long QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
    long DeleteValue(RegKey key, const std::u16string& name) override;
    long CloseKey(RegKey key) override;
    // Told of every value written or deleted, by name.
    std::function<void(const std::string&)> onWrite;

    // Direct access for test setup and checks, by root and key path; no handles
    // are involved and nothing is counted. Setters create the key path.
    void SetString(RegKey root, const std::u16string& path, const std::u16string& name,
                   const std::u16string& text);  // REG_SZ, UTF-8 and one NUL
    void SetDword(RegKey root, const std::u16string& path, const std::u16string& name,
                  std::int32_t number);
    void SetRaw(RegKey root, const std::u16string& path, const std::u16string& name,
                std::uint32_t type, std::vector<std::uint8_t> bytes);
    // A REG_SZ value's text up to its first NUL; empty when absent or of another type.
    std::u16string GetString(RegKey root, const std::u16string& path,
                             const std::u16string& name) const;
    bool HasValue(RegKey root, const std::u16string& path, const std::u16string& name) const;
    bool HasKey(RegKey root, const std::u16string& path) const;
    // The stored value; a value of type kRegNone with no bytes when absent.
    Value GetRaw(RegKey root, const std::u16string& path, const std::u16string& name) const;
    void Remove(RegKey root, const std::u16string& path, const std::u16string& name);

    // Successful opens and creates, successful closes, and their difference.
    int OpenCount() const { return opens_; }
    int CloseCount() const { return closes_; }
    int OpenHandleCount() const { return opens_ - closes_; }

    // Forced results, to test callers with a registry that refuses (0 = none).
    long createKeyError = kRegOk;
    long setValueError = kRegOk;

    // Runs once, right after the next successful query of a value's type and
    // size (null buffer): lets a test change the value before it is read.
    std::function<void()> afterSizeQuery;

private:
    struct Node;
    Node* NodeOf(RegKey key) const;
    Node* Find(RegKey root, const std::u16string& path) const;
    Node* Make(RegKey root, const std::u16string& path);
    RegKey NewHandle(Node* node);

    std::map<RegKey, std::unique_ptr<Node>> roots_;
    std::map<RegKey, Node*> handles_;
    RegKey nextHandle_ = 0x1000;
    int opens_ = 0;
    int closes_ = 0;
};

}  // namespace marvolt
