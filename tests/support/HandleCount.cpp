#include "HandleCount.h"

#include <windows.h>
#include <winternl.h>

#include <vector>

namespace {

// SystemHandleInformation's layout, which winternl.h does not declare.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE handleFlags;
    USHORT handleValue;
    PVOID objectPointer;
    ULONG accessMask;
};

struct HandleTable {
    ULONG count;
    HandleEntry handles[1];
};

constexpr auto HandleInformationClass = static_cast<SYSTEM_INFORMATION_CLASS>(16);

}  // namespace

int OpenHandleCount()
{
    std::vector<BYTE> buffer(1 << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(HandleInformationClass, buffer.data(),
                                                         static_cast<ULONG>(buffer.size()), &needed);
        if (status == static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) {
            return -1;
        }
        break;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    const DWORD self = GetCurrentProcessId();
    int count = 0;
    for (ULONG i = 0; i < table->count; ++i) {
        if (table->handles[i].ownerPid == self) {
            ++count;
        }
    }
    return count;
}
