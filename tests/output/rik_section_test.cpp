// RIK sections of one small source file: the header, SUMS and ERRORS, the
// file node with its metrics, the summary listing and the source listing
// with the tags at their characters, all written out by hand.
#include "output/rik_section.h"

#include "bound_front_end.h"
#include "fdc_test_support.h"
#include "frontend/line_validity.h"
#include "output/rik_registry.h"
#include "output/rik_tags.h"

#include <gtest/gtest.h>

#include <string>

namespace output {
namespace {

using namespace testing_support;

constexpr std::uint16_t kCoverage = 0x0001 | 0x0008 | 0x0020;

const char* const kSource =
    "int f(int a)\n"
    "{\n"
    "  if (a) /* yes */\n"
    "    return 1;\n"
    "  return 0;\n"
    "}\n";

class RikSectionTest : public FdcTest {
 protected:
  void SetUp() override {
    FdcTest::SetUp();
    frontEnd_.emplace();
    WriteAll(dir + "x.c", kSource);
    WriteAll(dir + "x.i", std::string("# 1 \"x.c\"\n") + kSource);
    preprocessed_ = dir + "x.i";
    support::NameEntry* name = support::InternName("x.c");
    support::NameEntry* directory = support::InternName(dir);
    for (std::uint32_t line = 1; line <= 6; ++line) frontend::SetCurrentValidFile(name, directory, line);
    file_ = &Writer().Select(name, directory, kCoverage, nullptr);
  }
  void TearDown() override {
    frontEnd_.reset();
    FdcTest::TearDown();
  }

  void Add(RikKind kind, RikPayload payload, std::uint32_t line, frontend::SourcePosition start,
           std::uint32_t endLine = 0, std::optional<frontend::SourcePosition> end = std::nullopt) {
    AddRikItem(*file_, kind, std::move(payload), 0, {line, start, endLine, end});
  }

  // The section as written, from "@RIK" on, without its ENCODING line.
  std::string Section(bool metrics, std::optional<std::string_view> comment = std::nullopt,
                      std::uint16_t coverage = kCoverage) {
    WriteRikSection(*file_, {preprocessed_.c_str(), &(*frontEnd_)->validLines, coverage, metrics, comment});
    const std::string text = ReadAll(file_->temporaryPath);
    std::string section = text.substr(text.find("@RIK\n"));
    const std::size_t encoding = section.find("  ENCODING=\"");
    EXPECT_EQ(encoding, 5u);
    if (encoding == 5u) section.erase(5, section.find('\n', 5) + 1 - 5);
    return section;
  }

  std::string Header() const {
    return "@RIK\n  TOKEN=\"CCOV\"\n  SRC=\"x.c\"\n  DIR=\"" + dir + "\"\n  DATE=" +
           std::to_string(testing_support::MTime(dir + "x.c")) + "\n  CHECKSUM=" + std::to_string(file_->checksum) +
           "\n"
           "  SUMS\n"
           "   (\"&Functions\"=0,\n"
           "    \"-&Exits\",\n"
           "    \"Functions and exits\"),\n"
           "   (\"&Calls\"),\n"
           "   (\"Statement &blocks\"=20,\n"
           "    \"-&Implicit blocks\"=21,\n"
           "    \"Decisions\"=20+21,\n"
           "    \"&Loops\"),\n"
           "   (\"Basic &conditions\",\n"
           "    \"&Modified conditions\",\n"
           "    \"M&ultiple conditions\")\n"
           "  ERRORS\n"
           "    32=\"a source object was not linked with the right runtime object (check instrumentation mode)\",\n"
           "    49=\"a composition of conditions evaluates in an unexpected result, contact your vendor\",\n"
           "    50=\"a composition of conditions reached with an unexpected input vector, contact your vendor\"\n";
  }

  void AddFunctionItems() {
    Add(RikKind::kFunction, std::make_unique<RikFunction>(RikFunction{"f"}), 1, {2, 1}, 6, frontend::SourcePosition{7, 1});
    Add(RikKind::kBranchStart, MakeRikBranch(0, kSumEntry), 2, {3, 1});
    Add(RikKind::kDecision, MakeRikDecision({1, 2}, kNoRikId), 3, {4, 3}, 3, frontend::SourcePosition{4, 8});
    Add(RikKind::kBranch, MakeRikBranch(1, kSumBlock), 4, {5, 5}, 4, frontend::SourcePosition{5, 13});
  }

  std::optional<BoundFrontEnd> frontEnd_;
  std::string preprocessed_;
  FdcFile* file_ = nullptr;
};

TEST_F(RikSectionTest, SourceListingCarriesTagsMetricsAndComments) {
  AddFunctionItems();
  EXPECT_EQ(Section(true), Header() +
                               "NODE TYPE=FILE NAME=\"x.c\" LINES=6,5,1,0,0,1 HALS=6,4,10,5@"
                               "@NODE TYPE=FUNCTION NAME=\"f\"@int f(int a)\n"
                               "@BRANCH START MARK=TP ID=0 SUM=0@{\n"
                               "  @DECISION SUM=20+21 ID=1|2@if (a)@/DECISION@ @COMMENT@/* yes */@/COMMENT@\n"
                               "    @BRANCH MARK=TB ID=1 SUM=20@return 1;@/BRANCH@\n"
                               "  return 0;\n"
                               "}@/NODE@\n"
                               "@/NODE /RIK@\n");
  EXPECT_TRUE(file_->rik.items.empty());
}

TEST_F(RikSectionTest, CodeThePreprocessorDroppedIsComment) {
  const std::string source = "int f(int a)\n{\n#if 0\n  a++;\n#endif\n  return a;\n}\n";
  WriteAll(dir + "x.c", source);
  WriteAll(preprocessed_, "# 1 \"x.c\"\nint f(int a)\n{\n\n\n\n  return a;\n}\n");
  frontEnd_.emplace();
  for (const std::uint32_t line : {1u, 2u, 6u, 7u}) {
    frontend::SetCurrentValidFile(support::InternName("x.c"), support::InternName(dir), line);
  }
  Add(RikKind::kFunction, std::make_unique<RikFunction>(RikFunction{"f"}), 1, {2, 1}, 7, frontend::SourcePosition{8, 1});
  const std::string section = Section(false);
  EXPECT_EQ(section.substr(section.find("NODE TYPE=FILE")),
            "NODE TYPE=FILE NAME=\"x.c\"@@NODE TYPE=FUNCTION NAME=\"f\"@int f(int a)\n{\n"
            "@COMMENT@#if 0\n  a++;\n@/COMMENT@@COMMENT@#endif@/COMMENT@\n  return a;\n}@/NODE@\n@/NODE /RIK@\n");
}

TEST_F(RikSectionTest, WithoutMetricsTheFileNodeHasNoCounts) {
  Add(RikKind::kShortcut, std::uint32_t{7}, 4, {5, 5});
  EXPECT_EQ(Section(false, "a@b"), Header() +
                                       "NODE TYPE=FILE NAME=\"x.c\"@@ALT@ @-ALT@a@@b@/ALT@"
                                       "int f(int a)\n{\n  if (a) @COMMENT@/* yes */@/COMMENT@\n"
                                       "    r@SHORTCUT MARK=TB ID=7@eturn 1;\n  return 0;\n}\n"
                                       "@/NODE /RIK@\n");
}

TEST_F(RikSectionTest, LinesGoingBackwardsGiveTheSummary) {
  Add(RikKind::kFunction, std::make_unique<RikFunction>(RikFunction{"f", RikNodeType::kFunction, 2}), 1, {2, 1}, 6, frontend::SourcePosition{7, 1});
  Add(RikKind::kBranch, MakeRikBranch(0, kSumEntry), 1, {2, 2});
  Add(RikKind::kDecision, MakeRikDecision({1, 2}, 3), 3, {4, 3});
  Add(RikKind::kBranch, MakeRikBranch(3, kSumBlock), 2, {4, 4});
  Add(RikKind::kUnreachable, std::monostate{}, 1, {5, 5});
  ::testing::internal::CaptureStderr();
  const std::string section = Section(true);
  const std::string warnings = ::testing::internal::GetCapturedStderr();
  const std::string expected =
      " - WARNING: Lines added by a code generator, resulting #line are not monoton in source file x.c\n";
  EXPECT_EQ(warnings.find(expected), warnings.size() - expected.size()) << warnings;
  EXPECT_EQ(warnings.find("WARNING"), warnings.rfind("WARNING")) << "shown once";
  EXPECT_EQ(section, Header() +
                               "NODE TYPE=FILE NAME=\"x.c\"@"
                               "@COMMENT@/* This document presents all functions and branches per source line. "
                               "*/@/COMMENT@\n\n"
                               "\n  @NODE TYPE=FUNCTION NAME=\"f\" VG=2@Function f ()\n"
                               "    @BRANCH MARK=TP ID=0 SUM=0@Incoming@/BRANCH@, line 1\n"
                               "    @BRANCH MARK=TB ID=3 SUM=20@Statement block@/BRANCH@, line 2\n"
                               "  @BRANCH UNREACHABLE@ code unreachable, line 1\n"
                               "@/NODE@\n  \n"
                               "@/NODE /RIK@\n");
}

TEST_F(RikSectionTest, ForcedEvaluationNamesTheForcedConditions) {
  const std::string section = Section(false, std::nullopt, 0x0004 | 0x0100 | 0x0200 | 0x0800);
  EXPECT_NE(section.find("   (\"&Functions\",\n    \"-&Exits\",\n    \"Functions and exits\"),\n"
                         "   (\"&Calls\"=10),\n"),
            std::string::npos)
      << section;
  EXPECT_NE(section.find("   (\"Basic &conditions\"=30,\n"
                         "    \"Forced &modified conditions\"=31,\n"
                         "    \"Forced m&ultiple conditions\")\n"),
            std::string::npos)
      << section;
}

TEST_F(RikSectionTest, TagsOfEveryKind) {
  RikBranch couples = MakeRikBranch(5, kSumModifiedCondition);
  AddBranchCouple(&couples, 1, 2);
  AddBranchCouple(&couples, 3, 4);
  EXPECT_EQ(BranchTag(couples, false), "@BRANCH MARK=TE ID=1&2|3&4 SUM=31@");
  RikItem decision{RikKind::kDecision, MakeRikDecision({4, 5}, 9), 0, 1, 1, {}, {}, 0};
  EXPECT_EQ(OpeningTag(decision, 0x0020), "@DECISION SUM=21 ID=(4|5)|9@");
  RikItem untabled{RikKind::kDecision, RikDecision{{}, 0, 1}, 0, 1, 1, {}, {}, 0};
  EXPECT_EQ(OpeningTag(untabled, 0x0008), "@DECISION SUM=20@") << "no table, no ID, even with an extra block";
  std::vector<RikAlternative> alternatives;
  alternatives.push_back({"a@b", MakeRikBranch(2, kSumBlock)});
  alternatives.push_back({"c", {}});
  RikItem popup{RikKind::kPopup, std::move(alternatives), 0, 1, 1, {}, {}, 0};
  EXPECT_EQ(ClosingTag(popup), "@-POPUP@@BRANCH MARK=TB ID=2 SUM=20@a@@b@/BRANCH@c@/POPUP@");
  RikItem table{RikKind::kBitCond,
                std::make_unique<RikBitCond>(RikBitCond{{"a", "b", "c", "d", "e", "f"}, "&& x y", 4, {"x", "y"}}), 0, 1, 1,
                {}, {}, 0};
  EXPECT_EQ(ClosingTag(table), "@-POPUP BITCOND=(@a@,@b@,@c@,@d@,@e@,@f@,\"&& x y\",4,TE,31,32,@x@,@y@) /POPUP@");
  RikItem function{RikKind::kFunction, std::make_unique<RikFunction>(RikFunction{"g", RikNodeType::kMethod, 0, 3, 1}), 0, 1, 1, {}, {}, 0};
  EXPECT_EQ(OpeningTag(function, 0), "@NODE TYPE=METHOD NAME=\"g\" INST=3,1@");
}

TEST_F(RikSectionTest, ItemsWithoutAUsablePositionKeepTheOrderTotal) {
  // Registered out of order: positions from line 9 down to 1, with an item
  // on line 0 and one without a position after each.
  for (std::uint32_t i = 0; i < 300; ++i) {
    const std::uint32_t line = 9 - i % 9;
    const std::optional<frontend::SourcePosition> places[] = {frontend::SourcePosition{line, 1},
                                                              frontend::SourcePosition{0, 0}, std::nullopt};
    for (const auto& place : places) {
      AddRikItem(*file_, RikKind::kBranch, MakeRikBranch(i, kSumBlock), 0, {line, place, 0, std::nullopt});
    }
  }
  OrderRikItems(*file_);
  const RikItemList& order = file_->rik.order;
  ASSERT_EQ(order.size(), 900u);
  for (std::size_t i = 0; i < 300; ++i) EXPECT_EQ(order[i]->start->line, 0u) << i;
  for (std::size_t i = 300; i + 1 < 600; ++i) EXPECT_LE(order[i]->start->line, order[i + 1]->start->line) << i;
  for (std::size_t i = 600; i < 900; ++i) EXPECT_FALSE(order[i]->start) << i;
}

}  // namespace
}  // namespace output
