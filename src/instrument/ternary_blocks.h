// The blocks of a conditional expression's two arms.
#pragma once

#include <cstdint>
#include <optional>

namespace frontend {
struct TreeNode;
}

namespace instrument {

/// Marks one arm of a conditional expression (c ? a : b), in place:
/// "(_QBC_BLOC_exp(f,n),a)". An arm that may be a null pointer constant (0,
/// (void *)0, a constant expression that may be zero) must stay one, or the
/// result would change its type, so it is not marked in place: its block
/// is returned for InstrTernaryCondition, or none is made when the
/// condition cannot carry it (x ?: y, whose condition is the result).
std::optional<std::uint32_t> InstrTernaryArm(const frontend::TreeNode* arm, bool conditionFree);

/// Puts the marks of constant arms into the condition, which selects each
/// arm exactly when it runs: "((c)?(_QBC_BLOC_exp(f,n),1):0)".
void InstrTernaryCondition(const frontend::TreeNode* conditional, std::optional<std::uint32_t> trueMark,
                           std::optional<std::uint32_t> falseMark);

}  // namespace instrument
