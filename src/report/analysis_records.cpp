#include "report/analysis_records.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>

namespace report {

bool ReadRoutine(RecordLine& fields, RoutineId& id) {
  return fields.HexNumber(id.key) && fields.HexNumber(id.checksum) && fields.Number(id.message);
}

void NoteRoutine(const RoutineId& id, const TsfCatalog& catalog, AnalysisData& data) {
  if (!id.Untraced() && !catalog.FindRoutine(id)) ++data.unresolved;
}

bool FirstReading(std::vector<std::string>& files, const std::string& path) {
  const auto canonical = [](const std::string& name) {
    const QString local = QString::fromLocal8Bit(name.c_str());
    const QString resolved = QFileInfo(local).canonicalFilePath();
    return resolved.isEmpty() ? local : resolved;
  };
  const QString wanted = canonical(path);
  if (std::any_of(files.begin(), files.end(), [&](const std::string& file) { return canonical(file) == wanted; })) {
    return false;
  }
  files.push_back(path);
  return true;
}

}  // namespace report
