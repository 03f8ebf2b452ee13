// The instrumentor's option vocabulary: the ordered option table, the three
// positionals, the illegal pairs and the usage text.
#pragma once

#include "driver/command_analysis.h"

namespace driver {

const CommandTable& InstrumentorCommandTable();

/// The untranslated usage text shown after every command-line error.
extern const char* const kUsageText;

}  // namespace driver
