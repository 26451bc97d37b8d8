// The narrow (UTF-8) face of Win32Registry: conversions around the wide operations.

#include "TextConversions.h"
#include "Win32Registry.h"

namespace {

std::wstring W(const std::string& text)
{
    return Utf8ToWide(text);
}

}  // namespace

std::int32_t Win32Registry::GetSubKeyCount(const std::string& key, RegistryError* error)
{
    std::vector<std::string> names;
    return EnumSubKeys(key, names, error);
}

std::string Win32Registry::GetSubKeyPath(const std::string& key, std::uint32_t index, RegistryError* error)
{
    std::vector<std::string> names;
    RegistryError listing = RegistryError::None;
    EnumSubKeys(key, names, &listing);
    if (listing != RegistryError::None) {
        Record(listing, error);
        return std::string();
    }
    if (index < names.size()) {
        Record(RegistryError::None, error);
        return key + "\\" + names[index];
    }
    Record(RegistryError::InvalidArgument, error);
    return std::string();
}

// Lists through the virtual wide enumeration on a fresh list; the caller's list changes only
// when the listing succeeded.
std::int32_t Win32Registry::EnumNarrowNames(const std::string& key, NameKind kind, std::vector<std::string>& names,
                                            RegistryError* error)
{
    std::vector<std::wstring> wide;
    RegistryError listing = RegistryError::None;
    if (kind == NameKind::SubKeys) {
        EnumSubKeys(W(key), wide, &listing);
    } else {
        EnumValueNames(W(key), wide, &listing);
    }
    if (listing != RegistryError::None) {
        Record(listing, error);
        return 0;
    }
    names = WideListToUtf8(wide);
    Record(RegistryError::None, error);
    return static_cast<std::int32_t>(names.size());
}

std::int32_t Win32Registry::EnumSubKeys(const std::string& key, std::vector<std::string>& names,
                                        RegistryError* error)
{
    return EnumNarrowNames(key, NameKind::SubKeys, names, error);
}

std::int32_t Win32Registry::GetValueCount(const std::string& key, RegistryError* error)
{
    std::vector<std::string> names;
    return EnumValueNames(key, names, error);
}

std::int32_t Win32Registry::EnumValueNames(const std::string& key, std::vector<std::string>& names,
                                           RegistryError* error)
{
    return EnumNarrowNames(key, NameKind::Values, names, error);
}

bool Win32Registry::CreateSubKey(const std::string& parent, const std::string& name, RegistryError* error)
{
    return CreateSubKey(W(parent), W(name), error);
}

bool Win32Registry::DeleteSubKey(const std::string& parent, const std::string& name, RegistryError* error)
{
    return DeleteSubKey(W(parent), W(name), error);
}

bool Win32Registry::ReadString(const std::string& key, const std::string& name, std::string& value,
                               RegistryError* error)
{
    return ReadString(W(key), W(name), value, error);
}

bool Win32Registry::WriteString(const std::string& key, const std::string& name, const std::string& value,
                                RegistryError* error)
{
    return WriteString(W(key), W(name), value, error);
}

bool Win32Registry::ReadString(const std::string& key, const std::string& name, std::wstring& value,
                               RegistryError* error)
{
    return ReadString(W(key), W(name), value, error);
}

bool Win32Registry::WriteString(const std::string& key, const std::string& name, const std::wstring& value,
                                RegistryError* error)
{
    return WriteString(W(key), W(name), value, error);
}

bool Win32Registry::ReadString(const std::wstring& key, const std::wstring& name, std::string& value,
                               RegistryError* error)
{
    std::wstring wide;
    const bool result = ReadString(key, name, wide, error);
    value = WideToUtf8(wide);
    return result;
}

bool Win32Registry::WriteString(const std::wstring& key, const std::wstring& name, const std::string& value,
                                RegistryError* error)
{
    return WriteString(key, name, W(value), error);
}

bool Win32Registry::ReadBinary(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data,
                               RegistryError* error)
{
    return ReadBinary(W(key), W(name), data, error);
}

bool Win32Registry::WriteBinary(const std::string& key, const std::string& name,
                                const std::vector<std::uint8_t>& data, RegistryError* error)
{
    return WriteBinary(W(key), W(name), data, error);
}

bool Win32Registry::ReadDword(const std::string& key, const std::string& name, std::uint32_t& value,
                              RegistryError* error)
{
    return ReadDword(W(key), W(name), value, error);
}

bool Win32Registry::WriteDword(const std::string& key, const std::string& name, std::uint32_t value,
                               RegistryError* error)
{
    return WriteDword(W(key), W(name), value, error);
}

bool Win32Registry::ReadMultiString(const std::string& key, const std::string& name,
                                    std::vector<std::string>& values, RegistryError* error)
{
    std::vector<std::wstring> wide;
    const bool result = ReadMultiString(W(key), W(name), wide, error);
    values = WideListToUtf8(wide);
    return result;
}

bool Win32Registry::WriteMultiString(const std::string& key, const std::string& name,
                                     const std::vector<std::string>& values, RegistryError* error)
{
    return WriteMultiString(W(key), W(name), Utf8ListToWide(values), error);
}

bool Win32Registry::DeleteValue(const std::string& key, const std::string& name, RegistryError* error)
{
    return DeleteValue(W(key), W(name), error);
}

bool Win32Registry::CopyKey(const std::string& source, const std::string& destination, RegistryError* error)
{
    return CopyKey(W(source), W(destination), error);
}

bool Win32Registry::CopyValue(const std::string& sourceKey, const std::string& sourceName,
                              const std::string& destinationKey, const std::string& destinationName,
                              RegistryError* error)
{
    return CopyValue(W(sourceKey), W(sourceName), W(destinationKey), W(destinationName), error);
}

bool Win32Registry::DeleteKeyTree(const std::string& parent, const std::string& name, RegistryError* error)
{
    return DeleteKeyTree(W(parent), W(name), error);
}

std::uint32_t Win32Registry::GetValueType(const std::string& key, const std::string& name, RegistryError* error)
{
    return GetValueType(W(key), W(name), error);
}

bool Win32Registry::ReadQword(const std::string& key, const std::string& name, std::uint64_t& value,
                              RegistryError* error)
{
    return ReadQword(W(key), W(name), value, error);
}

bool Win32Registry::WriteQword(const std::string& key, const std::string& name, std::uint64_t value,
                               RegistryError* error)
{
    return WriteQword(W(key), W(name), value, error);
}

bool Win32Registry::KeyExists(const std::string& path, RegistryError* error)
{
    return KeyExists(W(path), error);
}

bool Win32Registry::SubKeyExists(const std::string& parent, const std::string& name, RegistryError* error)
{
    return SubKeyExists(W(parent), W(name), error);
}

bool Win32Registry::DeleteKey(const std::string& path, RegistryError* error)
{
    return DeleteKey(W(path), error);
}

bool Win32Registry::CreateKey(const std::string& path, RegistryError* error)
{
    return CreateKey(W(path), error);
}

bool Win32Registry::ReadValue(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data,
                              std::uint32_t& type, RegistryError* error)
{
    return ReadValue(W(key), W(name), data, type, error);
}
