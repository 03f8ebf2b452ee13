// The settings of a run's FDC and TSF writers, derived from its options.
#pragma once

#include "output/fdc_file.h"
#include "output/tsf_file.h"

namespace instrument {

struct RunOptions;

/// -FDCNAME, -FDCDIR, -NOFULLPATHKEY, -ALTCHECKSUM, the format mark and the
/// product version.
output::FdcSettings FdcSettingsOf(const RunOptions& options);

/// -TSFNAME, -TSFDIR, -ALTCHECKSUM and the provider flags: 8 -TRACE,
/// 4 -MEMPRO, 2 -PERFPRO, 1 -PERFPRO=PROCESS.
output::TsfSettings TsfSettingsOf(const RunOptions& options);

}  // namespace instrument
