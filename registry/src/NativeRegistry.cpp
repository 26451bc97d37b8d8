#include "NativeRegistry.h"

#include "RegistryPath.h"
#include "ScopedKey.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>

extern "C" {
NTSTATUS NTAPI NtEnumerateKey(HANDLE key, ULONG index, int informationClass, void* information, ULONG length,
                              ULONG* resultLength);
NTSTATUS NTAPI NtEnumerateValueKey(HANDLE key, ULONG index, int informationClass, void* information, ULONG length,
                                   ULONG* resultLength);
NTSTATUS NTAPI NtOpenKeyEx(HANDLE* key, ACCESS_MASK access, OBJECT_ATTRIBUTES* attributes, ULONG options);
NTSTATUS NTAPI NtCreateKey(HANDLE* key, ACCESS_MASK access, OBJECT_ATTRIBUTES* attributes, ULONG titleIndex,
                           UNICODE_STRING* className, ULONG options, ULONG* disposition);
NTSTATUS NTAPI NtQueryValueKey(HANDLE key, UNICODE_STRING* name, int informationClass, void* information,
                               ULONG length, ULONG* resultLength);
NTSTATUS NTAPI NtSetValueKey(HANDLE key, UNICODE_STRING* name, ULONG titleIndex, ULONG type, const void* data,
                             ULONG size);
NTSTATUS NTAPI NtDeleteKey(HANDLE key);
NTSTATUS NTAPI NtQueryKey(HANDLE key, int informationClass, void* information, ULONG length, ULONG* resultLength);
}

namespace VxRegistry::native {

namespace {

constexpr NTSTATUS Success = 0;
constexpr NTSTATUS BufferOverflow = static_cast<NTSTATUS>(0x80000005);
constexpr NTSTATUS BufferTooSmall = static_cast<NTSTATUS>(0xC0000023);
constexpr NTSTATUS NoMoreEntries = static_cast<NTSTATUS>(0x8000001A);

// What the calls deliver: a fixed part, then the name or the data.
constexpr int KeyBasicInformation = 0;
constexpr int KeyNameInformation = 3;
struct KeyBasic {
    LARGE_INTEGER lastWriteTime;
    ULONG titleIndex;
    ULONG nameLength;
    WCHAR name[1];
};
constexpr int KeyValueBasicInformation = 0;
struct ValueBasic {
    ULONG titleIndex;
    ULONG type;
    ULONG nameLength;
    WCHAR name[1];
};
constexpr int KeyValuePartialInformation = 2;
struct ValuePartial {
    ULONG titleIndex;
    ULONG type;
    ULONG dataLength;
    UCHAR data[1];
};

// Aligned for the 64-bit field some of that information starts with.
using Buffer = std::vector<ULONGLONG>;

Buffer BufferOf(std::size_t bytes)
{
    return Buffer((bytes + sizeof(ULONGLONG) - 1) / sizeof(ULONGLONG));
}

ULONG SizeOf(const Buffer& buffer)
{
    return static_cast<ULONG>(buffer.size() * sizeof(ULONGLONG));
}

const BYTE* At(const Buffer& buffer, std::size_t offset)
{
    return reinterpret_cast<const BYTE*>(buffer.data()) + offset;
}

LONG ToWin32(NTSTATUS status)
{
    return static_cast<LONG>(RtlNtStatusToDosError(status));
}

// False for a name longer than a counted string can carry.
bool Counted(const std::wstring& name, UNICODE_STRING& counted)
{
    const std::size_t bytes = name.size() * sizeof(wchar_t);
    if (bytes > 0xFFFE) {
        return false;
    }
    counted.Length = static_cast<USHORT>(bytes);
    counted.MaximumLength = counted.Length;
    counted.Buffer = const_cast<wchar_t*>(name.data());
    return true;
}

OBJECT_ATTRIBUTES Below(HKEY parent, UNICODE_STRING& name, DWORD options)
{
    const auto openLink = static_cast<ULONG>((options & REG_OPTION_OPEN_LINK) != 0 ? OBJ_OPENLINK : 0);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, static_cast<ULONG>(OBJ_CASE_INSENSITIVE) | openLink, parent,
                               nullptr);
    return attributes;
}

// The handle comes to the holder only when the call succeeded; whatever it held is closed.
LONG Hold(NTSTATUS status, HANDLE handle, ScopedKey& key)
{
    *key.Receive() = status == Success ? static_cast<HKEY>(handle) : nullptr;
    return ToWin32(status);
}

template <typename Information>
LONG ListNames(HKEY key, NTSTATUS(NTAPI* enumerate)(HANDLE, ULONG, int, void*, ULONG, ULONG*), int informationClass,
               std::size_t longest, std::vector<std::wstring>& names)
{
    names.clear();
    Buffer buffer = BufferOf(offsetof(Information, name) + longest * sizeof(wchar_t));
    for (ULONG index = 0;; ++index) {
        ULONG size = 0;
        const NTSTATUS status = enumerate(key, index, informationClass, buffer.data(), SizeOf(buffer), &size);
        if (status == NoMoreEntries) {
            return ERROR_SUCCESS;
        }
        if (status != Success) {
            names.clear();
            return ToWin32(status);
        }
        ULONG length = 0;
        std::memcpy(&length, At(buffer, offsetof(Information, nameLength)), sizeof(length));
        const auto* name = reinterpret_cast<const wchar_t*>(At(buffer, offsetof(Information, name)));
        names.emplace_back(name, length / sizeof(wchar_t));
    }
}

// One level below an open key by its counted name: `call` opens or creates it with the attributes
// naming it, and the handle it delivers goes to the holder.
template <typename Call>
LONG AtLevel(HKEY parent, const std::wstring& name, DWORD options, ScopedKey& key, Call call)
{
    UNICODE_STRING counted;
    if (!Counted(name, counted)) {
        key.Close();
        return ERROR_INVALID_PARAMETER;
    }
    OBJECT_ATTRIBUTES attributes = Below(parent, counted, options);
    HANDLE handle = nullptr;
    const NTSTATUS status = call(&handle, &attributes);
    return Hold(status, handle, key);
}

}  // namespace

LONG ListSubKeys(HKEY key, std::vector<std::wstring>& names)
{
    return ListNames<KeyBasic>(key, NtEnumerateKey, KeyBasicInformation, LongestKeyName, names);
}

LONG ListValues(HKEY key, std::vector<std::wstring>& names)
{
    return ListNames<ValueBasic>(key, NtEnumerateValueKey, KeyValueBasicInformation, LongestValueName, names);
}

LONG QueryValue(HKEY key, const std::wstring& name, DWORD& type, std::vector<std::uint8_t>& data)
{
    data.clear();
    UNICODE_STRING counted;
    if (!Counted(name, counted)) {
        return ERROR_INVALID_PARAMETER;
    }
    // A small value comes with the first query; a larger one is asked for again at the size the
    // last query reported.
    Buffer buffer = BufferOf(512);
    ULONG size = 0;
    NTSTATUS status = BufferOverflow;
    for (int pass = 0; (status == BufferOverflow || status == BufferTooSmall) && pass < MaxQueryPasses; ++pass) {
        if (size > SizeOf(buffer)) {
            buffer = BufferOf(size);
        }
        status = NtQueryValueKey(key, &counted, KeyValuePartialInformation, buffer.data(), SizeOf(buffer), &size);
    }
    if (status != Success) {
        return ToWin32(status);
    }
    ULONG length = 0;
    std::memcpy(&type, At(buffer, offsetof(ValuePartial, type)), sizeof(type));
    std::memcpy(&length, At(buffer, offsetof(ValuePartial, dataLength)), sizeof(length));
    data.assign(At(buffer, offsetof(ValuePartial, data)), At(buffer, offsetof(ValuePartial, data) + length));
    return ERROR_SUCCESS;
}

LONG SetValue(HKEY key, const std::wstring& name, DWORD type, const std::vector<std::uint8_t>& data)
{
    UNICODE_STRING counted;
    if (!Counted(name, counted)) {
        return ERROR_INVALID_PARAMETER;
    }
    return ToWin32(NtSetValueKey(key, &counted, 0, type, data.data(), static_cast<ULONG>(data.size())));
}

LONG DeleteKey(HKEY key)
{
    return ToWin32(NtDeleteKey(key));
}

std::wstring KeyName(HKEY key)
{
    // A name length, then the name; a long one is asked for again at the size reported.
    Buffer buffer = BufferOf(1024);
    ULONG size = 0;
    NTSTATUS status = NtQueryKey(key, KeyNameInformation, buffer.data(), SizeOf(buffer), &size);
    if ((status == BufferOverflow || status == BufferTooSmall) && size > SizeOf(buffer)) {
        buffer = BufferOf(size);
        status = NtQueryKey(key, KeyNameInformation, buffer.data(), SizeOf(buffer), &size);
    }
    if (status != Success) {
        return std::wstring();
    }
    ULONG length = 0;
    std::memcpy(&length, buffer.data(), sizeof(length));
    return std::wstring(reinterpret_cast<const wchar_t*>(At(buffer, sizeof(length))), length / sizeof(wchar_t));
}

// The registry views are documented for advapi32's calls only; the registry's own call is left for
// the names advapi32 would end at their NUL.
LONG OpenLevel(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask, ScopedKey& key)
{
    if (HoldsNul(name)) {
        return AtLevel(parent, name, options, key, [mask](HANDLE* handle, OBJECT_ATTRIBUTES* attributes) {
            return NtOpenKeyEx(handle, mask, attributes, 0);
        });
    }
    return RegOpenKeyExW(parent, name.c_str(), options, mask, key.Receive());
}

LONG CreateLevel(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask, ScopedKey& key)
{
    if (HoldsNul(name)) {
        return AtLevel(parent, name, options, key, [mask](HANDLE* handle, OBJECT_ATTRIBUTES* attributes) {
            return NtCreateKey(handle, mask, attributes, 0, nullptr, REG_OPTION_NON_VOLATILE, nullptr);
        });
    }
    return RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE | options, mask, nullptr,
                           key.Receive(), nullptr);
}

bool IsLink(HKEY key)
{
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

}  // namespace VxRegistry::native
