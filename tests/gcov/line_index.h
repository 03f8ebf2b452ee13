// What the records of one FDC block put on each source line.
#pragma once

#include "report/fdc_units.h"

#include <cstdint>
#include <vector>

namespace gcovcheck {

struct LineIndex {
  std::vector<std::uint32_t> callsOver;     // call records whose lines include the line
  std::vector<std::uint32_t> blockEnds;     // block records that begin or end on the line
  std::vector<std::uint32_t> procEnds;      // function records that begin or end on the line
  std::vector<std::uint32_t> sequenceStarts;  // sequence blocks that begin on the line

  std::uint32_t At(const std::vector<std::uint32_t>& table, std::uint32_t line) const {
    return line < table.size() ? table[line] : 0;
  }
};

LineIndex IndexLines(const report::FdcUnit& unit);

}  // namespace gcovcheck
