#pragma once

#include "RegistryError.h"

#include <windows.h>

#include <cstdint>
#include <string>

class ScopedKey;

// Exception-free access to the Windows registry. Every path is relative to the root key; no key
// handle is kept between calls, so objects can be copied freely. Operations call one another
// through the virtual table, so an override changes every operation built on it.
class Win32Registry {
public:
    virtual ~Win32Registry() = default;

    virtual void SetRootKey(HKEY root);

    virtual std::uint32_t GetValueType(const std::wstring& key, const std::wstring& name,
                                       RegistryError* error = nullptr);
    virtual bool ReadDword(const std::wstring& key, const std::wstring& name, std::uint32_t& value,
                           RegistryError* error = nullptr);
    virtual bool WriteDword(const std::wstring& key, const std::wstring& name, std::uint32_t value,
                            RegistryError* error = nullptr);
    virtual bool DeleteValue(const std::wstring& key, const std::wstring& name,
                             RegistryError* error = nullptr);
    virtual bool KeyExists(const std::wstring& path, RegistryError* error = nullptr);
    virtual bool SubKeyExists(const std::wstring& parent, const std::wstring& name,
                              RegistryError* error = nullptr);
    virtual bool CreateSubKey(const std::wstring& parent, const std::wstring& name,
                              RegistryError* error = nullptr);
    virtual bool DeleteSubKey(const std::wstring& parent, const std::wstring& name,
                              RegistryError* error = nullptr);
    virtual bool DeleteKey(const std::wstring& path, RegistryError* error = nullptr);
    virtual bool CreateKey(const std::wstring& path, RegistryError* error = nullptr);
    virtual void SetAccessFlags(std::uint32_t flags);
    virtual RegistryError GetLastErrorCode();

    // Platform result to layer code: 2 and 3 are NotFound, 5 AccessDenied, 87 InvalidArgument,
    // anything else non-zero Failed.
    static RegistryError MapPlatformError(LONG status);

private:
    // Opens with the operation's mask OR-ed with the access flags. The key counts as opened when
    // a handle came back; the result is what the platform returned.
    LONG OpenKey(const std::wstring& path, REGSAM mask, ScopedKey& key) const;
    // Writes the outcome to the last-error field and the caller's variable; true for None.
    bool Record(RegistryError code, RegistryError* error);
    // Records a failed open: a call that handed back no handle yet reported success still failed.
    bool RecordOpenFailure(LONG status, RegistryError* error);

    HKEY rootKey = HKEY_LOCAL_MACHINE;
    std::uint32_t accessFlags = 0;
    RegistryError lastError = RegistryError::None;
};
