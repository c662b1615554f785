#include "platform/win32/registry_api_win32.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/win_text.h"

namespace marvolt {
namespace {

struct PredefinedKey {
    RegKey portable;
    HKEY system;
};

// The system's predefined handles are sign-extended on 64-bit Windows: its own
// constants are used rather than a cast of the portable numbers.
const PredefinedKey kPredefinedKeys[] = {
    {kClassesRoot, HKEY_CLASSES_ROOT},         {kCurrentUser, HKEY_CURRENT_USER},
    {kLocalMachine, HKEY_LOCAL_MACHINE},       {kUsers, HKEY_USERS},
    {kPerformanceData, HKEY_PERFORMANCE_DATA}, {kCurrentConfig, HKEY_CURRENT_CONFIG},
    {kDynData, HKEY_DYN_DATA},
};

HKEY ToHkey(RegKey key) {
    for (const PredefinedKey& entry : kPredefinedKeys)
        if (entry.portable == key) return entry.system;
    return reinterpret_cast<HKEY>(key);
}

// Opening an empty path hands back the parent, which may be a predefined key.
RegKey FromHkey(HKEY key) {
    for (const PredefinedKey& entry : kPredefinedKeys)
        if (entry.system == key) return entry.portable;
    return reinterpret_cast<RegKey>(key);
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

std::string Utf8Of(const std::u16string& wide) {
    if (wide.empty()) return {};
    int length = static_cast<int>(wide.size());
    int needed = WideCharToMultiByte(CP_UTF8, 0, Wide(wide), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) WideCharToMultiByte(CP_UTF8, 0, Wide(wide), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::u16string WideOf(const std::uint8_t* utf8, std::uint32_t size) {
    if (size == 0) return {};
    const char* bytes = reinterpret_cast<const char*>(utf8);
    int needed = MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), nullptr, 0);
    std::u16string wide(static_cast<size_t>(needed > 0 ? needed : 0), u'\0');
    if (needed > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes, static_cast<int>(size), reinterpret_cast<wchar_t*>(wide.data()), needed);
    return wide;
}

}  // namespace

long Win32RegistryApi::CreateKey(RegKey root, const std::u16string& path, RegKey* key) {
    HKEY opened = nullptr;
    LONG result = RegCreateKeyW(ToHkey(root), Wide(path), &opened);
    if (result == ERROR_SUCCESS) *key = FromHkey(opened);
    return result;
}

long Win32RegistryApi::OpenKey(RegKey root, const std::u16string& path, RegKey* key) {
    HKEY opened = nullptr;
    LONG result = RegOpenKeyW(ToHkey(root), Wide(path), &opened);
    if (result == ERROR_SUCCESS) *key = FromHkey(opened);
    return result;
}

long Win32RegistryApi::SetValue(RegKey key, const std::u16string& name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) {
    if (!IsText(type)) return RegSetValueExW(ToHkey(key), Wide(name), 0, type, data, size);
    std::u16string text = WideOf(data, size);
    return RegSetValueExW(ToHkey(key), Wide(name), 0, type, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size() * sizeof(char16_t)));
}

// Text comes back as UTF-8 with the system's rules for sizes: the size needed
// when the buffer is short, and a NUL added to unterminated text when it fits.
long Win32RegistryApi::QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD bytes = 0;
    LONG result = RegQueryValueExW(ToHkey(key), Wide(name), nullptr, &valueType, nullptr, &bytes);
    if (type) *type = valueType;
    if (result != ERROR_SUCCESS) return result;
    if (!IsText(valueType)) {
        DWORD valueSize = size ? *size : 0;
        result = RegQueryValueExW(ToHkey(key), Wide(name), nullptr, nullptr, data, size ? &valueSize : nullptr);
        if (size) *size = valueSize;
        return result;
    }
    std::u16string text;
    do {
        text.assign(bytes / sizeof(char16_t) + 1, u'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(char16_t));
        result = RegQueryValueExW(ToHkey(key), Wide(name), nullptr, &valueType, reinterpret_cast<BYTE*>(text.data()),
                                  &bytes);
    } while (result == ERROR_MORE_DATA);
    if (type) *type = valueType;
    if (result != ERROR_SUCCESS) return result;
    text.resize(bytes / sizeof(char16_t));
    std::string utf8 = Utf8Of(text);
    const auto needed = static_cast<std::uint32_t>(utf8.size());
    if (!data) {
        if (size) *size = needed;
        return ERROR_SUCCESS;
    }
    if (!size) return ERROR_INVALID_PARAMETER;
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, utf8.data(), needed);
    if (*size > needed && (utf8.empty() || utf8.back() != '\0')) data[needed] = 0;
    *size = needed;
    return ERROR_SUCCESS;
}

long Win32RegistryApi::DeleteValue(RegKey key, const std::u16string& name) {
    return RegDeleteValueW(ToHkey(key), Wide(name));
}

// A key name has at most 255 characters.
long Win32RegistryApi::EnumKey(RegKey key, std::uint32_t index, std::u16string& name) {
    wchar_t buffer[256];
    DWORD length = 256;
    LONG result = RegEnumKeyExW(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) name = FromWide(buffer, length);
    return result;
}

long Win32RegistryApi::DeleteKey(RegKey key, const std::u16string& subkey) {
    return RegDeleteKeyW(ToHkey(key), Wide(subkey));
}

long Win32RegistryApi::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

}  // namespace marvolt
