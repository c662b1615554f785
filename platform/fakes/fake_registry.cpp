#include "platform/fakes/fake_registry.h"

#include <cstring>

#include "platform/text.h"

namespace marvolt {

std::string FakeAnsiCodePage::ToAnsi(const std::u16string& text) { return ToUtf8(text); }

std::u16string FakeAnsiCodePage::FromAnsi(const std::string& bytes) { return FromUtf8(bytes); }

namespace {

constexpr long kInvalidParameter = 87;

// Key and value names compare without regard to letter case, as the system's do.
std::u16string Folded(const std::u16string& name) { return ToLowerAscii(name); }

// Empty components (doubled backslashes) are skipped, as the system does.
std::vector<std::u16string> SplitPath(const std::u16string& path) {
    std::vector<std::u16string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string::npos) end = path.size();
        if (end > start) parts.push_back(Folded(path.substr(start, end - start)));
        start = end + 1;
    }
    return parts;
}

bool IsStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == 7;
}

}  // namespace

struct FakeRegistry::Node {
    std::map<std::u16string, std::unique_ptr<Node>> keys;
    std::map<std::u16string, Value> values;
};

FakeRegistry::FakeRegistry() {
    for (RegKey root : {kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kPerformanceData,
                        kCurrentConfig, kDynData})
        roots_[root] = std::make_unique<Node>();
}

FakeRegistry::~FakeRegistry() = default;

FakeRegistry::Node* FakeRegistry::NodeOf(RegKey key) const {
    auto root = roots_.find(key);
    if (root != roots_.end()) return root->second.get();
    auto handle = handles_.find(key);
    return handle != handles_.end() ? handle->second : nullptr;
}

FakeRegistry::Node* FakeRegistry::Find(RegKey root, const std::u16string& path) const {
    Node* node = NodeOf(root);
    for (const std::u16string& part : SplitPath(path)) {
        if (!node) return nullptr;
        auto child = node->keys.find(part);
        node = child != node->keys.end() ? child->second.get() : nullptr;
    }
    return node;
}

FakeRegistry::Node* FakeRegistry::Make(RegKey root, const std::u16string& path) {
    Node* node = NodeOf(root);
    for (const std::u16string& part : SplitPath(path)) {
        if (!node) return nullptr;
        std::unique_ptr<Node>& child = node->keys[part];
        if (!child) child = std::make_unique<Node>();
        node = child.get();
    }
    return node;
}

RegKey FakeRegistry::NewHandle(Node* node) {
    RegKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = node;
    return handle;
}

long FakeRegistry::CreateKey(RegKey root, const std::u16string& path, RegKey* key) {
    if (!key) return kInvalidParameter;
    if (!NodeOf(root)) return kRegInvalidHandle;
    if (createKeyError != kRegOk) return createKeyError;
    Node* node = Make(root, path);
    *key = SplitPath(path).empty() ? root : NewHandle(node);
    ++opens_;
    return kRegOk;
}

long FakeRegistry::OpenKey(RegKey root, const std::u16string& path, RegKey* key) {
    if (!key) return kInvalidParameter;
    if (!NodeOf(root)) return kRegInvalidHandle;
    Node* node = Find(root, path);
    if (!node) return kRegFileNotFound;
    *key = SplitPath(path).empty() ? root : NewHandle(node);
    ++opens_;
    return kRegOk;
}

long FakeRegistry::SetValue(RegKey key, const std::u16string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) {
    Node* node = NodeOf(key);
    if (!node) return kRegInvalidHandle;
    if (!data && size > 0) return kInvalidParameter;
    if (setValueError != kRegOk) return setValueError;
    if (onWrite) onWrite("reg set " + ToUtf8(name));
    Value& value = node->values[Folded(name)];
    value.type = type;
    value.bytes.assign(data, data + size);
    return kRegOk;
}

long FakeRegistry::QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) {
    Node* node = NodeOf(key);
    if (!node) return kRegInvalidHandle;
    auto found = node->values.find(Folded(name));
    if (found == node->values.end()) return kRegFileNotFound;
    const Value& value = found->second;
    const std::uint32_t stored = static_cast<std::uint32_t>(value.bytes.size());
    if (type) *type = value.type;
    if (!data) {
        if (size) *size = stored;
        if (afterSizeQuery) {
            auto hook = std::move(afterSizeQuery);
            afterSizeQuery = nullptr;
            hook();
        }
        return kRegOk;
    }
    if (!size) return kInvalidParameter;
    if (*size < stored) {
        // The buffer's contents are undefined after this result; the first
        // bytes of the data land there, so a caller that reads them anyway
        // gets a plausible but wrong value.
        if (*size > 0) std::memcpy(data, value.bytes.data(), *size);
        *size = stored;
        return kRegMoreData;
    }
    if (stored > 0) std::memcpy(data, value.bytes.data(), stored);
    // Like the system, add a NUL to unterminated text when there is room for it.
    if (IsStringType(value.type) && stored > 0 && *size > stored && value.bytes.back() != 0)
        data[stored] = 0;
    *size = stored;
    return kRegOk;
}

long FakeRegistry::DeleteValue(RegKey key, const std::u16string& name) {
    Node* node = NodeOf(key);
    if (!node) return kRegInvalidHandle;
    if (onWrite) onWrite("reg delete " + ToUtf8(name));
    return node->values.erase(Folded(name)) > 0 ? kRegOk : kRegFileNotFound;
}

long FakeRegistry::CloseKey(RegKey key) {
    if (roots_.count(key) == 0 && handles_.erase(key) == 0) return kRegInvalidHandle;
    ++closes_;
    return kRegOk;
}

void FakeRegistry::SetString(RegKey root, const std::u16string& path, const std::u16string& name,
                             const std::u16string& text) {
    std::string bytes = ToUtf8(text);
    SetRaw(root, path, name, kRegSz,
           std::vector<std::uint8_t>(bytes.c_str(), bytes.c_str() + bytes.size() + 1));
}

void FakeRegistry::SetDword(RegKey root, const std::u16string& path, const std::u16string& name,
                            std::int32_t number) {
    std::uint32_t bits = static_cast<std::uint32_t>(number);
    SetRaw(root, path, name, kRegDword,
           {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)});
}

void FakeRegistry::SetRaw(RegKey root, const std::u16string& path, const std::u16string& name,
                          std::uint32_t type, std::vector<std::uint8_t> bytes) {
    Node* node = Make(root, path);
    if (!node) return;
    Value& value = node->values[Folded(name)];
    value.type = type;
    value.bytes = std::move(bytes);
}

FakeRegistry::Value FakeRegistry::GetRaw(RegKey root, const std::u16string& path,
                                         const std::u16string& name) const {
    Node* node = Find(root, path);
    if (!node) return {};
    auto found = node->values.find(Folded(name));
    return found != node->values.end() ? found->second : Value{};
}

std::u16string FakeRegistry::GetString(RegKey root, const std::u16string& path,
                                       const std::u16string& name) const {
    Value value = GetRaw(root, path, name);
    if (value.type != kRegSz) return {};
    size_t length = 0;
    while (length < value.bytes.size() && value.bytes[length] != 0) ++length;
    return FromUtf8(std::string(value.bytes.begin(), value.bytes.begin() + length));
}

bool FakeRegistry::HasValue(RegKey root, const std::u16string& path,
                            const std::u16string& name) const {
    Node* node = Find(root, path);
    return node && node->values.count(Folded(name)) > 0;
}

bool FakeRegistry::HasKey(RegKey root, const std::u16string& path) const {
    return Find(root, path) != nullptr;
}

void FakeRegistry::Remove(RegKey root, const std::u16string& path, const std::u16string& name) {
    if (Node* node = Find(root, path)) node->values.erase(Folded(name));
}

}  // namespace marvolt
