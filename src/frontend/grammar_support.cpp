#include "frontend/grammar_support.h"

#include "frontend/front_end.h"
#include "frontend/lexer.h"
#include "frontend/symbol_tables.h"
#include "support/file_utils.h"
#include "support/messages.h"
#include "support/name_table.h"
#include "support/translate.h"

#include <climits>
#include <cstring>

namespace frontend {
namespace {

using support::Translate;

const char* AnachronismText(Anachronism kind) {
  switch (kind) {
    case Anachronism::Conditional:
      return "syntax anachronism accepted:\n  <logical.OR.expression> ? : <conditional.expression>:\n  near";
    case Anachronism::Label:
      return "syntax anachronism accepted:\n  <goto-label> :";
    case Anachronism::Case:
      return "syntax anachronism accepted:\n  case <constant.expression> :";
    case Anachronism::Default:
      return "syntax anachronism accepted:\n  default :";
    case Anachronism::None:
      break;
  }
  return nullptr;
}

// The token at which each anachronism shows: the ":" right after "?", or the
// "}" right after a label. Any other token is a genuine syntax error.
int AnachronismToken(Anachronism kind) {
  return kind == Anachronism::Conditional ? TokenCode(NodeKind::COLON) : TokenCode(NodeKind::RIGHT_BRACE);
}

QString CurrentTokenText() {
  ParserState& parser = Parser();
  if (parser.lookaheadCode == 0) return Translate("Message", "<end-of-file>");
  const std::string text(LastTokenText());
  return support::FromLocal(text);
}

}  // namespace

void ResetParserState() { Parser() = ParserState{}; }

int NextGrammarToken(TokenValue* value) {
  ParserState& parser = Parser();
  int code = LexToken(value);
  // A closing digraph keeps its spelling so that its node can end on its last
  // character.
  const std::string_view text = LastTokenText();
  if ((code == TokenCode(NodeKind::RIGHT_BRACKET) || code == TokenCode(NodeKind::RIGHT_BRACE)) && text.size() == 2) {
    value->alpha = support::InternName(text);
  }
  // Codes given by accept pragmas may read as negative; the parser would take
  // them for the end of input.
  if (code < 0) code = INT_MAX;
  parser.lookaheadCode = code;
  parser.lookahead = *value;
  return code;
}

const TokenValue& LookaheadToken() { return Parser().lookahead; }

void ReportSyntaxError(const char* parserMessage) {
  ParserState& parser = Parser();
  const QString reference = support::FromLocal(ReferenceText(Lexer().logicalLine));
  const QString token = CurrentTokenText();
  if (parser.armed != Anachronism::None && parser.lookaheadCode == AnachronismToken(parser.armed)) {
    support::DisplayWarning(Translate("Message", AnachronismText(parser.armed)) + token + reference);
    return;
  }
  const bool exhausted = std::strstr(parserMessage, "exhausted") != nullptr;
  const QString text = exhausted ? Translate("Message", "yacc stack overflow") : Translate("Message", "syntax error near");
  support::DisplayError(text + QLatin1Char(' ') + token + QLatin1Char(' ') + reference);
  ++parser.errorCount;
}

void ArmAnachronism(Anachronism kind) { Parser().armed = kind; }

void DisarmAnachronism() { Parser().armed = Anachronism::None; }

void FinishTranslationUnit(TreeNode* declarations) {
  ParserState& parser = Parser();
  parser.root = CreateNode(NodeKind::TRANSLATION_UNIT, nullptr);
  AppendChild(parser.root, declarations);
}

void CloseForScope(const TokenValue& forToken) {
  support::NameList* statics = CloseScope();
  if (!statics) return;
  const TokenPosition& at = forToken.position;
  const std::string reference = support::LocationText(at.Directory() ? at.Directory()->text : std::string(),
                                                      at.File() ? at.File()->text : std::string(), at.line);
  support::DisplayWarning(Translate("Message", "Static variables used in for-init are ignored") +
                          support::FromLocal(reference));
  delete statics;
}

TreeNode* MakeSizeofExpression(const TokenValue& sizeofToken, TreeNode* operand) {
  TreeNode* node = CreateNode(NodeKind::SIZEOF, &sizeofToken);
  node->alpha = nullptr;
  AppendChild(node, operand);
  if (operand && operand->kind == NodeKind::LEFT_PAREN) node->end = operand->end;
  return node;
}

}  // namespace frontend
