#include "wrapper/system_includes.h"

#include "wrapper/cache_files.h"
#include "wrapper/processes.h"

#include <sys/stat.h>

#include <filesystem>
#include <sstream>

namespace wrapper {
namespace {

std::string Normal(const std::string& directory) {
  std::string normal = std::filesystem::path(directory).lexically_normal().string();
  if (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

bool IsDirectory(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

}  // namespace

std::vector<std::string> ToolchainArguments(const std::vector<std::string>& compilerArgv) {
  std::vector<std::string> chosen;
  for (std::size_t i = 1; i < compilerArgv.size(); ++i) {
    const std::string& word = compilerArgv[i];
    const bool withNext = word == "--sysroot" || word == "-isysroot" || word == "-target";
    if (withNext && i + 1 < compilerArgv.size()) {
      chosen.push_back(word);
      chosen.push_back(compilerArgv[++i]);
      continue;
    }
    if (word.starts_with("--sysroot=") || word.starts_with("--target=") || word.starts_with("--specs=") ||
        word.starts_with("-specs=") || word == "-m32" || word == "-m64" || word == "-mx32" || word == "-nostdinc") {
      chosen.push_back(word);
    }
  }
  return chosen;
}

Command IncludeSearchCommand(const std::vector<std::string>& compilerArgv) {
  Command command{compilerArgv.at(0)};
  for (const std::string& word : ToolchainArguments(compilerArgv)) command.push_back(word);
  for (const char* word : {"-E", "-v", "-x", "c", "/dev/null"}) command.push_back(word);
  return command;
}

std::vector<std::string> ParseIncludeSearchList(const std::string& verboseOutput) {
  std::vector<std::string> directories;
  bool inList = false;
  for (const std::string& line : Lines(verboseOutput)) {
    if (line.starts_with("#include <...> search starts here")) {
      inList = true;
    } else if (line.starts_with("End of search list")) {
      break;
    } else if (inList && line.starts_with(" ")) {
      // Clang marks framework directories; C headers never come from them.
      if (line.ends_with("(framework directory)")) continue;
      directories.push_back(Normal(line.substr(line.find_first_not_of(' '))));
    }
  }
  return directories;
}

std::optional<std::string> NoInstrumentOption(const std::vector<std::string>& directories) {
  if (directories.empty()) return std::nullopt;
  std::string option = "-NOINSTRDIR=";
  for (const std::string& directory : directories) {
    if (directory.find(',') != std::string::npos) return std::nullopt;
    option += (option.back() == '=' ? "" : ",") + directory;
  }
  return option;
}

std::vector<std::string> SystemIncludeDirectories(const std::vector<std::string>& compilerArgv,
                                                  const std::string& cacheFile, const std::string& privateDirectory) {
  if (const std::optional<std::string> cached = ReadOwnFile(cacheFile)) {
    std::vector<std::string> directories = Lines(*cached);
    bool current = true;
    for (const std::string& directory : directories) current = current && IsDirectory(directory);
    if (current) return directories;
  }
  const std::string errors = privateDirectory + "/search.txt";
  if (!FindProgram(compilerArgv.at(0)) || RunCommand(IncludeSearchCommand(compilerArgv), {"/dev/null", errors}) != 0) return {};
  std::vector<std::string> directories = ParseIncludeSearchList(ReadOwnFile(errors).value_or(""));
  std::vector<std::string> existing;
  for (const std::string& directory : directories) {
    if (IsDirectory(directory)) existing.push_back(directory);
  }
  std::string text;
  for (const std::string& directory : existing) text += directory + '\n';
  if (!existing.empty()) ReplaceCacheFile(cacheFile, text);
  return existing;
}

}  // namespace wrapper
