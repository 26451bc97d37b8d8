#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace VxRegistry {

// Conversions between UTF-8 (or another code page) and UTF-16. Text that the target cannot
// represent exactly (invalid UTF-8, an unpaired surrogate, a character outside the code page)
// fails: the result is false and the output empty; nothing is replaced or skipped.
bool ToWide(const std::string& text, unsigned codePage, std::wstring& out);
bool ToNarrow(const std::wstring& text, unsigned codePage, std::string& out);
bool Utf8ToWide(const std::string& text, std::wstring& out);
bool WideToUtf8(const std::wstring& text, std::string& out);

// Element by element; one element that fails fails the whole list, which is then empty.
bool Utf8ListToWide(const std::vector<std::string>& list, std::vector<std::wstring>& out);
bool WideListToUtf8(const std::vector<std::wstring>& list, std::vector<std::string>& out);

// The strings of REG_MULTI_SZ data: an empty string ends the list. Data without its terminators
// occurs, so characters after the last NUL are the last string.
std::vector<std::wstring> SplitMultiString(const wchar_t* characters, std::size_t count);

// Appends each string and a NUL, then one more NUL (two for an empty list). A string that is
// empty or holds a NUL cannot be represented: the output is emptied and the result is false.
bool JoinMultiString(const std::vector<std::wstring>& list, std::wstring& out);

// With ignoreCase, letters compare as the registry compares names: ordinal, Unicode case folding.
bool StartsWith(const std::wstring& text, const std::wstring& prefix, bool ignoreCase);

}  // namespace VxRegistry
