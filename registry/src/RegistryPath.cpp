#include "RegistryPath.h"

#include "TextConversions.h"

#include <algorithm>

namespace VxRegistry {

namespace {

// The platform skips an empty component (A\\B is A\B), so a path holding one would name a key
// under another spelling than the one the layer compares.
bool IsCanonical(const std::wstring& path)
{
    return path.empty() || (path.front() != Separator && path.back() != Separator &&
                            path.find(std::wstring(2, Separator)) == std::wstring::npos);
}

}  // namespace

bool HoldsNul(const std::wstring& text)
{
    return text.find(L'\0') != std::wstring::npos;
}

bool IsUsablePath(const std::wstring& path)
{
    return !HoldsNul(path) && path.size() <= MaxPathLength && IsCanonical(path) &&
           static_cast<std::size_t>(std::count(path.begin(), path.end(), Separator)) < MaxPathDepth;
}

void SplitPath(const std::wstring& path, std::wstring& parent, std::wstring& leaf)
{
    const std::wstring::size_type pos = path.rfind(Separator);
    parent = pos == std::wstring::npos ? std::wstring() : path.substr(0, pos);
    leaf = pos == std::wstring::npos ? path : path.substr(pos + 1);
}

std::wstring JoinPath(const std::wstring& parent, const std::wstring& name)
{
    return parent.empty() ? name : parent + Separator + name;
}

bool IsInside(const std::wstring& name, const std::wstring& tree)
{
    return StartsWith(name, tree + Separator, true);
}

}  // namespace VxRegistry
