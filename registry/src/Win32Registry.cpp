// Win32Registry itself: its state, how it opens keys and records outcomes, and the operations on
// keys and their listings.

#include <VxRegistry/Win32Registry.h>

#include "NativeRegistry.h"
#include "RegistryPath.h"
#include "ScopedKey.h"

using namespace VxRegistry;

namespace {

// The longest names the registry holds, with a terminator.
constexpr DWORD SubKeyNameCapacity = native::LongestKeyName + 1;
constexpr DWORD ValueNameCapacity = native::LongestValueName + 1;

}  // namespace

RegistryError Win32Registry::MapPlatformError(LONG status)
{
    switch (status) {
    case ERROR_SUCCESS:
        return RegistryError::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return RegistryError::NotFound;
    case ERROR_ACCESS_DENIED:
        return RegistryError::AccessDenied;
    case ERROR_INVALID_PARAMETER:
        return RegistryError::InvalidArgument;
    default:
        return RegistryError::Failed;
    }
}

void Win32Registry::SetRootKey(HKEY root)
{
    rootKey = root;
}

void Win32Registry::SetAccessFlags(std::uint32_t flags)
{
    accessFlags = flags;
}

RegistryError Win32Registry::GetLastErrorCode()
{
    return lastError;
}

LONG Win32Registry::OpenKey(const std::wstring& path, REGSAM mask, ScopedKey& key, DWORD options) const
{
    return RegOpenKeyExW(rootKey, path.c_str(), options, mask | accessFlags, key.Receive());
}

LONG Win32Registry::OpenBelow(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask, ScopedKey& key) const
{
    return native::OpenLevel(parent, name, options, mask | accessFlags, key);
}

LONG Win32Registry::CreateBelow(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask,
                                ScopedKey& key) const
{
    return native::CreateLevel(parent, name, options, mask | accessFlags, key);
}

bool Win32Registry::IsTopLevel(const std::wstring& path) const
{
    return ScopedKey::IsPredefined(rootKey) && path.find(Separator) == std::wstring::npos;
}

bool Win32Registry::Record(RegistryError code, RegistryError* error)
{
    lastError = code;
    if (error != nullptr) {
        *error = code;
    }
    return code == RegistryError::None;
}

RegistryError Win32Registry::MapOpenFailure(LONG status)
{
    const RegistryError code = MapPlatformError(status);
    return code == RegistryError::None ? RegistryError::Failed : code;
}

bool Win32Registry::RecordOpenFailure(LONG status, RegistryError* error)
{
    return Record(MapOpenFailure(status), error);
}

bool Win32Registry::OpenOrRecord(const std::wstring& path, REGSAM mask, ScopedKey& key, RegistryError* error)
{
    if (!IsUsablePath(path)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    const LONG status = OpenKey(path, mask, key);
    return key.IsOpen() || RecordOpenFailure(status, error);
}

bool Win32Registry::OpenValueKey(const std::wstring& path, const std::wstring& name, REGSAM mask, ScopedKey& key,
                                 RegistryError* error)
{
    if (HoldsNul(name)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    return OpenOrRecord(path, mask, key, error);
}

bool Win32Registry::KeyExists(const std::wstring& path, RegistryError* error)
{
    ScopedKey key;
    if (!OpenOrRecord(path, READ_CONTROL, key, error)) {
        return false;
    }
    return Record(RegistryError::None, error);
}

bool Win32Registry::SubKeyExists(const std::wstring& parent, const std::wstring& name,
                                 RegistryError* error)
{
    if (name.empty()) {
        return Record(RegistryError::InvalidArgument, error);
    }
    return KeyExists(JoinPath(parent, name), error);
}

bool Win32Registry::CreateSubKey(const std::wstring& parent, const std::wstring& name,
                                 RegistryError* error)
{
    const std::wstring path = JoinPath(parent, name);
    if (name.empty() || !IsUsablePath(path)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    ScopedKey key;
    const LONG status = RegCreateKeyExW(rootKey, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_CREATE_SUB_KEY | accessFlags, nullptr, key.Receive(),
                                        nullptr);
    if (!key.IsOpen()) {
        return RecordOpenFailure(status, error);
    }
    return Record(RegistryError::None, error);
}

bool Win32Registry::CreateKey(const std::wstring& path, RegistryError* error)
{
    if (!IsUsablePath(path)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    if (path.empty()) {
        return Record(RegistryError::None, error);
    }
    // The first level below a predefined root is one of the platform's own: it is opened, never
    // created. Every other level is created, top down.
    std::wstring::size_type begin = 0;
    if (ScopedKey::IsPredefined(rootKey)) {
        begin = path.find(Separator);
        if (!KeyExists(path.substr(0, begin), error)) {
            return false;
        }
        if (begin == std::wstring::npos) {
            return true;
        }
        ++begin;
    }
    for (;;) {
        const std::wstring::size_type next = path.find(Separator, begin);
        const std::wstring parent = begin == 0 ? std::wstring() : path.substr(0, begin - 1);
        if (!CreateSubKey(parent, path.substr(begin, next - begin), error)) {
            return false;
        }
        if (next == std::wstring::npos) {
            return true;
        }
        begin = next + 1;
    }
}

bool Win32Registry::DeleteSubKey(const std::wstring& parent, const std::wstring& name,
                                 RegistryError* error)
{
    const std::wstring path = JoinPath(parent, name);
    if (name.empty() || !IsUsablePath(path) || IsTopLevel(path)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    ScopedKey key;
    if (!OpenOrRecord(parent, KEY_READ, key, error)) {
        return false;
    }
    // Deleted through a handle to the key as it stands: a deletion by name would follow a link and
    // delete its target.
    ScopedKey doomed;
    const LONG status = OpenBelow(key.Get(), name, REG_OPTION_OPEN_LINK, DELETE, doomed);
    key.Close();
    if (!doomed.IsOpen()) {
        return RecordOpenFailure(status, error);
    }
    return Record(MapPlatformError(native::DeleteKey(doomed.Get())), error);
}

bool Win32Registry::DeleteKey(const std::wstring& path, RegistryError* error)
{
    if (!IsUsablePath(path)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    std::wstring parent;
    std::wstring leaf;
    SplitPath(path, parent, leaf);
    return DeleteSubKey(parent, leaf, error);
}

LONG Win32Registry::ListNames(HKEY key, NameKind kind, std::vector<std::wstring>& names)
{
    names.clear();
    std::vector<wchar_t> buffer(kind == NameKind::SubKeys ? SubKeyNameCapacity : ValueNameCapacity);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG status =
            kind == NameKind::SubKeys
                ? RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                : RegEnumValueW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            return ERROR_SUCCESS;
        }
        if (status != ERROR_SUCCESS) {
            names.clear();
            return status;
        }
        names.emplace_back(buffer.data(), length);
    }
}

std::int32_t Win32Registry::EnumNames(const std::wstring& key, NameKind kind, std::vector<std::wstring>& names,
                                      RegistryError* error)
{
    ScopedKey handle;
    if (!OpenOrRecord(key, KEY_READ, handle, error)) {
        return 0;
    }
    if (!Record(MapPlatformError(ListNames(handle.Get(), kind, names)), error)) {
        return 0;
    }
    return static_cast<std::int32_t>(names.size());
}

std::int32_t Win32Registry::EnumSubKeys(const std::wstring& key, std::vector<std::wstring>& names,
                                        RegistryError* error)
{
    return EnumNames(key, NameKind::SubKeys, names, error);
}

std::int32_t Win32Registry::EnumValueNames(const std::wstring& key, std::vector<std::wstring>& names,
                                           RegistryError* error)
{
    return EnumNames(key, NameKind::Values, names, error);
}
