// Source paths as the outputs show them: relative to a root directory, and
// the choice of sources by regular expressions on those paths.
//
// Paths are compared as text (cleaned, never resolved on disk): the sources
// an FDC file names may live on another machine.
#pragma once

#include <QRegularExpression>

#include <string>
#include <vector>

namespace report {

/// The current directory when every absolute source lies under it, else
/// the deepest directory they all lie under. Relative sources are left out
/// of the choice.
std::string DefaultRoot(const std::vector<std::string>& sources, const std::string& currentDirectory);

/// `path` relative to `root` when it lies under it, else `path` as it is.
/// An empty root leaves every path as it is.
std::string ShownPath(const std::string& root, const std::string& path);

/// --filter and --exclude: a source is chosen when its shown path matches
/// some filter (or there is none) and no exclusion, unanchored.
struct SourceChoice {
  std::vector<QRegularExpression> filters, excludes;

  bool Active() const { return !filters.empty() || !excludes.empty(); }
  bool Chooses(const std::string& shownPath) const;
};

}  // namespace report
