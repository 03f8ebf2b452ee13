// RIK sections of one small source file: the file node and the source or
// summary listing written out by hand from the file's text.
#include "output/rik_section.h"

#include "bound_front_end.h"
#include "fdc_test_support.h"
#include "frontend/line_validity.h"
#include "output/rik_registry.h"

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

  // The section as written, from its file node on.
  std::string Section(bool metrics, std::optional<std::string_view> comment = std::nullopt) {
    WriteRikSection(*file_, {preprocessed_.c_str(), &(*frontEnd_)->validLines, kCoverage, metrics, comment});
    const std::string text = ReadAll(file_->temporaryPath);
    return text.substr(text.find("NODE TYPE=FILE"));
  }

  std::optional<BoundFrontEnd> frontEnd_;
  std::string preprocessed_;
  FdcFile* file_ = nullptr;
};

TEST_F(RikSectionTest, WithoutMetricsTheFileNodeHasNoCounts) {
  Add(RikKind::kShortcut, std::uint32_t{7}, 4, {5, 5});
  // The run's comment is an alternative of its own, its "@" doubled.
  EXPECT_EQ(Section(false, "a@b"),
            "NODE TYPE=FILE NAME=\"x.c\"@@ALT@ @-ALT@a@@b@/ALT@int f(int a)\n{\n  if (a) @COMMENT@/* yes */@/COMMENT@\n"
            "    r@SHORTCUT MARK=TB ID=7@eturn 1;\n  return 0;\n}\n@/NODE /RIK@\n");
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
  EXPECT_EQ(section,
            "NODE TYPE=FILE NAME=\"x.c\"@"
            "@COMMENT@/* This document presents all functions and branches per source line. */@/COMMENT@\n\n"
            "\n  @NODE TYPE=FUNCTION NAME=\"f\" VG=2@Function f ()\n"
            "    @BRANCH MARK=TP ID=0 SUM=0@Incoming@/BRANCH@, line 1\n"
            "    @BRANCH MARK=TB ID=3 SUM=20@Statement block@/BRANCH@, line 2\n"
            "  @BRANCH UNREACHABLE@ code unreachable, line 1\n"
            "@/NODE@\n  \n"
            "@/NODE /RIK@\n");
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
