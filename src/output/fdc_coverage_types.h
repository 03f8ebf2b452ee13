// The coverage type tokens of the TC line, in the order they are written.
// A token is written when any of its bits is in the coverage word; reading a
// token ORs its bits in.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace output {

struct CoverageToken {
  std::string_view token;
  std::uint16_t bits;
};

inline constexpr std::array<CoverageToken, 14> kCoverageTokens = {{
    {"PR", 0x0001},  // function entries
    {"RE", 0x0002},  // function exits
    {"AP", 0x0004},  // calls
    {"BS", 0x0008},  // statement blocks
    {"BT", 0x0010},  // ternary blocks
    {"BI", 0x0020},  // implicit blocks and decisions
    {"BL", 0x0040},  // logical blocks (loops)
    {"BF", 0x8000},  // while-only loops
    {"BA", 0x0080},
    {"CO", 0x0100},  // basic conditions
    {"CC", 0x0600},  // modified and compound conditions
    {"CF", 0x0800},  // forced evaluation
    {"CW", 0x2000},
    {"CE", 0x4000},
}};

/// The bits of a TC token, 0 when it is none of the table.
constexpr std::uint16_t CoverageTokenBits(std::string_view token) {
  for (const CoverageToken& entry : kCoverageTokens) {
    if (entry.token == token) return entry.bits;
  }
  return 0;
}

}  // namespace output
