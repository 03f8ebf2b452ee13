// The quorbreport command: reads FDC files and results files, TSF files and
// the runtime's trace, performance and memory files, writes the summary, the
// analyses' views and the requested reports, and checks the thresholds.
//
//   quorbreport [options] [FDC file, TSF file or directory]...
//
// Exit status: 0 done, 1 bad command line or input, or an output that
// cannot be written, 2 a --fail-under threshold missed.
#pragma once

#include <QStringList>

#include <ostream>

namespace report {

inline constexpr int kExitDone = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitUnderThreshold = 2;

struct Terminal {
  std::ostream& out;
  std::ostream& err;
  bool colour = false;  // standard output is a terminal that takes colours
};

/// `arguments` without the program name.
int RunReport(const QStringList& arguments, Terminal terminal);

}  // namespace report
