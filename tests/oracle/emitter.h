// Writes the generated program line by line and stamps manifest records with
// the line on which their construct starts: a record added while a line is
// being built belongs to that line.
#pragma once

#include <string>
#include <vector>

namespace oracle {

struct Record {
  std::string tag;       // PR, AP, BL, CA, CE, CC, CP
  std::string function;
  std::string fields;    // tag-specific, space separated
  std::string value;     // "= ..." part without the "= "
  unsigned line = 0;
};

class Emitter {
 public:
  void Put(const std::string& text) { current_ += text; }
  /// Ends the current line; pending records get its number.
  void EndLine();
  void AddRecord(Record record) { pending_.push_back(std::move(record)); }
  unsigned NextLineNumber() const { return static_cast<unsigned>(lines_.size()) + 1; }
  bool LineEmpty() const { return current_.empty(); }

  std::string Text() const;
  std::string ManifestText() const;

 private:
  std::vector<std::string> lines_;
  std::string current_;
  std::vector<Record> pending_;
  std::vector<Record> records_;
};

}  // namespace oracle
