#include "report/save_file.h"

#include <QSaveFile>
#include <QString>

namespace report {

bool SaveFile(const std::string& path, const QByteArray& content, std::string& error) {
  QSaveFile file(QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size())));
  if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit()) return true;
  error = path + ": " + file.errorString().toLocal8Bit().toStdString();
  return false;
}

}  // namespace report
