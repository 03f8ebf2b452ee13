#include "driver/driver.h"

#include "output/identification.h"
#include "driver/instrumentation_run.h"
#include "driver/option_table.h"

#include <QCoreApplication>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace driver {
namespace {

void PrintStartupLine(const char* kind, const std::string& text) {
  std::printf("NIVRAK-I-%s, %s\n", kind, text.c_str());
  std::fflush(stdout);
}

void PrintStartupLines() {
  PrintStartupLine("STARTEXEC",
                   std::string(output::kBannerName) + " " + output::kModuleTitle + " " + output::kFullVersion);
  if (!std::getenv("QUORB_SUPPRESS_COPYRIGHT")) PrintStartupLine("COPYRIGHT", output::kCopyrightNotice);
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

// quorbcc1 runs no event loop, and a build starts it once per source: the
// GLib event dispatcher Qt would set up (and its thread) is time lost.
void AvoidGlibDispatcher() {
  if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
}

}  // namespace

int RunDriver(int argc, char** argv) {
  AvoidGlibDispatcher();
  QCoreApplication application(argc, argv);
  PrintStartupLines();
  if (AnswerHelpRequest(argc, argv)) return 0;
  const Translations translations;
  if (IsLoneRequest(argc, argv, "VERSION")) {
    output::PrintIdentification();
    return 0;
  }
  return RunInstrumentation(std::vector<std::string>(argv + 1, argv + argc));
}

}  // namespace driver
