// Feeds arbitrary option tables and command lines through the splitter and the parser, and
// checks what must hold whatever the input.
//
// Input: UTF-8 (a byte that does not decode stands for itself). Before the first U+0001 comes the
// option table, one option per line: kind digit, short name ('.' for none), long name. After it
// comes the command line. Without U+0001 the whole input is a command line for the tool's own two
// options.

#include "CommandLineSplitter.h"
#include "VxOptionParser.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition) {
        __builtin_trap();
    }
}

std::wstring Decode(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t b = data[i];
        std::size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        std::uint32_t c = length == 1 ? b : length == 2 ? (b & 0x1Fu) : length == 3 ? (b & 0x0Fu) : (b & 0x07u);
        bool ok = length != 0 && i + length <= size;
        for (std::size_t k = 1; ok && k < length; ++k) {
            ok = (data[i + k] & 0xC0) == 0x80;
            c = (c << 6) | (data[i + k] & 0x3Fu);
        }
        if (!ok) {
            c = b;
            length = 1;
        }
        text += static_cast<wchar_t>(c);
        i += length;
    }
    return text;
}

std::size_t Utf16Length(const std::wstring& text)
{
    std::size_t length = 0;
    for (const wchar_t c : text) {
        length += static_cast<std::uint32_t>(c) > 0xFFFF ? 2 : 1;
    }
    return length;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::wstring(prefix).size(), prefix) == 0;
}

bool EndsWith(const std::wstring& text, const wchar_t* suffix)
{
    const std::wstring tail = suffix;
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool IsKnownMessage(const std::wstring& error)
{
    return error.empty() || error == L"Already parsed" || error == L"Mismatching quotes" ||
           StartsWith(error, L"Unknown option: ") ||
           (StartsWith(error, L"Option '") && error.size() > 8 &&
            (EndsWith(error, L"' requires a value") || EndsWith(error, L"' specified twice") ||
             EndsWith(error, L"' has no value")));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring input = Decode(data, size);
    const std::wstring::size_type split = input.find(L'\x01');

    VxOptionParser parser;
    std::vector<std::wstring> names;
    std::wstring line = input;
    if (split == std::wstring::npos) {
        names = {L"normal", L"full"};
        parser.AddOption(NoValue, L"normal", 0);
        parser.AddOption(NoValue, L"full", 0);
    } else {
        line = input.substr(split + 1);
        const std::wstring table = input.substr(0, split);
        std::size_t start = 0;
        while (start <= table.size()) {
            std::size_t end = table.find(L'\n', start);
            if (end == std::wstring::npos) {
                end = table.size();
            }
            const std::wstring spec = table.substr(start, end - start);
            if (spec.size() >= 2) {
                const auto kind = static_cast<OptionKind>(static_cast<std::uint32_t>(spec[0]) % 3);
                const auto shortName = spec[1] == L'.' ? std::uint16_t{0} : static_cast<std::uint16_t>(spec[1]);
                const std::wstring name = spec.substr(2);
                parser.AddOption(kind, name, shortName);
                names.push_back(name);
            }
            start = end + 1;
        }
    }

    // The parser takes a zero-terminated line.
    line = line.substr(0, line.find(L'\0'));

    std::vector<std::wstring> words;
    std::vector<std::wstring> again;
    const bool balanced = SplitCommandLine(line, words);
    Require(SplitCommandLine(line, again) == balanced && again == words);
    Require(words.size() <= line.size());

    const bool parsed = parser.ParseCommandLine(line.c_str());
    Require(!parsed || balanced);
    const std::wstring error = parser.GetError();
    Require(Utf16Length(error) <= 1023);
    Require(IsKnownMessage(error));
    if (!balanced) {
        Require(error == L"Mismatching quotes");
    }

    for (const std::wstring& name : names) {
        parser.IsSet(name);
        parser.HasValue(name);
        Require(parser.HasValue(name) == !parser.GetValue(name).empty());
        parser.GetIntValue(name);
    }
    const std::vector<std::wstring> arguments = parser.GetArguments();
    Require(arguments.size() <= words.size());

    if (parsed) {
        Require(!parser.ParseCommandLine(line.c_str()));
        Require(parser.GetError() == L"Already parsed");
        Require(parser.GetArguments() == arguments);
    }

    parser.Reset();
    Require(parser.GetError().empty() && parser.GetArguments().empty());
    for (const std::wstring& name : names) {
        Require(!parser.IsSet(name) && !parser.HasValue(name));
    }
    return 0;
}
