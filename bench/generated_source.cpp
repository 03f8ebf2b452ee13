#include "generated_source.h"

#include <cstdio>

namespace bench {
namespace {

// One copy preprocessed by gcc, its functions named COPY_x.
std::string PreprocessOnce(const std::string& programPath) {
  const std::string command = "gcc -std=gnu17 -O2 -D_GNU_SOURCE '-DPROGRAM_NAME(name)=COPY_##name' -E " +
                              programPath;
  std::string text;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

// The text with every "from" replaced by "to", appended to `out`.
void AppendReplaced(std::string& out, const std::string& text, const std::string& from, const std::string& to) {
  std::size_t done = 0;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, done)) {
    out.append(text, done, at - done);
    out += to;
    done = at + from.size();
  }
  out.append(text, done, std::string::npos);
}

// Where the program's own text starts: the line directive before its first
// declaration, which follows every header.
std::size_t BodyStart(const std::string& copy) {
  const std::size_t first = copy.find("struct COPY_packet {");
  if (first == std::string::npos) return 0;
  const std::size_t directive = copy.rfind("\n# ", first);
  return directive == std::string::npos ? 0 : directive + 1;
}

}  // namespace

std::string GenerateHeaderCopies(const std::string& programPath, std::size_t size, CopyLayout layout) {
  const std::string copy = PreprocessOnce(programPath);
  const std::size_t bodyStart = layout == CopyLayout::kHeadersOnce ? BodyStart(copy) : 0;
  std::string text = copy.substr(0, bodyStart);
  const std::string body = copy.substr(bodyStart);
  for (int k = 0; !body.empty() && text.size() < size; ++k) {
    AppendReplaced(text, body, "COPY_", "copy" + std::to_string(k) + "_");
  }
  return text;
}

}  // namespace bench
