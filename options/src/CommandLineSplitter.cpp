#include "CommandLineSplitter.h"

namespace VxOptions {

bool SplitCommandLine(const std::wstring& line, std::vector<std::wstring>& words)
{
    bool inQuotes = false;
    bool wordStarted = false;
    bool lastWasQuote = false;
    std::wstring word;
    word.reserve(line.size());

    for (const wchar_t c : line) {
        if (c == L' ') {
            if (inQuotes) {
                word += c;
            } else if (wordStarted) {
                words.push_back(word);
                word.clear();
                wordStarted = false;
            }
            lastWasQuote = false;
        } else if (c == L'"') {
            if (lastWasQuote && !inQuotes) {
                word += L'"';
            }
            inQuotes = !inQuotes;
            wordStarted = true;
            lastWasQuote = true;
        } else {
            word += c;
            wordStarted = true;
            lastWasQuote = false;
        }
    }
    if (wordStarted) {
        words.push_back(word);
    }
    return !inQuotes;
}

}  // namespace VxOptions
