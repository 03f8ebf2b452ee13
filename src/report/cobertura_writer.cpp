// Cobertura XML in the coverage-04 layout: one package per source directory,
// one class per source file, one method per function; lines and branches as
// line_table.h derives them. The rates are fractions from 0 to 1. The one
// source is the report's root: file names and package names are relative to
// it (readers join the two), except for sources outside it.
#include "report/line_table.h"
#include "report/save_file.h"
#include "report/writers.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QXmlStreamWriter>

#include <algorithm>
#include <map>

namespace report {
namespace {

QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString Rate(std::uint64_t covered, std::uint64_t total) {
  return QString::number(total == 0 ? 1.0 : static_cast<double>(covered) / static_cast<double>(total), 'f', 4);
}

struct Totals {
  std::uint64_t lines = 0, linesHit = 0, branches = 0, branchesTaken = 0;
  Totals& operator+=(const Totals& other) {
    lines += other.lines;
    linesHit += other.linesHit;
    branches += other.branches;
    branchesTaken += other.branchesTaken;
    return *this;
  }
};

Totals Count(const LineTable& table) {
  Totals totals;
  for (const auto& [line, count] : table.lines) {
    ++totals.lines;
    totals.linesHit += count.hits > 0 ? 1 : 0;
    totals.branches += count.branches;
    totals.branchesTaken += count.branchesTaken;
  }
  return totals;
}

void WriteRates(QXmlStreamWriter& xml, const Totals& totals) {
  xml.writeAttribute("line-rate", Rate(totals.linesHit, totals.lines));
  xml.writeAttribute("branch-rate", Rate(totals.branchesTaken, totals.branches));
}

void WriteLine(QXmlStreamWriter& xml, std::uint32_t number, const LineCount& count) {
  xml.writeStartElement("line");
  xml.writeAttribute("number", QString::number(number));
  xml.writeAttribute("hits", QString::number(count.hits));
  xml.writeAttribute("branch", count.branches > 0 ? "true" : "false");
  if (count.branches > 0) {
    const auto percent = count.branchesTaken * 100 / count.branches;
    xml.writeAttribute("condition-coverage", QStringLiteral("%1% (%2/%3)")
                                                 .arg(percent)
                                                 .arg(count.branchesTaken)
                                                 .arg(count.branches));
  }
  xml.writeEndElement();
}

void WriteMethods(QXmlStreamWriter& xml, const FileReport& file, const LineTable& table) {
  xml.writeStartElement("methods");
  for (const FunctionReport& function : file.functions) {
    LineTable own;
    for (auto line = table.lines.lower_bound(function.first);
         line != table.lines.end() && line->first <= function.last; ++line) {
      own.lines.insert(*line);
    }
    xml.writeStartElement("method");
    xml.writeAttribute("name", Text(function.name));
    xml.writeAttribute("signature", "");
    WriteRates(xml, Count(own));
    xml.writeAttribute("complexity", "0");
    xml.writeStartElement("lines");
    for (const auto& [number, count] : own.lines) WriteLine(xml, number, count);
    xml.writeEndElement();
    xml.writeEndElement();
  }
  xml.writeEndElement();
}

struct FileView {
  const FileReport* file;
  LineTable table;
  Totals totals;
};

void WriteClass(QXmlStreamWriter& xml, const FileView& view) {
  xml.writeStartElement("class");
  const std::string& source = view.file->sourcePath;
  xml.writeAttribute("name", Text(source.substr(source.rfind('/') + 1)));
  xml.writeAttribute("filename", Text(source));
  WriteRates(xml, view.totals);
  xml.writeAttribute("complexity", "0");
  WriteMethods(xml, *view.file, view.table);
  xml.writeStartElement("lines");
  for (const auto& [number, count] : view.table.lines) WriteLine(xml, number, count);
  xml.writeEndElement();
  xml.writeEndElement();
}

using Packages = std::map<std::string, std::vector<FileView>>;  // by source directory

void WritePackages(QXmlStreamWriter& xml, const std::string& root, const Packages& packages) {
  xml.writeStartElement("sources");
  if (!root.empty()) xml.writeTextElement("source", Text(root));
  xml.writeEndElement();
  xml.writeStartElement("packages");
  for (const auto& [directory, files] : packages) {
    Totals totals;
    for (const FileView& view : files) totals += view.totals;
    xml.writeStartElement("package");
    xml.writeAttribute("name", Text(directory));
    WriteRates(xml, totals);
    xml.writeAttribute("complexity", "0");
    xml.writeStartElement("classes");
    for (const FileView& view : files) WriteClass(xml, view);
    xml.writeEndElement();
    xml.writeEndElement();
  }
  xml.writeEndElement();
}

}  // namespace

bool WriteCobertura(const Report& report, const std::string& path, std::string& error) {
  Packages packages;
  Totals all;
  for (const FileReport& file : report.files) {
    const std::size_t slash = file.sourcePath.rfind('/');
    // A source in the root is in package "."; "/x.c", outside it, in "/".
    const std::string directory =
        slash == std::string::npos ? "." : file.sourcePath.substr(0, std::max<std::size_t>(slash, 1));
    FileView view{&file, DeriveLines(file), {}};
    view.totals = Count(view.table);
    all += view.totals;
    packages[directory].push_back(std::move(view));
  }
  QByteArray text;
  QXmlStreamWriter xml(&text);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeDTD("<!DOCTYPE coverage SYSTEM \"http://cobertura.sourceforge.net/xml/coverage-04.dtd\">");
  xml.writeStartElement("coverage");
  WriteRates(xml, all);
  xml.writeAttribute("lines-covered", QString::number(all.linesHit));
  xml.writeAttribute("lines-valid", QString::number(all.lines));
  xml.writeAttribute("branches-covered", QString::number(all.branchesTaken));
  xml.writeAttribute("branches-valid", QString::number(all.branches));
  xml.writeAttribute("complexity", "0");
  xml.writeAttribute("version", "quorbreport 1");
  xml.writeAttribute("timestamp", QString::number(QDateTime::currentSecsSinceEpoch()));
  WritePackages(xml, report.root, packages);
  xml.writeEndElement();
  xml.writeEndDocument();
  return SaveFile(path, text, error);
}

}  // namespace report
