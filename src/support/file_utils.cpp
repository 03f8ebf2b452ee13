#include "support/file_utils.h"

#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace support {
namespace {

unsigned char ByteAt(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

[[noreturn]] void AssertionFailed(const char* text) {
  DisplayInternalError(Translate("Assertion", text));
}

}  // namespace

std::int32_t FileKey(std::string_view name) {
  if (name.empty()) AssertionFailed("Cannot eval file key");
  std::uint32_t key = 0x4A4A4A4A;
  // The last group always holds at least one zero byte after the text.
  const std::size_t groups = name.size() / 4 + 1;
  for (std::size_t g = 0; g < groups; ++g) {
    std::int64_t word = 0;
    for (std::size_t b = 0; b < 4; ++b) {
      word = word * 256 + static_cast<signed char>(ByteAt(name, 4 * g + b));
    }
    key ^= static_cast<std::uint32_t>(word);
  }
  return static_cast<std::int32_t>(key);
}

std::size_t StringChecksum(std::uint32_t& accumulator, std::string_view text, bool alternative) {
  const std::size_t step = alternative ? 5 : 4;
  for (std::size_t i = 0; i < text.size(); i += step) {
    accumulator ^= (std::uint32_t{ByteAt(text, i)} << 24) | (std::uint32_t{ByteAt(text, i + 1)} << 16) |
                   (std::uint32_t{ByteAt(text, i + 2)} << 8) | std::uint32_t{ByteAt(text, i + 3)};
    if (alternative) accumulator ^= std::uint32_t{ByteAt(text, i + 4)} << ((2 * i) & 24);
  }
  return text.size();
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  std::string joined(directory);
  if (joined.empty() || joined.back() != '/') joined += '/';
  joined += name;
  return joined;
}

std::string_view BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

SplitResult SplitPath(std::string_view path) {
  NameEntry* key = InternName(path);
  NameTable& names = CurrentNameTable();
  if (key && key == names.splitKey) return {names.splitName, names.splitDirectory};

  const std::size_t slash = path.rfind('/');
  const std::string_view last = slash == std::string_view::npos ? path : path.substr(slash + 1);
  std::string_view parent = slash == std::string_view::npos ? std::string_view(".") : path.substr(0, slash + 1);
  if (parent.empty()) parent = ".";

  QString absolute = QDir::cleanPath(QFileInfo(FromLocal(parent)).absoluteFilePath());
  std::string directory = ToLocal(QDir::fromNativeSeparators(absolute));
  if (directory.empty() || directory.back() != '/') directory += '/';

  const SplitResult split{InternName(last), InternName(directory)};
  names.splitKey = key;
  names.splitName = split.name;
  names.splitDirectory = split.directory;
  return split;
}

bool SameFile(std::string_view a, std::string_view b) {
  const SplitResult first = SplitPath(a);
  const SplitResult second = SplitPath(b);
  return first.name == second.name && first.directory == second.directory;
}

std::string NormalizePath(std::string_view path) {
  if (path.empty()) return {};
  std::vector<std::string_view> components;
  std::size_t at = 0;
  if (path.front() == '/') {
    components.push_back("/");
    at = 1;
  }
  while (at < path.size()) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    components.push_back(path.substr(at, slash - at));
    at = slash + 1;
  }

  std::vector<std::string_view> kept;
  for (std::string_view component : components) {
    if (component == ".") continue;
    if (component == ".." && !kept.empty() && kept.back() != "..") {
      kept.pop_back();
      continue;
    }
    kept.push_back(component);
  }

  std::string normal;
  for (std::string_view component : kept) {
    if (component == "/") {
      normal += '/';
      continue;
    }
    normal += component;
    normal += '/';
  }
  return normal;
}

std::string ChangeExtension(std::string_view name, std::string_view extension) {
  if (name.empty()) AssertionFailed("Source file name empty while changing extension");
  if (extension.empty()) AssertionFailed("Extension empty while changing it to a file");
  if (extension.front() != '.') AssertionFailed("Extension not beginning with period while changing it to a file");
  return std::string(name) + std::string(extension);
}

void RemoveFile(const std::string& path) {
  if (std::remove(path.c_str()) == 0) return;
  DisplayFatalError(Translate("Assertion", "%1 cannot be removed:\n\t%2",
                              "%1 is the file name, %2 a system-dependent error message")
                        .arg(FromLocal(path), FromLocal(SystemErrorText())));
}

void RenameFile(const std::string& oldPath, const std::string& newPath) {
  if (std::rename(oldPath.c_str(), newPath.c_str()) == 0) return;
  DisplayFatalError(
      Translate("Assertion", "Cannot rename %1 to %2:\n\t%3",
                "%1 is the old file name, %2 the new file name and %3 a system-dependent error message")
          .arg(FromLocal(oldPath), FromLocal(newPath), FromLocal(SystemErrorText())));
}

const std::string& CurrentDirectory() {
  // The current directory is the process's own; asked once, by whichever
  // run comes first.
  static const std::string directory = [] {
    std::vector<char> buffer(1024);
    if (!getcwd(buffer.data(), buffer.size())) {
      DisplayFatalError(Translate("Assertion", "Cannot stat current working directory:",
                                  "Followed by a system-dependent message") +
                        FromLocal(SystemErrorText()));
    }
    return std::string(buffer.data()) + '/';
  }();
  return directory;
}

bool FileExists(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) return true;
  errno = 0;
  return false;
}

std::uint32_t FileTime(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) {
    errno = 0;
    return 0;
  }
  return static_cast<std::uint32_t>(status.st_mtime);
}

// Whole previous output files go through here, so the runs between
// carriage returns are written as they are.
std::uint32_t CopyStream(ChunkedInput& input, std::FILE* output) {
  std::uint32_t lineFeeds = 0;
  for (std::string_view pending = input.Pending(); !pending.empty(); pending = input.Pending()) {
    const std::size_t run = std::min(pending.find('\r'), pending.size());
    if (std::fwrite(pending.data(), 1, run, output) != run) return lineFeeds;
    lineFeeds += static_cast<std::uint32_t>(std::count(pending.begin(), pending.begin() + run, '\n'));
    input.Take(run < pending.size() ? run + 1 : run);
  }
  return lineFeeds;
}

std::uint32_t CopyStream(std::FILE* input, std::FILE* output) {
  ChunkedInput chunks(input);
  return CopyStream(chunks, output);
}

void ForEachLine(std::FILE* input, const std::function<void(std::string_view)>& visit) {
  ChunkedInput chunks(input);
  std::string pending;  // the start of a line that the previous chunk cut
  for (std::string_view rest = chunks.Pending(); !rest.empty(); rest = chunks.Pending()) {
    chunks.Take(rest.size());
    for (std::size_t end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
      if (pending.empty()) {
        visit(rest.substr(0, end));
      } else {
        visit(pending.append(rest.substr(0, end)));
        pending.clear();
      }
      rest.remove_prefix(end + 1);
    }
    pending.append(rest);
  }
  if (!pending.empty()) visit(pending);
}

std::string LocationText(std::string_view directory, std::string_view file, std::uint32_t line) {
  return "[" + std::string(directory) + std::string(file) + "," + std::to_string(line) + "]";
}

std::string LocationTextShort(std::string_view file, std::uint32_t line) {
  return "[" + std::string(file) + "," + std::to_string(line) + "]";
}

std::string SystemErrorText() { return std::strerror(errno); }

void DisplayReadError(const std::string& path) {
  const QString reason = FromLocal(SystemErrorText());
  DisplayFatalError(Translate("Fatal Error", "Cannot read %1: %2", "%1 is the file name, %2 a system-dependent error message")
                        .arg(FromLocal(path), reason));
}

std::string Utf8ToLocal(std::string_view text) {
  return ToLocal(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string LocalToUtf8(std::string_view text) { return FromLocal(text).toUtf8().toStdString(); }

}  // namespace support
