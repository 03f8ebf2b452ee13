#include "driver/driver.h"

#include "driver/identification.h"
#include "driver/option_table.h"
#include "driver/options.h"
#include "frontend/insert_records.h"
#include "frontend/line_validity.h"
#include "frontend/parser.h"
#include "frontend/pragmas.h"
#include "frontend/syntax_tree.h"
#include "instrument/instrument_file.h"
#include "output/fdc_version.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace driver {
namespace {

using support::Translate;

constexpr std::array<const char*, 4> kCataloguePrefixes = {"cc1_", "common_", "cab_", "kvrxident_"};

void PrintStartupLine(const char* kind, const std::string& text) {
  std::printf("NIVRAK-I-%s, %s\n", kind, text.c_str());
  std::fflush(stdout);
}

void PrintStartupLines() {
  PrintStartupLine("STARTEXEC", std::string(kBannerName) + " " + kModuleTitle + " " + kFullVersion);
  if (!std::getenv("QUORB_SUPPRESS_COPYRIGHT")) PrintStartupLine("COPYRIGHT", kCopyrightNotice);
}

// No translator exists yet, so these two failures are written as they stand.
std::string TranslationDirectory() {
  const char* root = std::getenv("NIVRAKDIR");
  if (!root || !*root) {
    std::fputs("Fatal Error: please setup NIVRAKDIR environment variable.\n", stderr);
    std::exit(1);
  }
  const std::string directory = std::string(root) + "/lib/locale";
  if (!QFileInfo(QString::fromLocal8Bit(directory)).isDir()) {
    std::fprintf(stderr, "Fatal Error: directory doesn't exist '%s'\n", directory.c_str());
    std::exit(1);
  }
  return directory;
}

void InstallTranslators(std::array<QTranslator, 4>& translators, const std::string& directory) {
  const QString locale = QLocale::system().name();
  for (std::size_t i = 0; i < kCataloguePrefixes.size(); ++i) {
    const QString file = QString::fromLatin1(kCataloguePrefixes[i]) + locale;
    if (translators[i].load(file, QString::fromLocal8Bit(directory))) {
      QCoreApplication::installTranslator(&translators[i]);
    }
  }
}

// A lone "-" and an abbreviation of `word` in any case: -v, -Ver, ...
// -VERSION; not "-", "--version" or "-VERSIONS".
bool IsLoneRequest(int argc, char** argv, const std::string& word) {
  if (argc != 2) return false;
  const std::string argument = argv[1];
  if (argument.size() < 2 || argument.size() > word.size() + 1 || argument[0] != '-') return false;
  for (std::size_t i = 1; i < argument.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(argument[i])) != word[i - 1]) return false;
  }
  return true;
}

// -HELP (any abbreviation) or --help alone answers before the environment
// is checked: it is what a user without one tries first.
bool AnswerHelpRequest(int argc, char** argv) {
  if (!IsLoneRequest(argc, argv, "HELP") && !(argc == 2 && std::string(argv[1]) == "--help")) return false;
  std::printf("%s\n", kUsageText);
  std::fputs("Environment:\n"
             "\tNIVRAKDIR  installation root (message catalogues in lib/locale, set-options file in lib)\n"
             "\tQBLTGT     target deployment port (definition files in ana, TP.h in lib)\n"
             "\tQUORB_SUPPRESS_COPYRIGHT  leaves out the copyright line\n"
             "The compiler launcher quorbcc sets both for its installation: quorbcc --help.\n",
             stdout);
  return true;
}

// Parses the definition file, then the source file; any syntax or semantic
// error ends the run before anything is written.
frontend::TreeNode* ParseInputs(Options& options) {
  frontend::ResetFrontEnd();
  frontend::ResetPragmaTables();
  if (frontend::ParseFile(options.defPath, true, nullptr, &options.noInstrDirList, &options.noInspectDirList) != 0) {
    support::DisplayFatalError(Translate("Fatal Error", "Syntax errors in standard definition file %1",
                                         "%1 : the definition file")
                                   .arg(support::FromLocal(options.defPath)));
  }
  frontend::TreeNode* root = nullptr;
  if (frontend::ParseFile(options.srcPath, false, &root, &options.noInstrDirList, &options.noInspectDirList) != 0) {
    support::DisplayFatalError(Translate("Fatal Error", "Syntax errors in source file, instrumentation cancelled"));
  }
  if (support::GetMessageCounts().errors != 0) {
    support::DisplayFatalError(Translate("Fatal Error", "Semantic errors in source file %1", "%1 : source file")
                                   .arg(support::FromLocal(options.srcPath)));
  }
  return root;
}

void ReleaseRun(Options& options) {
  frontend::ReleaseFrontEnd();
  frontend::FreePragmaTables();
  frontend::FreeValidFiles();
  frontend::FreeInsertRecords();
  ReleaseOptions(options);
  frontend::ReleaseTrees();
  support::ReleaseNameTable();
}

void SetFeatureFromCoverage(const Options& options) {
  support::SetFeatureString(options.coverage & kCoverModifiedCondition ? QStringLiteral("CCOV CMCDC")
                                                                       : QStringLiteral("CCOV"));
}

}  // namespace

int RunDriver(int argc, char** argv) {
  auto application = std::make_unique<QCoreApplication>(argc, argv);
  auto translators = std::make_unique<std::array<QTranslator, 4>>();
  PrintStartupLines();
  if (AnswerHelpRequest(argc, argv)) return 0;
  InstallTranslators(*translators, TranslationDirectory());
  support::SetToolIdentity(Translate("KVRXIdent", "Nivrak"), QStringLiteral("quorbcc1"), QStringLiteral("CCOV"));

  if (IsLoneRequest(argc, argv, "VERSION")) {
    PrintIdentification();
    return 0;
  }

  support::ResetNameTable();
  output::SetFdcProductVersion(kShortVersion);
  Options options;
  if (!AnalyseOptions(argc, argv, options)) {
    support::DisplayFatalError(Translate("Fatal Error", "Error(s) in command line"));
  }
  SetFeatureFromCoverage(options);

  frontend::TreeNode* root = ParseInputs(options);
  instrument::InstrumentFile(root, options);
  ReleaseRun(options);
  translators.reset();
  application.reset();
  return 0;
}

}  // namespace driver
