// Longest-match rules by hand. For numbers the candidates are tried in the
// order of decreasing length they can reach: a floating form needs a "." or
// an exponent right after the digits and an integer suffix a letter u or l
// there, so the two never compete and the floating form wins when it exists.
#include "frontend/lexer_patterns.h"

#include <array>
#include <cstring>
#include <span>
#include <vector>

namespace frontend {
namespace {

bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(int c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
// Bytes of UTF-8 sequences count as letters: Clang's output keeps extended
// characters of identifiers as they were written (GCC's spells them as
// universal character names).
bool IsLetter(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '$' || c >= 0x80;
}

std::size_t CountWhile(InputBuffer& input, std::size_t at, bool (*accept)(int)) {
  std::size_t count = 0;
  while (accept(PeekByte(input, at + count))) ++count;
  return count;
}

// "\u" and 4 or "\U" and 8 hexadecimal digits at that offset: its length.
std::size_t UniversalNameLength(InputBuffer& input, std::size_t at) {
  if (PeekByte(input, at) != '\\') return 0;
  const int letter = PeekByte(input, at + 1);
  const std::size_t digits = letter == 'u' ? 4 : letter == 'U' ? 8 : 0;
  if (digits == 0) return 0;
  for (std::size_t i = 0; i < digits; ++i) {
    if (!IsHexDigit(PeekByte(input, at + 2 + i))) return 0;
  }
  return 2 + digits;
}

// An exponent ("e" or "p" family, sign, digits) at that offset: its length.
std::size_t ExponentLength(InputBuffer& input, std::size_t at, char lower) {
  const int c = PeekByte(input, at);
  if (c != lower && c != lower - ('a' - 'A')) return 0;
  std::size_t length = 1;
  const int sign = PeekByte(input, at + 1);
  if (sign == '+' || sign == '-') ++length;
  const std::size_t digits = CountWhile(input, at + length, IsDigit);
  return digits ? length + digits : 0;
}

// The GNU imaginary suffix, i or j in either case.
std::size_t ImaginaryLength(InputBuffer& input, std::size_t at) {
  const int c = PeekByte(input, at);
  return c == 'i' || c == 'I' || c == 'j' || c == 'J' ? 1 : 0;
}

// The width after the "f" of an _FloatN or _FloatNx constant (1.0f128,
// 2.5f32x): 16, 32, 64 or 128, and 32 or 64 with "x".
std::size_t FloatWidthLength(InputBuffer& input, std::size_t at) {
  static constexpr std::array<const char*, 4> kWidths{"16", "32", "64", "128"};
  for (const char* width : kWidths) {
    const std::size_t length = std::strlen(width);
    std::size_t i = 0;
    while (i < length && PeekByte(input, at + i) == width[i]) ++i;
    if (i < length || IsDigit(PeekByte(input, at + i))) continue;
    const bool mayExtend = width[0] == '3' || width[0] == '6';
    return length + (mayExtend && PeekByte(input, at + length) == 'x' ? 1 : 0);
  }
  return 0;
}

// The decimal floating suffixes df, dd and dl, in either case.
std::size_t DecimalSuffixLength(InputBuffer& input, std::size_t at) {
  const int d = PeekByte(input, at);
  if (d != 'd' && d != 'D') return 0;
  const int c = PeekByte(input, at + 1);
  return c == 'f' || c == 'F' || c == 'd' || c == 'D' || c == 'l' || c == 'L' ? 2 : 0;
}

// f or l (f with an _FloatN width), the GNU w and q (__float80,
// __float128) or a decimal suffix, with an imaginary suffix before or after.
std::size_t FloatSuffixLength(InputBuffer& input, std::size_t at) {
  const std::size_t imaginary = ImaginaryLength(input, at);
  std::size_t length = imaginary;
  const int c = PeekByte(input, at + length);
  if (c == 'f' || c == 'F') {
    length += 1 + FloatWidthLength(input, at + length + 1);
  } else if (c == 'l' || c == 'L' || c == 'w' || c == 'W' || c == 'q' || c == 'Q') {
    length += 1;
  } else {
    length += DecimalSuffixLength(input, at + length);
  }
  return imaginary ? length : length + ImaginaryLength(input, at + length);
}

std::size_t LongSuffixLength(InputBuffer& input, std::size_t at) {
  const int c = PeekByte(input, at);
  if (c != 'l' && c != 'L') return 0;
  return PeekByte(input, at + 1) == c ? 2 : 1;
}

// u, l, ll in either case and either order.
std::size_t UnsignedLongSuffixLength(InputBuffer& input, std::size_t at) {
  const int c = PeekByte(input, at);
  if (c == 'u' || c == 'U') return 1 + LongSuffixLength(input, at + 1);
  const std::size_t longLength = LongSuffixLength(input, at);
  if (longLength == 0) return 0;
  const int after = PeekByte(input, at + longLength);
  return longLength + (after == 'u' || after == 'U' ? 1 : 0);
}

// The u and l suffixes, with a GNU imaginary suffix before or after them.
std::size_t IntegerSuffixLength(InputBuffer& input, std::size_t at) {
  const std::size_t imaginary = ImaginaryLength(input, at);
  const std::size_t length = imaginary + UnsignedLongSuffixLength(input, at + imaginary);
  return imaginary ? length : length + ImaginaryLength(input, at + length);
}

// Hexadecimal after "0x": a floating form needs a "p" exponent.
PatternMatch MatchHexadecimal(InputBuffer& input) {
  const std::size_t whole = CountWhile(input, 2, IsHexDigit);
  std::size_t at = 2 + whole;
  std::size_t fraction = 0;
  if (PeekByte(input, at) == '.') fraction = CountWhile(input, at + 1, IsHexDigit);
  const bool dotted = PeekByte(input, at) == '.' && (whole > 0 || fraction > 0);
  const std::size_t mantissa = dotted ? at + 1 + fraction : at;
  if (whole > 0 || dotted) {
    const std::size_t exponent = ExponentLength(input, mantissa, 'p');
    if (exponent) {
      at = mantissa + exponent;
      return {at + FloatSuffixLength(input, at), NodeKind::FLOAT_CONSTANT};
    }
  }
  if (whole == 0) return {1, NodeKind::OCT_CONSTANT};  // "0" then the identifier "x..."
  at = 2 + whole;
  return {at + IntegerSuffixLength(input, at), NodeKind::HEX_CONSTANT};
}

bool IsBinaryDigit(int c) { return c == '0' || c == '1'; }
bool IsOctalDigit(int c) { return c >= '0' && c <= '7'; }

// Decimal digits, optionally with "." and exponent: floating when either is
// there, otherwise an integer.
PatternMatch MatchDecimal(InputBuffer& input) {
  const std::size_t whole = CountWhile(input, 0, IsDigit);
  std::size_t at = whole;
  bool floating = false;
  if (PeekByte(input, at) == '.') {
    const std::size_t fraction = CountWhile(input, at + 1, IsDigit);
    if (whole > 0 || fraction > 0) {
      at += 1 + fraction;
      floating = true;
    }
  }
  if (whole == 0 && !floating) return {0, NodeKind::NONE};
  if (const std::size_t exponent = ExponentLength(input, at, 'e')) {
    at += exponent;
    floating = true;
  }
  if (floating) return {at + FloatSuffixLength(input, at), NodeKind::FLOAT_CONSTANT};
  if (PeekByte(input, 0) != '0') return {whole + IntegerSuffixLength(input, whole), NodeKind::DEC_CONSTANT};
  const std::size_t octal = 1 + CountWhile(input, 1, IsOctalDigit);
  return {octal + IntegerSuffixLength(input, octal), NodeKind::OCT_CONSTANT};
}

struct Punctuator {
  const char* spelling;
  NodeKind kind;
};

// Longest spellings first within each leading byte.
constexpr std::array kPunctuators{
    Punctuator{"<<=", NodeKind::LEFT_ASSIGN}, Punctuator{">>=", NodeKind::RIGHT_ASSIGN},
    Punctuator{"...", NodeKind::ELLIPSIS},    Punctuator{"->", NodeKind::PTR_OP},
    Punctuator{"++", NodeKind::INC_OP},       Punctuator{"--", NodeKind::DEC_OP},
    Punctuator{"<<", NodeKind::LEFT_OP},      Punctuator{">>", NodeKind::RIGHT_OP},
    Punctuator{"<=", NodeKind::LE_OP},        Punctuator{">=", NodeKind::GE_OP},
    Punctuator{"==", NodeKind::EQ_OP},        Punctuator{"!=", NodeKind::NE_OP},
    Punctuator{"&&", NodeKind::AND_OP},       Punctuator{"||", NodeKind::OR_OP},
    Punctuator{"*=", NodeKind::MUL_ASSIGN},   Punctuator{"/=", NodeKind::DIV_ASSIGN},
    Punctuator{"%=", NodeKind::MOD_ASSIGN},   Punctuator{"+=", NodeKind::ADD_ASSIGN},
    Punctuator{"-=", NodeKind::SUB_ASSIGN},   Punctuator{"&=", NodeKind::AND_ASSIGN},
    Punctuator{"^=", NodeKind::XOR_ASSIGN},   Punctuator{"|=", NodeKind::OR_ASSIGN},
    Punctuator{"<:", NodeKind::LEFT_BRACKET}, Punctuator{":>", NodeKind::RIGHT_BRACKET},
    Punctuator{"<%", NodeKind::LEFT_BRACE},   Punctuator{"%>", NodeKind::RIGHT_BRACE},
    Punctuator{"%", NodeKind::PERCENT},       Punctuator{"^", NodeKind::CARET},
    Punctuator{"|", NodeKind::BAR},           Punctuator{"!", NodeKind::NOT},
    Punctuator{"?", NodeKind::QUESTION},      Punctuator{".", NodeKind::DOT},
    Punctuator{"&", NodeKind::AMPERSAND},     Punctuator{"~", NodeKind::TILDE},
    Punctuator{"=", NodeKind::ASSIGN},        Punctuator{"<", NodeKind::LESS},
    Punctuator{">", NodeKind::GREATER},       Punctuator{"+", NodeKind::PLUS},
    Punctuator{"-", NodeKind::MINUS},         Punctuator{"*", NodeKind::STAR},
    Punctuator{"/", NodeKind::SLASH},         Punctuator{";", NodeKind::SEMICOLON},
    Punctuator{",", NodeKind::COMMA},         Punctuator{":", NodeKind::COLON},
    Punctuator{"(", NodeKind::LEFT_PAREN},    Punctuator{")", NodeKind::RIGHT_PAREN},
    Punctuator{"[", NodeKind::LEFT_BRACKET},  Punctuator{"]", NodeKind::RIGHT_BRACKET},
    Punctuator{"{", NodeKind::LEFT_BRACE},    Punctuator{"}", NodeKind::RIGHT_BRACE},
};

bool MatchesAt(InputBuffer& input, const char* spelling) {
  for (std::size_t i = 0; spelling[i]; ++i) {
    if (PeekByte(input, i) != static_cast<unsigned char>(spelling[i])) return false;
  }
  return true;
}

// Reserved words by length (2 to 8), sorted within each length, with their
// token codes. Every identifier is looked up here first, so a look-up
// compares only words of its length, as fixed-length views.
struct ReservedWord {
  std::string_view spelling;
  int code;
};

constexpr ReservedWord kWords2[] = {{"do", 285}, {"if", 286}};
constexpr ReservedWord kWords3[] = {{"for", 278}, {"int", 259}};
constexpr ReservedWord kWords4[] = {{"auto", 257}, {"case", 265}, {"char", 269}, {"else", 262},
                                    {"enum", 266}, {"goto", 282}, {"long", 263}, {"void", 280}};
constexpr ReservedWord kWords5[] = {{"break", 261}, {"const", 273}, {"float", 274},
                                    {"short", 275}, {"union", 272}, {"while", 288}};
constexpr ReservedWord kWords6[] = {{"double", 258}, {"extern", 270}, {"return", 271}, {"signed", 279},
                                    {"sizeof", 283}, {"static", 287}, {"struct", 260}, {"switch", 264}};
constexpr ReservedWord kWords7[] = {{"default", 281}, {"typedef", 268}};
constexpr ReservedWord kWords8[] = {{"continue", 277}, {"register", 267}, {"unsigned", 276}, {"volatile", 284}};

constexpr std::span<const ReservedWord> kWordGroups[] = {kWords2, kWords3, kWords4, kWords5,
                                                         kWords6, kWords7, kWords8};

}  // namespace

std::size_t IdentifierLength(InputBuffer& input) {
  std::size_t length = 0;
  for (;;) {
    const int c = PeekByte(input, length);
    if (IsLetter(c) || (length > 0 && IsDigit(c))) {
      ++length;
    } else if (const std::size_t name = UniversalNameLength(input, length)) {
      length += name;
    } else {
      return length;
    }
  }
}

PatternMatch MatchNumber(InputBuffer& input) {
  const int first = PeekByte(input, 0);
  if (first == '0') {
    const int second = PeekByte(input, 1);
    if (second == 'x' || second == 'X') return MatchHexadecimal(input);
    if ((second == 'b' || second == 'B') && IsBinaryDigit(PeekByte(input, 2))) {
      const std::size_t at = 2 + CountWhile(input, 2, IsBinaryDigit);
      return {at + IntegerSuffixLength(input, at), NodeKind::BIN_CONSTANT};
    }
  }
  if (!IsDigit(first) && first != '.') return {0, NodeKind::NONE};
  return MatchDecimal(input);
}

// The punctuators by leading byte, longest spellings first.
PatternMatch MatchPunctuator(InputBuffer& input) {
  static const auto byLeadingByte = [] {
    std::array<std::vector<const Punctuator*>, 256> index{};
    for (const Punctuator& punctuator : kPunctuators) {
      index[static_cast<unsigned char>(punctuator.spelling[0])].push_back(&punctuator);
    }
    return index;
  }();
  const int first = PeekByte(input, 0);
  if (first == kEndOfInput) return {0, NodeKind::NONE};
  for (const Punctuator* punctuator : byLeadingByte[static_cast<std::size_t>(first)]) {
    if (MatchesAt(input, punctuator->spelling)) return {std::strlen(punctuator->spelling), punctuator->kind};
  }
  return {0, NodeKind::NONE};
}

// Compared against the words of the same length; the search stops at the
// first word that compares greater.
int FindReservedWord(std::string_view spelling) {
  if (spelling.size() < 2 || spelling.size() > 8) return 0;
  for (const ReservedWord& word : kWordGroups[spelling.size() - 2]) {
    const int order = spelling.compare(word.spelling);
    if (order == 0) return word.code;
    if (order < 0) return 0;
  }
  return 0;
}

}  // namespace frontend
