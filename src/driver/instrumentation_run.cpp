#include "driver/instrumentation_run.h"

#include "driver/options.h"
#include "frontend/front_end.h"
#include "frontend/parser.h"
#include "instrument/instrument_file.h"
#include "support/fatal_exit.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

namespace driver {
namespace {

using support::Translate;

constexpr std::array<const char*, 4> kCataloguePrefixes = {"cc1_", "common_", "cab_", "kvrxident_"};

// No translator exists yet, so these two failures are written as they stand.
std::string TranslationDirectory() {
  const char* root = std::getenv("NIVRAKDIR");
  if (!root || !*root) {
    std::fputs("Fatal Error: please setup NIVRAKDIR environment variable.\n", stderr);
    support::EndRun(1);
  }
  const std::string directory = std::string(root) + "/lib/locale";
  if (!QFileInfo(QString::fromLocal8Bit(directory)).isDir()) {
    std::fprintf(stderr, "Fatal Error: directory doesn't exist '%s'\n", directory.c_str());
    support::EndRun(1);
  }
  return directory;
}

// The argument vector of the command analysis, program name first; it
// borrows from this storage for the whole run.
class ArgumentVector {
 public:
  explicit ArgumentVector(const std::vector<std::string>& arguments) : texts_(arguments) {
    texts_.insert(texts_.begin(), "quorbcc1");
    for (const std::string& text : texts_) pointers_.push_back(text.c_str());
    pointers_.push_back(nullptr);
  }
  int Count() const { return static_cast<int>(texts_.size()); }
  const char* const* Values() const { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<const char*> pointers_;
};

// Parses the definition file, then the source file; any syntax or semantic
// error ends the run before anything is written.
frontend::TreeNode* ParseInputs(frontend::FrontEnd& frontEnd, Options& options) {
  if (frontend::ParseFile(frontEnd, options.defPath, true, nullptr, &options.noInstrDirList,
                          &options.noInspectDirList) != 0) {
    support::DisplayFatalError(Translate("Fatal Error", "Syntax errors in standard definition file %1",
                                         "%1 : the definition file")
                                   .arg(support::FromLocal(options.defPath)));
  }
  frontend::TreeNode* root = nullptr;
  if (frontend::ParseFile(frontEnd, options.srcPath, false, &root, &options.noInstrDirList,
                          &options.noInspectDirList) != 0) {
    support::DisplayFatalError(Translate("Fatal Error", "Syntax errors in source file, instrumentation cancelled"));
  }
  if (support::GetMessageCounts().errors != 0) {
    support::DisplayFatalError(Translate("Fatal Error", "Semantic errors in source file %1", "%1 : source file")
                                   .arg(support::FromLocal(options.srcPath)));
  }
  return root;
}

void Instrument(const ArgumentVector& arguments, Options& options) {
  if (!AnalyseOptions(arguments.Count(), arguments.Values(), options)) {
    support::DisplayFatalError(Translate("Fatal Error", "Error(s) in command line"));
  }
  // Before the names it holds are released.
  frontend::FrontEnd frontEnd;
  const frontend::FrontEndScope binding(frontEnd);
  frontend::TreeNode* root = ParseInputs(frontEnd, options);
  instrument::InstrumentFile(frontEnd, root, options);
}

}  // namespace

Translations::Translations(CrashHandlers crashHandlers) {
  const std::string directory = TranslationDirectory();
  const QString locale = QLocale::system().name();
  for (std::size_t i = 0; i < kCataloguePrefixes.size(); ++i) {
    const QString file = QString::fromLatin1(kCataloguePrefixes[i]) + locale;
    if (translators_[i].load(file, QString::fromLocal8Bit(directory))) {
      QCoreApplication::installTranslator(&translators_[i]);
    }
  }
  const QString product = Translate("KVRXIdent", "Nivrak");
  if (crashHandlers == CrashHandlers::kInstall) {
    support::SetToolIdentity(product, QStringLiteral("quorbcc1"));
  } else {
    support::SetToolNames(product, QStringLiteral("quorbcc1"));
  }
}

int RunInstrumentation(const std::vector<std::string>& arguments) {
  const ArgumentVector argumentVector(arguments);
  support::NameTable names;
  const support::NameTableScope namesBinding(names);
  support::RunMessages messages;
  const support::RunMessagesScope messagesBinding(messages);
  Options options;
  int status = 0;
  try {
    Instrument(argumentVector, options);
  } catch (const support::RunEnded& ended) {
    status = ended.status;
  }
  ReleaseOptions(options);
  return status;
}

}  // namespace driver
