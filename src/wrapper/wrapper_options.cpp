#include "wrapper/wrapper_options.h"

#include "wrapper/response_files.h"

#include <cctype>
#include <string_view>
#include <utility>

namespace wrapper {
namespace {

constexpr std::string_view kOptionPrefix = "--qb=";

std::string WithDash(std::string option) { return option.starts_with("-") ? option : "-" + option; }

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "gcc-12" and "clang-14.0" name the same compiler as "gcc" and "clang".
std::string WithoutVersion(std::string name) {
  const std::size_t dash = name.rfind('-');
  if (dash == std::string::npos || dash + 1 == name.size()) return name;
  for (std::size_t i = dash + 1; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i])) && name[i] != '.') return name;
  }
  return name.substr(0, dash);
}

std::string ParentDirectory(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

WrapperArgs SplitWrapperArgs(const std::vector<std::string>& args, const std::string& environmentOptions) {
  WrapperArgs result;
  for (const std::string& option : SplitResponseText(environmentOptions)) {
    result.instrumentOptions.push_back(WithDash(option));
  }
  std::size_t i = 0;
  for (; i < args.size() && args[i].starts_with(kOptionPrefix); ++i) {
    const std::string option = args[i].substr(kOptionPrefix.size());
    if (!option.empty()) result.instrumentOptions.push_back(WithDash(option));
  }
  result.compilerArgv.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
  return result;
}

std::size_t CompilerWrapperWords(const std::vector<std::string>& compilerArgv) {
  std::size_t count = 0;
  while (count + 1 < compilerArgv.size()) {
    const std::string name = WithoutVersion(BaseName(compilerArgv[count]));
    if (name != "ccache" && name != "sccache" && name != "distcc" && name != "icecc" && name != "buildcache") break;
    ++count;
  }
  return count;
}

std::optional<std::string> DefinitionFileFor(const std::string& compiler) {
  const std::string name = WithoutVersion(BaseName(compiler));
  for (const char* known : {"cc", "c89", "c99", "gcc", "clang"}) {
    if (name == known || name.ends_with(std::string("-") + known)) return "gcc.def";
  }
  return std::nullopt;
}

std::string TargetPortFor(const std::vector<std::string>& compilerArgv) {
  if (compilerArgv.empty()) return "gcc";
  std::string triple = BaseName(compilerArgv[0]);
  for (std::size_t i = 1; i < compilerArgv.size(); ++i) {
    if (compilerArgv[i].starts_with("--target=")) triple = compilerArgv[i].substr(9);
    if (compilerArgv[i] == "-target" && i + 1 < compilerArgv.size()) triple = compilerArgv[i + 1];
  }
  const std::string words = "-" + triple + "-";
  if (words.find("-linux-") != std::string::npos) return "gcc";
  const bool bare = words.find("-none-") != std::string::npos || words.find("-elf-") != std::string::npos ||
                    words.find("-eabi-") != std::string::npos || words.find("-eabihf-") != std::string::npos;
  return bare ? "gcc-bare" : "gcc";
}

std::optional<std::string> RefusedOnBareMetal(const std::vector<std::string>& options) {
  // The shortest abbreviations that name these options and no other.
  static const std::pair<std::string_view, std::string_view> kRefused[] = {
      {"TR", "TRACE"}, {"MEM", "MEMPRO"}, {"PE", "PERFPRO"}};
  for (const std::string& option : options) {
    std::string name = option.substr(1, option.find('=') == std::string::npos ? std::string::npos : option.find('=') - 1);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const auto& [shortest, full] : kRefused) {
      if (name.starts_with(shortest) && full.starts_with(name)) return option;
    }
  }
  return std::nullopt;
}

Installation InstallationOf(const std::string& launcherPath, const std::string& port) {
  Installation installation;
  installation.root = ParentDirectory(ParentDirectory(launcherPath));
  installation.target = installation.root + "/tdp/" + port;
  installation.quorbcc1 = installation.root + "/bin/quorbcc1";
  return installation;
}

}  // namespace wrapper
