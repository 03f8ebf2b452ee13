#include "output/source_encoding.h"

#include <QString>
#include <algorithm>
#include <array>
#include <cstring>

namespace output {
namespace {

constexpr std::size_t kRawBlockSize = 65536;

Encoding EncodingFromZeroBytes(const unsigned char* bytes, std::size_t count) {
  const auto zeros = static_cast<std::size_t>(std::count(bytes, bytes + count, 0));
  if (zeros <= 2) return Encoding::kUtf8;
  if (zeros <= 4) return bytes[0] != 0 ? Encoding::kUtf16Le : Encoding::kUtf16Be;
  return bytes[0] == 0 ? Encoding::kUtf32Be : Encoding::kUtf32Le;
}

Encoding EncodingOfFirstBytes(const unsigned char* b, std::size_t count) {
  if (count == 0) return Encoding::kUnknown;
  if (count == 1) return Encoding::kUtf8;
  if (count >= 4 && b[0] == 0xFF && b[1] == 0xFE && b[2] == 0 && b[3] == 0) return Encoding::kUtf32Le;
  if (b[0] == 0xFF && b[1] == 0xFE) return Encoding::kUtf16Le;
  if (b[0] == 0xFE && b[1] == 0xFF) return Encoding::kUtf16Be;
  if (count <= 3 || (b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)) return Encoding::kUtf8;
  if (b[0] == 0 && b[1] == 0 && b[2] == 0xFE && b[3] == 0xFF) return Encoding::kUtf32Be;
  if (count < 7) return Encoding::kUtf8;
  return EncodingFromZeroBytes(b, count);
}

QStringConverter::Encoding QtEncoding(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf16Le:
      return QStringConverter::Utf16LE;
    case Encoding::kUtf16Be:
      return QStringConverter::Utf16BE;
    case Encoding::kUtf32Le:
      return QStringConverter::Utf32LE;
    default:
      return QStringConverter::Utf32BE;
  }
}

bool IsUtf16(Encoding encoding) { return encoding == Encoding::kUtf16Le || encoding == Encoding::kUtf16Be; }

// The characters that UTF-16 input never shows: byte-order marks wherever
// they stand, and the two non-characters that only a wrong byte order makes.
void DropUtf16Marks(QString& text) {
  text.removeIf([](QChar c) { return c.unicode() >= 0xFFFE || c.unicode() == 0xFEFF; });
}

// Decodes the next raw block into pending; false at the end of the file.
bool DecodeNextBlock(DecodedInput& input) {
  std::array<char, kRawBlockSize> raw;
  const std::size_t count = std::fread(raw.data(), 1, raw.size(), input.file);
  if (count == 0) {
    input.readFailed = std::ferror(input.file) != 0;
    return false;
  }
  input.pending.clear();
  input.pendingPos = 0;
  if (!input.decoder) {
    input.pending.assign(raw.data(), count);
    return true;
  }
  QString text = (*input.decoder)(QByteArrayView(raw.data(), static_cast<qsizetype>(count)));
  if (IsUtf16(input.encoding)) DropUtf16Marks(text);
  const QByteArray utf8 = text.toUtf8();
  input.pending.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
  return true;
}

// Makes decoded bytes available; false at the end of the text.
bool FillPending(DecodedInput& input) {
  while (input.pendingPos >= input.pending.size()) {
    if (input.atEnd || !DecodeNextBlock(input)) {
      input.atEnd = true;
      return false;
    }
  }
  return true;
}

}  // namespace

Encoding DetectEncoding(std::FILE* file) {
  std::array<unsigned char, 8> bytes{};
  const std::size_t count = std::fread(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  return EncodingOfFirstBytes(bytes.data(), count);
}

void StartDecoding(DecodedInput& input, std::FILE* file, Encoding encoding) {
  input = {};
  input.file = file;
  input.encoding = encoding;
  if (encoding != Encoding::kUtf8 && encoding != Encoding::kUnknown) {
    // The initial mark is handled like any other: UTF-32 keeps it.
    input.decoder.emplace(QtEncoding(encoding), QStringConverter::Flag::ConvertInitialBom);
  }
}

std::size_t ReadDecoded(DecodedInput& input, char* buffer, std::size_t capacity) {
  std::size_t written = 0;
  while (written < capacity && FillPending(input)) {
    const std::size_t count = std::min(capacity - written, input.pending.size() - input.pendingPos);
    std::memcpy(buffer + written, input.pending.data() + input.pendingPos, count);
    input.pendingPos += count;
    written += count;
  }
  return written;
}

std::size_t ReadDecodedLinePart(DecodedInput& input, std::string& line, std::size_t limit) {
  std::size_t appended = 0;
  while (appended < limit && FillPending(input)) {
    const char* from = input.pending.data() + input.pendingPos;
    std::size_t count = std::min(limit - appended, input.pending.size() - input.pendingPos);
    if (const void* feed = std::memchr(from, '\n', count)) {
      count = static_cast<std::size_t>(static_cast<const char*>(feed) - from) + 1;
      line.append(from, count);
      input.pendingPos += count;
      return appended + count;
    }
    line.append(from, count);
    input.pendingPos += count;
    appended += count;
  }
  return appended;
}

}  // namespace output
