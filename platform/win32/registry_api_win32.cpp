#include "platform/win32/registry_api_win32.h"

#include <windows.h>

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

}  // namespace

long Win32RegistryApi::CreateKey(RegKey root, const std::u16string& path, RegKey* key) {
    HKEY opened = nullptr;
    LONG result = RegCreateKeyA(ToHkey(root), marvolt::ToAnsi(path).c_str(), &opened);
    if (result == ERROR_SUCCESS) *key = FromHkey(opened);
    return result;
}

long Win32RegistryApi::OpenKey(RegKey root, const std::u16string& path, RegKey* key) {
    HKEY opened = nullptr;
    LONG result = RegOpenKeyA(ToHkey(root), marvolt::ToAnsi(path).c_str(), &opened);
    if (result == ERROR_SUCCESS) *key = FromHkey(opened);
    return result;
}

long Win32RegistryApi::SetValue(RegKey key, const std::u16string& name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) {
    return RegSetValueExA(ToHkey(key), marvolt::ToAnsi(name).c_str(), 0, type, data, size);
}

long Win32RegistryApi::QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* size) {
    DWORD valueType = 0;
    DWORD valueSize = size ? *size : 0;
    LONG result = RegQueryValueExA(ToHkey(key), marvolt::ToAnsi(name).c_str(), nullptr,
                                   type ? &valueType : nullptr, data, size ? &valueSize : nullptr);
    if (type) *type = valueType;
    if (size) *size = valueSize;
    return result;
}

long Win32RegistryApi::DeleteValue(RegKey key, const std::u16string& name) {
    return RegDeleteValueA(ToHkey(key), marvolt::ToAnsi(name).c_str());
}

long Win32RegistryApi::CloseKey(RegKey key) { return RegCloseKey(ToHkey(key)); }

std::string Win32AnsiCodePage::ToAnsi(const std::u16string& text) { return marvolt::ToAnsi(text); }

std::u16string Win32AnsiCodePage::FromAnsi(const std::string& bytes) {
    return marvolt::FromAnsi(bytes);
}

}  // namespace marvolt
