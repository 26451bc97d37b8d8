// Builds an option table and words from the input, knowing what each word is meant to be, and
// requires the outcome the rules give (result, message, each option's state, the plain words)
// after every parse of one parser, through Parse, ParseArguments and a rendered command line.
// Input: a number is one character, a text runs to the next U+0001: the option count, each
// option's kind, short name and name, the program's path, then uses (form, option and text).

#include <VxOptions/VxOptionParser.h>

#include <algorithm>
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

// Each byte is a character, except that 0xFF and the three bytes after it are one character.
std::wstring Decode(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (const std::uint8_t* p = data; p < data + size; ++p) {
        const bool wide = *p == 0xFF && p + 3 < data + size;
        const unsigned c = wide ? (p[1] * 256u + p[2]) * 256u + p[3] : *p + 0u;
        text += static_cast<wchar_t>(c % 0x110000);
        p += wide ? 3 : 0;
    }
    return text;
}

enum Form { Long, Short, Slash, SlashShort, SlashValue, Plain, Unknown, Lone, NextParse, Forms };

// An option as registered, and what a parse must have left in it.
struct Option {
    std::wstring name;
    std::uint16_t shortName = 0;
    OptionKind kind = NoValue;
    bool seen = false;
    std::wstring value;
};

struct Expected {
    bool parsed = false;
    std::wstring error;
    std::vector<std::wstring> arguments;
    std::vector<Option> options;
};

// A message is kept when it fits 1023 UTF-16 code units; a character beyond U+FFFF takes two.
bool Fail(Expected& e, const std::wstring& text)
{
    const auto pairs = std::count_if(text.begin(), text.end(), [](auto c) { return c > 0xFFFF; });
    e.error = text.size() + static_cast<std::size_t>(pairs) <= 1023 ? text : e.error;
    return false;
}

bool Fail(Expected& e, const Option& o, const wchar_t* what)
{
    return Fail(e, L"Option '" + o.name + L"' " + what);
}

// Flips the case of the ASCII letters whose bit in the mask is set.
std::wstring Mangle(std::wstring name, std::uint32_t mask)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        const wchar_t c = name[i];
        if (((mask >> (i % 32)) & 1) != 0 && ((c | 0x20) >= L'a' && (c | 0x20) <= L'z')) {
            name[i] = static_cast<wchar_t>(c ^ 0x20);
        }
    }
    return name;
}

// A quote right after a closing quote stands for itself, so "" inside quotes is one quote.
std::wstring Quote(const std::wstring& word)
{
    std::wstring quoted = L"\"";
    for (const wchar_t c : word) {
        quoted += c == L'"' ? L"\"\"" : std::wstring(1, c);
    }
    return quoted + L"\"";
}

// The rules for one word of the chosen form and option; false where the parse fails.
bool Apply(Expected& e, Option*& pending, std::uint32_t form, Option& o, const std::wstring& word,
           const std::wstring& valuePart)
{
    if (form == Plain) {
        (pending != nullptr ? pending->value : e.arguments.emplace_back()) = word;
        pending = nullptr;
        return true;
    }
    if (pending != nullptr && pending->kind == ValueRequired) {
        return Fail(e, *pending, L"requires a value");
    }
    if (form == Lone || ((form == Short || form == SlashShort) && o.shortName == 0)) {
        return false;
    }
    if (form == Unknown) {
        return Fail(e, L"Unknown option: " + word);
    }
    if (form == Slash || form == SlashShort || form == SlashValue) {
        o.value = valuePart;
        if ((o.kind == NoValue) != valuePart.empty() && o.kind != ValueOptional) {
            return Fail(e, o, o.kind == NoValue ? L"has no value" : L"requires a value");
        }
    }
    if (o.seen) {
        return Fail(e, o, L"specified twice");
    }
    pending = o.kind != NoValue && o.value.empty() ? &o : nullptr;
    o.seen = true;
    return true;
}

void Check(VxOptionParser& parser, bool sameResult, const Expected& e)
{
    Require(sameResult);
    Require(parser.GetError() == e.error);
    Require(parser.GetArguments() == e.arguments);
    for (const Option& o : e.options) {
        Require(parser.IsSet(Mangle(o.name, ~0u)) == o.seen);
        Require(parser.GetValue(Mangle(o.name, ~0u)) == o.value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring in = Decode(data, size);
    std::size_t at = 0;
    const auto next = [&] { return at < in.size() ? static_cast<std::uint32_t>(in[at++]) : 0u; };
    const auto piece = [&] {
        const std::size_t start = std::min(at, in.size());
        at = std::min(in.find(L'\x01', start), in.size()) + 1;
        return in.substr(start, at - 1 - start);
    };
    Expected expected;
    expected.options.resize(next() % 8 + 1);
    std::vector<Option>& options = expected.options;
    for (std::size_t i = 0; i < options.size(); ++i) {
        Option& o = options[i];
        o.kind = static_cast<OptionKind>(next() % 3);
        const std::uint32_t c = next();
        const bool taken = std::any_of(&options[0], &o, [c](auto& x) { return x.shortName == c; });
        const bool usable = c <= 0xFFFF && c != L'-' && c != L'=' && !taken;
        o.shortName = usable ? static_cast<std::uint16_t>(c) : 0;
        // Without '=' and '#' in the in, and with the index at the end, no two names fold
        // alike and no word built from one name can match another option.
        for (const wchar_t n : piece()) {
            o.name += n == L'=' || n == L'#' ? std::wstring() : std::wstring(1, n);
        }
        o.name += L"#" + std::to_wstring(i);
    }
    const auto registerAll = [&options](VxOptionParser& parser) {
        for (const Option& o : options) {
            Require(parser.AddOption(o.kind, o.name, o.shortName));
        }
    };
    // Fed through Parse, ParseArguments and ParseCommandLine; from the first word with a NUL,
    // which a zero-terminated string cannot carry, only the first is checked.
    VxOptionParser parsers[3];
    for (VxOptionParser& parser : parsers) {
        registerAll(parser);
    }
    const std::wstring program = piece();
    std::size_t checked = program.find(L'\0') == program.npos ? 3 : 1;
    // Any in as a command line: the quotes balance when their number is even. Reset then leaves
    // nothing of that parse.
    const std::wstring raw = in.substr(0, in.find(L'\0'));
    parsers[0].ParseCommandLine(raw.c_str());
    const bool odd = std::count(raw.begin(), raw.end(), L'"') % 2 != 0;
    Require((parsers[0].GetError() == L"Mismatching quotes") == odd);
    parsers[0].Reset();
    registerAll(parsers[0]);
    for (bool isFirst = true; isFirst || at < in.size(); isFirst = false) {
        std::vector<std::wstring> words;
        std::wstring line = Quote(program);
        Option* pending = nullptr;
        bool ok = !expected.parsed || Fail(expected, L"Already parsed");
        while (at < in.size()) {
            const std::uint32_t code = next();
            const std::uint32_t form = code % Forms, variant = code / Forms;
            const std::uint32_t pick = next();
            const std::wstring part = piece();
            if (form == NextParse) {
                break;
            }
            Option& o = options[pick % options.size()];
            const std::wstring name = Mangle(o.name, pick / 8);
            const std::wstring c(o.shortName != 0 ? 1 : 0, static_cast<wchar_t>(o.shortName));
            const std::wstring unknown[] = {L"-" + name, L"--" + name + L"=" + part, L"--",
                                            L"/" + name + L"x=" + part};
            const std::wstring word[] = {
                L"--" + name, L"-" + c, L"/" + name, L"/" + c,
                L"/" + ((variant & 4) != 0 && !c.empty() ? c : name) + L"=" + part,
                part.find_first_of(L"-/") == 0 ? L"+" + part : part, unknown[variant / 4 % 4],
                (variant & 4) != 0 ? L"-" : L"/"};
            const std::wstring& w = word[form];
            words.push_back(w);
            const bool bare = (variant & 1) != 0 && !w.empty() && w.find_first_of(L" \"") == w.npos;
            line += ((variant & 2) != 0 ? L"  " : L" ") + (bare ? w : Quote(w));
            ok = ok && Apply(expected, pending, form, o, w, form == SlashValue ? part : L"");
        }
        if (ok && pending != nullptr && pending->kind == ValueRequired) {
            ok = Fail(expected, *pending, L"requires a value");
        }
        expected.parsed = expected.parsed || ok;
        std::vector<const wchar_t*> argv{program.c_str()};
        for (const std::wstring& w : words) {
            argv.push_back(w.c_str());
            checked = w.find(L'\0') == w.npos ? checked : 1;
        }
        const bool results[] = {parsers[0].Parse(words),
                                parsers[1].ParseArguments(std::uint32_t(argv.size()), argv.data()),
                                parsers[2].ParseCommandLine(line.c_str())};
        for (std::size_t k = 0; k < checked; ++k) {
            Check(parsers[k], results[k] == ok, expected);
        }
    }
    return 0;
}
