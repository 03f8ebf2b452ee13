#include "support/translate.h"

#include <QCoreApplication>

namespace support {

QString Translate(const char* context, const char* source, const char* comment) {
  return QCoreApplication::translate(context, source, comment);
}

QString FromLocal(std::string_view bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToLocal(const QString& text) {
  return text.toLocal8Bit().toStdString();
}

}  // namespace support
