// Build-time agreement of the node kinds with the grammar's tokens: every
// kind of QUORB_TOKEN_KINDS is the grammar token T_<name> with the same code,
// the grammar declares no other token, and no two kinds share a code. This
// file has no code of its own; it compiles only while all of that holds.
#include "frontend/grammar.hpp"
#include "frontend/node_kind.h"

namespace frontend {
namespace {

#define QUORB_CHECK_TOKEN(name, code) \
  static_assert(T_##name == (code), "the grammar's token T_" #name " must have the code of NodeKind::" #name);
QUORB_TOKEN_KINDS(QUORB_CHECK_TOKEN)
#undef QUORB_CHECK_TOKEN

static_assert(QCEOF == TokenCode(NodeKind::NONE), "end of input is token code 0");

#define QUORB_KIND_CASE(name, code) case T_##name:

// A grammar token missing from QUORB_TOKEN_KINDS is an enumerator this switch
// does not handle.
#pragma GCC diagnostic push
#pragma GCC diagnostic error "-Wswitch"
constexpr bool IsKnownToken(qctokentype token) {
  switch (token) {
    QUORB_TOKEN_KINDS(QUORB_KIND_CASE)
    return true;
    case QCEMPTY:
    case QCEOF:
    case QCerror:
    case QCUNDEF:
    case LOWER_THAN_ELSE:  // a precedence, never returned by the lexer
      return false;
  }
  return false;
}
#pragma GCC diagnostic pop
#undef QUORB_KIND_CASE

static_assert(IsKnownToken(T_IDENTIFIER));

// Two kinds with one code would be two cases with one value.
#define QUORB_KIND_CASE(name, code) case NodeKind::name:
constexpr bool HasOwnCode(NodeKind kind) {
  switch (kind) {
    case NodeKind::NONE:
      QUORB_TOKEN_KINDS(QUORB_KIND_CASE)
      QUORB_NODE_ONLY_KINDS(QUORB_KIND_CASE)
      return true;
  }
  return false;
}
#undef QUORB_KIND_CASE

static_assert(HasOwnCode(NodeKind::EMPTY));

}  // namespace
}  // namespace frontend
