// The tree walks of Win32Registry: deleting and copying a whole tree.

#include <VxRegistry/Win32Registry.h>

#include "NativeRegistry.h"
#include "RegistryPath.h"
#include "ScopedKey.h"
#include "TextConversions.h"

#include <utility>

using namespace VxRegistry;

namespace {

// Listing the subkeys, then deleting the key itself.
constexpr REGSAM TreeDeletionRights = KEY_ENUMERATE_SUB_KEYS | DELETE;
// Creating subkeys and storing values, and asking whether the key is a link.
constexpr REGSAM CopyTargetRights = KEY_CREATE_SUB_KEY | KEY_SET_VALUE | KEY_QUERY_VALUE;
// A level on the way to the copy's destination: asking whether it is a link; creating below it is
// judged by the key's own security.
constexpr REGSAM PathLevelRights = KEY_QUERY_VALUE;

}  // namespace

// advapi32 shows HKEY_CLASSES_ROOT as one tree merged from two hives, each key from the hive where
// it was found; a walk by the registry's own listings sees one hive only and would mix the two.
bool Win32Registry::IsMergedRoot() const
{
    return ScopedKey::IsRoot(rootKey, HKEY_CLASSES_ROOT);
}

// A key opened as it stands (a link as the link itself) that may be walked: a link is refused.
RegistryError Win32Registry::AsItStands(LONG status, const ScopedKey& key)
{
    if (!key.IsOpen()) {
        return MapOpenFailure(status);
    }
    return native::IsLink(key.Get()) ? RegistryError::InvalidArgument : RegistryError::None;
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
