// The narrow (UTF-8) face of Win32Registry: conversions around the wide operations.

#include <VxRegistry/Win32Registry.h>

#include "TextConversions.h"

using namespace VxRegistry;

namespace {

// The UTF-16 forms of two UTF-8 arguments; `valid` is false when either is not valid UTF-8.
struct WidePair {
    WidePair(const std::string& a, const std::string& b) : valid(Utf8ToWide(a, first) && Utf8ToWide(b, second)) {}

    std::wstring first;
    std::wstring second;
    bool valid;
};

}  // namespace

// A count needs the names in no other form: only the key is converted.
std::int32_t Win32Registry::CountNames(const std::string& key, NameKind kind, RegistryError* error)
{
    std::wstring wideKey;
    if (!Utf8ToWide(key, wideKey)) {
        Record(RegistryError::InvalidArgument, error);
        return 0;
    }
    std::vector<std::wstring> names;
    return kind == NameKind::SubKeys ? EnumSubKeys(wideKey, names, error) : EnumValueNames(wideKey, names, error);
}

std::int32_t Win32Registry::GetSubKeyCount(const std::string& key, RegistryError* error)
{
    return CountNames(key, NameKind::SubKeys, error);
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
        return key.empty() ? names[index] : key + "\\" + names[index];
    }
    Record(RegistryError::InvalidArgument, error);
    return std::string();
}

// Lists through the virtual wide enumeration on a fresh list; the caller's list changes only
// when the listing succeeded and every name converted.
std::int32_t Win32Registry::EnumNarrowNames(const std::string& key, NameKind kind, std::vector<std::string>& names,
                                            RegistryError* error)
{
    std::wstring wideKey;
    if (!Utf8ToWide(key, wideKey)) {
        Record(RegistryError::InvalidArgument, error);
        return 0;
    }
    std::vector<std::wstring> wide;
    RegistryError listing = RegistryError::None;
    if (kind == NameKind::SubKeys) {
        EnumSubKeys(wideKey, wide, &listing);
    } else {
        EnumValueNames(wideKey, wide, &listing);
    }
    if (listing != RegistryError::None) {
        Record(listing, error);
        return 0;
    }
    std::vector<std::string> converted;
    if (!WideListToUtf8(wide, converted)) {
        Record(RegistryError::Failed, error);
        return 0;
    }
    names = std::move(converted);
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
    return CountNames(key, NameKind::Values, error);
}

std::int32_t Win32Registry::EnumValueNames(const std::string& key, std::vector<std::string>& names,
                                           RegistryError* error)
{
    return EnumNarrowNames(key, NameKind::Values, names, error);
}

bool Win32Registry::CreateSubKey(const std::string& parent, const std::string& name, RegistryError* error)
{
    const WidePair wide(parent, name);
    return wide.valid ? CreateSubKey(wide.first, wide.second, error) : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::DeleteSubKey(const std::string& parent, const std::string& name, RegistryError* error)
{
    const WidePair wide(parent, name);
    return wide.valid ? DeleteSubKey(wide.first, wide.second, error) : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::ReadString(const std::string& key, const std::string& name, std::string& value,
                               RegistryError* error)
{
    const WidePair wide(key, name);
    if (!wide.valid) {
        value.clear();
        return Record(RegistryError::InvalidArgument, error);
    }
    return ReadString(wide.first, wide.second, value, error);
}

bool Win32Registry::WriteString(const std::string& key, const std::string& name, const std::string& value,
                                RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? WriteString(wide.first, wide.second, value, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::ReadString(const std::string& key, const std::string& name, std::wstring& value,
                               RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? ReadString(wide.first, wide.second, value, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::WriteString(const std::string& key, const std::string& name, const std::wstring& value,
                                RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? WriteString(wide.first, wide.second, value, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::ReadString(const std::wstring& key, const std::wstring& name, std::string& value,
                               RegistryError* error)
{
    std::wstring wide;
    if (!ReadString(key, name, wide, error)) {
        value.clear();
        return false;
    }
    return WideToUtf8(wide, value) || Record(RegistryError::Failed, error);
}

bool Win32Registry::WriteString(const std::wstring& key, const std::wstring& name, const std::string& value,
                                RegistryError* error)
{
    std::wstring wide;
    return Utf8ToWide(value, wide) ? WriteString(key, name, wide, error)
                                   : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::ReadBinary(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data,
                               RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? ReadBinary(wide.first, wide.second, data, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::WriteBinary(const std::string& key, const std::string& name,
                                const std::vector<std::uint8_t>& data, RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? WriteBinary(wide.first, wide.second, data, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::ReadDword(const std::string& key, const std::string& name, std::uint32_t& value,
                              RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? ReadDword(wide.first, wide.second, value, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::WriteDword(const std::string& key, const std::string& name, std::uint32_t value,
                               RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? WriteDword(wide.first, wide.second, value, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::ReadMultiString(const std::string& key, const std::string& name,
                                    std::vector<std::string>& values, RegistryError* error)
{
    values.clear();
    const WidePair wide(key, name);
    if (!wide.valid) {
        return Record(RegistryError::InvalidArgument, error);
    }
    std::vector<std::wstring> list;
    if (!ReadMultiString(wide.first, wide.second, list, error)) {
        return false;
    }
    return WideListToUtf8(list, values) || Record(RegistryError::Failed, error);
}

bool Win32Registry::WriteMultiString(const std::string& key, const std::string& name,
                                     const std::vector<std::string>& values, RegistryError* error)
{
    const WidePair wide(key, name);
    std::vector<std::wstring> list;
    if (!wide.valid || !Utf8ListToWide(values, list)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    return WriteMultiString(wide.first, wide.second, list, error);
}

bool Win32Registry::DeleteValue(const std::string& key, const std::string& name, RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? DeleteValue(wide.first, wide.second, error) : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::CopyKey(const std::string& source, const std::string& destination, RegistryError* error)
{
    const WidePair wide(source, destination);
    return wide.valid ? CopyKey(wide.first, wide.second, error) : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::CopyValue(const std::string& sourceKey, const std::string& sourceName,
                              const std::string& destinationKey, const std::string& destinationName,
                              RegistryError* error)
{
    const WidePair source(sourceKey, sourceName);
    const WidePair destination(destinationKey, destinationName);
    if (!source.valid || !destination.valid) {
        return Record(RegistryError::InvalidArgument, error);
    }
    return CopyValue(source.first, source.second, destination.first, destination.second, error);
}

bool Win32Registry::DeleteKeyTree(const std::string& parent, const std::string& name, RegistryError* error)
{
    const WidePair wide(parent, name);
    return wide.valid ? DeleteKeyTree(wide.first, wide.second, error) : Record(RegistryError::InvalidArgument, error);
}

std::uint32_t Win32Registry::GetValueType(const std::string& key, const std::string& name, RegistryError* error)
{
    const WidePair wide(key, name);
    if (!wide.valid) {
        Record(RegistryError::InvalidArgument, error);
        return REG_NONE;
    }
    return GetValueType(wide.first, wide.second, error);
}

bool Win32Registry::ReadQword(const std::string& key, const std::string& name, std::uint64_t& value,
                              RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? ReadQword(wide.first, wide.second, value, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::WriteQword(const std::string& key, const std::string& name, std::uint64_t value,
                               RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? WriteQword(wide.first, wide.second, value, error)
                      : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::KeyExists(const std::string& path, RegistryError* error)
{
    std::wstring widePath;
    return Utf8ToWide(path, widePath) ? KeyExists(widePath, error) : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::SubKeyExists(const std::string& parent, const std::string& name, RegistryError* error)
{
    const WidePair wide(parent, name);
    return wide.valid ? SubKeyExists(wide.first, wide.second, error) : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::DeleteKey(const std::string& path, RegistryError* error)
{
    std::wstring widePath;
    return Utf8ToWide(path, widePath) ? DeleteKey(widePath, error) : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::CreateKey(const std::string& path, RegistryError* error)
{
    std::wstring widePath;
    return Utf8ToWide(path, widePath) ? CreateKey(widePath, error) : Record(RegistryError::InvalidArgument, error);
}

bool Win32Registry::ReadValue(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data,
                              std::uint32_t& type, RegistryError* error)
{
    const WidePair wide(key, name);
    return wide.valid ? ReadValue(wide.first, wide.second, data, type, error)
                      : Record(RegistryError::InvalidArgument, error);
}
