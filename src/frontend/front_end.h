// A run's front end: everything its parses produce (the syntax tree's
// storage, logical files, valid lines, insert records, pragma settings,
// symbol tables) and the state of the parse under way (lexer, grammar
// support, tree builder). The definition file and the source file are parsed
// into the same object, so the pragmas and typedef names of the first hold in
// the second. Destroying it frees all of it.
//
// The lexer, the grammar's actions and the tables reach the object through
// the binding of the thread that parses or walks: FrontEndScope binds it for
// a scope, ParseFile binds the object it is given, and a token position finds
// its file through it. One object per run, one run per thread.
#pragma once

#include "frontend/grammar_support.h"
#include "frontend/insert_records.h"
#include "frontend/lexer.h"
#include "frontend/line_validity.h"
#include "frontend/logical_files.h"
#include "frontend/pragmas.h"
#include "frontend/symbol_tables.h"
#include "frontend/syntax_tree.h"
#include "support/file_utils.h"
#include "support/thread_binding.h"

#include <unordered_map>

namespace frontend {

struct FrontEnd {
  FrontEnd() = default;
  FrontEnd(const FrontEnd&) = delete;
  FrontEnd& operator=(const FrontEnd&) = delete;
  ~FrontEnd();

  /// Releases every node and statics list at once: every tree built so far
  /// is gone. The tree is a run's largest structure; the listings need not
  /// hold it.
  void ReleaseTrees();

  // What the parses produced; read by the instrumentation.
  TreeStorage tree;
  LogicalFileTable logicalFiles;
  ValidLineTable validLines{};
  InsertRecordList insertRecords{};
  PragmaState pragmas{};
  SymbolState symbols;

  // The parse under way.
  ParserState parser;
  LexerState lexer{};
  ContinuationRecord continuation{};
  TreeBuilderState builder{};
  // Splitting a name costs a trip to the file system's view of the current
  // directory; preprocessed files alternate between few names many times.
  std::unordered_map<const support::NameEntry*, support::SplitResult> splitNames;
};

/// Binds a front end to this thread for the scope.
using FrontEndScope = support::ThreadBinding<FrontEnd>;

/// The object bound to this thread; binding one is the caller's duty.
inline FrontEnd& CurrentFrontEnd() { return FrontEndScope::Current(); }

inline ParserState& Parser() { return CurrentFrontEnd().parser; }
inline LexerState& Lexer() { return CurrentFrontEnd().lexer; }
inline SymbolState& Symbols() { return CurrentFrontEnd().symbols; }
inline PragmaState& Pragmas() { return CurrentFrontEnd().pragmas; }
inline InsertRecordList& InsertRecords() { return CurrentFrontEnd().insertRecords; }
inline ValidLineTable& ValidLines() { return CurrentFrontEnd().validLines; }
inline ContinuationRecord& LexerContinuation() { return CurrentFrontEnd().continuation; }

}  // namespace frontend
