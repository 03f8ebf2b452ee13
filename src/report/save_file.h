// Writing an output file whole: the text goes to a temporary file beside it
// that replaces the old file only once complete, so a failed run never leaves
// a damaged output.
#pragma once

#include <QByteArray>

#include <string>

namespace report {

bool SaveFile(const std::string& path, const QByteArray& content, std::string& error);

}  // namespace report
