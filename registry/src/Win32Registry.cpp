#include <VxRegistry/Win32Registry.h>

#include "NativeRegistry.h"
#include "ScopedKey.h"
#include "TextConversions.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr wchar_t Separator = L'\\';
// The platform hands a path on as a counted string and silently cuts one longer than this, so
// that it can name another key.
constexpr std::size_t MaxPathLength = 32766;
// The registry's own limit on the depth of a tree.
constexpr std::size_t MaxPathDepth = 512;
// The longest names the registry holds, with a terminator.
constexpr DWORD SubKeyNameCapacity = native::LongestKeyName + 1;
constexpr DWORD ValueNameCapacity = native::LongestValueName + 1;
// Listing the subkeys, then deleting the key itself.
constexpr REGSAM TreeDeletionRights = KEY_ENUMERATE_SUB_KEYS | DELETE;
// Creating subkeys and storing values, and asking whether the key is a link.
constexpr REGSAM CopyTargetRights = KEY_CREATE_SUB_KEY | KEY_SET_VALUE | KEY_QUERY_VALUE;
// A level on the way to the copy's destination: asking whether it is a link; creating below it is
// judged by the key's own security.
constexpr REGSAM PathLevelRights = KEY_QUERY_VALUE;

// A NUL would end the name early at the platform, which would then act on another one.
bool HoldsNul(const std::wstring& text)
{
    return text.find(L'\0') != std::wstring::npos;
}

// The platform skips an empty component (A\\B is A\B), so a path holding one would name a key
// under another spelling than the one the layer compares.
bool IsCanonical(const std::wstring& path)
{
    return path.empty() || (path.front() != Separator && path.back() != Separator &&
                            path.find(std::wstring(2, Separator)) == std::wstring::npos);
}

bool IsUsablePath(const std::wstring& path)
{
    return !HoldsNul(path) && path.size() <= MaxPathLength && IsCanonical(path) &&
           static_cast<std::size_t>(std::count(path.begin(), path.end(), Separator)) < MaxPathDepth;
}

// Splits at the last backslash; a path without one is a leaf of the root.
void SplitPath(const std::wstring& path, std::wstring& parent, std::wstring& leaf)
{
    const std::wstring::size_type pos = path.rfind(Separator);
    parent = pos == std::wstring::npos ? std::wstring() : path.substr(0, pos);
    leaf = pos == std::wstring::npos ? path : path.substr(pos + 1);
}

// An empty parent is the root itself.
std::wstring JoinPath(const std::wstring& parent, const std::wstring& name)
{
    return parent.empty() ? name : parent + Separator + name;
}

// Registry names ignore case, beyond ASCII too, so a\B lies inside A as much as A\B does.
bool IsInside(const std::wstring& name, const std::wstring& tree)
{
    return StartsWith(name, tree + Separator, true);
}

// A link opened as itself holds its target in this value; a key that merely holds such a value is
// taken for one too.
bool IsLink(HKEY key)
{
    DWORD type = REG_NONE;
    return RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
           type == REG_LINK;
}

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

// The registry views are documented for advapi32's calls only; the registry's own call is left for
// the names advapi32 would end at their NUL.
LONG Win32Registry::OpenBelow(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask, ScopedKey& key) const
{
    if (HoldsNul(name)) {
        return native::OpenKey(parent, name, options, mask | accessFlags, key);
    }
    return RegOpenKeyExW(parent, name.c_str(), options, mask | accessFlags, key.Receive());
}

LONG Win32Registry::CreateBelow(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask,
                                ScopedKey& key) const
{
    if (HoldsNul(name)) {
        return native::CreateKey(parent, name, options, mask | accessFlags, key);
    }
    return RegCreateKeyExW(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE | options, mask | accessFlags,
                           nullptr, key.Receive(), nullptr);
}

bool Win32Registry::IsTopLevel(const std::wstring& path) const
{
    return ScopedKey::IsPredefined(rootKey) && path.find(Separator) == std::wstring::npos;
}

// advapi32 shows HKEY_CLASSES_ROOT as one tree merged from two hives, each key from the hive where
// it was found; a walk by the registry's own listings sees one hive only and would mix the two.
bool Win32Registry::IsMergedRoot() const
{
    return ScopedKey::IsRoot(rootKey, HKEY_CLASSES_ROOT);
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

// A key opened as it stands (a link as the link itself) that may be walked: a link is refused.
RegistryError Win32Registry::AsItStands(LONG status, const ScopedKey& key)
{
    if (!key.IsOpen()) {
        return MapOpenFailure(status);
    }
    return IsLink(key.Get()) ? RegistryError::InvalidArgument : RegistryError::None;
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

// Every key of a tree is opened as it stands (a link as the link itself, never its target),
// relative to the handle of its parent and by its whole name, and deleted through its own handle:
// nothing that changes in the tree meanwhile, and no name in it, can lead the operation outside it.
bool Win32Registry::DeleteKeyTree(const std::wstring& parent, const std::wstring& name, RegistryError* error)
{
    const std::wstring path = JoinPath(parent, name);
    if (name.empty() || !IsUsablePath(path) || IsTopLevel(path) || IsMergedRoot()) {
        return Record(RegistryError::InvalidArgument, error);
    }
    ScopedKey key;
    const LONG status = OpenKey(path, TreeDeletionRights, key, REG_OPTION_OPEN_LINK);
    if (!key.IsOpen()) {
        return RecordOpenFailure(status, error);
    }
    return Record(DeleteTreeAt(key.Get()), error);
}

RegistryError Win32Registry::DeleteTreeAt(HKEY key)
{
    std::vector<std::wstring> names;
    LONG status = native::ListSubKeys(key, names);
    // Someone else removed the key since it was opened: gone, as wanted.
    if (status == ERROR_KEY_DELETED) {
        return RegistryError::None;
    }
    if (status != ERROR_SUCCESS) {
        return MapPlatformError(status);
    }
    for (const std::wstring& name : names) {
        ScopedKey child;
        status = OpenBelow(key, name, REG_OPTION_OPEN_LINK, TreeDeletionRights, child);
        // A child that someone else removed since the listing is gone, as wanted.
        if (status == ERROR_FILE_NOT_FOUND || status == ERROR_KEY_DELETED) {
            continue;
        }
        if (!child.IsOpen()) {
            return MapOpenFailure(status);
        }
        const RegistryError code = DeleteTreeAt(child.Get());
        if (code != RegistryError::None) {
            return code;
        }
    }
    status = native::DeleteKey(key);
    return status == ERROR_KEY_DELETED ? RegistryError::None : MapPlatformError(status);
}

// Walks both trees by handles as DeleteKeyTree does. A link is neither copied (the copy would
// point where the source's does) nor written through; what was copied before one is met stays.
// The source tree is listed before the destination is opened, and the copy descends only into the
// keys listed: wherever the destination turns out to lie, even inside a source renamed meanwhile,
// the copy never walks into the keys it creates.
bool Win32Registry::CopyKey(const std::wstring& source, const std::wstring& destination, RegistryError* error)
{
    if (source.empty() || destination.empty() || !IsUsablePath(source) || !IsUsablePath(destination) ||
        IsMergedRoot()) {
        return Record(RegistryError::InvalidArgument, error);
    }
    // Copying a tree into itself would nest copies until the registry's depth limit.
    if (IsInside(destination, source)) {
        return Record(RegistryError::InvalidArgument, error);
    }
    ScopedKey from;
    const LONG status = OpenKey(source, KEY_READ, from, REG_OPTION_OPEN_LINK);
    if (!Record(AsItStands(status, from), error)) {
        return false;
    }
    // Without the name the system resolved for the source, the destination cannot be checked.
    if (native::KeyName(from.Get()).empty()) {
        return Record(RegistryError::Failed, error);
    }
    ListedKey listed;
    ListTree(from.Get(), 0, listed);
    ScopedKey to;
    if (!Record(OpenDestination(destination, from.Get(), to), error)) {
        return false;
    }
    return Record(CopyTreeAt(from.Get(), to.Get(), listed), error);
}

void Win32Registry::ListTree(HKEY key, std::size_t depth, ListedKey& listed) const
{
    // The registry holds no deeper tree; only one that grows under the listing would reach this.
    if (depth >= MaxPathDepth) {
        listed.error = RegistryError::Failed;
        return;
    }
    std::vector<std::wstring> names;
    listed.error = MapPlatformError(native::ListSubKeys(key, names));
    for (std::wstring& name : names) {
        ListedKey& child = listed.subKeys.emplace_back();
        ScopedKey handle;
        child.error = AsItStands(OpenBelow(key, name, REG_OPTION_OPEN_LINK, KEY_READ, handle), handle);
        child.name = std::move(name);
        if (child.error == RegistryError::None) {
            ListTree(handle.Get(), depth + 1, child);
        }
    }
}

// A level at a time, each opened or created below the handle of the one above, so that a link
// along the path cannot be swapped in after a check. A link along the path is followed, as the
// platform follows one, and the name the system resolved for each level is compared with the
// source's, read afresh from the source's handle after the level was opened (its owner may rename
// it), before anything is created below it. Where a level is missing it is created as it stands: a
// link there (one whose target is missing) is refused like the link the last level may be, since
// following it would create its target unchecked.
RegistryError Win32Registry::OpenDestination(const std::wstring& path, HKEY source, ScopedKey& key) const
{
    for (std::wstring::size_type begin = 0;;) {
        const std::wstring::size_type end = path.find(Separator, begin);
        const bool last = end == std::wstring::npos;
        const std::wstring name = path.substr(begin, last ? std::wstring::npos : end - begin);
        const DWORD options = last ? REG_OPTION_OPEN_LINK : 0;
        const REGSAM mask = last ? CopyTargetRights : PathLevelRights;
        // Below a predefined root, which only advapi32 knows, the first level is one of the
        // platform's own: opened, never created.
        const bool belowPredefined = begin == 0 && ScopedKey::IsPredefined(rootKey);
        const HKEY parent = begin == 0 ? rootKey : key.Get();
        ScopedKey level;
        LONG status =
            belowPredefined ? OpenKey(name, mask, level, options) : OpenBelow(parent, name, options, mask, level);
        if (status == ERROR_FILE_NOT_FOUND && !belowPredefined) {
            status = CreateBelow(parent, name, REG_OPTION_OPEN_LINK, mask, level);
        }
        const RegistryError code = AsItStands(status, level);
        if (code != RegistryError::None) {
            return code;
        }
        const std::wstring levelName = native::KeyName(level.Get());
        const std::wstring sourceName = native::KeyName(source);
        if (levelName.empty() || sourceName.empty()) {
            return RegistryError::Failed;
        }
        // The source itself may be the destination, and is then copied onto itself.
        const bool isSource = levelName.size() == sourceName.size() && StartsWith(levelName, sourceName, true);
        if (IsInside(levelName, sourceName) || (isSource && !last)) {
            return RegistryError::InvalidArgument;
        }
        key = std::move(level);
        if (last) {
            return RegistryError::None;
        }
        begin = end + 1;
    }
}

RegistryError Win32Registry::CopyTreeAt(HKEY source, HKEY destination, const ListedKey& listed)
{
    std::vector<std::wstring> names;
    LONG status = native::ListValues(source, names);
    for (std::size_t i = 0; status == ERROR_SUCCESS && i < names.size(); ++i) {
        std::vector<std::uint8_t> data;
        DWORD type = REG_NONE;
        status = native::QueryValue(source, names[i], type, data);
        if (status == ERROR_SUCCESS && type == REG_NONE) {
            return RegistryError::WrongType;
        }
        if (status == ERROR_SUCCESS) {
            status = native::SetValue(destination, names[i], type, data);
        }
    }
    if (status != ERROR_SUCCESS) {
        return MapPlatformError(status);
    }
    // A key that could not be listed, or opened for the listing, fails where the copy meets it.
    if (listed.error != RegistryError::None) {
        return listed.error;
    }
    for (const ListedKey& child : listed.subKeys) {
        ScopedKey from;
        RegistryError code = AsItStands(OpenBelow(source, child.name, REG_OPTION_OPEN_LINK, KEY_READ, from), from);
        ScopedKey to;
        if (code == RegistryError::None) {
            code = AsItStands(CreateBelow(destination, child.name, REG_OPTION_OPEN_LINK, CopyTargetRights, to), to);
        }
        if (code == RegistryError::None) {
            code = CopyTreeAt(from.Get(), to.Get(), child);
        }
        if (code != RegistryError::None) {
            return code;
        }
    }
    return RegistryError::None;
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
