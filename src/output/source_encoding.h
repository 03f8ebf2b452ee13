// The encodings a user's source file may be saved in, and their decoding
// into UTF-8 bytes.
//
// The encoding is guessed from the first eight bytes: byte-order marks
// first, then the share of zero bytes. UTF-8 and unknown files pass through
// byte for byte (a UTF-8 byte-order mark stays in the text); UTF-16 is
// decoded by Qt, UTF-32 unit by unit. An unpaired surrogate or a code point
// beyond U+10FFFF becomes U+FFFD, never invalid UTF-8. In UTF-16 the
// characters U+FEFF, U+FFFE and U+FFFF produce no byte; in UTF-32 U+FEFF is
// kept like any other character. An odd trailing byte ends the text.
#pragma once

#include <QStringDecoder>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace output {

enum class Encoding : std::uint8_t {
  kUtf8 = 0,
  kUtf16Le = 1,
  kUtf16Be = 2,
  kUtf32Le = 3,
  kUtf32Be = 4,
  kUnknown = 5,  // an empty file
};

/// Guesses from the first eight bytes and rewinds the stream.
Encoding DetectEncoding(std::FILE* file);

/// A stream of UTF-8 bytes decoded from an open file.
struct DecodedInput {
  std::FILE* file = nullptr;
  Encoding encoding = Encoding::kUnknown;
  std::optional<QStringDecoder> decoder;  // UTF-16 only
  char16_t heldHighSurrogate = 0;         // UTF-16: last unit of the previous block
  std::string carry;                      // UTF-32: bytes of an incomplete unit
  std::string pending;                    // decoded bytes not yet handed out
  std::size_t pendingPos = 0;
  bool atEnd = false;
  bool readFailed = false;
};

void StartDecoding(DecodedInput& input, std::FILE* file, Encoding encoding);

/// Up to capacity decoded bytes into buffer; 0 at the end of the text.
std::size_t ReadDecoded(DecodedInput& input, char* buffer, std::size_t capacity);

/// Ends the run on a source that cannot be read as text (a directory, a
/// read error), with the message of a source that does not match its
/// preprocessed form.
[[noreturn]] void FailReadingSource(std::string_view path);

/// Appends up to limit decoded bytes to line, stopping after a line feed;
/// returns how many were appended (0 at the end of the text).
std::size_t ReadDecodedLinePart(DecodedInput& input, std::string& line, std::size_t limit);

}  // namespace output
