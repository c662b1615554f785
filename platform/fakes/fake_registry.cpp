#include "platform/fakes/fake_registry.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace marvolt {

namespace {

constexpr long kInvalidParameter = 87;

// Key and value names compare without regard to letter case, as the system's do; empty
// components (doubled backslashes) are skipped, as the system does.
std::vector<std::u16string> SplitPath(const std::u16string& path) {
    std::vector<std::u16string> parts;
    for (size_t start = 0, end; start <= path.size(); start = end + 1) {
        end = std::min(path.find(u'\\', start), path.size());
        if (end > start) parts.push_back(ToLowerAscii(path.substr(start, end - start)));
    }
    return parts;
}

}  // namespace

struct FakeRegistry::Node {
    std::map<std::u16string, std::unique_ptr<Node>> keys;
    std::map<std::u16string, Value> values;
};

FakeRegistry::FakeRegistry() {
    for (RegKey root = kClassesRoot; root <= kDynData; ++root) roots_[root] = std::make_unique<Node>();
}

FakeRegistry::~FakeRegistry() = default;

FakeRegistry::Node* FakeRegistry::NodeOf(RegKey key) const {
    auto root = roots_.find(key);
    if (root != roots_.end()) return root->second.get();
    auto handle = handles_.find(key);
    return handle != handles_.end() ? handle->second : nullptr;
}

FakeRegistry::Node* FakeRegistry::Find(RegKey root, const std::u16string& path, bool make) const {
    Node* node = NodeOf(root);
    for (const std::u16string& part : SplitPath(path)) {
        if (!node) return nullptr;
        auto found = node->keys.find(part);
        if (found == node->keys.end() && !make) return nullptr;
        if (found == node->keys.end()) found = node->keys.emplace(part, std::make_unique<Node>()).first;
        node = found->second.get();
    }
    return node;
}

long FakeRegistry::Open(RegKey root, const std::u16string& path, RegKey* key, bool make) {
    if (!key) return kInvalidParameter;
    if (!NodeOf(root)) return kRegInvalidHandle;
    if (make && createKeyError != kRegOk) return createKeyError;
    Node* node = Find(root, path, make);
    if (!node) return kRegFileNotFound;
    *key = root;
    if (!SplitPath(path).empty()) handles_[*key = nextHandle_] = node, nextHandle_ += 4;
    ++opens_;
    return kRegOk;
}

long FakeRegistry::CreateKey(RegKey root, const std::u16string& path, RegKey* key) {
    return Open(root, path, key, true);
}

long FakeRegistry::OpenKey(RegKey root, const std::u16string& path, RegKey* key) {
    return Open(root, path, key, false);
}

long FakeRegistry::SetValue(RegKey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                            std::uint32_t size) {
    Node* node = NodeOf(key);
    if (!node) return kRegInvalidHandle;
    if (!data && size > 0) return kInvalidParameter;
    if (setValueError != kRegOk) return setValueError;
    if (onWrite) onWrite("reg set " + ToUtf8(name));
    node->values[ToLowerAscii(name)] = Value{type, std::vector<std::uint8_t>(data, data + size)};
    return kRegOk;
}

long FakeRegistry::QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                              std::uint32_t* size) {
    Node* node = NodeOf(key);
    if (!node) return kRegInvalidHandle;
    auto found = node->values.find(ToLowerAscii(name));
    if (found == node->values.end()) return kRegFileNotFound;
    const Value& value = found->second;
    const auto stored = static_cast<std::uint32_t>(value.bytes.size());
    if (type) *type = value.type;
    if (!data) {
        if (size) *size = stored;
        if (auto hook = std::exchange(afterSizeQuery, nullptr)) hook();
        return kRegOk;
    }
    if (!size) return kInvalidParameter;
    // The buffer's contents are undefined after kRegMoreData; the first bytes of the data land
    // there, so a caller that reads them anyway gets a plausible but wrong value.
    if (stored > 0) std::memcpy(data, value.bytes.data(), std::min(*size, stored));
    if (*size < stored) return *size = stored, kRegMoreData;
    // Like the system, add a NUL to unterminated text when there is room for it.
    bool text = value.type == kRegSz || value.type == kRegExpandSz || value.type == 7;
    if (text && stored > 0 && *size > stored && value.bytes.back() != 0) data[stored] = 0;
    *size = stored;
    return kRegOk;
}

long FakeRegistry::DeleteValue(RegKey key, const std::u16string& name) {
    Node* node = NodeOf(key);
    if (!node) return kRegInvalidHandle;
    if (onWrite) onWrite("reg delete " + ToUtf8(name));
    return node->values.erase(ToLowerAscii(name)) > 0 ? kRegOk : kRegFileNotFound;
}

long FakeRegistry::CloseKey(RegKey key) {
    if (roots_.count(key) == 0 && handles_.erase(key) == 0) return kRegInvalidHandle;
    ++closes_;
    return kRegOk;
}

void FakeRegistry::SetString(RegKey root, const std::u16string& path, const std::u16string& name,
                             const std::u16string& text) {
    std::string bytes = ToUtf8(text);
    SetRaw(root, path, name, kRegSz, std::vector<std::uint8_t>(bytes.c_str(), bytes.c_str() + bytes.size() + 1));
}

void FakeRegistry::SetDword(RegKey root, const std::u16string& path, const std::u16string& name,
                            std::int32_t number) {
    auto bits = static_cast<std::uint32_t>(number);
    SetRaw(root, path, name, kRegDword,
           {std::uint8_t(bits), std::uint8_t(bits >> 8), std::uint8_t(bits >> 16), std::uint8_t(bits >> 24)});
}

void FakeRegistry::SetRaw(RegKey root, const std::u16string& path, const std::u16string& name, std::uint32_t type,
                          std::vector<std::uint8_t> bytes) {
    if (Node* node = Find(root, path, true)) node->values[ToLowerAscii(name)] = Value{type, std::move(bytes)};
}

FakeRegistry::Value FakeRegistry::GetRaw(RegKey root, const std::u16string& path,
                                         const std::u16string& name) const {
    Node* node = Find(root, path);
    if (!node) return {};
    auto found = node->values.find(ToLowerAscii(name));
    return found != node->values.end() ? found->second : Value{};
}

void FakeRegistry::Remove(RegKey root, const std::u16string& path, const std::u16string& name) {
    if (Node* node = Find(root, path)) node->values.erase(ToLowerAscii(name));
}

}  // namespace marvolt
