#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Conversions between UTF-8 (or another code page) and UTF-16. Input that is not valid in the
// code page converts to an empty string: nothing is replaced or skipped.
std::wstring ToWide(const std::string& text, unsigned codePage);
std::string ToNarrow(const std::wstring& text, unsigned codePage);
std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);

// Element by element; an element that fails to convert becomes an empty string in its place.
std::vector<std::wstring> Utf8ListToWide(const std::vector<std::string>& list);
std::vector<std::string> WideListToUtf8(const std::vector<std::wstring>& list);

// The strings of REG_MULTI_SZ data: an empty string ends the list, and characters after the last
// NUL are dropped.
std::vector<std::wstring> SplitMultiString(const wchar_t* characters, std::size_t count);

// Appends each string and a NUL, then one more NUL (two for an empty list). An empty string in
// the list cannot be represented: the output is emptied and the result is false.
bool JoinMultiString(const std::vector<std::wstring>& list, std::wstring& out);

bool StartsWith(const std::wstring& text, const std::wstring& prefix, bool ignoreCase);
