#include "support/messages.h"

#include "support/fatal_exit.h"
#include "support/translate.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace support {
namespace {

// The tool's identity is the process's: every run of it shows the same.
struct ToolIdentity {
  QString productName = QStringLiteral("Nivrak");
  QString executableName = QStringLiteral("<unnamed binary>");
  bool handlerInstalled = false;
};

ToolIdentity identity;
RunMessages outsideRuns;

RunMessages& Run() { return CurrentRunMessages(); }

void WriteFramed(const char* format, const char* comment, const QString& message) {
  const QString framed = Translate("Display Message", format, comment)
                             .arg(identity.productName, identity.executableName, message);
  const std::string bytes = ToLocal(framed);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  std::fflush(stderr);
}

// A crash leaves nothing that could be unwound: the process ends here, as
// the tool's own would, whatever the embedding chose for fatal errors.
void HandleInvalidAccess(int) {
  SetFatalExitHandler(nullptr);
  DisplayInternalError(Translate("Internal Error", "Please, contact your support"));
}

void HandleMemoryExhaustion() {
  DisplayFatalError(Translate("Fatal Error", "No memory left", "program failed on memory allocation"));
}

// The handler runs on its own stack so that a stack overflow is reported too.
// The stack is static storage: exit() from the handler must not free it.
alignas(16) char alternateStack[256 * 1024];

void InstallInvalidAccessHandler() {
  stack_t stack{};
  stack.ss_sp = alternateStack;
  stack.ss_size = sizeof alternateStack;
  sigaltstack(&stack, nullptr);

  struct sigaction action {};
  action.sa_handler = HandleInvalidAccess;
  action.sa_flags = SA_ONSTACK | SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGSEGV, &action, nullptr);
  sigaction(SIGBUS, &action, nullptr);
}

}  // namespace

void SetToolNames(const QString& product, const QString& executable) {
  identity.productName = product;
  identity.executableName = executable;
}

void SetToolIdentity(const QString& product, const QString& executable) {
  SetToolNames(product, executable);
  if (identity.handlerInstalled) return;
  InstallInvalidAccessHandler();
  std::set_new_handler(HandleMemoryExhaustion);
  identity.handlerInstalled = true;
}

const QString& GetProductName() { return identity.productName; }

RunMessages::~RunMessages() {
  if (moxtelLog) std::fclose(moxtelLog);
}

RunMessages& CurrentRunMessages() {
  RunMessages* run = RunMessagesScope::Bound();
  return run ? *run : outsideRuns;
}

void DisplayError(const QString& message) {
  WriteFramed("%1 %2 - ERROR: %3\n",
              "Used for user errors messages\n%1: product name\n%2: executable name\n%3: message to display",
              message);
  ++Run().errorCount;
}

void DisplayWarning(const QString& message) {
  if (!Run().quiet) {
    WriteFramed("%1 %2 - WARNING: %3\n",
                "Used for warning messages\n%1: product name\n%2: executable name\n%3: message", message);
  }
  ++Run().warningCount;
}

void DisplayInfo(const QString& message) {
  if (Run().quiet) return;
  WriteFramed("%1 %2 - INFO: %3\n",
              "Used for information messages%1:product name\n%2: executable name\n%3: message to print",
              message);
}

void DisplayFatalError(const QString& message) {
  WriteFramed("%1 %2 - FATAL ERROR: %3\n",
              "Used for fatal error message\n%1: product name\n%2: executable name\n%3: message to display",
              message);
  EndRun(kExitFatal);
}

namespace {

[[noreturn]] void EndWithInternalError(const QString& message, const std::string& locationLine) {
  WriteFramed("%1 %2 - INTERNAL ERROR: %3\n",
              "Used for internal error message\n%1: product name\n%2: executable name\n%3: message to display",
              message);
  std::fwrite(locationLine.data(), 1, locationLine.size(), stderr);
  std::fflush(stderr);
  EndRun(kExitInternal);
}

}  // namespace

void DisplayInternalError(const QString& message, const support::CodeLocation& where) {
  const char* file = where.file;
  const char* slash = std::strrchr(file, '/');
  const std::string line = "[" + std::string(slash ? slash + 1 : file) + ":" +
                           std::to_string(where.line) + "]\n";
  EndWithInternalError(message, line);
}

void DisplayInternalError(const QString& message) { EndWithInternalError(message, "\n"); }

void DisplayPanic() {
  const QString framed =
      Translate("Display Message", "%1 %2: Cannot recover from earlier errors ...\n",
                "Used to display Panic Error messages\n%1: product name\n%2: executable name")
          .arg(identity.productName, identity.executableName);
  const std::string bytes = ToLocal(framed);
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
  EndRun(kExitFatal);
}

MessageCounts GetMessageCounts() { return {Run().errorCount, Run().warningCount}; }

void SetQuietMode() { Run().quiet = true; }

std::optional<std::string> GetEnvironment(const char* name, bool mandatory) {
  if (const char* value = std::getenv(name)) return std::string(value);
  if (mandatory) {
    DisplayFatalError(
        Translate("Assertion", "Environment variable not defined: %1", "%1 is the variable name")
            .arg(QString::fromLatin1(name)));
  }
  return std::nullopt;
}

void* CheckedAlloc(std::size_t size) {
  void* block = std::calloc(1, size ? size : 1);
  if (!block) HandleMemoryExhaustion();
  return block;
}

void* CheckedRealloc(void* block, std::size_t size) {
  if (!block) return CheckedAlloc(size);
  void* grown = std::realloc(block, size ? size : 1);
  if (!grown) HandleMemoryExhaustion();
  return grown;
}

}  // namespace support
