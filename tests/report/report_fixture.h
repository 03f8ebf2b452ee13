// Shared fixture of the report tests: runs quorbreport's command on the
// hand-written FDC and results files of tests/report/fixtures (a small
// program prog.c, util.c with a current and an older build, forced.c with a
// forced decision) and reads what it wrote.
#pragma once

#include "report/run_report.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <QStringList>

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

  /// The three FDC files and both results files, plus `extra` arguments.
  static RunOutput RunFixtures(const QStringList& extra = {}) {
    QStringList arguments{QString::fromStdString(FixturePath("prog.c.fdc")),
                          QString::fromStdString(FixturePath("util.c.fdc")),
                          QString::fromStdString(FixturePath("forced.c.fdc")),
                          "-r",
                          QString::fromStdString(FixturePath("run1.qbr")),
                          "-r",
                          QString::fromStdString(FixturePath("run2.qbr"))};
    return Run(arguments + extra);
  }

  QJsonObject FixturesJson() {
    const RunOutput run = RunFixtures({"--json", QString::fromStdString(dir + "report.json")});
    EXPECT_EQ(run.status, 0) << run.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(ReadAll(dir + "report.json"))).object();
  }

  std::string dir;
};

}  // namespace report::testing_support
