#pragma once

#include <string>
#include <vector>

namespace VxOptions {

// Splits a command line into words. Only the space separates words; double quotes group text and
// are removed, a quote right after a closing quote stands for itself, and backslashes and tabs are
// ordinary characters. Returns false, with the words found so far, when the quotes do not balance.
bool SplitCommandLine(const std::wstring& line, std::vector<std::wstring>& words);

}  // namespace VxOptions
