#include "platform/win32/instance_query_win32.h"

#include "platform/win32/win_text.h"
#include "product.h"

namespace marvolt {

namespace {

constexpr char16_t kMutexName[] = u"Local\\" u"" MARVOLT_PRODUCT ".SingleInstance";
// Beside the mutex, named after it: the process id of the instance that holds it.
constexpr char16_t kOwnerSuffix[] = u".Owner";

using UniqueView = UniqueHandle<NullInvalidTraits<void*, ::UnmapViewOfFile>>;

}  // namespace

Win32InstanceQuery::Win32InstanceQuery(Mode mode) : Win32InstanceQuery(kMutexName, mode) {}

Win32InstanceQuery::Win32InstanceQuery(const std::u16string& mutexName, Mode mode)
    : mutex_(mode == kTake ? CreateMutexW(nullptr, FALSE, Wide(mutexName))
                           : OpenMutexW(SYNCHRONIZE, FALSE, Wide(mutexName))) {
    DWORD error = GetLastError();
    ownerName_ = mutexName + kOwnerSuffix;
    if (mode == kLookOnly) {
        earlier_ = mutex_ || error == ERROR_ACCESS_DENIED;
        return;
    }
    // Access denied: the mutex exists but belongs to an instance running with
    // other rights (elevated, or another user in this session).
    earlier_ = (mutex_ && error == ERROR_ALREADY_EXISTS) || (!mutex_ && error == ERROR_ACCESS_DENIED);
    if (!mutex_ || earlier_) return;
    // The holder of the mutex tells later instances which process it is.
    owner_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                    Wide(ownerName_)));
    UniqueView view(owner_ ? MapViewOfFile(owner_.get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD)) : nullptr);
    if (view) *static_cast<volatile DWORD*>(view.get()) = GetCurrentProcessId();
}

std::uint32_t Win32InstanceQuery::EarlierInstanceProcess() {
    if (!earlier_) return 0;
    // The holder writes its id right after it took the mutex: an instance
    // started at the same moment may look a little before that.
    for (int attempt = 0; attempt < 50; ++attempt) {
        UniqueKernelHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, Wide(ownerName_)));
        UniqueView view(mapping ? MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(DWORD)) : nullptr);
        DWORD process = view ? *static_cast<volatile const DWORD*>(view.get()) : 0;
        if (process) return process;
        Sleep(20);
    }
    return 0;
}

}  // namespace marvolt
