#include "emitter.h"

namespace oracle {

void Emitter::EndLine() {
  lines_.push_back(current_);
  current_.clear();
  for (Record& record : pending_) {
    record.line = static_cast<unsigned>(lines_.size());
    records_.push_back(std::move(record));
  }
  pending_.clear();
}

std::string Emitter::Text() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += '\n';
  }
  return text;
}

std::string Emitter::ManifestText() const {
  std::string text;
  for (const Record& r : records_) {
    text += r.tag + ' ' + std::to_string(r.line) + ' ' + r.function;
    if (!r.fields.empty())
      text += ' ' + r.fields;
    text += " = " + r.value + '\n';
  }
  return text;
}

}  // namespace oracle
