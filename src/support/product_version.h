// The release's version strings, shared by quorbcc1 and the launcher (which
// links nothing else of quorbcc1).
#pragma once

namespace support {

inline constexpr const char* kFullVersion = "8.2.0.1.070.020";
inline constexpr const char* kBuildNumber = "070.020";
inline constexpr const char* kShortVersion = "8.2.0.1";

}  // namespace support
