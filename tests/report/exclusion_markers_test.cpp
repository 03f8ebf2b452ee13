// Exclusion markers read from source text: each form, the line each one
// reaches, and every warning, on small sources whose answers are counted by
// hand; and the source text an annotated listing carries.
#include "report/exclusion_markers.h"
#include "report_fixture.h"

namespace report::testing_support {
namespace {

// "first-last region? reason" per exclusion, "line: message" per warning.
std::string Described(const MarkerScan& scan) {
  std::string text;
  for (const ExclusionItem& exclusion : scan.exclusions) {
    text += std::to_string(exclusion.first) + "-" + std::to_string(exclusion.last) +
            (exclusion.region ? " region " : " line ") + exclusion.reason + "\n";
  }
  for (const MarkerWarning& warning : scan.warnings) text += std::to_string(warning.line) + ": " + warning.message + "\n";
  return text;
}

TEST(ExclusionMarkers, EachFormReachesItsLines) {
  const struct {
    const char* source;
    const char* expected;
  } cases[] = {
      {"int a; /* quorb: exclude \"why\" */\n", "1-1 line why\n"},
      {"x();\ny(); // quorb: exclude \"two words\"\n", "2-2 line two words\n"},
      {"/*quorb:exclude\"tight\"*/\n", "1-1 line tight\n"},
      // The marker's line is that of its "quorb:", not of the comment's start.
      {"/*\n * notes\n * quorb: exclude \"third line\"\n */\n", "3-3 line third line\n"},
      {"// quorb: exclude start \"r\"\n// quorb: exclude stop\n", "1-2 region r\n"},
      // Two regions and a line marker, sorted by first line.
      {"/* quorb: exclude start \"b\" */\n/* quorb: exclude stop */ /* quorb: exclude \"c\" */\n"
       "/* quorb: exclude start \"d\" */ /* quorb: exclude stop */\n",
       "1-2 region b\n2-2 line c\n3-3 region d\n"},
      // A line comment continued by a backslash-newline goes on.
      {"// one \\\nquorb: exclude \"continued\"\n", "2-2 line continued\n"},
  };
  for (const auto& test : cases) EXPECT_EQ(Described(ScanExclusionMarkers(test.source)), test.expected) << test.source;
}

TEST(ExclusionMarkers, TextThatIsNoMarkerIsLeftAlone) {
  const char* sources[] = {
      "const char* s = \"/* quorb: exclude \\\"x\\\" */\";\n",  // inside a string literal
      "char c = '\"'; int d; // no marker here\n",            // a quote in a character literal opens no string
      "/* quorb is mentioned, but not as a marker */\n",
      "int quorb; /* exclude \"x\" */\n",
  };
  for (const char* source : sources) EXPECT_EQ(Described(ScanExclusionMarkers(source)), "") << source;
  // After the character literal holding a quote, a marker is read again.
  EXPECT_EQ(Described(ScanExclusionMarkers("char c = '\"';\n// quorb: exclude \"after\"\n")), "2-2 line after\n");
}

TEST(ExclusionMarkers, EveryFaultIsAWarningThatExcludesNothing) {
  const char* const noReason =
      "1: exclusion marker without a reason (write quorb: exclude \"why\"), excludes nothing\n";
  const struct {
    const char* source;
    const char* expected;
  } cases[] = {
      {"x; /* quorb: exclude */\n", noReason},
      {"x; // quorb: exclude \"\"\n", noReason},
      {"x; // quorb: exclude \"unterminated\n", noReason},
      {"x; // quorb: exclude why\n", noReason},
      {"/* quorb: exclude start */\na;\n/* quorb: exclude stop */\n",
       "1: exclusion region start without a reason (write quorb: exclude start \"why\"), its region excludes "
       "nothing\n"},
      {"a;\n/* quorb: exclude start \"open\" */\nb;\n",
       "2: exclusion region never closed (add quorb: exclude stop), excludes nothing\n"},
      {"a;\n\n/* quorb: exclude stop */\n", "3: exclusion region stop without a start, ignored\n"},
      {"/* quorb: exclude start \"outer\" */\n/* quorb: exclude start \"inner\" */\n/* quorb: exclude stop */\n",
       "1-3 region outer\n2: exclusion region start inside the region started on line 1, ignored\n"},
      {"// quorb: exlude \"typo\"\n", "1: unknown quorb marker \"exlude\" (expected \"exclude\"), ignored\n"},
  };
  for (const auto& test : cases) EXPECT_EQ(Described(ScanExclusionMarkers(test.source)), test.expected) << test.source;
}

// listing.c.fdc's listing is listing.c annotated: its text must be that
// file, with the macro's expansion and the popups' bodies left out.
TEST(ExclusionMarkers, TheListingCarriesTheSourceText) {
  const std::string fdc = ReadAll(FixturePath("listing.c.fdc"));
  const std::size_t begin = fdc.find("@RIK");
  ASSERT_NE(begin, std::string::npos);
  EXPECT_EQ(ListingSourceText(fdc.substr(begin)), ReadAll(FixturePath("listing.c")));
  EXPECT_EQ(ListingSourceText(""), "");
  EXPECT_EQ(MarkerSourceText("", FixturePath("listing.c")), ReadAll(FixturePath("listing.c")));
  EXPECT_EQ(MarkerSourceText("", FixturePath("no-such-file.c")), "");
  // A source that includes itself has a listing of branches by line, not its
  // text: its markers are in the file.
  const std::string byLine =
      "@RIK\n  TOKEN=\"CCOV\"\nNODE TYPE=FILE NAME=\"listing.c\"@@COMMENT@/* This document presents all functions "
      "and branches per source line. */@/COMMENT@\n\n  @NODE TYPE=FUNCTION NAME=\"f\"@Function f ()\n"
      "    @BRANCH MARK=TP ID=0 SUM=0@Incoming@/BRANCH@, line 3\n@/NODE@\n@/NODE /RIK@\n";
  EXPECT_EQ(MarkerSourceText(byLine, FixturePath("listing.c")), ReadAll(FixturePath("listing.c")));
}

}  // namespace
}  // namespace report::testing_support
