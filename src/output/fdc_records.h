// Branch records of an FDC block.
//
// Each writer formats one line "<tag> <field> <field> ...\n", folds the whole
// line into the file's checksum in the current checksum mode, writes it and
// returns the first branch ID it took. IDs are counted per FdcFile and per
// counter from 0: procedures (PR), calls (AP), blocks (BL) and conditions
// (CA, CE, CC). Texts are written as quoted fields (fdc_format.h).
#pragma once

#include "output/fdc_format.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace output {

struct FdcFile;

enum class FdcProcKind : std::uint8_t {
  kProc = 0,     // "proc": function entry
  kEndProc = 1,  // "endproc": closing brace reached
  kReturn = 2,   // "return"
  kTerm = 3,     // "term": call that may terminate
};

enum class FdcBlockKind : std::uint8_t {
  kSimple = 0,    // "simple"
  kImplicit = 1,  // "implicit"
  kLogical = 2,   // "logical"
  kQbc = 3,       // "qbc"
};

/// Leaves the last field of a CC record out.
inline constexpr std::uint32_t kNoExtraValue = 0xFFFFFFFF;

std::uint32_t WriteFdcProc(FdcFile* file, FdcProcKind kind, std::string_view function, std::uint32_t firstLine,
                           std::uint32_t lastLine);
std::uint32_t WriteFdcCall(FdcFile* file, std::string_view function, std::string_view callee,
                           std::uint32_t firstLine, std::uint32_t lastLine);
std::uint32_t WriteFdcBlock(FdcFile* file, FdcBlockKind kind, std::string_view function, std::string_view branchPath,
                            std::uint32_t firstLine, std::uint32_t lastLine);
/// A CA record takes one condition ID, a CE record two.
std::uint32_t WriteFdcCase(FdcFile* file, std::string_view function, std::string_view caseText, bool isCa,
                           std::uint32_t firstLine, std::uint32_t lastLine);
/// Takes `branchCount` consecutive condition IDs; `extra` is left out when it
/// is kNoExtraValue.
std::uint32_t WriteFdcCondition(FdcFile* file, std::span<const std::uint32_t> operands, std::uint32_t branchCount,
                                std::string_view text, std::uint32_t extra);

}  // namespace output
