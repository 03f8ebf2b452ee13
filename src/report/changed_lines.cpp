// Hunks are read by their counts, so that a removed line that starts with
// "--" or an added one that starts with "++" is never taken for a file
// header.
#include "report/changed_lines.h"

#include <QDir>
#include <QProcess>

#include <algorithm>
#include <charconv>

namespace report {
namespace {

// A path git quoted ("a\tb.c", octal escapes for other bytes) as it is.
std::string Unquoted(std::string_view text) {
  std::string path;
  for (std::size_t i = 1; i + 1 < text.size(); ++i) {
    if (text[i] != '\\' || i + 2 >= text.size()) {
      path += text[i];
      continue;
    }
    const char c = text[++i];
    if (c >= '0' && c <= '7') {
      int value = 0;
      for (int digit = 0; digit < 3 && i < text.size() - 1 && text[i] >= '0' && text[i] <= '7'; ++digit, ++i) {
        value = value * 8 + (text[i] - '0');
      }
      --i;
      path += static_cast<char>(value);
    } else {
      path += c == 't' ? '\t' : c == 'n' ? '\n' : c;
    }
  }
  return path;
}

// The "+++" line's path: unquoted, without a trailing tab and date, without
// its "b/" prefix; empty for /dev/null.
std::string NewPath(std::string_view text) {
  std::string path;
  if (!text.empty() && text.front() == '"') path = Unquoted(text.substr(0, text.rfind('"') + 1));
  else path = std::string(text.substr(0, text.find('\t')));
  if (path == "/dev/null") return {};
  if (path.starts_with("b/")) path.erase(0, 2);
  return QDir::cleanPath(QString::fromLocal8Bit(path.c_str())).toLocal8Bit().toStdString();
}

bool ReadNumber(std::string_view& text, std::uint32_t& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

// "-a[,b]" or "+c[,d]": the start and the line count (1 when not given).
bool ReadRange(std::string_view& text, char sign, std::uint32_t& start, std::uint32_t& count) {
  if (text.empty() || text.front() != sign) return false;
  text.remove_prefix(1);
  if (!ReadNumber(text, start)) return false;
  count = 1;
  if (text.empty() || text.front() != ',') return true;
  text.remove_prefix(1);
  return ReadNumber(text, count);
}

struct Hunk {
  std::uint32_t newLine = 0, oldLeft = 0, newLeft = 0;
  bool Open() const { return oldLeft > 0 || newLeft > 0; }
};

bool ReadHunkHeader(std::string_view line, Hunk& hunk) {
  line.remove_prefix(3);  // "@@ "
  std::uint32_t oldStart = 0;
  if (!ReadRange(line, '-', oldStart, hunk.oldLeft) || line.empty() || line.front() != ' ') return false;
  line.remove_prefix(1);
  return ReadRange(line, '+', hunk.newLine, hunk.newLeft) && line.starts_with(" @@");
}

}  // namespace

bool ParseUnifiedDiff(std::string_view diff, ChangedLineMap& changed, std::string& error) {
  std::vector<std::uint32_t>* lines = nullptr;  // of the current file; none for a deleted one
  Hunk hunk;
  std::size_t number = 0;
  while (!diff.empty()) {
    const std::size_t feed = diff.find('\n');
    std::string_view line = diff.substr(0, feed);
    diff.remove_prefix(feed == std::string_view::npos ? diff.size() : feed + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string where = "line " + std::to_string(number) + ": ";
    if (hunk.Open()) {
      const char kind = line.empty() ? ' ' : line.front();  // an empty line: context whose blank was trimmed
      if (kind == '\\') continue;                           // "\ No newline at end of file"
      if (kind == '+' || kind == ' ') {
        if (hunk.newLeft == 0) return error = where + "more lines than the hunk header says", false;
        if (kind == '+' && lines) lines->push_back(hunk.newLine);
        ++hunk.newLine;
        --hunk.newLeft;
      }
      if (kind == '-' || kind == ' ') {
        if (hunk.oldLeft == 0) return error = where + "more lines than the hunk header says", false;
        --hunk.oldLeft;
      }
      if (kind != '+' && kind != '-' && kind != ' ') return error = where + "the hunk ends early", false;
      continue;
    }
    if (line.starts_with("diff ")) {
      lines = nullptr;
    } else if (line.starts_with("+++ ")) {
      const std::string path = NewPath(line.substr(4));
      lines = path.empty() ? nullptr : &changed[path];
    } else if (line.starts_with("@@ ")) {
      if (!ReadHunkHeader(line, hunk)) return error = where + "bad hunk header \"" + std::string(line) + "\"", false;
    }
  }
  if (hunk.Open()) return error = "line " + std::to_string(number) + ": the diff ends inside a hunk", false;
  for (auto& [path, numbers] : changed) {
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  }
  return true;
}

namespace {

// Prefixes and paths fixed whatever the user's configuration (noprefix,
// mnemonicPrefix, external diff drivers); paths relative to the directory
// it runs in, the report's root.
QStringList GitDiffArguments(const std::string& ref) {
  return {"diff", "--no-color", "--no-ext-diff", "-U0", "--relative", "--src-prefix=a/", "--dst-prefix=b/",
          QString::fromLocal8Bit(ref.c_str()), "--"};
}

}  // namespace

std::string GitDiffCommand(const std::string& ref) {
  return ("git " + GitDiffArguments(ref).join(' ')).toLocal8Bit().toStdString();
}

bool RunGitDiff(const std::string& directory, const std::string& ref, std::string& diff, std::string& error) {
  QProcess git;
  git.setWorkingDirectory(QString::fromLocal8Bit(directory.c_str()));
  git.start("git", GitDiffArguments(ref));
  const std::string command = "\"" + GitDiffCommand(ref) + "\" in " + directory;
  if (!git.waitForStarted(-1)) {
    error = command + " could not be run: " + git.errorString().toLocal8Bit().toStdString();
    return false;
  }
  git.closeWriteChannel();
  git.waitForFinished(-1);  // reads the pipes as they fill
  const QByteArray out = git.readAllStandardOutput();
  if (git.exitStatus() != QProcess::NormalExit || git.exitCode() != 0) {
    const QString message = QString::fromLocal8Bit(git.readAllStandardError()).trimmed().split('\n').value(0);
    error = command + " failed (exit status " + std::to_string(git.exitCode()) + ")" +
            (message.isEmpty() ? "" : ": " + message.toLocal8Bit().toStdString());
    return false;
  }
  diff = out.toStdString();
  return true;
}

}  // namespace report
