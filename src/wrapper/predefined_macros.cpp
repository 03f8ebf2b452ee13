#include "wrapper/predefined_macros.h"

#include "wrapper/cache_files.h"
#include "wrapper/private_directory.h"
#include "wrapper/processes.h"


#include <sstream>

namespace wrapper {
namespace {

constexpr const char* kHeaderFirstLine = "/* the compiler's predefined macros of reserved names (quorbcc) */";

bool IsReservedName(const std::string& name) {
  if (name.size() < 2 || name[0] != '_') return false;
  return name[1] == '_' || (name[1] >= 'A' && name[1] <= 'Z');
}

// "NAME", "NAME(args)" -> NAME.
std::string MacroName(const std::string& nameAndParameters) {
  return nameAndParameters.substr(0, nameAndParameters.find('('));
}

}  // namespace

Command MacroDumpCommand(const std::string& compiler, const Command& options) {
  Command command{compiler};
  command.insert(command.end(), options.begin(), options.end());
  for (const char* word : {"-dM", "-E", "-x", "c", "/dev/null"}) command.push_back(word);
  return command;
}

std::string ReservedMacrosHeader(const std::string& listing) {
  std::string header;
  std::istringstream lines(listing);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream words(line);
    std::string directive, nameAndParameters;
    if (!(words >> directive >> nameAndParameters) || directive != "#define") continue;
    const std::string name = MacroName(nameAndParameters);
    if (!IsReservedName(name)) continue;
    header += "#ifndef " + name + "\n" + line + "\n#endif\n";
  }
  if (header.empty()) return header;
  return std::string(kHeaderFirstLine) + "\n#pragma GCC system_header\n" + header;
}

bool IsGccHeader(const std::string& header) {
  return header.find("\n#define __GNUC__ ") != std::string::npos &&
         header.find("\n#define __clang__ ") == std::string::npos;
}

std::optional<PredefinedMacros> FindPredefinedMacros(const std::string& compiler, const Command& options,
                                                     const std::string& cacheDirectory,
                                                     const std::string& privateDirectory) {
  std::optional<std::vector<std::string>> identity = ProgramIdentity(compiler);
  if (!identity) return std::nullopt;
  identity->insert(identity->begin(), "macros");
  identity->insert(identity->end(), options.begin(), options.end());
  const std::string cacheFile = cacheDirectory + "/macros-" + StableName(*identity) + ".h";
  std::string header = ReadOwnFile(cacheFile).value_or("");
  if (!header.starts_with(kHeaderFirstLine)) {
    const std::string listing = privateDirectory + "/macros.txt";
    if (RunCommand(MacroDumpCommand(compiler, options), {listing, privateDirectory + "/macros.err"}) != 0) {
      return std::nullopt;
    }
    header = ReservedMacrosHeader(ReadOwnFile(listing).value_or(""));
    if (header.empty()) return std::nullopt;
    ReplaceCacheFile(cacheFile, header);
  }
  // The unit includes a private copy: a cache emptied during the build
  // takes nothing from this compile.
  const std::string local = privateDirectory + "/macros.h";
  if (!ReplaceCacheFile(local, header)) return std::nullopt;
  return PredefinedMacros{local, IsGccHeader(header)};
}

}  // namespace wrapper
