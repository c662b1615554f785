#include "platform/win32/instance_query_win32.h"

#include "platform/win32/win_text.h"
#include "product.h"

namespace marvolt {

namespace {
constexpr char16_t kMutexName[] = u"Local\\" u"" MARVOLT_PRODUCT ".SingleInstance";
}

Win32InstanceQuery::Win32InstanceQuery() : Win32InstanceQuery(kMutexName) {}

Win32InstanceQuery::Win32InstanceQuery(const std::u16string& mutexName)
    : mutex_(CreateMutexW(nullptr, FALSE, Wide(mutexName))) {
    DWORD error = GetLastError();
    // Access denied: the mutex exists but belongs to an instance running with
    // other rights (elevated, or another user in this session).
    earlier_ = (mutex_ && error == ERROR_ALREADY_EXISTS) || (!mutex_ && error == ERROR_ACCESS_DENIED);
}

}  // namespace marvolt
