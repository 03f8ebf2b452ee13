// Checks that the RIK listing of one source file in an FDC file is complete:
// stripped of its markup it gives back the source text byte for byte, its
// tags nest, and it carries the same branch tags as the per-function listing
// of the same instrumentation (written with -NOSOURCE), each as often.
//
//   listing_check <fdc> <source name> <source as UTF-8> <fdc written with -NOSOURCE>
//
// Prints one line per finding; exit status 0 when the listing is complete.
#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kHidden = " Hidden branches";
const std::string kEmptyLineAlt = "@COMMENT@/*@/COMMENT@ Hidden branches @COMMENT@*/@/COMMENT@";
const std::string kEndOfBranches = "@COMMENT@/* End of previous Coverage branches */@/COMMENT@";
const std::string kEndOfListing = "@/NODE /RIK@";

int failures = 0;

void Fail(const std::string& what) {
  std::cout << what << '\n';
  ++failures;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Fail("cannot read " + path);
    return {};
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool StartsWith(const std::string& text, size_t at, const std::string& prefix) {
  return text.compare(at, prefix.size(), prefix) == 0;
}

// The listing of the first RIK section naming `source`: from after the file
// node's tag up to the end marker.
std::string FindListing(const std::string& fdc, const std::string& source) {
  const std::string src = "  SRC=\"" + source + "\"\n";
  size_t section = fdc.find(src);
  if (section == std::string::npos) return {};
  size_t node = fdc.find("NODE TYPE=FILE NAME=", section);
  size_t start = node == std::string::npos ? node : fdc.find('@', node);
  size_t end = start == std::string::npos ? start : fdc.find(kEndOfListing, start);
  if (end == std::string::npos) return {};
  return fdc.substr(start + 1, end - start - 1);
}

struct Stripped {
  std::string text;
  std::map<std::string, int> branches;
};

std::string TagWord(const std::string& tag) { return tag.substr(0, tag.find(' ')); }

// Branch tags compared without " START": the per-function listing never
// writes it.
std::string BranchKey(std::string tag) {
  size_t start = tag.find(" START");
  if (start != std::string::npos) tag.erase(start, 6);
  return tag;
}

bool HasClosingTag(const std::string& tag) {
  std::string word = TagWord(tag);
  if (word == "BRANCH") return tag.find(" START") == std::string::npos && tag != "BRANCH UNREACHABLE";
  return word == "NODE" || word == "DECISION" || word == "POPUP" || word == "JUMP";
}

// Walks the listing: source text is kept outside the generated parts of
// popups and macro alternatives; tags are checked to nest.
class Stripper {
 public:
  explicit Stripper(const std::string& listing) : in_(listing) {}

  Stripped Run() {
    while (at_ < in_.size()) {
      if (in_[at_] != '@') {
        Keep(in_[at_++]);
        continue;
      }
      if (StartsWith(in_, at_, "@@")) {
        Keep('@');
        at_ += 2;
        continue;
      }
      if (SkipGenerated()) continue;
      size_t close = in_.find('@', at_ + 1);
      if (close == std::string::npos) {
        Fail("unterminated tag at byte " + std::to_string(at_));
        break;
      }
      std::string tag = in_.substr(at_ + 1, close - at_ - 1);
      at_ = close + 1;
      Handle(tag);
    }
    for (const std::string& open : open_) Fail("tag never closed: " + open);
    if (inComment_) Fail("comment never closed");
    if (alternative_ != Alternative::kNone) Fail("alternative never closed");
    return std::move(out_);
  }

 private:
  void Keep(char c) {
    if (skipping_ == 0) out_.text += c;
  }

  // Texts that the listing adds of its own: hidden-branch notes and the end
  // note for items beyond the file.
  bool SkipGenerated() {
    for (const std::string* text : {&kEmptyLineAlt, &kEndOfBranches}) {
      if (!StartsWith(in_, at_, *text)) continue;
      at_ += text->size();
      return true;
    }
    return false;
  }

  void Handle(const std::string& tag) {
    std::string word = TagWord(tag);
    if (word == "BRANCH") ++out_.branches[BranchKey(tag)];
    if (word == "COMMENT") return SetComment(true, tag);
    if (word == "/COMMENT") {
      SetComment(false, tag);
      if (tag == "/COMMENT ALT") SkipHiddenNote();
      return;
    }
    if (tag == "ALT") return OpenAlternative();
    if (tag == "-ALT") return ShowExpansion();
    if (tag == "/ALT") return CloseAlternative();
    if (tag == "-POPUP") return ShowPopup();
    if (StartsWith(tag, 0, "-POPUP BITCOND=(")) return SkipConditionTable();
    if (word == "/POPUP") return Close("POPUP", true);
    if (word[0] == '/') return Close(word.substr(1), false);
    if (HasClosingTag(tag)) open_.push_back(word);
  }

  void SetComment(bool on, const std::string& tag) {
    if (inComment_ == on) Fail("comment markup out of step at @" + tag + "@, byte " + std::to_string(at_));
    inComment_ = on;
  }

  // Alternatives stand apart from the other tags: an item may begin before
  // a macro's expansion and end inside it. Where the invocation lies in a
  // comment, the alternative shows a note instead (after its opening tag, or
  // after a second one when the comment ended inside the invocation).
  void OpenAlternative() {
    if (alternative_ == Alternative::kInvocation) {
      SkipHiddenNote();
      return;
    }
    if (alternative_ != Alternative::kNone) Fail("alternative inside an expansion at byte " + std::to_string(at_));
    alternative_ = Alternative::kInvocation;
    SkipHiddenNote();
    // The comment's alternative shows no invocation, only a space.
    if (in_[at_] == ' ' && StartsWith(in_, at_ + 1, "@-ALT@")) ++at_;
  }

  void SkipHiddenNote() {
    if (StartsWith(in_, at_, kHidden)) at_ += kHidden.size();
  }

  // The line feed right after the expansion's start is the source line's,
  // when the alternative covers a whole line.
  void ShowExpansion() {
    if (alternative_ != Alternative::kInvocation) Fail("@-ALT@ outside an alternative at byte " + std::to_string(at_));
    if (in_[at_] == '\n') Keep(in_[at_++]);
    alternative_ = Alternative::kExpansion;
    ++skipping_;
  }

  void CloseAlternative() {
    if (alternative_ != Alternative::kExpansion) {
      Fail("@/ALT@ without expansion at byte " + std::to_string(at_));
      return;
    }
    alternative_ = Alternative::kNone;
    --skipping_;
  }

  // "-POPUP" starts the generated part, which lasts to "/POPUP".
  void ShowPopup() {
    if (open_.empty() || open_.back() != "POPUP") {
      Fail("@-POPUP@ outside a popup at byte " + std::to_string(at_));
      return;
    }
    open_.back() = "-POPUP";
    ++skipping_;
  }

  void Close(const std::string& word, bool generated) {
    std::string want = generated ? "-" + word : word;
    if (open_.empty() || open_.back() != want) {
      Fail("@/" + word + "@ does not close " + (open_.empty() ? std::string("anything") : open_.back()) +
           " at byte " + std::to_string(at_));
      return;
    }
    open_.pop_back();
    if (generated) --skipping_;
  }

  // The condition table's texts are quoted by "@" and end with ") /POPUP@".
  void SkipConditionTable() {
    size_t end = in_.find(") /POPUP@", at_);
    if (end == std::string::npos) {
      Fail("unterminated condition table");
      at_ = in_.size();
      return;
    }
    at_ = end + 9;
    if (open_.empty() || open_.back() != "POPUP") Fail("condition table outside a popup");
    else open_.pop_back();
  }

  enum class Alternative { kNone, kInvocation, kExpansion };

  const std::string& in_;
  size_t at_ = 0;
  Alternative alternative_ = Alternative::kNone;
  Stripped out_;
  std::vector<std::string> open_;
  int skipping_ = 0;
  bool inComment_ = false;
};

void CompareText(const std::string& listed, const std::string& source) {
  size_t n = 0;
  while (n < listed.size() && n < source.size() && listed[n] == source[n]) ++n;
  if (n == listed.size() && n == source.size()) return;
  size_t line = 1 + std::count(source.begin(), source.begin() + static_cast<long>(n), '\n');
  Fail("source text differs at byte " + std::to_string(n) + " (line " + std::to_string(line) + "): listed \"" +
       listed.substr(n, 40) + "\", source \"" + source.substr(n, 40) + "\"");
}

// Branch tags of the per-function listing, popups' alternatives included.
std::map<std::string, int> SummaryBranches(const std::string& listing) {
  std::map<std::string, int> found;
  for (size_t at = listing.find("@BRANCH "); at != std::string::npos; at = listing.find("@BRANCH ", at + 1)) {
    size_t close = listing.find('@', at + 1);
    if (close == std::string::npos) break;
    ++found[BranchKey(listing.substr(at + 1, close - at - 1))];
  }
  return found;
}

void CompareBranches(const std::map<std::string, int>& listed, const std::map<std::string, int>& summary) {
  for (const auto& [tag, count] : summary) {
    auto it = listed.find(tag);
    int seen = it == listed.end() ? 0 : it->second;
    if (seen != count) Fail("@" + tag + "@ listed " + std::to_string(seen) + " times, registered " + std::to_string(count));
  }
  for (const auto& [tag, count] : listed) {
    if (!summary.count(tag)) Fail("@" + tag + "@ listed " + std::to_string(count) + " times, never registered");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: listing_check <fdc> <source name> <source as UTF-8> <fdc written with -NOSOURCE>\n";
    return 2;
  }
  std::string listing = FindListing(ReadAll(argv[1]), argv[2]);
  std::string summary = FindListing(ReadAll(argv[4]), argv[2]);
  if (listing.empty() || summary.empty()) {
    Fail(std::string("no listing of ") + argv[2]);
    return 1;
  }
  Stripped stripped = Stripper(listing).Run();
  CompareText(stripped.text, ReadAll(argv[3]));
  if (stripped.branches.empty()) Fail("no branch listed");
  CompareBranches(stripped.branches, SummaryBranches(summary));
  if (failures != 0) return 1;
  std::cout << argv[2] << ": complete, " << stripped.branches.size() << " distinct branch tags\n";
  return 0;
}
