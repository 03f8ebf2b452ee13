// The special-extension form ("microsoft#..." or "gnu#...") and incl_std.
#include "frontend/pragma_forms.h"

#include "frontend/front_end.h"
#include "frontend/name_flags.h"
#include "frontend/pragmas.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <QString>

namespace frontend {
namespace {

void SetHandler(std::string_view word, SpecificHandler handler) {
  support::InternName(word)->flags |= kSpecificMeaning | (static_cast<std::uint32_t>(handler) << kHandlerShift);
}

void SetCode(std::string_view word, std::uint32_t flag, NodeKind kind) {
  support::NameEntry* entry = support::InternName(word);
  entry->flags |= flag;
  Pragmas().codes[entry] = TokenCode(kind);
}

void WarnExtension(const char* text, const char* comment, std::string_view word, const DirectiveContext& context) {
  support::DisplayWarning(support::Translate("User Warning", text, comment)
                              .arg(support::FromLocal(word), support::FromLocal(context.Reference())));
}

void ApplyMicrosoftExtension(std::string_view word, const DirectiveContext& context) {
  if (word == "_asm") {
    SetHandler("_asm", kHandlerInlineAssembler);
    SetHandler("__asm", kHandlerInlineAssembler);
    Pragmas().inlineAssembler = true;
  } else if (word == "seh") {
    SetCode("__try", kAcceptCode, NodeKind::TRY);
    support::NameEntry* except = support::InternName("__except");
    except->flags = (except->flags & ~kReduceField) | (kReduceCode << kReduceShift);
    Pragmas().codes[except] = TokenCode(NodeKind::EXCEPT);
    SetCode("__finally", kAcceptCode, NodeKind::FINALLY);
    SetCode("__leave", kAcceptCode, NodeKind::LEAVE);
  } else {
    WarnExtension("Unknown microsoft extension : %1 at %2",
                  "%1 : the microsoft extension, %2 : file and line reference", word, context);
  }
}

void ApplySpecialExtension(std::string_view text, const DirectiveContext& context) {
  constexpr std::string_view kMicrosoft = "microsoft#";
  constexpr std::string_view kGnu = "gnu#";
  if (text.starts_with(kMicrosoft)) {
    ApplyMicrosoftExtension(text.substr(kMicrosoft.size()), context);
  } else if (text.starts_with(kGnu)) {
    const std::string_view word = text.substr(kGnu.size());
    // Both GNU words share the handler index; the handler tells them apart.
    if (word == "__extension__" || word == "_Atomic") {
      SetHandler(word, kHandlerExtensionKeyword);
    } else {
      WarnExtension("Unknown gnu extension : %1 at %2", "%1 : the gnu extension, %2 : file and line reference",
                    word, context);
    }
  } else {
    WarnExtension("Unknown special extension : %1 at %2",
                  "%1 : the special extension, %2 : file and line reference", text, context);
  }
}

// Directory values never end with "/"; a last component "." names the
// directory it stands in.
std::string CanonicalDirectory(std::string_view path) {
  const support::SplitResult split = support::SplitPath(path);
  const std::string last = split.name && split.name->text != "." ? split.name->text : std::string();
  std::string directory = support::NormalizePath(split.directory->text + last);
  if (directory.size() > 1) directory.pop_back();
  return directory;
}

std::string_view Trimmed(std::string_view item) {
  while (!item.empty() && (item.front() == ' ' || item.front() == '\t')) item.remove_prefix(1);
  while (!item.empty() && (item.back() == ' ' || item.back() == '\t' || item.back() == '\n' || item.back() == '\r')) {
    item.remove_suffix(1);
  }
  if (item.size() >= 2 && item.front() == '"' && item.back() == '"') item = item.substr(1, item.size() - 2);
  return item;
}

void AddNoInstrDirectories(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  std::string_view rest = line.substr(equals + 1);
  while (!rest.empty()) {
    const std::size_t comma = std::min(rest.find(','), rest.size());
    const std::string_view item = Trimmed(rest.substr(0, comma));
    rest = comma < rest.size() ? rest.substr(comma + 1) : std::string_view();
    if (item.empty()) continue;
    support::NameEntry* entry = support::InternName(CanonicalDirectory(item));
    entry->flags |= kNoInstrDirectory;
    if (Lexer().noInstrDirList) support::AddToNameList(*Lexer().noInstrDirList, entry);
  }
}

}  // namespace

bool HandleExtensionForm(DirectiveCursor cursor, const DirectiveContext& context) {
  DirectiveCursor special = cursor;
  if (const std::optional<std::string_view> text = ReadString(special); text && AtLineEnd(special)) {
    ApplySpecialExtension(*text, context);
    return true;
  }
  if (!MatchWord(cursor, "incl_std")) return false;
  AddNoInstrDirectories(cursor.text.substr(cursor.at));
  return true;
}

}  // namespace frontend
