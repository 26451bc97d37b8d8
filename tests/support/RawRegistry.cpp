#include "RawRegistry.h"

#include <winternl.h>

#include <algorithm>
#include <iomanip>
#include <utility>

extern "C" NTSTATUS NTAPI NtDeleteKey(HANDLE key);
extern "C" NTSTATUS NTAPI NtCreateKey(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, ULONG titleIndex,
                                      PUNICODE_STRING className, ULONG options, PULONG disposition);
extern "C" NTSTATUS NTAPI NtOpenKeyEx(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes, ULONG options);
extern "C" NTSTATUS NTAPI NtSetValueKey(HANDLE key, PUNICODE_STRING name, ULONG titleIndex, ULONG type, PVOID data,
                                        ULONG size);
extern "C" NTSTATUS NTAPI NtQueryKey(HANDLE key, int informationClass, void* information, ULONG length,
                                     ULONG* resultLength);

namespace raw {

namespace {

class Key {
public:
    Key() = default;
    ~Key()
    {
        if (handle != nullptr) {
            RegCloseKey(handle);
        }
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;

    HKEY handle = nullptr;
};

LONG Open(REGSAM view, const std::wstring& path, REGSAM rights, Key& key)
{
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, rights | view, &key.handle);
}

// The registry's own calls take a name whole, a NUL in it included, where advapi32 ends it there.
UNICODE_STRING Counted(const std::wstring& name)
{
    const auto bytes = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    return UNICODE_STRING{bytes, bytes, const_cast<PWSTR>(name.data())};
}

// A child as it stands, a link as the link itself.
LONG OpenChild(HKEY parent, const std::wstring& name, REGSAM rights, Key& key)
{
    UNICODE_STRING counted = Counted(name);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &counted, OBJ_CASE_INSENSITIVE | OBJ_OPENLINK, parent, nullptr);
    HANDLE handle = nullptr;
    const NTSTATUS status = NtOpenKeyEx(&handle, rights, &attributes, 0);
    key.handle = status == 0 ? static_cast<HKEY>(handle) : nullptr;
    return static_cast<LONG>(RtlNtStatusToDosError(status));
}

// Children first; RegDeleteTreeW would leave a child whose name holds a NUL behind.
bool DeleteChildren(HKEY key)
{
    std::vector<wchar_t> name(256);
    for (;;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG status = RegEnumKeyExW(key, 0, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            return true;
        }
        Key child;
        if (status != ERROR_SUCCESS ||
            OpenChild(key, std::wstring(name.data(), length), KEY_ALL_ACCESS, child) != ERROR_SUCCESS ||
            !DeleteChildren(child.handle) || NtDeleteKey(child.handle) != 0) {
            return false;
        }
    }
}

std::optional<KeySnapshot> SnapshotOf(HKEY key)
{
    KeySnapshot snapshot;
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(65536);
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LONG status = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                          data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status == ERROR_MORE_DATA && size > data.size()) {
            data.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        snapshot.values[std::wstring(name.data(), nameLength)] =
            Value{type, std::vector<BYTE>(data.data(), data.data() + size)};
        ++index;
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        const LONG status = RegEnumKeyExW(key, index, name.data(), &nameLength, nullptr, nullptr,
                                          nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        Key child;
        if (OpenChild(key, std::wstring(name.data(), nameLength), KEY_READ, child) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::optional<KeySnapshot> sub = SnapshotOf(child.handle);
        if (!sub) {
            return std::nullopt;
        }
        snapshot.subKeys[std::wstring(name.data(), nameLength)] = std::move(*sub);
    }
    return snapshot;
}

bool SetDacl(REGSAM view, const std::wstring& path, DWORD deniedRights)
{
    Key key;
    if (Open(view, path, WRITE_DAC | WRITE_OWNER, key) != ERROR_SUCCESS) {
        return false;
    }
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(everyone);
    if (!CreateWellKnownSid(WinWorldSid, nullptr, everyone, &sidSize)) {
        return false;
    }
    alignas(DWORD) BYTE aclBuffer[512];
    auto* acl = reinterpret_cast<PACL>(aclBuffer);
    if (!InitializeAcl(acl, sizeof(aclBuffer), ACL_REVISION)) {
        return false;
    }
    // A deny ACE must come first to take effect against the allow ACE.
    if (deniedRights != 0 && !AddAccessDeniedAce(acl, ACL_REVISION, deniedRights, everyone)) {
        return false;
    }
    if (!AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone)) {
        return false;
    }
    // An owner is granted READ_CONTROL whatever the DACL says, so the key is handed to
    // LocalSystem for a denial of that right to take effect.
    BYTE system[SECURITY_MAX_SID_SIZE];
    sidSize = sizeof(system);
    if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &sidSize)) {
        return false;
    }
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) ||
        !SetSecurityDescriptorOwner(&descriptor, system, FALSE)) {
        return false;
    }
    return RegSetKeySecurity(key.handle, DACL_SECURITY_INFORMATION | OWNER_SECURITY_INFORMATION,
                             &descriptor) == ERROR_SUCCESS;
}

}  // namespace

bool CreateKey(REGSAM view, const std::wstring& path, DWORD options)
{
    const std::wstring::size_type separator = path.rfind(L'\\');
    Key parent;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.substr(0, separator).c_str(), 0, nullptr, options,
                        KEY_CREATE_SUB_KEY | view, nullptr, &parent.handle, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring leaf = path.substr(separator + 1);
    UNICODE_STRING name = Counted(leaf);
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, parent.handle, nullptr);
    Key key;
    return NtCreateKey(reinterpret_cast<PHANDLE>(&key.handle), KEY_ALL_ACCESS | view, &attributes, 0, nullptr, options,
                       nullptr) == 0;
}

bool KeyExists(REGSAM view, const std::wstring& path)
{
    Key key;
    return Open(view, path, READ_CONTROL, key) == ERROR_SUCCESS;
}

bool DeleteTree(REGSAM view, const std::wstring& path)
{
    Key key;
    const LONG status = Open(view, path, KEY_ALL_ACCESS, key);
    // Another test program may be removing the common parent at this very moment.
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_KEY_DELETED) {
        return true;
    }
    return status == ERROR_SUCCESS && DeleteChildren(key.handle) && NtDeleteKey(key.handle) == 0;
}

bool DeleteIfEmpty(REGSAM view, const std::wstring& path)
{
    {
        Key key;
        const LONG status = Open(view, path, KEY_QUERY_VALUE, key);
        if (status == ERROR_FILE_NOT_FOUND || status == ERROR_KEY_DELETED) {
            return true;
        }
        DWORD subKeys = 1;
        DWORD values = 1;
        if (status != ERROR_SUCCESS ||
            RegQueryInfoKeyW(key.handle, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            subKeys != 0 || values != 0) {
            return false;
        }
    }
    return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), view, 0) == ERROR_SUCCESS;
}

bool CopyTree(REGSAM fromView, const std::wstring& from, REGSAM toView, const std::wstring& to)
{
    Key source;
    Key target;
    return Open(fromView, from, KEY_READ, source) == ERROR_SUCCESS &&
           RegCreateKeyExW(HKEY_LOCAL_MACHINE, to.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | toView,
                           nullptr, &target.handle, nullptr) == ERROR_SUCCESS &&
           RegCopyTreeW(source.handle, nullptr, target.handle) == ERROR_SUCCESS;
}

bool SetValue(REGSAM view, const std::wstring& path, const std::wstring& name, DWORD type,
              const std::vector<BYTE>& data)
{
    Key key;
    if (Open(view, path, KEY_SET_VALUE, key) != ERROR_SUCCESS) {
        return false;
    }
    // Exactly these bytes: advapi32 may count a terminator after a string that lacks one.
    UNICODE_STRING counted = Counted(name);
    return NtSetValueKey(key.handle, &counted, 0, type, const_cast<BYTE*>(data.data()),
                         static_cast<ULONG>(data.size())) == 0;
}

Value Dword(DWORD value)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    return Value{REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof(value))};
}

bool SetDword(REGSAM view, const std::wstring& path, const std::wstring& name, DWORD value)
{
    return SetValue(view, path, name, REG_DWORD, Dword(value).data);
}

Value String(const std::wstring& text)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return Value{REG_SZ, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

bool SetString(REGSAM view, const std::wstring& path, const std::wstring& name,
               const std::wstring& text)
{
    return SetValue(view, path, name, REG_SZ, String(text).data);
}

std::optional<Value> GetValue(REGSAM view, const std::wstring& path, const std::wstring& name)
{
    Key key;
    if (Open(view, path, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExW(key.handle, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    Value value{type, std::vector<BYTE>(size)};
    if (RegQueryValueExW(key.handle, name.c_str(), nullptr, &type, value.data.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    value.data.resize(size);
    return value;
}

std::optional<KeySnapshot> Snapshot(REGSAM view, const std::wstring& path)
{
    Key key;
    if (Open(view, path, KEY_READ, key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return SnapshotOf(key.handle);
}

namespace {

std::string Narrow(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text) {
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return out;
}

}  // namespace

void PrintTo(const Value& value, std::ostream* os)
{
    *os << "type " << value.type << ", " << value.data.size() << " bytes [";
    // The start of a large value is enough to tell it.
    for (std::size_t i = 0; i < std::min<std::size_t>(value.data.size(), 64); ++i) {
        *os << (i ? " " : "") << std::hex << std::setw(2) << std::setfill('0')
            << static_cast<unsigned>(value.data[i]) << std::dec;
    }
    *os << "]";
}

void PrintTo(const KeySnapshot& snapshot, std::ostream* os)
{
    *os << "{";
    for (const auto& [name, value] : snapshot.values) {
        *os << " '" << Narrow(name) << "'=";
        PrintTo(value, os);
    }
    for (const auto& [name, sub] : snapshot.subKeys) {
        *os << " " << Narrow(name) << "\\";
        PrintTo(sub, os);
    }
    *os << " }";
}

Link::Link(REGSAM view_, std::wstring path_, const std::wstring& target) : view(view_), path(std::move(path_))
{
    // A link holds the target's absolute name, which the platform tells for an open key (key
    // name information, class 3: the length in bytes, then the characters).
    const int keyNameInformation = 3;
    Key key;
    alignas(ULONG) BYTE name[4096];
    ULONG size = 0;
    if (Open(view, target, KEY_READ, key) != ERROR_SUCCESS ||
        NtQueryKey(key.handle, keyNameInformation, name, sizeof(name), &size) != 0) {
        return;
    }
    Key link;
    made = RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                           KEY_ALL_ACCESS | view, nullptr, &link.handle, nullptr) == ERROR_SUCCESS;
    made = made && RegSetValueExW(link.handle, L"SymbolicLinkValue", 0, REG_LINK,
                                  name + sizeof(ULONG), *reinterpret_cast<const ULONG*>(name)) == ERROR_SUCCESS;
}

Link::~Link()
{
    Key link;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), REG_OPTION_OPEN_LINK, DELETE | view, &link.handle) ==
        ERROR_SUCCESS) {
        NtDeleteKey(link.handle);
    }
}

AccessDenial::AccessDenial(REGSAM view_, std::wstring path_, DWORD rights)
    : view(view_), path(std::move(path_))
{
    applied = SetDacl(view, path, rights);
}

AccessDenial::~AccessDenial()
{
    if (applied) {
        SetDacl(view, path, 0);
    }
}

}  // namespace raw
