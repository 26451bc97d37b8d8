#pragma once

// Arranges and inspects registry state with the platform's own calls, so that tests never judge
// the registry layer by itself.

#include <windows.h>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace raw {

struct Value {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    bool operator==(const Value& other) const { return type == other.type && data == other.data; }
};

// A key's values and subkeys, recursively; a link is taken as it stands, a key holding one
// REG_LINK value.
struct KeySnapshot {
    std::map<std::wstring, Value> values;
    std::map<std::wstring, KeySnapshot> subKeys;

    bool operator==(const KeySnapshot& other) const
    {
        return values == other.values && subKeys == other.subKeys;
    }
};

// Every function takes the registry view (KEY_WOW64_32KEY or KEY_WOW64_64KEY) and a path
// below HKEY_LOCAL_MACHINE. Names are taken whole: a value's name and the last component of the
// path given to CreateKey may hold a NUL.
bool CreateKey(REGSAM view, const std::wstring& path, DWORD options = REG_OPTION_NON_VOLATILE);
bool KeyExists(REGSAM view, const std::wstring& path);
bool DeleteTree(REGSAM view, const std::wstring& path);
// Removes the key only when it holds neither values nor subkeys; true when it is gone.
bool DeleteIfEmpty(REGSAM view, const std::wstring& path);
// Copies the key's values and subkeys into `to`, which it creates.
bool CopyTree(REGSAM fromView, const std::wstring& from, REGSAM toView, const std::wstring& to);

bool SetValue(REGSAM view, const std::wstring& path, const std::wstring& name, DWORD type,
              const std::vector<BYTE>& data);
bool SetDword(REGSAM view, const std::wstring& path, const std::wstring& name, DWORD value);
bool SetString(REGSAM view, const std::wstring& path, const std::wstring& name,
               const std::wstring& text);
std::optional<Value> GetValue(REGSAM view, const std::wstring& path, const std::wstring& name);
std::optional<KeySnapshot> Snapshot(REGSAM view, const std::wstring& path);

Value Dword(DWORD value);
// A REG_SZ value with its terminator.
Value String(const std::wstring& text);

void PrintTo(const Value& value, std::ostream* os);
void PrintTo(const KeySnapshot& snapshot, std::ostream* os);

// A registry link at `path` to the key `target`, made as the platform makes one (volatile, so a
// crashed test leaves none behind); the destructor removes the link itself, never its target.
class Link {
public:
    Link(REGSAM view, std::wstring path, const std::wstring& target);
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    bool Made() const { return made; }

private:
    REGSAM view;
    std::wstring path;
    bool made = false;
};

// Adds an ACE that denies `rights` to everyone, in front of one that allows everything else; the
// destructor restores full access.
class AccessDenial {
public:
    AccessDenial(REGSAM view, std::wstring path, DWORD rights);
    ~AccessDenial();
    AccessDenial(const AccessDenial&) = delete;
    AccessDenial& operator=(const AccessDenial&) = delete;

    bool Applied() const { return applied; }

private:
    REGSAM view;
    std::wstring path;
    bool applied = false;
};

}  // namespace raw
