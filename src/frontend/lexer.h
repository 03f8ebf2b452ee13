// The C lexer: one token at a time from the preprocessed input, for the
// parser and, re-entrantly, for the pragma and extension handlers.
//
// The three position counters (logical line, physical line, column) stay
// exact across everything the lexer skips. Each token's action adds the
// previous token's length to the column, takes its own length as the new
// previous length and fills the token's position; a newline resets the
// column to 1; blanks advance it directly; every byte read by ReadChar adds 1
// to the previous length. So a token's column is 1 + the number of bytes
// before it on its physical line.
//
// The parser uses: StartLexing / FinishLexing around a parse, LexToken (the
// yylex-shaped entry) or NextToken with CurrentToken, and LastTokenText for
// its error messages.
#pragma once

#include "frontend/input_buffer.h"
#include "frontend/syntax_tree.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace support {
struct NameEntry;
struct NameList;
}  // namespace support

namespace frontend {

/// Where the directive line being handled started.
struct DirectiveOrigin {
  std::uint32_t physicalLine;
  std::uint32_t logicalLine;
  std::uint32_t hashColumn;  // column of its "#"
};

struct LexerState {
  std::uint32_t logicalLine;
  std::uint32_t physicalLine;
  std::uint32_t column;
  std::uint32_t previousLength;
  support::NameEntry* currentFile;
  support::NameEntry* currentDirectory;
  bool instrStopped;
  bool analysisStopped;
  bool atLineStart;
  TokenValue current;
  std::string lastText;
  // What FillPosition last reported to the line-validity table.
  std::uint32_t reportedPhysicalLine;
  support::NameEntry* reportedFile;
  support::NameEntry* reportedDirectory;
  DirectiveOrigin directive;
  support::NameList* noInstrDirList;  // extended by the incl_std pragma
  int handlerDepth;                   // nesting of handlers that call NextToken
  int lastCode;  // the code NextToken returned last
  // Where the first group dropped since that token began, when there is one.
  bool hasDroppedGroup;
  TokenPosition droppedGroupStart;
  // Tokens put back, returned last first.
  int pushbackCount;
  int pushbackCodes[2];
  TokenValue pushbackValues[2];
  std::string scratch;
  InputBuffer input;
};

/// Starts a parse of the open file: counters at 1, current file from the
/// path, instrumentation stopped in definition mode, analysis running, no
/// pending continuation.
void StartLexing(std::FILE* file, std::string_view path, bool definitionMode, support::NameList* noInstrDirList);
/// Deletes the scanner buffer; the file stays open.
void FinishLexing();

/// The next token's code (0 at end of input); fills CurrentToken.
int NextToken();
const TokenValue& CurrentToken();
/// NextToken, copying the token's value for the parser.
int LexToken(TokenValue* value);
/// The text of the latest match.
std::string_view LastTokenText();

/// The next raw byte, or kEndOfInput, bypassing the token patterns.
int ReadChar();
/// The same, after applying the line markers that begin at the read
/// position: raw text that spans lines keeps the logical lines and files of
/// what follows it right.
int ReadCodeChar();
/// Reads raw bytes (ReadCodeChar) until the count of open minus close bytes
/// outside quoted literals, starting at depth, falls to zero; returns the
/// last byte read or kEndOfInput.
int SkipBalanced(char open, char close, int depth = 1);

/// "[<directory><file>,<line>]" of the current logical file.
std::string ReferenceText(std::uint32_t logicalLine);

/// A line of the current logical file, whose reference text is built only
/// when a message needs it.
struct ReferencePlace {
  const support::NameEntry* directory;
  const support::NameEntry* file;
  std::uint32_t logicalLine;
};
ReferencePlace CurrentReferencePlace(std::uint32_t logicalLine);
std::string ReferenceText(const ReferencePlace& place);

}  // namespace frontend
