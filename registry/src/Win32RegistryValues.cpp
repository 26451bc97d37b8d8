// The typed values of Win32Registry: reading, writing, copying and deleting one value.

#include <VxRegistry/Win32Registry.h>

#include "NativeRegistry.h"
#include "RegistryPath.h"
#include "ScopedKey.h"
#include "TextConversions.h"

#include <cstring>

using namespace VxRegistry;

namespace {

// Size, then data; a value that grows between the queries is read again at its new size.
LONG QuerySized(HKEY key, const std::wstring& name, DWORD& type, std::vector<std::uint8_t>& buffer)
{
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS && size != 0) {
        status = ERROR_MORE_DATA;
    }
    for (int pass = 0; status == ERROR_MORE_DATA && pass < native::MaxQueryPasses; ++pass) {
        buffer.resize(size);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, buffer.data(), &size);
    }
    buffer.resize(status == ERROR_SUCCESS ? size : 0);
    return status;
}

}  // namespace

std::uint32_t Win32Registry::GetValueType(const std::wstring& key, const std::wstring& name,
                                          RegistryError* error)
{
    ScopedKey handle;
    if (!OpenValueKey(key, name, KEY_READ, handle, error)) {
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

bool Win32Registry::ReadFixed(const std::wstring& key, const std::wstring& name, void* data, DWORD size,
                              DWORD type, RegistryError* error)
{
    ScopedKey handle;
    if (!OpenValueKey(key, name, KEY_READ, handle, error)) {
        return false;
    }
    BYTE buffer[sizeof(std::uint64_t)];
    DWORD stored = type;
    DWORD length = size;
    const LONG status = RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &stored, buffer, &length);
    // A value of the asked type but of another size holds no such number: the variable is left.
    if (stored == type && (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && length != size))) {
        return Record(RegistryError::WrongType, error);
    }
    // Otherwise the bytes delivered reach the variable, also when the type is then refused.
    if (status == ERROR_SUCCESS) {
        std::memcpy(data, buffer, length);
    }
    if (stored != type && stored != REG_NONE) {
        return Record(RegistryError::WrongType, error);
    }
    return Record(MapPlatformError(status), error);
}

bool Win32Registry::SetValue(const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
                             DWORD size, RegistryError* error)
{
    ScopedKey handle;
    if (!OpenValueKey(key, name, KEY_SET_VALUE, handle, error)) {
        return false;
    }
    const LONG status =
        RegSetValueExW(handle.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    return Record(MapPlatformError(status), error);
}

bool Win32Registry::ReadSized(const std::wstring& key, const std::wstring& name, REGSAM mask,
                              DWORD requiredType, std::vector<std::uint8_t>& data, DWORD& type, RegistryError* error)
{
    ScopedKey handle;
    if (!OpenValueKey(key, name, mask, handle, error)) {
        return false;
    }
    std::vector<std::uint8_t> buffer;
    // The size and type judged are those of the query that delivered the data.
    const LONG status = QuerySized(handle.Get(), name, type, buffer);
    if (status != ERROR_SUCCESS) {
        return Record(MapPlatformError(status), error);
    }
    if (requiredType != REG_NONE && type != requiredType) {
        return Record(RegistryError::WrongType, error);
    }
    data.swap(buffer);
    return Record(RegistryError::None, error);
}

bool Win32Registry::ReadDword(const std::wstring& key, const std::wstring& name,
                              std::uint32_t& value, RegistryError* error)
{
    return ReadFixed(key, name, &value, sizeof(value), REG_DWORD, error);
}

bool Win32Registry::WriteDword(const std::wstring& key, const std::wstring& name,
                               std::uint32_t value, RegistryError* error)
{
    return SetValue(key, name, REG_DWORD, &value, sizeof(value), error);
}

bool Win32Registry::ReadQword(const std::wstring& key, const std::wstring& name, std::uint64_t& value,
                              RegistryError* error)
{
    return ReadFixed(key, name, &value, sizeof(value), REG_QWORD, error);
}

bool Win32Registry::WriteQword(const std::wstring& key, const std::wstring& name, std::uint64_t value,
                               RegistryError* error)
{
    return SetValue(key, name, REG_QWORD, &value, sizeof(value), error);
}

bool Win32Registry::ReadString(const std::wstring& key, const std::wstring& name, std::wstring& value,
                               RegistryError* error)
{
    ScopedKey handle;
    if (!OpenValueKey(key, name, KEY_READ, handle, error)) {
        return false;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status = ERROR_MORE_DATA;
    // The value may grow between the calls; each pass takes the size the last one reported, and
    // one that keeps growing (or a root that reports no size) is given up as Failed.
    for (int pass = 0; status == ERROR_MORE_DATA && pass < native::MaxQueryPasses; ++pass) {
        value.resize((size + 1) / 2);
        status = RegQueryValueExW(handle.Get(), name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(value.data()), &size);
    }
    if (status != ERROR_SUCCESS) {
        value.clear();
        return Record(MapPlatformError(status), error);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) {
        value.clear();
        return Record(RegistryError::WrongType, error);
    }
    value.resize(size / 2);
    if (!value.empty() && value.back() == L'\0') {
        value.pop_back();
    }
    return Record(RegistryError::None, error);
}

bool Win32Registry::WriteString(const std::wstring& key, const std::wstring& name, const std::wstring& value,
                                RegistryError* error)
{
    return SetValue(key, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)),
                    error);
}

bool Win32Registry::ReadMultiString(const std::wstring& key, const std::wstring& name,
                                    std::vector<std::wstring>& values, RegistryError* error)
{
    std::vector<std::uint8_t> data;
    DWORD type = REG_NONE;
    if (!ReadSized(key, name, KEY_READ, REG_MULTI_SZ, data, type, error)) {
        return false;
    }
    if (!data.empty()) {
        std::wstring characters(data.size() / 2, L'\0');
        std::memcpy(characters.data(), data.data(), characters.size() * sizeof(wchar_t));
        values = SplitMultiString(characters.data(), characters.size());
    }
    return Record(RegistryError::None, error);
}

bool Win32Registry::WriteMultiString(const std::wstring& key, const std::wstring& name,
                                     const std::vector<std::wstring>& values, RegistryError* error)
{
    std::wstring joined;
    if (!JoinMultiString(values, joined)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    ScopedKey handle;
    if (!OpenValueKey(key, name, KEY_SET_VALUE, handle, error)) {
        return false;
    }
    const LONG status = RegSetValueExW(handle.Get(), name.c_str(), 0, REG_MULTI_SZ,
                                       reinterpret_cast<const BYTE*>(joined.data()),
                                       static_cast<DWORD>(joined.size() * sizeof(wchar_t)));
    return Record(MapPlatformError(status), error);
}

bool Win32Registry::ReadBinary(const std::wstring& key, const std::wstring& name, std::vector<std::uint8_t>& data,
                               RegistryError* error)
{
    DWORD type = REG_NONE;
    return ReadSized(key, name, KEY_QUERY_VALUE, REG_BINARY, data, type, error);
}

bool Win32Registry::WriteBinary(const std::wstring& key, const std::wstring& name,
                                const std::vector<std::uint8_t>& data, RegistryError* error)
{
    return SetValue(key, name, REG_BINARY, data.data(), static_cast<DWORD>(data.size()), error);
}

bool Win32Registry::ReadValue(const std::wstring& key, const std::wstring& name, std::vector<std::uint8_t>& data,
                              std::uint32_t& type, RegistryError* error)
{
    DWORD stored = REG_NONE;
    if (!ReadSized(key, name, KEY_READ, REG_NONE, data, stored, error)) {
        return false;
    }
    type = stored;
    return true;
}

bool Win32Registry::CopyValue(const std::wstring& sourceKey, const std::wstring& sourceName,
                              const std::wstring& destinationKey, const std::wstring& destinationName,
                              RegistryError* error)
{
    if (sourceKey.empty() || destinationKey.empty() || HoldsNul(sourceName) || HoldsNul(destinationName) ||
        !IsUsablePath(sourceKey) || !IsUsablePath(destinationKey)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    std::vector<std::uint8_t> data;
    DWORD type = REG_NONE;
    if (!ReadSized(sourceKey, sourceName, KEY_QUERY_VALUE, REG_NONE, data, type, error)) {
        return false;
    }
    if (type == REG_NONE) {
        return Record(RegistryError::WrongType, error);
    }
    ScopedKey destination;
    if (!OpenOrRecord(destinationKey, KEY_SET_VALUE, destination, error)) {
        return false;
    }
    // Exactly the bytes read: advapi32 may count a character past a string that lacks its NUL.
    return Record(MapPlatformError(native::SetValue(destination.Get(), destinationName, type, data)), error);
}

bool Win32Registry::DeleteValue(const std::wstring& key, const std::wstring& name,
                                RegistryError* error)
{
    ScopedKey handle;
    if (!OpenValueKey(key, name, KEY_SET_VALUE, handle, error)) {
        return false;
    }
    const LONG status = RegDeleteValueW(handle.Get(), name.c_str());
    return Record(MapPlatformError(status), error);
}
