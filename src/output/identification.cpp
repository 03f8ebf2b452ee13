#include "output/identification.h"

#include "support/translate.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <string>

namespace output {
namespace {

using support::Translate;

constexpr const char* kProductFullName = "Nivrak Runtime Analysis";
constexpr const char* kBuildOs = QUORB_BUILD_OS;

// The build's date and time are fixed constants of the release.
const QDate kBuildDate(2020, 3, 10);
const QTime kBuildTime(16, 38);

void PrintLine(const QString& line) {
  const std::string bytes = support::ToLocal(line);
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

}  // namespace

void PrintIdentification() {
  const QString prefix;
  const QString suffix;
  PrintLine(Translate("Version", "%1 %2 %3 %4 %5\n", "%1 is a prefix, %2 a product name, %3 a module name")
                .arg(prefix, Translate("KVRXIdent", kProductFullName), QString::fromLatin1(kModuleName),
                     QString::fromLatin1(kFullVersion), suffix));
  PrintLine(Translate("Version", "%1 Build Number: %2 %3\n", "%1 is a prefix, %2 a build number, %3 a suffix")
                .arg(prefix, QString::fromLatin1(kBuildNumber), suffix));
  PrintLine(Translate("Version", "%1 Copyright %2 Quorb. All rights reserved. %3\n",
                      "%1 is a prefix, %2 the year of build, %3 a suffix")
                .arg(prefix, QStringLiteral("2020"), suffix));
  PrintLine(Translate("Version", "%1   Date : %2 %3 %4\n", "%1 is a prefix, %2 a date, %3 a time, %4 a suffix")
                .arg(prefix, kBuildDate.toString(Qt::ISODate), kBuildTime.toString(Qt::ISODate), suffix));
  PrintLine(Translate("Version", "%1    OS : %2 %3\n",
                      "%1 is a string prefix, %2 the operating system name, %3 a string suffix")
                .arg(prefix, QString::fromLatin1(kBuildOs), suffix));
  std::fflush(stdout);
}

int WritePlainIdentification(std::FILE* output, const char* prefix, const char* suffix) {
  const std::string date =
      QLocale::c().toString(QDateTime(kBuildDate, kBuildTime), QStringLiteral("dd-MMM-yy hh:mm")).toStdString();
  std::fprintf(output, "%s %s %s %s %s\n", prefix, kProductFullName, kModuleName, kFullVersion, suffix);
  std::fprintf(output, "%s Build Number: %s %s\n", prefix, kBuildNumber, suffix);
  std::fprintf(output, "%s Copyright %s Quorb. All rights reserved. %s\n", prefix, "2020", suffix);
  std::fprintf(output, "%s   Date : %s %s\n", prefix, date.c_str(), suffix);
  std::fprintf(output, "%s     OS : %s %s\n", prefix, kBuildOs, suffix);
  return 5;
}

}  // namespace output
