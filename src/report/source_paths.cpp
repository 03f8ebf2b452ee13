#include "report/source_paths.h"

#include <QDir>

#include <algorithm>

namespace report {
namespace {

std::string Clean(const std::string& path) {
  return QDir::cleanPath(QString::fromLocal8Bit(path.c_str())).toLocal8Bit().toStdString();
}

bool IsUnder(const std::string& root, const std::string& path) {
  if (root == "/") return path.size() > 1 && path.front() == '/';
  return path.size() > root.size() + 1 && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/';
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The longest common prefix of two directories that ends at a component.
std::string CommonDirectory(const std::string& a, const std::string& b) {
  if (a == b || IsUnder(a, b)) return a;
  if (IsUnder(b, a)) return b;
  std::size_t end = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()) && a[i] == b[i]; ++i) {
    if (a[i] == '/') end = i;
  }
  return end == 0 ? "/" : a.substr(0, end);
}

}  // namespace

std::string DefaultRoot(const std::vector<std::string>& sources, const std::string& currentDirectory) {
  const std::string current = Clean(currentDirectory);
  std::string common;
  bool allUnderCurrent = true;
  for (const std::string& source : sources) {
    if (source.empty() || source.front() != '/') continue;
    const std::string path = Clean(source);
    allUnderCurrent = allUnderCurrent && IsUnder(current, path);
    common = common.empty() ? DirectoryOf(path) : CommonDirectory(common, DirectoryOf(path));
  }
  return allUnderCurrent || common.empty() ? current : common;
}

std::string ShownPath(const std::string& root, const std::string& path) {
  if (root.empty()) return path;
  const std::string clean = Clean(path);
  if (!IsUnder(root, clean)) return path;
  return clean.substr(root == "/" ? 1 : root.size() + 1);
}

bool SourceChoice::Chooses(const std::string& shownPath) const {
  const QString path = QString::fromLocal8Bit(shownPath.c_str());
  const auto matches = [&](const QRegularExpression& pattern) { return pattern.match(path).hasMatch(); };
  if (!filters.empty() && std::none_of(filters.begin(), filters.end(), matches)) return false;
  return std::none_of(excludes.begin(), excludes.end(), matches);
}

}  // namespace report
