#include "wrapper/shared_runtime.h"

#include "wrapper/cache_files.h"
#include "wrapper/private_directory.h"
#include "wrapper/response_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace wrapper {
namespace {

// The runtime header says it can share its runtime by naming this macro.
constexpr const char* kSharingMark = "_QBCRT_SHARED_RUNTIME";

bool IsComment(const std::string& line) { return line.starts_with("/*") && line.ends_with("*/"); }

// Tracing and profiling keep their whole runtime in the unit.
bool TracesOrProfiles(const std::string& lines) {
  for (const char* name : {"USE_QBT", "USE_QBQ", "USE_QBP"}) {
    const std::string words = std::string("#define ") + name;
    for (std::size_t at = lines.find(words); at != std::string::npos; at = lines.find(words, at + 1)) {
      const std::size_t end = at + words.size();
      if (end == lines.size() || lines[end] == ' ' || lines[end] == '\n') return true;
    }
  }
  return false;
}

// The header files beside the runtime header, by name, with their texts.
std::optional<std::vector<std::string>> HeaderTexts(const std::string& header) {
  std::error_code error;
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(header).parent_path(), error)) {
    if (entry.path().extension() == ".h") names.push_back(entry.path().string());
  }
  if (error) return std::nullopt;
  std::sort(names.begin(), names.end());
  std::vector<std::string> texts;
  for (const std::string& name : names) {
    const std::optional<std::string> text = ReadWholeFile(name);
    if (!text) return std::nullopt;
    texts.push_back(name);
    texts.push_back(*text);
  }
  return texts;
}

// The directive a line of assembly starts with, if any.
std::string Directive(const std::string& line) {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line[start] != '.') return "";
  const std::size_t end = line.find_first_of(" \t", start);
  return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool ChangesSection(const std::string& directive) {
  for (const char* name : {".section", ".pushsection", ".popsection", ".previous", ".text", ".data", ".bss"}) {
    if (directive == name) return true;
  }
  return false;
}

bool IsSymbolCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$';
}

// ".L3", ".LC0", ".LFB12" -> ".Lqbrt_3", ...: names no unit's assembly uses.
std::string RenameLocalLabels(const std::string& line) {
  std::string renamed;
  for (std::size_t i = 0; i < line.size(); ++i) {
    renamed += line[i];
    const bool startsLabel = line[i] == '.' && i + 2 < line.size() && line[i + 1] == 'L' &&
                             IsSymbolCharacter(line[i + 2]) && (i == 0 || !IsSymbolCharacter(line[i - 1]));
    if (startsLabel) renamed += "Lqbrt_", ++i;
  }
  return renamed;
}

}  // namespace

std::optional<RuntimePrologue> FindRuntimePrologue(const std::string& head) {
  RuntimePrologue prologue;
  std::istringstream lines(head);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || IsComment(line)) continue;
    if (line.starts_with("#define ") || line.starts_with("#undef ")) {
      prologue.text += line + "\n";
      continue;
    }
    if (!line.starts_with("#include \"") || line.size() < 12 || !line.ends_with("\"")) return std::nullopt;
    prologue.header = line.substr(10, line.size() - 11);
    prologue.text += line + "\n";
    if (TracesOrProfiles(prologue.text)) return std::nullopt;
    const std::optional<std::string> header = ReadWholeFile(prologue.header);
    if (!header || header->find(kSharingMark) == std::string::npos) return std::nullopt;
    return prologue;
  }
  return std::nullopt;
}

std::optional<std::string> RuntimeVariant(const SharedRuntimeSteps& steps, const RuntimePrologue& prologue) {
  if (steps.compile.empty() || TracesOrProfiles(steps.macros)) return std::nullopt;
  const std::optional<std::vector<std::string>> compiler = ProgramIdentity(steps.compile[0]);
  const std::optional<std::vector<std::string>> headers = HeaderTexts(prologue.header);
  if (!compiler || !headers) return std::nullopt;
  std::vector<std::string> identity{"runtime", prologue.text, steps.macros};
  identity.insert(identity.end(), compiler->begin(), compiler->end());
  identity.insert(identity.end(), steps.compile.begin(), steps.compile.end());
  identity.insert(identity.end(), headers->begin(), headers->end());
  const std::string name = StableName(identity);
  return "v" + name.substr(name.find('-') + 1);
}

std::string VariantDefinition(const std::string& variant) { return "#define _QBCRT_SHARED " + variant + "\n"; }

std::string RuntimeSource(const std::string& variant, const SharedRuntimeSteps& steps,
                          const RuntimePrologue& prologue) {
  return VariantDefinition(variant) + "#define " + kSharingMark + " 1\n" + steps.macros + prologue.text;
}

std::string CachedRuntimeAssembly(const SharedRuntimeSteps& steps, const std::string& variant) {
  return steps.cache + "/runtime-" + variant + ".s";
}

bool IsOwnFile(const std::string& path) {
  struct stat status {};
  return lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == getuid() &&
         status.st_size > 0;
}

std::string SharedAssembly(const std::string& assembly) {
  std::string shared;
  std::istringstream lines(assembly);
  bool inNote = false;
  for (std::string line; std::getline(lines, line);) {
    const std::string directive = Directive(line);
    if (ChangesSection(directive)) inNote = line.find(".note.gnu.property") != std::string::npos;
    if (inNote || directive == ".file" || directive.starts_with(".addrsig")) continue;
    shared += RenameLocalLabels(line) + "\n";
  }
  return shared;
}

std::string AssemblyInclusion(const std::string& assembly) {
  if (assembly.find_first_of("\"\\\n") != std::string::npos) return "";
  return "__asm__(\".include \\\"" + assembly + "\\\"\");\n";
}

std::string AssemblyProbe() {
  return "static const char *const _qbc_probe_names[] = { \"a\", \"b\" };\n"
         "const char *_qbc_probe(int x)\n"
         "{\n"
         "  switch (x) {\n"
         "  case 0: return \"zero\";\n"
         "  case 1: return _qbc_probe_names[x];\n"
         "  case 5: return \"five\";\n"
         "  default: return x > 9 ? \"many\" : 0;\n"
         "  }\n"
         "}\n";
}

}  // namespace wrapper
