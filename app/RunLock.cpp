#include "RunLock.h"

#include <sddl.h>

const wchar_t RunLock::Name[] = L"Global\\Orvane.ZKF.LogLevelTool.Apply";

namespace {

// Whoever creates it, SYSTEM and Administrators may use it: a default descriptor made by a
// deployment running as SYSTEM would shut out an administrator's later run, and the reverse.
const wchar_t Access[] = L"D:P(A;;GA;;;SY)(A;;GA;;;BA)";

HANDLE CreateOrOpen()
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(Access, SDDL_REVISION_1, &descriptor, nullptr)) {
        return nullptr;
    }
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    // Waiting and releasing need nothing more, and an existing lock grants no more to anyone.
    HANDLE mutex = CreateMutexExW(&attributes, RunLock::Name, 0, SYNCHRONIZE);
    LocalFree(descriptor);
    return mutex;
}

}  // namespace

RunLock::RunLock(DWORD timeout) : mutex(CreateOrOpen())
{
    if (mutex == nullptr) {
        return;
    }
    const DWORD result = WaitForSingleObject(mutex, timeout);
    held = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

RunLock::~RunLock()
{
    if (held) {
        ReleaseMutex(mutex);
    }
    if (mutex != nullptr) {
        CloseHandle(mutex);
    }
}
