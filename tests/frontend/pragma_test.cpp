#include "lexer_fixture.h"

#include "frontend/name_flags.h"

namespace frontend {
namespace {

class PragmaTest : public LexerFixture {
 protected:
  static std::uint32_t Flags(const char* word) { return support::InternName(word)->flags; }
  static bool Has(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
  }
};

// Each case lexes on names, messages and pragma settings of its own.
TEST_F(PragmaTest, TheTokensLeftByThePragmaForms) {
  const struct {
    const char* text;
    const char* spelled;
  } cases[] = {
      {"#pragma quorb accept \"__declspec\" to 259, 280\n__declspec x ( y ) int a", "INT ID:a"},
      // The inner word's sequence ends at ")" but must not end the outer one.
      {"#pragma quorb accept \"outer\" to 331\n#pragma quorb accept \"inner\" up to 335\nouter inner a ) ) b ; c",
       "; ID:c"},
      {"#pragma quorb reduce \"__attribute__\" null\nint __attribute__ ((x(1), \")\")) y;", "INT ID:y ;"},
      {"#pragma quorb fctreduce \"asm_fn\"\nasm_fn(x) { {a} b } c", "ID:c"},
      {"#pragma quorb type_modifier = far\nchar far *p", "CHAR * ID:p"},
      {"#pragma quorb \"gnu#__extension__\"\n__extension__ (void) (x) ; __extension__ (void) q",
       "ID:__extension__ ; ID:__extension__ ID:q"},
      // A word with a specific and a generic meaning keeps the generic one.
      {"#pragma quorb \"microsoft#_asm\"\n#pragma quorb accept \"_asm\"\n_asm x", "ID:x"},
  };
  for (const auto& c : cases) {
    const BoundRun run;
    const BoundFrontEnd front;
    EXPECT_EQ(Spelled(c.text), c.spelled) << c.text;
  }
  EXPECT_EQ(Codes("#pragma quorb \"microsoft#seh\"\n__try {} __except (filter(1)) {} __finally __leave"),
            (std::vector<int>{344, Code(NodeKind::LEFT_BRACE), Code(NodeKind::RIGHT_BRACE), 345,
                              Code(NodeKind::LEFT_BRACE), Code(NodeKind::RIGHT_BRACE), 346, 347}));
}

TEST_F(PragmaTest, TheWarningsOfThePragmaForms) {
  const struct {
    const char* text;
    std::vector<std::string> messages;
    int count;  // of warnings; -1 for any
  } cases[] = {
      {"a\n#pragma quorb stop_analyze\nb c @\n#pragma quorb stop_analyse\nd",
       {"Analysis is already stopped : [/src/a.c,4]",
        "End of file encountered but no #pragma quorb start_analyze; check #pragma quorb stop_analyze at [/src/a.c,2]"},
       2},
      {"#pragma quorb start_analyze\n", {"Analysis is already started : [/src/a.c,1]"}, -1},
      {"#pragma  quorb\taccept \"\"\n", {"Pragma quorb accept string is empty : [/src/a.c,1]"}, 1},
      {"#pragma quorb accept \"big\" = 4294967296\n", {"Pragma quorb accept = code value to large : [/src/a.c,1]"}, -1},
      {"#pragma quorb accept \"skip\" to 331\nskip a b",
       {"Non terminated lexical-accepted sequence beginning at [/src/a.c,2]"}, -1},
      {"#pragma quorb accept \"\" up to 3\n", {"Pragma quorb accept [up] to string is empty : [/src/a.c,1]"}, -1},
      {"#pragma quorb reduce \"\" typename\n", {"Pragma quorb reduce string is empty"}, -1},
      {"#pragma quorb reduce \"R\" = 99999999999\nR", {"code value to large"}, -1},
      {"#pragma quorb reduce \"R\"\nR x", {"Malformed reduced sequence beginning at [/src/a.c,2]"}, -1},
      {"#pragma quorb fctreduce \"F\"\nF { {}", {"Non terminated reduced sequence beginning at [/src/a.c,2]"}, -1},
      {"#pragma quorb directive \"\" = \"#x\"\n", {"Pragma quorb directive ident is empty"}, -1},
      {"#pragma quorb pragma \"p\" = \"\"\n", {"Pragma quorb pragma replacement text is empty"}, -1},
      {"#pragma quorb pragma \"a\" = \"#pragma b\"\n#pragma quorb pragma \"b\" = \"#pragma a\"\n"
       "#pragma quorb directive \"self\" = \"#self\"\n#pragma a\n#self\nx",
       {"Replacement of a leads back to itself, line ignored : [/src/a.c,4]",
        "Replacement of self leads back to itself, line ignored : [/src/a.c,5]"},
       2},
      {"#pragma quorb \"microsoft#_asm\"\n_asm { nop", {"_asm keyword used with { but without } : [/src/a.c,2]"}, -1},
      {"#pragma quorb \"gnu#__extension__\"\n__extension__ ((a)",
       {"Non terminated gnu __extension__ beginning at [/src/a.c,2]"}, -1},
      {"#pragma quorb \"microsoft#far\"\n#pragma quorb \"gnu#asm\"\n#pragma quorb \"other\"\n",
       {"Unknown microsoft extension : far at [/src/a.c,1]", "Unknown gnu extension : asm at [/src/a.c,2]",
        "Unknown special extension : other at [/src/a.c,3]"},
       -1},
      {"#pragma quorb \"microsoft#_asm\"\n#pragma quorb accept \"_asm\"\n_asm x",
       {"Cannot have specific meaning and generic meaning for _asm in quorb pragmas"}, -1},
      {"#pragma quorb stop_instrx\n#pragma quorb\n#pragma quorbic x\n",
       {"Unknown quorb pragma: #pragma quorb stop_instrx at [/src/a.c,1]",
        "Unknown quorb pragma: #pragma quorb at [/src/a.c,2]"},
       2},
      {"#pragma quorb incl_std = \"/usr/include/\", /opt/x/../inc ,\n#pragma quorb sizeof whatever\n", {}, 0},
      {"#pragma quorb stop_instr\r\na\r\n", {}, 0},
  };
  for (const auto& c : cases) {
    const BoundRun run;
    const BoundFrontEnd front;
    const std::string warnings = Warnings(c.text);
    for (const std::string& message : c.messages) EXPECT_TRUE(Has(warnings, message)) << c.text << "\n" << warnings;
    if (c.count < 0) continue;
    EXPECT_EQ(support::GetMessageCounts().warnings, static_cast<std::uint32_t>(c.count)) << c.text;
  }
}

TEST_F(PragmaTest, InstrumentationSwitchWarnsOnRepeatsAndMarksTokens) {
  const std::string warnings = Warnings("a\n#pragma quorb stop_instr\nb\n#pragma quorb stop_instr\nc\n"
                                        "#pragma quorb start_instr\nd\n#pragma quorb start_instr\n");
  ASSERT_EQ(lexed.size(), 4u);
  EXPECT_FALSE(lexed[0].instrStopped);
  EXPECT_TRUE(lexed[1].instrStopped);
  EXPECT_TRUE(lexed[2].instrStopped);
  EXPECT_FALSE(lexed[3].instrStopped);
  EXPECT_TRUE(Has(warnings, "Instrumentation is already stopped : [/src/a.c,4]"));
  EXPECT_TRUE(Has(warnings, "Instrumentation is already running : [/src/a.c,8]"));
  EXPECT_EQ(support::GetMessageCounts().warnings, 2u);
  const auto crlf = Lex("#pragma quorb stop_instr\r\na\r\n");
  ASSERT_EQ(crlf.size(), 1u);
  EXPECT_TRUE(crlf[0].instrStopped);
}

TEST_F(PragmaTest, StopAnalyzeDropsTheTokensUpToStartAnalyze) {
  EXPECT_EQ(Spelled("a\n#pragma quorb stop_analyze\nb c @\n#pragma quorb stop_analyse\nd"), "ID:a");
  const auto tokens = Lex("a\n#pragma quorb stop_analyze\nb\n#pragma quorb start_analyse\nc d");
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_EQ(tokens[1].alpha, "c");
  EXPECT_EQ(tokens[1].physicalLine, 5u);
}

TEST_F(PragmaTest, AcceptCodeMustFitIn32Bits) {
  Lex("#pragma quorb accept \"big\" = 4294967296\n");
  EXPECT_EQ(Flags("big") & kAcceptCode, 0u);
  Open("#pragma quorb accept \"max\"=4294967295\n#pragma quorb accept \"w\" = 288\nmax w");
  EXPECT_EQ(static_cast<std::uint32_t>(NextToken()), 4294967295u);
  EXPECT_EQ(NextToken(), Code(NodeKind::WHILE));
  EXPECT_EQ(CurrentToken().alpha, support::InternName("w"));
}

TEST_F(PragmaTest, ReducedWordsBecomeOneTokenEndingAtTheGroup) {
  Open("#pragma quorb reduce \"__typeof\" typename\n#pragma quorb reduce \"OFFS\"\n"
       "#pragma quorb reduce \"E\" empty\n#pragma quorb reduce \"K\" = 300\n"
       "__typeof (a) OFFS(s,\n  m) E() K (x)");
  EXPECT_EQ(NextToken(), Code(NodeKind::TYPEDEF_NAME));
  EXPECT_EQ(NextToken(), Code(NodeKind::IDENTIFIER));
  const TokenValue offs = CurrentToken();
  EXPECT_EQ(offs.alpha->text, "OFFS");
  EXPECT_EQ(offs.position.physical.column, 14u);
  TreeNode* node = CreateNode(NodeKind::IDENTIFIER, &offs);
  SetAlpha(node, &offs);
  EXPECT_EQ(node->end.physical, (SourcePosition{6, 4}));  // the ")" after m
  FreeTree(node);
  EXPECT_EQ(NextToken(), Code(NodeKind::EMPTY));
  EXPECT_EQ(NextToken(), 300);
  EXPECT_EQ(NextToken(), 0);
}

TEST_F(PragmaTest, NameFlagsAndReturnTypes) {
  const std::string warnings =
      Warnings("#pragma quorb type_modifier = far\n#pragma quorb ex_call = \"log\", \"\" , \"trace\"\n"
               "#pragma quorb exit_instr = \"die\"\n#pragma quorb ex_call= \"nope\"\n#pragma quorb type_modifier =\n"
               "#pragma quorb return_type \"get\" = \"long long\"\n#pragma quorb return_type \"\" = \"int\"\n"
               "#pragma quorb return_type \"h\" = \"\"\n");
  EXPECT_NE(Flags("far") & kTypeModifier, 0u);
  EXPECT_NE(Flags("log") & kExcludedFromCalls, 0u);
  EXPECT_NE(Flags("trace") & kExcludedFromCalls, 0u);
  EXPECT_NE(Flags("die") & kTerminatingFunction, 0u);
  EXPECT_EQ(Flags("nope"), 0u);  // ex_call needs a blank before "="
  ASSERT_NE(ReturnTypeOf(Front().pragmas, "get"), nullptr);
  EXPECT_EQ(*ReturnTypeOf(Front().pragmas, "get"), "long long");
  EXPECT_NE(Flags("get") & kHasReturnType, 0u);
  EXPECT_EQ(ReturnTypeOf(Front().pragmas, "h"), nullptr);
  EXPECT_TRUE(Has(warnings, "Pragma quorb ex_call function name is empty : [/src/a.c,2]"));
  EXPECT_TRUE(Has(warnings, "Unknown quorb pragma: #pragma quorb ex_call= \"nope\" at [/src/a.c,4]"));
  EXPECT_TRUE(Has(warnings, "Pragma quorb type_modifier name is empty : [/src/a.c,5]"));
  EXPECT_TRUE(Has(warnings, "Pragma quorb return_type ident is empty : [/src/a.c,7]"));
  EXPECT_TRUE(Has(warnings, "Pragma quorb return_type identifier return_type is empty : [/src/a.c,8]"));
}

TEST_F(PragmaTest, PrefixCallWarnsOnlyForADifferentPrefix) {
  const std::string warnings = Warnings("#pragma quorb prefix_call \"P_\" = \"f\", \"g\"\n"
                                        "#pragma quorb prefix_call \"P_\" = \"f\"\n#pragma quorb prefix_call \"Q_\" = \"f\"\n");
  EXPECT_EQ(support::GetMessageCounts().warnings, 1u);
  EXPECT_TRUE(Has(warnings, "[/src/a.c,3] in pragma quorb prefix_call, the call identifier f is already to be "
                            "prefixed by P_; this prefix is no longer used: Q_ will be used instead"));
  EXPECT_EQ(PrefixOf(Front().pragmas, support::InternName("f")), support::InternName("Q_"));
  EXPECT_EQ(PrefixOf(Front().pragmas, support::InternName("g")), support::InternName("P_"));
}

TEST_F(PragmaTest, TheNewerReplacementWinsAndReplacementsAreRescannedAsDirectiveLines) {
  EXPECT_EQ(Warnings("#pragma once\n#pragma GCC poison x\n"), "");  // foreign pragmas are silent
  auto tokens = Lex("#pragma quorb pragma \"Halt\" = \"#pragma quorb stop_instr\"\n"
                    "#pragma quorb pragma \"halt\" = \"#pragma quorb nothingbefore\"\n#pragma HALT now\na");
  ASSERT_EQ(tokens.size(), 1u);
  EXPECT_FALSE(tokens[0].instrStopped);
  EXPECT_TRUE(Front().pragmas.nothingBefore.present);
  ASSERT_NE(PragmaReplacement("halt"), nullptr);
  tokens = Lex("#pragma quorb pragma \"off\" = \"#pragma quorb stop_instr\"\n"
               "#pragma quorb directive \"Region\" = \"  #pragma quorb stop_analyze\"\n"
               "#pragma off\na\n#region x\nb\n#pragma quorb start_analyze\nc");
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_TRUE(tokens[0].instrStopped);
  EXPECT_EQ(tokens[1].alpha, "c");
  ASSERT_NE(DirectiveReplacement("region"), nullptr);
  EXPECT_EQ(*DirectiveReplacement("region"), "  #pragma quorb stop_analyze\n");
}

TEST_F(PragmaTest, InlineAssemblerForms) {
  Open("#pragma quorb \"microsoft#_asm\"\n_asm { mov ax, 1\n }\n{ __asm mov ax, bx }\n_asm nop\nx");
  EXPECT_EQ(NextToken(), Code(NodeKind::ASM));
  EXPECT_TRUE(Front().pragmas.inlineAssembler);
  const TokenValue block = CurrentToken();
  TreeNode* node = CreateNode(NodeKind::ASM, &block);
  SetAlpha(node, &block);
  EXPECT_EQ(node->end.physical, (SourcePosition{3, 2}));
  FreeTree(node);
  EXPECT_EQ(NextToken(), Code(NodeKind::LEFT_BRACE));
  EXPECT_EQ(NextToken(), Code(NodeKind::RIGHT_BRACE));
  EXPECT_EQ(CurrentToken().position.physical, (SourcePosition{4, 20}));
  EXPECT_EQ(NextToken(), Code(NodeKind::ASM));
  EXPECT_EQ(CurrentToken().alpha->text, "_asm nop");
  EXPECT_EQ(CurrentToken().position.physical, (SourcePosition{5, 1}));
  EXPECT_EQ(NextToken(), Code(NodeKind::IDENTIFIER));
  EXPECT_EQ(CurrentToken().position.physical.line, 6u);
}

TEST_F(PragmaTest, InsertPragmasRecordKindAndColumns) {
  Lex("a\n  #pragma quorb insert x @RELFLINE y\n#pragma quorb qbt_insert z\n#  pragma quorb qbq_insert\t"
      "@RELFLINE\n#pragma quorb testing_tool_call_place  \n");
  std::vector<InsertRecord> records;
  for (InsertRecord* record = Front().insertRecords.head; record; record = record->next) records.push_back(*record);
  ASSERT_EQ(records.size(), 4u);
  // "  #pragma quorb insert": the "t" of insert is column 22, "@" column 26.
  EXPECT_EQ(records[0].kind, kInsertAll);
  EXPECT_EQ(records[0].keywordEnd, (SourcePosition{2, 22}));
  EXPECT_EQ(records[0].tagStart, (SourcePosition{2, 26}));
  EXPECT_EQ(records[0].tagEnd, (SourcePosition{2, 34}));
  EXPECT_EQ(records[0].file, support::InternName("a.c"));
  EXPECT_EQ(records[1].kind, kInsertTrace);
  EXPECT_EQ(records[2].kind, kInsertPerformanceProfiling);
  EXPECT_EQ(records[2].tagStart.column, 28u);
  EXPECT_EQ(records[3].kind, kInsertStartOfMain);
  EXPECT_EQ(records[3].keywordEnd, (SourcePosition{5, 39}));
  EXPECT_EQ(records[3].file, nullptr);
  EXPECT_EQ(FindInsertRecord(Front().insertRecords, kInsertStartOfMain), &*Front().insertRecords.tail);
  EXPECT_EQ(Front().insertRecords.cursor, Front().insertRecords.head);
}

TEST_F(PragmaTest, InclStdAddsCanonicalDirectories) {
  Lex("#pragma quorb incl_std = \"/usr/include/\", /opt/x/../inc ,\n#pragma quorb sizeof whatever\n");
  ASSERT_EQ(noInstrDirs.nodes.size(), 2u);
  EXPECT_EQ(noInstrDirs.nodes[0].entry->text, "/usr/include");
  EXPECT_EQ(noInstrDirs.nodes[1].entry->text, "/opt/inc");
  EXPECT_NE(noInstrDirs.nodes[1].entry->flags & kNoInstrDirectory, 0u);
}

TEST_F(PragmaTest, APragmaReplacementWithoutADirectiveIsFatal) {
  EXPECT_EXIT(Lex("#pragma quorb pragma \"p\" = \"nothing\"\n#pragma p\n"),
              ::testing::ExitedWithCode(support::kExitFatal), "Cannot find '#' in nothing");
}

}  // namespace
}  // namespace frontend
