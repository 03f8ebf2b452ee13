#include "output/source_encoding.h"

#include "support/messages.h"
#include "support/translate.h"

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

bool IsUtf16(Encoding encoding) { return encoding == Encoding::kUtf16Le || encoding == Encoding::kUtf16Be; }

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Unpaired surrogates become U+FFFD, so the UTF-8 text stays valid; a high
// surrogate that ends the block waits for the next one.
void ReplaceUnpairedSurrogates(DecodedInput& input, QString& text) {
  if (input.heldHighSurrogate != 0) {
    text.prepend(QChar(input.heldHighSurrogate));
    input.heldHighSurrogate = 0;
  }
  if (!text.isEmpty() && text.back().isHighSurrogate()) {
    input.heldHighSurrogate = text.back().unicode();
    text.chop(1);
  }
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      ++i;
    } else if (text[i].isSurrogate()) {
      text[i] = QChar(QChar::ReplacementCharacter);
    }
  }
}

// The characters that UTF-16 input never shows: byte-order marks wherever
// they stand, and the two non-characters that only a wrong byte order makes.
void DropUtf16Marks(QString& text) {
  text.removeIf([](QChar c) { return c.unicode() >= 0xFFFE || c.unicode() == 0xFEFF; });
}

void DecodeUtf16(DecodedInput& input, const char* raw, std::size_t count) {
  QString text = (*input.decoder)(QByteArrayView(raw, static_cast<qsizetype>(count)));
  ReplaceUnpairedSurrogates(input, text);
  DropUtf16Marks(text);
  const QByteArray utf8 = text.toUtf8();
  input.pending.assign(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

// Code points beyond U+10FFFF and surrogate code points become U+FFFD; the
// bytes of an incomplete unit wait for the next block.
void DecodeUtf32(DecodedInput& input, const char* raw, std::size_t count) {
  input.carry.append(raw, count);
  const bool bigEndian = input.encoding == Encoding::kUtf32Be;
  const std::size_t whole = input.carry.size() / 4 * 4;
  for (std::size_t i = 0; i < whole; i += 4) {
    char32_t c = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const auto byte = static_cast<unsigned char>(input.carry[i + (bigEndian ? k : 3 - k)]);
      c = (c << 8) | byte;
    }
    if (c >= 0x110000 || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
    AppendUtf8(input.pending, c);
  }
  input.carry.erase(0, whole);
}

// Decodes the next raw block into pending; false at the end of the file.
bool DecodeNextBlock(DecodedInput& input) {
  std::array<char, kRawBlockSize> raw;
  const std::size_t count = std::fread(raw.data(), 1, raw.size(), input.file);
  input.pending.clear();
  input.pendingPos = 0;
  if (count == 0) {
    input.readFailed = std::ferror(input.file) != 0;
    if (input.heldHighSurrogate == 0) return false;
    input.heldHighSurrogate = 0;
    AppendUtf8(input.pending, 0xFFFD);
    return true;
  }
  if (IsUtf16(input.encoding)) {
    DecodeUtf16(input, raw.data(), count);
  } else if (input.encoding == Encoding::kUtf32Le || input.encoding == Encoding::kUtf32Be) {
    DecodeUtf32(input, raw.data(), count);
  } else {
    input.pending.assign(raw.data(), count);
  }
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
  if (IsUtf16(encoding)) {
    const auto qtEncoding = encoding == Encoding::kUtf16Le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE;
    // The mark is dropped with every other U+FEFF.
    input.decoder.emplace(qtEncoding, QStringConverter::Flag::ConvertInitialBom);
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

void FailReadingSource(std::string_view path) {
  support::DisplayFatalError(
      support::Translate("Fatal Error", "Error while reading file %1 : unsupported file format", "%1 : the filename")
          .arg(support::FromLocal(path)));
}

}  // namespace output
