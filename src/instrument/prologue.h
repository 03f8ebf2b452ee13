// The prologue of the instrumented file: the configuration defines, the
// include of the target runtime header TP.h and the declaration tables of
// every FDC file. It normally stands at the top of the instrumented file;
// with the "nothing before" pragma it is spliced into the source just before
// the pragma's position instead.
#pragma once

#include <cstdio>
#include <string_view>

namespace frontend {
struct TokenPosition;
}

namespace instrument {

/// Writes the prologue; `mainFile` is the end location of the tree, which
/// names the main source file.
void WritePrologue(std::FILE* output, const frontend::TokenPosition& mainFile);

/// One piece of prologue text: written out (its newlines counted in the
/// instrumented file's line counter), or spliced before the "nothing before"
/// position in order.
void WritePrologueText(std::FILE* output, std::string_view text);

}  // namespace instrument
