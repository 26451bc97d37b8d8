#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace VxRegistry {

class ScopedKey;

// The registry's own calls, for the tree walks: their listings and values, and the keys whose name
// holds a NUL (advapi32 opens and creates the others, where the registry views are documented;
// OpenLevel and CreateLevel choose). Every name is counted, so one that holds a NUL reaches the
// registry whole, where advapi32 would end it at the NUL and name a sibling; data is written with
// exactly its length. Results are the platform's, as Win32 codes. Every handle given to the
// registry's own calls must be one the registry knows: a predefined root is advapi32's alone.
namespace native {

// The longest names the registry holds.
constexpr std::size_t LongestKeyName = 255;
constexpr std::size_t LongestValueName = 16383;
// A value that still grows after this many queries is given up.
constexpr int MaxQueryPasses = 8;

// Every subkey name, or every value name, in index order; emptied on failure.
LONG ListSubKeys(HKEY key, std::vector<std::wstring>& names);
LONG ListValues(HKEY key, std::vector<std::wstring>& names);
// Type and data as one query delivered them; a value that keeps growing is given up.
LONG QueryValue(HKEY key, const std::wstring& name, DWORD& type, std::vector<std::uint8_t>& data);
LONG SetValue(HKEY key, const std::wstring& name, DWORD type, const std::vector<std::uint8_t>& data);
// Deletes the key a handle stands for, a link as the link itself; advapi32's deletions take a name
// and follow a link in it.
LONG DeleteKey(HKEY key);
// The absolute name the system resolved for the handle, links along the path included; empty when
// the system does not say.
std::wstring KeyName(HKEY key);

// One level below an open key by its whole name, opened or created: through advapi32, or, for a
// name that holds a NUL, through the registry's own call. REG_OPTION_OPEN_LINK opens a link there
// as the link itself.
LONG OpenLevel(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask, ScopedKey& key);
LONG CreateLevel(HKEY parent, const std::wstring& name, DWORD options, REGSAM mask, ScopedKey& key);

// A link opened as itself holds its target in this value; a key that merely holds such a value is
// taken for one too.
bool IsLink(HKEY key);

}  // namespace native

}  // namespace VxRegistry
