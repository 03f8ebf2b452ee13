// Shared fixture of the report tests: runs quorbreport's command on the
// hand-written FDC and results files of tests/report/fixtures (a small
// program prog.c, util.c with a current and an older build, forced.c with a
// forced decision) and reads what it wrote.
#pragma once

#include "report/run_report.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace report::testing_support {

inline std::string FixturePath(const std::string& name) {
  return std::string(QUORB_SOURCE_DIR) + "/tests/report/fixtures/" + name;
}

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

inline QJsonObject ReadJson(const std::string& path) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(ReadAll(path))).object();
}

/// The JSON report's sources, in its order, each followed by a blank.
inline std::string Sources(const QJsonObject& root) {
  std::string text;
  for (const QJsonValue& file : root["files"].toArray()) text += file["source"].toString().toStdString() + " ";
  return text;
}

/// A line of the --details table: name, covered, total, percent and, when
/// markers excluded branches, the excluded column.
inline std::string DetailsLine(const char* name, int covered, int total, const char* percent, int excluded = -1) {
  char line[128];
  const int length = std::snprintf(line, sizeof line, "  %-21s%10d%10d%9s", name, covered, total, percent);
  if (excluded >= 0) std::snprintf(line + length, sizeof line - length, "%10d", excluded);
  return std::string(line) + "\n";
}

struct RunOutput {
  int status = -1;
  std::string out, err;
};

class ReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/report_test_XXXXXX";
    dir = ::mkdtemp(pattern);
    dir += '/';
  }
  void TearDown() override { std::filesystem::remove_all(dir); }

  static RunOutput Run(const QStringList& arguments) {
    std::ostringstream out, err;
    RunOutput result;
    result.status = RunReport(arguments, {out, err, false});
    result.out = out.str();
    result.err = err.str();
    return result;
  }

  /// Run() with `cwd` as the current directory for its duration.
  static RunOutput RunIn(const std::string& cwd, const QStringList& arguments) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(cwd);
    RunOutput run = Run(arguments);
    std::filesystem::current_path(previous);
    return run;
  }

  /// The three FDC files and both results files, plus `extra` arguments.
  static RunOutput RunFixtures(const QStringList& extra = {}) {
    const QStringList arguments{Q(FixturePath("prog.c.fdc")), Q(FixturePath("util.c.fdc")),
                                Q(FixturePath("forced.c.fdc")), "-r", Q(FixturePath("run1.qbr")),
                                "-r", Q(FixturePath("run2.qbr"))};
    return Run(arguments + extra);
  }

  QJsonObject FixturesJson() {
    const RunOutput run = RunFixtures({"--json", Q(dir + "report.json")});
    EXPECT_EQ(run.status, 0) << run.err;
    return ReadJson(dir + "report.json");
  }

  std::string dir;
};

}  // namespace report::testing_support
