#pragma once

#include "Registry.h"
#include "RegistryError.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The layer's helpers, its handle holder among them, live in the namespace VxRegistry.
namespace VxRegistry {
class ScopedKey;
}

// Exception-free access to the Windows registry, the only implementation of Registry. Every path
// is relative to the root key; no key handle is kept between calls, so objects can be copied
// freely. Operations call one another through the virtual table, so an override changes every
// operation built on it, narrow twins included. DeleteKeyTree and CopyKey are the exception: they
// walk their trees, and CopyKey the destination's path, by the handles they opened and call no
// other operation; the names they meet in a tree are used whole, a NUL in one included. A path or
// name the caller gives that holds a NUL, a path with an empty component (a leading, trailing or
// doubled backslash), or one longer than 32,766 characters or deeper than 512 levels, is refused
// with InvalidArgument before any platform call. An empty parent is the root itself. No operation
// deletes a direct child of a predefined root; below a root the caller opened, every level is the
// caller's and may be created and deleted.
class Win32Registry : public Registry {
public:
    ~Win32Registry() override = default;

    // The narrow (UTF-8) face: each converts its strings and forwards to the wide operation of
    // the same name through the virtual table. Text that is not valid UTF-8 is refused with
    // InvalidArgument; a result the wide operation gives that UTF-8 cannot carry (an unpaired
    // surrogate) fails with Failed.
    // The counts convert no names, so a name UTF-8 cannot carry does not fail them.
    std::int32_t GetSubKeyCount(const std::string& key, RegistryError* error = nullptr) override;
    // key\name of the subkey at the index; empty with InvalidArgument past the end.
    std::string GetSubKeyPath(const std::string& key, std::uint32_t index, RegistryError* error = nullptr) override;
    std::int32_t EnumSubKeys(const std::string& key, std::vector<std::string>& names,
                             RegistryError* error = nullptr) override;
    std::int32_t GetValueCount(const std::string& key, RegistryError* error = nullptr) override;
    std::int32_t EnumValueNames(const std::string& key, std::vector<std::string>& names,
                                RegistryError* error = nullptr) override;
    bool CreateSubKey(const std::string& parent, const std::string& name, RegistryError* error = nullptr) override;
    bool DeleteSubKey(const std::string& parent, const std::string& name, RegistryError* error = nullptr) override;
    // The narrow result is assigned in every case, so any failure leaves it empty.
    bool ReadString(const std::string& key, const std::string& name, std::string& value,
                    RegistryError* error = nullptr) override;
    bool WriteString(const std::string& key, const std::string& name, const std::string& value,
                     RegistryError* error = nullptr) override;
    bool ReadString(const std::string& key, const std::string& name, std::wstring& value,
                    RegistryError* error = nullptr) override;
    bool WriteString(const std::string& key, const std::string& name, const std::wstring& value,
                     RegistryError* error = nullptr) override;
    bool ReadBinary(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data,
                    RegistryError* error = nullptr) override;
    bool WriteBinary(const std::string& key, const std::string& name, const std::vector<std::uint8_t>& data,
                     RegistryError* error = nullptr) override;
    bool ReadDword(const std::string& key, const std::string& name, std::uint32_t& value,
                   RegistryError* error = nullptr) override;
    bool WriteDword(const std::string& key, const std::string& name, std::uint32_t value,
                    RegistryError* error = nullptr) override;
    // The list is replaced in every case, so a failure or a zero-byte value leaves it empty.
    bool ReadMultiString(const std::string& key, const std::string& name, std::vector<std::string>& values,
                         RegistryError* error = nullptr) override;
    bool WriteMultiString(const std::string& key, const std::string& name, const std::vector<std::string>& values,
                          RegistryError* error = nullptr) override;
    bool DeleteValue(const std::string& key, const std::string& name, RegistryError* error = nullptr) override;
    bool CopyKey(const std::string& source, const std::string& destination, RegistryError* error = nullptr) override;
    bool CopyValue(const std::string& sourceKey, const std::string& sourceName, const std::string& destinationKey,
                   const std::string& destinationName, RegistryError* error = nullptr) override;
    bool DeleteKeyTree(const std::string& parent, const std::string& name, RegistryError* error = nullptr) override;
    void SetRootKey(HKEY root) override;

    virtual std::uint32_t GetValueType(const std::string& key, const std::string& name,
                                       RegistryError* error = nullptr);
    virtual std::uint32_t GetValueType(const std::wstring& key, const std::wstring& name,
                                       RegistryError* error = nullptr);
    virtual bool ReadString(const std::wstring& key, const std::wstring& name, std::string& value,
                            RegistryError* error = nullptr);
    // An odd trailing byte is dropped and one terminating NUL removed; REG_EXPAND_SZ is returned
    // unexpanded. A failed open leaves the output as it was; any later failure empties it.
    virtual bool ReadString(const std::wstring& key, const std::wstring& name, std::wstring& value,
                            RegistryError* error = nullptr);
    virtual bool WriteString(const std::wstring& key, const std::wstring& name, const std::string& value,
                             RegistryError* error = nullptr);
    // Stores the terminating NUL with the string.
    virtual bool WriteString(const std::wstring& key, const std::wstring& name, const std::wstring& value,
                             RegistryError* error = nullptr);
    // A REG_DWORD of other than 4 bytes (REG_QWORD: 8) is WrongType and leaves the variable;
    // bytes of another type that fit are delivered, though refused.
    virtual bool ReadDword(const std::wstring& key, const std::wstring& name, std::uint32_t& value,
                           RegistryError* error = nullptr);
    virtual bool WriteDword(const std::wstring& key, const std::wstring& name, std::uint32_t value,
                            RegistryError* error = nullptr);
    virtual bool ReadQword(const std::string& key, const std::string& name, std::uint64_t& value,
                           RegistryError* error = nullptr);
    virtual bool ReadQword(const std::wstring& key, const std::wstring& name, std::uint64_t& value,
                           RegistryError* error = nullptr);
    virtual bool WriteQword(const std::string& key, const std::string& name, std::uint64_t value,
                            RegistryError* error = nullptr);
    virtual bool WriteQword(const std::wstring& key, const std::wstring& name, std::uint64_t value,
                            RegistryError* error = nullptr);
    // A zero-byte value succeeds and leaves the list as it was; otherwise the list is replaced.
    virtual bool ReadMultiString(const std::wstring& key, const std::wstring& name,
                                 std::vector<std::wstring>& values, RegistryError* error = nullptr);
    // An empty string in the list is refused with InvalidArgument; nothing is written.
    virtual bool WriteMultiString(const std::wstring& key, const std::wstring& name,
                                  const std::vector<std::wstring>& values, RegistryError* error = nullptr);
    virtual bool ReadBinary(const std::wstring& key, const std::wstring& name, std::vector<std::uint8_t>& data,
                            RegistryError* error = nullptr);
    virtual bool WriteBinary(const std::wstring& key, const std::wstring& name,
                             const std::vector<std::uint8_t>& data, RegistryError* error = nullptr);
    virtual bool DeleteValue(const std::wstring& key, const std::wstring& name, RegistryError* error = nullptr);
    virtual bool KeyExists(const std::string& path, RegistryError* error = nullptr);
    virtual bool KeyExists(const std::wstring& path, RegistryError* error = nullptr);
    virtual bool SubKeyExists(const std::string& parent, const std::string& name, RegistryError* error = nullptr);
    virtual bool SubKeyExists(const std::wstring& parent, const std::wstring& name, RegistryError* error = nullptr);
    virtual bool CreateSubKey(const std::wstring& parent, const std::wstring& name, RegistryError* error = nullptr);
    virtual bool DeleteSubKey(const std::wstring& parent, const std::wstring& name, RegistryError* error = nullptr);
    virtual bool DeleteKey(const std::string& path, RegistryError* error = nullptr);
    virtual bool DeleteKey(const std::wstring& path, RegistryError* error = nullptr);
    virtual bool CreateKey(const std::string& path, RegistryError* error = nullptr);
    // Creates every missing level, top down. Below a predefined root the first level is not
    // created: a missing one is NotFound.
    virtual bool CreateKey(const std::wstring& path, RegistryError* error = nullptr);
    // Deletes parent\name with everything below it, depth first; stops at the first failure. A
    // link in the tree is deleted itself, its target left alone; a child that vanishes meanwhile
    // counts as deleted. Refused with InvalidArgument below HKEY_CLASSES_ROOT, as CopyKey is: its
    // walks see one hive, never the merged view advapi32 shows there.
    virtual bool DeleteKeyTree(const std::wstring& parent, const std::wstring& name,
                               RegistryError* error = nullptr);
    // The names in the platform's index order; 0 on failure. A failed open leaves the list as it
    // was; a failure midway empties it.
    virtual std::int32_t EnumSubKeys(const std::wstring& key, std::vector<std::wstring>& names,
                                     RegistryError* error = nullptr);
    virtual std::int32_t EnumValueNames(const std::wstring& key, std::vector<std::wstring>& names,
                                        RegistryError* error = nullptr);
    // Merges the source tree into the destination, values before subkeys at every level, byte for
    // byte. A destination inside the source, a link in the source tree and a link standing where
    // the copy would write are refused with InvalidArgument; what was copied before stays. The
    // destination's levels are opened, the missing ones created, one at a time: a level that lies
    // inside the source by the name the system resolved (links along the path followed; the
    // source's read again for each level), or a link standing where a level is missing, is refused
    // before anything is created below it. Failed when the system does not tell the source's name.
    // Only the keys the source held before the destination was opened are copied, so the copy
    // never descends into keys it made itself.
    virtual bool CopyKey(const std::wstring& source, const std::wstring& destination,
                         RegistryError* error = nullptr);
    // Copies data and type, byte for byte; the destination key must exist. REG_NONE is refused
    // with WrongType.
    virtual bool CopyValue(const std::wstring& sourceKey, const std::wstring& sourceName,
                           const std::wstring& destinationKey, const std::wstring& destinationName,
                           RegistryError* error = nullptr);
    virtual void SetAccessFlags(std::uint32_t flags);
    virtual RegistryError GetLastErrorCode();
    virtual bool ReadValue(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data,
                           std::uint32_t& type, RegistryError* error = nullptr);
    // Any type, that of the query that delivered the data. Buffer and type are written only on
    // success; so is ReadBinary's buffer.
    virtual bool ReadValue(const std::wstring& key, const std::wstring& name, std::vector<std::uint8_t>& data,
                           std::uint32_t& type, RegistryError* error = nullptr);

    // Platform result to layer code: 2 and 3 are NotFound, 5 AccessDenied, 87 InvalidArgument,
    // anything else non-zero Failed.
    static RegistryError MapPlatformError(LONG status);

private:
    // Opens with the operation's mask OR-ed with the access flags. The key counts as opened when
    // a handle came back; the result is what the platform returned.
    LONG OpenKey(const std::wstring& path, REGSAM mask, VxRegistry::ScopedKey& key, DWORD options = 0) const;
    // Open or create one level below a handle, by the whole name: through advapi32, or, for a name
    // that holds a NUL, through the registry's own call. With REG_OPTION_OPEN_LINK a link there is
    // handed back as the link itself.
    LONG OpenBelow(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask,
                   VxRegistry::ScopedKey& key) const;
    LONG CreateBelow(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask,
                     VxRegistry::ScopedKey& key) const;
    // A direct child of a predefined root, which no operation deletes.
    bool IsTopLevel(const std::wstring& path) const;
    // HKEY_CLASSES_ROOT, which the tree operations refuse as their root.
    bool IsMergedRoot() const;
    // A fixed-size read; the type is judged before the result.
    bool ReadFixed(const std::wstring& key, const std::wstring& name, void* data, DWORD size, DWORD type,
                   RegistryError* error);
    // Opens the key for setting values and stores one.
    bool SetValue(const std::wstring& key, const std::wstring& name, DWORD type, const void* data, DWORD size,
                  RegistryError* error);
    // Size, then data, into the caller's buffer only on success. `requiredType` REG_NONE accepts
    // every type.
    bool ReadSized(const std::wstring& key, const std::wstring& name, REGSAM mask, DWORD requiredType,
                   std::vector<std::uint8_t>& data, DWORD& type, RegistryError* error);
    enum class NameKind { SubKeys, Values };
    // The names below an open key, in index order; emptied on failure.
    static LONG ListNames(HKEY key, NameKind kind, std::vector<std::wstring>& names);
    // A key of a copy's source as listed before the copy began: its subkeys, or why they could not
    // be listed.
    struct ListedKey {
        std::wstring name;
        RegistryError error = RegistryError::None;
        std::vector<ListedKey> subKeys;
    };
    // The tree walks below the keys the public operations opened.
    RegistryError DeleteTreeAt(HKEY key);
    void ListTree(HKEY key, std::size_t depth, ListedKey& listed) const;
    RegistryError CopyTreeAt(HKEY source, HKEY destination, const ListedKey& listed);
    RegistryError OpenDestination(const std::wstring& path, HKEY source, VxRegistry::ScopedKey& key) const;
    std::int32_t CountNames(const std::string& key, NameKind kind, RegistryError* error);
    std::int32_t EnumNarrowNames(const std::string& key, NameKind kind, std::vector<std::string>& names,
                                 RegistryError* error);
    std::int32_t EnumNames(const std::wstring& key, NameKind kind, std::vector<std::wstring>& names,
                           RegistryError* error);
    // Writes the outcome to the last-error field and the caller's variable; true for None.
    bool Record(RegistryError code, RegistryError* error);
    // A failed open: a call that handed back no handle yet reported success still failed.
    static RegistryError MapOpenFailure(LONG status);
    static RegistryError AsItStands(LONG status, const VxRegistry::ScopedKey& key);
    bool RecordOpenFailure(LONG status, RegistryError* error);
    // Opens the key; when no handle comes back, records why and returns false. A path the platform
    // would not take as given is refused with InvalidArgument.
    bool OpenOrRecord(const std::wstring& path, REGSAM mask, VxRegistry::ScopedKey& key, RegistryError* error);
    // The same for an operation on the value `name`, which must hold no NUL.
    bool OpenValueKey(const std::wstring& path, const std::wstring& name, REGSAM mask, VxRegistry::ScopedKey& key,
                      RegistryError* error);

    HKEY rootKey = HKEY_LOCAL_MACHINE;
    std::uint32_t accessFlags = 0;
    RegistryError lastError = RegistryError::None;
};
