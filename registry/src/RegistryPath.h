#pragma once

#include <cstddef>
#include <string>

namespace VxRegistry {

// The rules every key path the layer is given must follow. A path is relative to the root, its
// components joined by single backslashes; an empty path is the root itself.
constexpr wchar_t Separator = L'\\';
// The platform hands a path on as a counted string and silently cuts one longer than this, so
// that it can name another key.
constexpr std::size_t MaxPathLength = 32766;
// The registry's own limit on the depth of a tree.
constexpr std::size_t MaxPathDepth = 512;

// A NUL would end the name early at the platform, which would then act on another one.
bool HoldsNul(const std::wstring& text);

// No NUL, no empty component, within the platform's length and the registry's depth.
bool IsUsablePath(const std::wstring& path);

// Splits at the last backslash; a path without one is a leaf of the root.
void SplitPath(const std::wstring& path, std::wstring& parent, std::wstring& leaf);

// An empty parent is the root itself.
std::wstring JoinPath(const std::wstring& parent, const std::wstring& name);

// Registry names ignore case, beyond ASCII too, so a\B lies inside A as much as A\B does.
bool IsInside(const std::wstring& name, const std::wstring& tree);

}  // namespace VxRegistry
