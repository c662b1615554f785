#include "registry/registry.h"

#include <vector>

#include "platform/text.h"

namespace marvolt {
namespace {

// Owns one opened key for the length of a call, so that it is closed exactly
// once whichever way the call leaves.
class OpenedKey {
public:
    explicit OpenedKey(RegistryApi& api) : api_(api) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() {
        if (open_) api_.CloseKey(key_);
    }

    // Root 0 stands for an unknown root name: nothing is opened for it.
    bool Open(RegKey root, std::u16string_view path) {
        if (root == 0) return false;
        open_ = api_.OpenKey(root, std::u16string(path), &key_) == kRegOk;
        return open_;
    }
    bool Create(RegKey root, std::u16string_view path) {
        if (root == 0) return false;
        open_ = api_.CreateKey(root, std::u16string(path), &key_) == kRegOk;
        return open_;
    }
    RegKey get() const { return key_; }

private:
    RegistryApi& api_;
    RegKey key_ = 0;
    bool open_ = false;
};

struct RootName {
    const char16_t* name;
    RegKey key;
};

// Short and long names, compared in lower case. Performance data has no name here.
constexpr RootName kRootNames[] = {
    {u"classes_root", kClassesRoot},     {u"hkey_classes_root", kClassesRoot},
    {u"current_user", kCurrentUser},     {u"hkey_current_user", kCurrentUser},
    {u"local_machine", kLocalMachine},   {u"hkey_local_machine", kLocalMachine},
    {u"users", kUsers},                  {u"hkey_users", kUsers},
    {u"current_config", kCurrentConfig}, {u"hkey_current_config", kCurrentConfig},
    {u"dyn_data", kDynData},             {u"hkey_dyn_data", kDynData},
};

// Full names only, compared in upper case, as the root part of a full path.
constexpr RootName kPathRootNames[] = {
    {u"HKEY_CLASSES_ROOT", kClassesRoot},       {u"HKEY_CURRENT_USER", kCurrentUser},
    {u"HKEY_LOCAL_MACHINE", kLocalMachine},     {u"HKEY_USERS", kUsers},
    {u"HKEY_PERFORMANCE_DATA", kPerformanceData}, {u"HKEY_CURRENT_CONFIG", kCurrentConfig},
    {u"HKEY_DYN_DATA", kDynData},
};

// Registry numbers are stored least significant byte first, whatever the machine.
void ToLittleEndian(std::int32_t number, std::uint8_t (&bytes)[4]) {
    std::uint32_t bits = static_cast<std::uint32_t>(number);
    for (std::uint8_t& byte : bytes) {
        byte = static_cast<std::uint8_t>(bits);
        bits >>= 8;
    }
}

std::int32_t FromLittleEndian(const std::uint8_t (&bytes)[4]) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = bits << 8 | bytes[i];
    return static_cast<std::int32_t>(bits);
}

template <size_t N>
RegKey LookUp(const RootName (&table)[N], std::u16string_view name) {
    for (const RootName& entry : table)
        if (name == entry.name) return entry.key;
    return 0;
}

}  // namespace

RegKey Registry::RootKeyFromName(std::u16string_view name) {
    return LookUp(kRootNames, ToLowerAscii(name));
}

void Registry::WriteRegString(std::u16string_view root, std::u16string_view keyPath,
                              std::u16string_view valueName, std::u16string_view data) {
    OpenedKey key(api_);
    if (!key.Create(RootKeyFromName(root), keyPath)) return;
    std::string bytes = codePage_.ToAnsi(std::u16string(data));
    // The stored size counts the terminating NUL that c_str() provides.
    api_.SetValue(key.get(), std::u16string(valueName), kRegSz,
                  reinterpret_cast<const std::uint8_t*>(bytes.c_str()),
                  static_cast<std::uint32_t>(bytes.size() + 1));
}

void Registry::WriteRegDword(std::u16string_view root, std::u16string_view keyPath,
                             std::u16string_view valueName, std::int32_t number) {
    OpenedKey key(api_);
    if (!key.Create(RootKeyFromName(root), keyPath)) return;
    std::uint8_t bytes[4];
    ToLittleEndian(number, bytes);
    api_.SetValue(key.get(), std::u16string(valueName), kRegDword, bytes, 4);
}

void Registry::DeleteRegValue(std::u16string_view root, std::u16string_view keyPath,
                              std::u16string_view valueName) {
    OpenedKey key(api_);
    if (!key.Open(RootKeyFromName(root), keyPath)) return;
    api_.DeleteValue(key.get(), std::u16string(valueName));
}

std::int32_t Registry::ReadRegDword(std::u16string_view root, std::u16string_view keyPath,
                                    std::u16string_view valueName, std::int32_t fallback) {
    OpenedKey key(api_);
    if (!key.Open(RootKeyFromName(root), keyPath)) return fallback;
    // Data shorter than four bytes overwrite only the first bytes of the
    // default, whatever their type.
    std::uint8_t buffer[4];
    ToLittleEndian(fallback, buffer);
    std::uint32_t type = 0;
    std::uint32_t size = sizeof buffer;
    if (api_.QueryValue(key.get(), std::u16string(valueName), &type, buffer, &size) != kRegOk)
        return fallback;
    return FromLittleEndian(buffer);
}

std::optional<std::uint32_t> Registry::RegValueType(std::u16string_view root, std::u16string_view keyPath,
                                                    std::u16string_view valueName) {
    OpenedKey key(api_);
    if (!key.Open(RootKeyFromName(root), keyPath)) return std::nullopt;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (api_.QueryValue(key.get(), std::u16string(valueName), &type, nullptr, &size) != kRegOk) return std::nullopt;
    return type;
}

std::u16string Registry::QueryRegValue(RegKey root, std::u16string_view keyPath,
                                       std::u16string_view valueName,
                                       std::u16string_view fallback) {
    return QueryText(root, keyPath, valueName, fallback, false);
}

std::vector<std::u16string> Registry::SubKeyNames(RegKey root, std::u16string_view keyPath) {
    std::vector<std::u16string> names;
    OpenedKey key(api_);
    std::u16string name;
    if (key.Open(root, keyPath))
        for (std::uint32_t i = 0; api_.EnumKey(key.get(), i, name) == kRegOk; ++i) names.push_back(name);
    return names;
}

void Registry::DeleteRegKey(RegKey root, std::u16string_view keyPath, std::u16string_view subkey) {
    OpenedKey key(api_);
    if (key.Open(root, keyPath)) api_.DeleteKey(key.get(), std::u16string(subkey));
}

std::u16string Registry::QueryText(RegKey root, std::u16string_view keyPath,
                                   std::u16string_view valueName, std::u16string_view fallback,
                                   bool expandableToo) {
    auto textType = [expandableToo](std::uint32_t type) {
        return type == kRegSz || (expandableToo && type == kRegExpandSz);
    };
    OpenedKey key(api_);
    if (!key.Open(root, keyPath)) return std::u16string(fallback);
    const std::u16string name(valueName);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (api_.QueryValue(key.get(), name, &type, nullptr, &size) != kRegOk || !textType(type))
        return std::u16string(fallback);

    // A null buffer would turn the second query into another size query.
    if (size == 0) return std::u16string();

    // The value may change between the two queries: a second query that fails
    // (it grew) or that finds another type reads as the default, and only the
    // bytes it reports as written are looked at.
    std::vector<std::uint8_t> buffer(size);
    std::uint32_t written = size;
    if (api_.QueryValue(key.get(), name, &type, buffer.data(), &written) != kRegOk ||
        !textType(type))
        return std::u16string(fallback);
    if (written > size) written = size;
    size_t length = 0;
    while (length < written && buffer[length] != 0) ++length;
    return codePage_.FromAnsi(std::string(reinterpret_cast<const char*>(buffer.data()), length));
}

std::u16string Registry::ReadRegPath(std::u16string_view fullPath) { return ReadPath(fullPath, false); }

std::u16string Registry::ReadRegPathText(std::u16string_view fullPath) { return ReadPath(fullPath, true); }

std::u16string Registry::ReadPath(std::u16string_view fullPath, bool expandableToo) {
    std::u16string path = Trim(fullPath);
    if (!path.empty() && path.back() == u'\\') path.pop_back();
    size_t rootEnd = path.find(u'\\');
    if (rootEnd == std::u16string::npos) return std::u16string();
    RegKey root =
        LookUp(kPathRootNames, ToUpperAscii(std::u16string_view(path).substr(0, rootEnd)));

    std::u16string_view rest = std::u16string_view(path).substr(rootEnd + 1);
    size_t nameStart = rest.rfind(u'\\');
    // Without a backslash the remainder is the key and its unnamed default value is read.
    if (nameStart == std::u16string_view::npos) return QueryText(root, rest, u"", u"", expandableToo);
    return QueryText(root, rest.substr(0, nameStart), rest.substr(nameStart + 1), u"", expandableToo);
}

}  // namespace marvolt
