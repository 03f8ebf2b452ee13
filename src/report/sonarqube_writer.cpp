// SonarQube's generic test coverage XML: a file element per source with its
// root-relative path, a lineToCover per line of line_table.h (covered when
// its count is above 0) with the branches that begin on it. Excluded
// branches are left out, as in lcov and Cobertura.
#include "report/line_table.h"
#include "report/save_file.h"
#include "report/writers.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

namespace report {

bool WriteSonarQube(const Report& report, const std::string& path, std::string& error) {
  QByteArray text;
  QXmlStreamWriter xml(&text);
  xml.setAutoFormatting(true);
  xml.writeStartDocument();
  xml.writeStartElement("coverage");
  xml.writeAttribute("version", "1");
  for (const FileReport& file : report.files) {
    xml.writeStartElement("file");
    xml.writeAttribute("path", QString::fromUtf8(file.sourcePath.data(), static_cast<qsizetype>(file.sourcePath.size())));
    for (const auto& [number, count] : DeriveLines(file).lines) {
      xml.writeEmptyElement("lineToCover");
      xml.writeAttribute("lineNumber", QString::number(number));
      xml.writeAttribute("covered", count.hits > 0 ? "true" : "false");
      if (count.branches == 0) continue;
      xml.writeAttribute("branchesToCover", QString::number(count.branches));
      xml.writeAttribute("coveredBranches", QString::number(count.branchesTaken));
    }
    xml.writeEndElement();
  }
  xml.writeEndElement();
  xml.writeEndDocument();
  return SaveFile(path, text, error);
}

}  // namespace report
