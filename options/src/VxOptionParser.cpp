#include <VxOptions/VxOptionParser.h>

#include "CommandLineSplitter.h"
#include "OptionParserCreationHook.h"
#include "OptionParserState.h"
#include "ThreadYield.h"

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cwchar>
#include <new>

using namespace VxOptions;

namespace {

constexpr std::size_t MessageCapacity = 1024;

wchar_t FoldAscii(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool SameLongName(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// Compared as code points, so that a 32-bit wide character beyond U+FFFF never matches.
bool SameShortName(wchar_t c, std::uint16_t shortName)
{
    return static_cast<std::uint32_t>(c) == shortName;
}

OptionEntry* FindLong(std::vector<OptionEntry>& options, const std::wstring& name)
{
    for (OptionEntry& entry : options) {
        if (SameLongName(entry.name, name)) {
            return &entry;
        }
    }
    return nullptr;
}

OptionEntry* FindShort(std::vector<OptionEntry>& options, wchar_t c)
{
    for (OptionEntry& entry : options) {
        if (entry.shortName != 0 && SameShortName(c, entry.shortName)) {
            return &entry;
        }
    }
    return nullptr;
}

// Length in UTF-16 code units, whatever the width of the character type: a 32-bit character
// beyond U+FFFF would be a surrogate pair in UTF-16.
template <typename Char>
std::size_t Utf16Length(const std::basic_string<Char>& text)
{
    if constexpr (sizeof(Char) == 2) {
        return text.size();
    } else {
        std::size_t length = 0;
        for (const Char c : text) {
            length += static_cast<std::uint32_t>(c) > 0xFFFF ? 2 : 1;
        }
        return length;
    }
}

// Fills the pattern's one "%s" with the text. Done by hand rather than with swprintf, whose %s
// means a wide string under msvcrt's rules but a narrow one under the C standard's.
void RecordMessage(OptionParserState& state, const wchar_t* pattern, const std::wstring& text = L"")
{
    std::wstring message = pattern;
    const std::wstring::size_type slot = message.find(L"%s");
    if (slot != std::wstring::npos) {
        message.replace(slot, 2, text);
    }
    // The message must fit a buffer of 1024 code units with its terminator, or it is dropped.
    if (Utf16Length(message) < MessageCapacity) {
        state.error = message;
    }
}

bool IsOptionWord(const std::wstring& word)
{
    return !word.empty() && (word[0] == L'-' || word[0] == L'/');
}

// Interprets one option word; on success `pending` is the entry that waits for the next word.
bool InterpretOption(OptionParserState& state, const std::wstring& word, OptionEntry*& pending)
{
    pending = nullptr;
    const std::size_t length = word.size();
    if (length == 1) {
        return false;
    }

    OptionEntry* entry = nullptr;
    if (word[0] == L'-') {
        if (length == 2) {
            entry = word[1] == L'-' ? nullptr : FindShort(state.options, word[1]);
        } else if (word[1] == L'-') {
            entry = FindLong(state.options, word.substr(2));
        }
    } else {
        const std::wstring::size_type equals = word.find(L'=', 1);
        const std::wstring name = word.substr(1, equals == std::wstring::npos ? std::wstring::npos : equals - 1);
        const std::wstring value = equals == std::wstring::npos ? std::wstring() : word.substr(equals + 1);
        if (name.size() == 1) {
            entry = FindShort(state.options, name[0]);
        }
        if (entry == nullptr) {
            entry = FindLong(state.options, name);
        }
        if (entry != nullptr) {
            entry->value = value;
            if (entry->kind == NoValue && !value.empty()) {
                RecordMessage(state, L"Option '%s' has no value", entry->name);
                return false;
            }
            if (entry->kind == ValueRequired && value.empty()) {
                RecordMessage(state, L"Option '%s' requires a value", entry->name);
                return false;
            }
        }
    }

    if (entry == nullptr) {
        RecordMessage(state, L"Unknown option: %s", word);
        return false;
    }
    if (entry->seen) {
        RecordMessage(state, L"Option '%s' specified twice", entry->name);
        return false;
    }
    if (entry->kind != NoValue && entry->value.empty()) {
        pending = entry;
    }
    entry->seen = true;
    return true;
}

// The holder is trivially destructible: the exit handler it registers may run after the
// destructors of function-local statics, so it must outlive them all.
class InstanceHolder {
public:
    InstanceHolder() { std::atexit(Destroy); }

    // A caller that finds the instance being created waits for it, and takes over the creation
    // when that failed. After the exit handler has run, a late caller gets a new instance, which
    // lives until the process ends.
    VxOptionParser& Get()
    {
        while (stateWord.load(std::memory_order_acquire) != Ready) {
            std::uint32_t expected = Empty;
            if (stateWord.compare_exchange_strong(expected, Creating, std::memory_order_acq_rel)) {
                try {
                    if (Testing::OptionParserCreationHook != nullptr) {
                        Testing::OptionParserCreationHook();
                    }
                    parser = new (storage) VxOptionParser();
                } catch (...) {
                    stateWord.store(Empty, std::memory_order_release);
                    throw;
                }
                expected = Creating;
                stateWord.compare_exchange_strong(expected, Ready, std::memory_order_acq_rel);
            } else {
                YieldToOtherThread();
            }
        }
        return *parser;
    }

private:
    static constexpr std::uint32_t Empty = 0;
    static constexpr std::uint32_t Creating = 1;
    static constexpr std::uint32_t Ready = 2;

    static void Destroy();

    std::atomic<std::uint32_t> stateWord{Empty};
    VxOptionParser* parser = nullptr;
    alignas(VxOptionParser) unsigned char storage[sizeof(VxOptionParser)];
};

InstanceHolder& Holder()
{
    static InstanceHolder holder;
    return holder;
}

void InstanceHolder::Destroy()
{
    InstanceHolder& holder = Holder();
    if (holder.parser != nullptr) {
        holder.parser->VxOptionParser::~VxOptionParser();
        holder.parser = nullptr;
    }
    holder.stateWord.store(Empty, std::memory_order_release);
}

}  // namespace

void (*VxOptions::Testing::OptionParserCreationHook)() = nullptr;

VxOptionParser::VxOptionParser() : state(std::make_unique<OptionParserState>()) {}

VxOptionParser::~VxOptionParser() = default;

VxOptionParser& VxOptionParser::Instance()
{
    return Holder().Get();
}

bool VxOptionParser::AddOption(OptionKind kind, const std::wstring& name, std::uint16_t shortName)
{
    if (FindLong(state->options, name) != nullptr) {
        return false;
    }
    if (shortName != 0) {
        for (const OptionEntry& entry : state->options) {
            if (entry.shortName == shortName) {
                return false;
            }
        }
    }
    OptionEntry entry;
    entry.name = name;
    entry.shortName = shortName;
    entry.kind = kind;
    state->options.push_back(entry);
    return true;
}

bool VxOptionParser::ParseCommandLine(const wchar_t* commandLine)
{
    if (commandLine == nullptr) {
        return false;
    }
    std::vector<std::wstring> words;
    if (!SplitCommandLine(commandLine, words)) {
        RecordMessage(*state, L"Mismatching quotes");
        return false;
    }
    if (words.empty()) {
        return false;
    }
    words.erase(words.begin());
    return Parse(words);
}

bool VxOptionParser::ParseArguments(std::uint32_t count, const wchar_t* const* arguments)
{
    if (count == 0 || arguments == nullptr) {
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (arguments[i] == nullptr) {
            return false;
        }
    }
    std::vector<std::wstring> words;
    for (std::uint32_t i = 1; i < count; ++i) {
        words.emplace_back(arguments[i]);
    }
    return Parse(words);
}

bool VxOptionParser::Parse(const std::vector<std::wstring>& words)
{
    if (state->parsed) {
        RecordMessage(*state, L"Already parsed");
        return false;
    }
    OptionEntry* pending = nullptr;
    for (const std::wstring& word : words) {
        if (IsOptionWord(word)) {
            if (pending != nullptr && pending->kind == ValueRequired) {
                RecordMessage(*state, L"Option '%s' requires a value", pending->name);
                return false;
            }
            if (!InterpretOption(*state, word, pending)) {
                return false;
            }
        } else if (pending != nullptr) {
            pending->value = word;
            pending = nullptr;
        } else {
            state->arguments.push_back(word);
        }
    }
    if (pending != nullptr && pending->kind == ValueRequired) {
        RecordMessage(*state, L"Option '%s' requires a value", pending->name);
        return false;
    }
    state->parsed = true;
    return true;
}

bool VxOptionParser::IsSet(const std::wstring& name)
{
    const OptionEntry* entry = FindLong(state->options, name);
    return entry != nullptr && entry->seen;
}

bool VxOptionParser::HasValue(const std::wstring& name)
{
    const OptionEntry* entry = FindLong(state->options, name);
    return entry != nullptr && !entry->value.empty();
}

std::wstring VxOptionParser::GetValue(const std::wstring& name)
{
    const OptionEntry* entry = FindLong(state->options, name);
    return entry != nullptr ? entry->value : std::wstring();
}

std::int32_t VxOptionParser::GetIntValue(const std::wstring& name)
{
    const std::wstring text = GetValue(name);
    // long is 32 bits on Windows and 64 elsewhere: saturate to the 32-bit range either way.
    const long number = std::wcstol(text.c_str(), nullptr, 10);
    if (number > INT32_MAX) {
        return INT32_MAX;
    }
    if (number < INT32_MIN) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(number);
}

std::vector<std::wstring> VxOptionParser::GetArguments()
{
    return state->arguments;
}

std::wstring VxOptionParser::GetError()
{
    return state->error;
}

void VxOptionParser::Reset()
{
    state->options.clear();
    state->arguments.clear();
    state->error.clear();
    state->parsed = false;
}
