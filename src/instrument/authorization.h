// Which code is instrumented: the file filters (-FILE, -EXFILE, -NOINCLUDE),
// the directories not to instrument (-NOINSTRDIR and the definition file's
// incl_std), and the FDC file that receives a construct's branches.
#pragma once

namespace frontend {
struct TokenPosition;
}
namespace support {
struct NameEntry;
}

namespace instrument {

bool IsFileAuthorized(const support::NameEntry* file, const support::NameEntry* directory);

/// Whether the directory is one not to instrument, or lies below one.
bool IsExcludedDirectory(const support::NameEntry* directory);

/// Whether coverage applies at the location; when it does, the FDC file of
/// the location's source file becomes current.
bool IsCoverageLocation(const frontend::TokenPosition& location);

}  // namespace instrument
