// -KEEP: a copy of the instrumented file beside the user's source file, as
// <source>.aug, or in the current directory when the source directory cannot
// take it.
#pragma once

#include <string>

namespace support {
struct NameEntry;
}

namespace instrument {

void WriteKeptFile(const std::string& instrPath, const support::NameEntry* sourceName,
                   const support::NameEntry* sourceDirectory);

}  // namespace instrument
