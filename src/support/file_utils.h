// File, path and text services shared by the Parts that name, key and write
// files. Paths are bytes in the local 8-bit encoding with "/" as separator.
#pragma once

#include "support/chunked_input.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace support {

struct NameEntry;

/// A stream closed when it goes out of scope.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

/// 32-bit key of a file name: the exclusive-or of its bytes taken as signed
/// big-endian words, seeded with 0x4A4A4A4A.
std::int32_t FileKey(std::string_view name);

/// Folds the text into the running checksum and returns its length. Groups of
/// 4 bytes (5 in the alternative mode, whose fifth byte is folded in shifted)
/// are exclusive-ored as unsigned big-endian words, zero-padded at the end.
std::size_t StringChecksum(std::uint32_t& accumulator, std::string_view text, bool alternative);

/// directory + name, with one "/" between them ("" and ana give /ana).
std::string JoinPath(std::string_view directory, std::string_view name);
/// The part after the last "/", or the whole path.
std::string_view BaseName(std::string_view path);

struct SplitResult {
  NameEntry* name;       // last component; none when the path ends with "/"
  NameEntry* directory;  // absolute, cleaned, ending with "/"
};
/// Splits and interns a path; the last answer is cached.
SplitResult SplitPath(std::string_view path);
bool SameFile(std::string_view a, std::string_view b);

/// Removes "." and cancels ".." against the previous component; every
/// component but the root is followed by "/" (a/b/../c gives a/c/).
std::string NormalizePath(std::string_view path);

/// The name followed by the extension, which must begin with ".".
std::string ChangeExtension(std::string_view name, std::string_view extension);

/// Removing or renaming that fails is fatal.
void RemoveFile(const std::string& path);
void RenameFile(const std::string& oldPath, const std::string& newPath);

/// The working directory followed by "/", read once.
const std::string& CurrentDirectory();

bool FileExists(const std::string& path);
/// Modification time in seconds (low 32 bits), 0 when unknown.
std::uint32_t FileTime(const std::string& path);

/// Copies every byte but carriage returns; returns the line feeds copied.
/// Stops at the first write failure.
std::uint32_t CopyStream(std::FILE* input, std::FILE* output);
/// The same for the bytes of an input not taken yet.
std::uint32_t CopyStream(ChunkedInput& input, std::FILE* output);

/// Calls `visit` with every line of the stream without its line feed, a
/// last line without one included; the stream is read in large chunks.
void ForEachLine(std::FILE* input, const std::function<void(std::string_view)>& visit);

/// "[<directory><file>,<line>]"
std::string LocationText(std::string_view directory, std::string_view file, std::uint32_t line);
/// "[<file>,<line>]"
std::string LocationTextShort(std::string_view file, std::uint32_t line);

/// The system's message for the current error number.
std::string SystemErrorText();

/// Fatal "Cannot read %1: %2": the file and the system's reason (errno).
[[noreturn]] void DisplayReadError(const std::string& path);

std::string Utf8ToLocal(std::string_view text);
std::string LocalToUtf8(std::string_view text);

}  // namespace support
