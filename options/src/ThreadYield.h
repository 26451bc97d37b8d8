#pragma once

namespace VxOptions {

// Gives the processor to another ready thread, if there is one.
void YieldToOtherThread();

}  // namespace VxOptions
