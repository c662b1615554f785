#include "platform/fakes/fake_registry.h"

#include <algorithm>
#include <cstring>

namespace marvolt {

long FakeRegistry::Open(RegKey root, const std::u16string& path, RegKey* key, bool create) {
    if (root < kClassesRoot || root > kDynData) return kRegInvalidHandle;
    // Empty levels (doubled backslashes) are skipped, as the system does.
    std::u16string full = Decimal(static_cast<long long>(root));
    std::vector<std::pair<std::u16string, std::u16string>> levels;
    for (size_t start = 0, end; start <= path.size(); start = end + 1) {
        end = std::min(path.find(u'\\', start), path.size());
        std::u16string name = path.substr(start, end - start);
        if (end > start) levels.emplace_back(full += u"\\" + ToLowerAscii(name), name);
    }
    for (const auto& [level, name] : levels) {
        if (create) keys_.emplace(level, name);
        if (!keys_.count(level)) return kRegFileNotFound;
    }
    handles_[*key = next_ += 4] = full;
    ++opens_;
    return kRegOk;
}

long FakeRegistry::CreateKey(RegKey root, const std::u16string& path, RegKey* key) {
    return Open(root, path, key, true);
}

long FakeRegistry::OpenKey(RegKey root, const std::u16string& path, RegKey* key) {
    return Open(root, path, key, false);
}

FakeRegistry::Value* FakeRegistry::Find(RegKey key, const std::u16string& name) {
    auto found = values_.find(handles_.at(key) + u"|" + ToLowerAscii(name));
    return found == values_.end() ? nullptr : &found->second;
}

long FakeRegistry::SetValue(RegKey key, const std::u16string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) {
    if (!handles_.count(key)) return kRegInvalidHandle;
    values_[handles_[key] + u"|" + ToLowerAscii(name)] =
        Value{type, std::vector<std::uint8_t>(data, data + size)};
    return kRegOk;
}

long FakeRegistry::QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) {
    if (!handles_.count(key)) return kRegInvalidHandle;
    const Value* value = Find(key, name);
    if (!value) return kRegFileNotFound;
    const auto stored = static_cast<std::uint32_t>(value->bytes.size());
    if (type) *type = value->type;
    if (data) {
        // The first bytes land in a buffer too small, as the system's do.
        if (stored > 0) std::memcpy(data, value->bytes.data(), std::min(*size, stored));
        if (*size < stored) {
            *size = stored;
            return kRegMoreData;
        }
        // Like the system, add a NUL to unterminated text when there is room for it.
        bool text = value->type == kRegSz || value->type == kRegExpandSz;
        if (text && stored > 0 && *size > stored && value->bytes.back() != 0) data[stored] = 0;
    }
    *size = stored;
    return kRegOk;
}

long FakeRegistry::DeleteValue(RegKey key, const std::u16string& name) {
    if (!handles_.count(key)) return kRegInvalidHandle;
    return values_.erase(handles_[key] + u"|" + ToLowerAscii(name)) ? kRegOk : kRegFileNotFound;
}

long FakeRegistry::EnumKey(RegKey key, std::uint32_t index, std::u16string& name) {
    if (!handles_.count(key)) return kRegInvalidHandle;
    const std::u16string parent = handles_[key] + u"\\";
    for (const auto& [level, original] : keys_)
        if (StartsWith(level, parent) && level.find(u'\\', parent.size()) == std::u16string::npos &&
            index-- == 0)
            return name = original, kRegOk;
    return kRegNoMoreItems;
}

long FakeRegistry::DeleteKey(RegKey key, const std::u16string& subkey) {
    if (!handles_.count(key)) return kRegInvalidHandle;
    const std::u16string path = handles_[key] + u"\\" + ToLowerAscii(subkey);
    if (!keys_.count(path)) return kRegFileNotFound;
    auto next = keys_.upper_bound(path);
    if (next != keys_.end() && StartsWith(next->first, path + u"\\")) return kRegAccessDenied;
    keys_.erase(path);
    for (auto value = values_.begin(); value != values_.end();)
        value = StartsWith(value->first, path + u"|") ? values_.erase(value) : std::next(value);
    return kRegOk;
}

long FakeRegistry::CloseKey(RegKey key) { return handles_.erase(key) ? kRegOk : kRegInvalidHandle; }

}  // namespace marvolt
