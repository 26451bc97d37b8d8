#pragma once

#include "OptionKind.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The parser's state and the layer's helpers live in the namespace VxOptions.
namespace VxOptions {
struct OptionParserState;
}

// Recognises registered options on a command line: "--name", "-n" and "/name" or "/name=value".
// Long names match without regard to ASCII letter case, short names exactly. A failed parse
// returns false and leaves a one-line message for GetError; nothing it did is undone.
class VxOptionParser {
public:
    VxOptionParser();
    // Not virtual: only the process-wide holder destroys the instance, and never through a base.
    ~VxOptionParser();

    VxOptionParser(const VxOptionParser&) = delete;
    VxOptionParser& operator=(const VxOptionParser&) = delete;

    // The one process-wide parser, created on first use and destroyed at process exit. A creation
    // that throws is tried again by the next caller, waiting ones included.
    static VxOptionParser& Instance();

    virtual bool AddOption(OptionKind kind, const std::wstring& name, std::uint16_t shortName);
    virtual bool ParseCommandLine(const wchar_t* commandLine);
    // Refuses a null array or a null entry without a message, before any word is parsed.
    virtual bool ParseArguments(std::uint32_t count, const wchar_t* const* arguments);
    virtual bool Parse(const std::vector<std::wstring>& words);
    virtual bool IsSet(const std::wstring& name);
    virtual bool HasValue(const std::wstring& name);
    virtual std::wstring GetValue(const std::wstring& name);
    virtual std::int32_t GetIntValue(const std::wstring& name);
    virtual std::vector<std::wstring> GetArguments();
    virtual std::wstring GetError();
    virtual void Reset();

private:
    std::unique_ptr<VxOptions::OptionParserState> state;
};
