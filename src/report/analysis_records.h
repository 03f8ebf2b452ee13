// Fields shared by the runtime's trace, performance and memory records.
#pragma once

#include "report/analysis_data.h"
#include "report/record_line.h"

#include <cstdint>

namespace report {

/// "0x<KEY> 0x<CHECKSUM> <message>".
bool ReadRoutine(RecordLine& fields, RoutineId& id);

/// Counts a record whose routine no TSF block resolves (the untraced site
/// "0x0 0x0 0" is no routine and is not counted).
void NoteRoutine(const RoutineId& id, const TsfCatalog& catalog, AnalysisData& data);

/// Sums saturate: figures from many files never wrap around.
inline std::uint64_t Add(std::uint64_t a, std::uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

/// Each file is read once however often it is named; false when `path` was
/// already taken.
bool FirstReading(std::vector<std::string>& files, const std::string& path);

}  // namespace report
