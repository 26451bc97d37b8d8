#include "Win32Registry.h"

#include "ScopedKey.h"

namespace {

constexpr wchar_t Separator = L'\\';

// Splits at the last backslash; false when the path is empty or holds none.
bool SplitPath(const std::wstring& path, std::wstring& parent, std::wstring& leaf)
{
    const std::wstring::size_type pos = path.rfind(Separator);
    if (pos == std::wstring::npos) {
        return false;
    }
    parent = path.substr(0, pos);
    leaf = path.substr(pos + 1);
    return true;
}

std::wstring JoinPath(const std::wstring& parent, const std::wstring& name)
{
    return parent + Separator + name;
}

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

LONG Win32Registry::OpenKey(const std::wstring& path, REGSAM mask, ScopedKey& key) const
{
    return RegOpenKeyExW(rootKey, path.c_str(), 0, mask | accessFlags, key.Receive());
}

bool Win32Registry::Record(RegistryError code, RegistryError* error)
{
    lastError = code;
    if (error != nullptr) {
        *error = code;
    }
    return code == RegistryError::None;
}

bool Win32Registry::RecordOpenFailure(LONG status, RegistryError* error)
{
    const RegistryError code = MapPlatformError(status);
    return Record(code == RegistryError::None ? RegistryError::Failed : code, error);
}

bool Win32Registry::KeyExists(const std::wstring& path, RegistryError* error)
{
    ScopedKey key;
    const LONG status = OpenKey(path, READ_CONTROL, key);
    if (!key.IsOpen()) {
        return RecordOpenFailure(status, error);
    }
    return Record(RegistryError::None, error);
}

bool Win32Registry::SubKeyExists(const std::wstring& parent, const std::wstring& name,
                                 RegistryError* error)
{
    return KeyExists(JoinPath(parent, name), error);
}

bool Win32Registry::CreateSubKey(const std::wstring& parent, const std::wstring& name,
                                 RegistryError* error)
{
    if (name.empty()) {
        return Record(RegistryError::InvalidArgument, error);
    }
    const std::wstring path = JoinPath(parent, name);
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
    std::wstring parent;
    std::wstring leaf;
    // The first component of a path is never created.
    if (!SplitPath(path, parent, leaf)) {
        return Record(RegistryError::None, error);
    }
    if (!CreateKey(parent, error)) {
        return false;
    }
    return CreateSubKey(parent, leaf, error);
}

bool Win32Registry::DeleteSubKey(const std::wstring& parent, const std::wstring& name,
                                 RegistryError* error)
{
    if (name.empty()) {
        return Record(RegistryError::InvalidArgument, error);
    }
    ScopedKey key;
    const LONG openStatus = OpenKey(parent, KEY_READ, key);
    if (!key.IsOpen()) {
        return RecordOpenFailure(openStatus, error);
    }
    const LONG status = RegDeleteKeyW(key.Get(), name.c_str());
    key.Close();
    return Record(MapPlatformError(status), error);
}

bool Win32Registry::DeleteKey(const std::wstring& path, RegistryError* error)
{
    std::wstring parent;
    std::wstring leaf;
    // A top-level key is never deleted through this operation.
    if (!SplitPath(path, parent, leaf)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    return DeleteSubKey(parent, leaf, error);
}

std::uint32_t Win32Registry::GetValueType(const std::wstring& key, const std::wstring& name,
                                          RegistryError* error)
{
    ScopedKey handle;
    const LONG openStatus = OpenKey(key, KEY_READ, handle);
    if (!handle.IsOpen()) {
        RecordOpenFailure(openStatus, error);
        return REG_NONE;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LONG status = RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &type, nullptr, &size);
    if (!Record(MapPlatformError(status), error)) {
        return REG_NONE;
    }
    return type;
}

bool Win32Registry::ReadDword(const std::wstring& key, const std::wstring& name,
                              std::uint32_t& value, RegistryError* error)
{
    ScopedKey handle;
    const LONG openStatus = OpenKey(key, KEY_READ, handle);
    if (!handle.IsOpen()) {
        return RecordOpenFailure(openStatus, error);
    }
    DWORD type = REG_DWORD;
    DWORD size = sizeof(value);
    const LONG status = RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
    // The type is judged before the result, so a REG_QWORD fails as WrongType, not as too large.
    if (type != REG_DWORD && type != REG_NONE) {
        return Record(RegistryError::WrongType, error);
    }
    return Record(MapPlatformError(status), error);
}

bool Win32Registry::WriteDword(const std::wstring& key, const std::wstring& name,
                               std::uint32_t value, RegistryError* error)
{
    ScopedKey handle;
    const LONG openStatus = OpenKey(key, KEY_SET_VALUE, handle);
    if (!handle.IsOpen()) {
        return RecordOpenFailure(openStatus, error);
    }
    const LONG status = RegSetValueExW(handle.Get(), name.c_str(), 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&value), sizeof(value));
    return Record(MapPlatformError(status), error);
}

bool Win32Registry::DeleteValue(const std::wstring& key, const std::wstring& name,
                                RegistryError* error)
{
    ScopedKey handle;
    const LONG openStatus = OpenKey(key, KEY_SET_VALUE, handle);
    if (!handle.IsOpen()) {
        return RecordOpenFailure(openStatus, error);
    }
    const LONG status = RegDeleteValueW(handle.Get(), name.c_str());
    return Record(MapPlatformError(status), error);
}
