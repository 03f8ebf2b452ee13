#include "instrument/set_options.h"

#include "support/fatal_exit.h"

#include <QRegularExpression>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace instrument {
namespace {

constexpr std::size_t kLongestLine = 16384;

// Installation faults are reported before any translation applies.
[[noreturn]] void FailInstallation(const char* format, const std::string& path) {
  std::fprintf(stderr, format, path.c_str());
  support::EndRun(1);
}

std::string SetOptionsPath() {
  const char* root = std::getenv("NIVRAKDIR");
  if (!root || !*root) {
    std::fputs("Fatal Error: please setup NIVRAKDIR environment variable.\n", stderr);
    support::EndRun(1);
  }
  return std::string(root) + "/lib/cc1_ccp_set.opt";
}

}  // namespace

bool ParseSetOptionLine(const std::string& line, std::string& key, std::string& text) {
  static const QRegularExpression entry(QStringLiteral("^\\b([A-Za-z0-9_]+)\\b([^\\r\\n]+)\\r?\\n$"));
  const QRegularExpressionMatch match = entry.match(QString::fromLocal8Bit(line.data(), line.size()));
  if (!match.hasMatch()) return false;
  key = match.captured(1).toLower().toLocal8Bit().toStdString();
  text = match.captured(2).simplified().toLocal8Bit().toStdString();
  return true;
}

std::map<std::string, std::string> ReadSetOptions() {
  const std::string path = SetOptionsPath();
  struct stat status {};
  if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    FailInstallation("Installation Error: set options file doesn't exist: '%s'\n", path);
  }
  std::ifstream file(path, std::ios::binary);
  if (!file) FailInstallation("Installation Error: set options file cannot be open: '%s'\n", path);

  std::map<std::string, std::string> options;
  std::string key;
  std::string text;
  for (std::string line; std::getline(file, line);) {
    if (line.size() > kLongestLine) continue;
    line += '\n';
    if (ParseSetOptionLine(line, key, text)) options[key] = text;
  }
  return options;
}

}  // namespace instrument
