#include "gcov_report.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace gcovcheck {
namespace {

GcovLine ReadLine(const QJsonObject& line) {
  GcovLine result;
  result.count = static_cast<std::uint64_t>(line.value("count").toInteger());
  result.hasBranches = !line.value("branches").toArray().isEmpty();
  return result;
}

GcovFunction ReadFunction(const QJsonObject& function) {
  GcovFunction result;
  result.name = function.value("name").toString().toStdString();
  result.startLine = static_cast<std::uint32_t>(function.value("start_line").toInteger());
  result.count = static_cast<std::uint64_t>(function.value("execution_count").toInteger());
  return result;
}

GcovSource ReadSource(const QJsonObject& file, const std::string& compileDirectory) {
  GcovSource source;
  source.path = CleanPath(compileDirectory, file.value("file").toString().toStdString());
  for (const QJsonValue line : file.value("lines").toArray()) {
    const QJsonObject object = line.toObject();
    const auto number = static_cast<std::uint32_t>(object.value("line_number").toInteger());
    // A line that holds code of several functions appears once per
    // function; its counts are not one construct's, it is marked shared.
    const auto [entry, inserted] = source.lines.emplace(number, ReadLine(object));
    if (!inserted) entry->second.shared = true;
  }
  for (const QJsonValue function : file.value("functions").toArray()) {
    source.functions.push_back(ReadFunction(function.toObject()));
  }
  return source;
}

}  // namespace

std::string CleanPath(const std::string& directory, const std::string& path) {
  return QDir::cleanPath(QDir(QString::fromStdString(directory)).absoluteFilePath(QString::fromStdString(path)))
      .toStdString();
}

GcovReport ReadGcovReport(const std::string& path, const std::string& compileDirectory) {
  GcovReport report;
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    report.error = path + ": cannot be read";
    return report;
  }
  QJsonParseError parseError;
  const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
  if (!document.isObject()) {
    report.error = path + ": not a JSON object: " + parseError.errorString().toStdString();
    return report;
  }
  const QJsonObject root = document.object();
  if (root.value("format_version").toString() != "1") {
    report.error = path + ": gcov JSON format version " + root.value("format_version").toString().toStdString() +
                   ", expected 1";
    return report;
  }
  for (const QJsonValue file : root.value("files").toArray()) {
    report.sources.push_back(ReadSource(file.toObject(), compileDirectory));
  }
  return report;
}

}  // namespace gcovcheck
