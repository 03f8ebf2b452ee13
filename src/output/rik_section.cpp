// Writing a RIK section: header tag, SUMS, ERRORS, the file node with its
// metrics, the optional comment, the listing, the end tag.
#include "output/rik_section.h"

#include "output/fdc_file.h"
#include "output/rik_listing.h"
#include "output/rik_tags.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <QLocale>
#include <array>
#include <langinfo.h>
#include <string>

namespace output {
namespace {

constexpr const char* kLabelComment =
    "Please keep - sign if present at the beginning and use & to select the letter to be shown in the GUI toolbar";

// The coverage labels, translated once for the run.
const std::array<std::string, 13>& CoverageLabels() {
  static const std::array<std::string, 13> labels = [] {
    static constexpr const char* kSources[] = {
        "&Functions",          "-&Exits",          "Functions and exits",  "&Calls",
        "Statement &blocks",   "-&Implicit blocks", "Decisions",           "&Loops",
        "Basic &conditions",   "&Modified conditions", "M&ultiple conditions", "Forced &modified conditions",
        "Forced m&ultiple conditions"};
    std::array<std::string, 13> translated;
    for (std::size_t i = 0; i < translated.size(); ++i) {
      translated[i] = support::ToLocal(support::Translate("Code Coverage", kSources[i], kLabelComment));
    }
    return translated;
  }();
  return labels;
}

struct SumsLine {
  const char* indent;
  bool opens;
  int label;
  int forcedLabel;  // label when forced evaluation is on
  const char* suffix;
  std::uint16_t bit;
  const char* ending;
};

constexpr std::uint16_t kForcedEvaluation = 0x0800;

constexpr SumsLine kSumsLines[] = {
    {"   ", true, 0, 0, "=0", 0x0001, ","},       {"    ", false, 1, 1, "=1", 0x0002, ","},
    {"    ", false, 2, 2, "=0+1", 0x0002, "),"},  {"   ", true, 3, 3, "=10", 0x0004, "),"},
    {"   ", true, 4, 4, "=20", 0x0008, ","},      {"    ", false, 5, 5, "=21", 0x0020, ","},
    {"    ", false, 6, 6, "=20+21", 0x0020, ","}, {"    ", false, 7, 7, "=22", 0x0040, "),"},
    {"   ", true, 8, 8, "=30", 0x0100, ","},      {"    ", false, 9, 11, "=31", 0x0200, ","},
    {"    ", false, 10, 12, "=32", 0x0400, ")"},
};

void WriteSums(std::FILE* out, std::uint16_t coverage) {
  std::fputs("  SUMS\n", out);
  const bool forced = coverage & kForcedEvaluation;
  for (const SumsLine& line : kSumsLines) {
    std::string text = line.indent;
    if (line.opens) text += "(";
    text += "\"" + CoverageLabels()[static_cast<std::size_t>(forced ? line.forcedLabel : line.label)] + "\"";
    if (coverage & line.bit) text += line.suffix;
    text += line.ending;
    text += "\n";
    std::fputs(text.c_str(), out);
  }
}

void WriteErrors(std::FILE* out) {
  std::fputs("  ERRORS\n", out);
  const std::string lines[] = {
      "    32=\"" +
          CoverageText("a source object was not linked with the right runtime object (check instrumentation mode)") +
          "\",\n",
      "    49=\"" + CoverageText("a composition of conditions evaluates in an unexpected result, contact your vendor") +
          "\",\n",
      "    50=\"" +
          CoverageText("a composition of conditions reached with an unexpected input vector, contact your vendor") +
          "\"\n"};
  for (const std::string& line : lines) std::fputs(line.c_str(), out);
}

void WriteEncoding(std::FILE* out) {
  const char* codeset = nl_langinfo(CODESET);
  std::string name = codeset && *codeset ? codeset : support::ToLocal(QLocale::system().name());
  if (!name.empty()) std::fputs(("  ENCODING=\"" + name + "\"\n").c_str(), out);
}

void WriteIdentity(std::FILE* out, const FdcFile& file) {
  std::string text = "  TOKEN=\"" + file.writer->Settings().feature + "\"\n";
  text += "  SRC=\"" + file.sourceName->text + "\"\n";
  text += "  DIR=\"" + file.sourceDirectory->text + "\"\n";
  text += "  DATE=" + std::to_string(FdcWrittenDate(file.date)) + "\n";
  text += "  CHECKSUM=" + std::to_string(file.checksum);
  if (!file.writer->Settings().fullPathKey) text += "&" + std::to_string(file.key);
  std::fputs((text + "\n").c_str(), out);
}

std::string FileNodeMetrics(const metrics::HalsteadCounts& counts) {
  std::string text = " LINES=";
  for (std::size_t i = metrics::kTotalLines; i <= metrics::kComments; ++i) {
    if (i > metrics::kTotalLines) text += ",";
    text += std::to_string(counts[i]);
  }
  text += " HALS=";
  for (std::size_t i = 0; i < metrics::kTotalLines; ++i) {
    if (i > 0) text += ",";
    text += std::to_string(counts[i]);
  }
  return text;
}

}  // namespace

void WriteRikSection(FdcFile& file, const RikSectionOptions& options) {
  OrderRikItems(file);
  std::FILE* out = file.writer->Open(file);
  std::fputs("@RIK\n", out);
  WriteEncoding(out);
  WriteIdentity(out, file);
  WriteSums(out, options.coverage);
  WriteErrors(out);
  std::fputs(("NODE TYPE=FILE NAME=\"" + file.sourceName->text + "\"").c_str(), out);
  const std::string sourcePath = support::JoinPath(file.sourceDirectory->text, file.sourceName->text);
  SourceAnalysis analysis;
  if (!file.noListing) {
    metrics::ComputeHalstead(sourcePath.c_str(), analysis.counts, analysis.hiddenRanges, analysis.regions);
    if (options.metrics) std::fputs(FileNodeMetrics(analysis.counts).c_str(), out);
  }
  std::fputs("@", out);
  if (options.comment) std::fputs(("@ALT@ @-ALT@" + DoubleAts(*options.comment) + "@/ALT@").c_str(), out);
  if (file.noListing) {
    WriteSummaryListing(out, file.rik.order);
  } else {
    frontend::SetIfdefs(*options.validLines, analysis.regions, file.sourceName, file.sourceDirectory);
    WriteSourceListing(out, {&file.rik.order, &sourcePath, options.preprocessedPath, options.coverage}, analysis);
  }
  frontend::FreeRegions(analysis.regions);
  std::fputs("@/NODE /RIK@\n", out);
  file.writer->Streams().Close(file);
  file.rik = RikRegistry{};
}

}  // namespace output
