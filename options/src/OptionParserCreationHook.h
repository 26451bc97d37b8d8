#pragma once

// The tests' own seam, in a namespace of their own: called, when set, each time the process-wide
// parser is about to be created, by the caller that creates it; whatever it throws fails that
// creation. Only tests set it.
namespace VxOptions::Testing {

extern void (*OptionParserCreationHook)();

}  // namespace VxOptions::Testing
