#pragma once

// Called, when set, each time the process-wide parser is about to be created, by the caller
// that creates it; whatever it throws fails that creation. Only tests set it.
extern void (*OptionParserCreationHook)();
