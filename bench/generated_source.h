// The large preprocessed input shared by the parser and instrumentation
// benchmarks: copies of the header program (gcc -E output of the C library's
// headers and a body of C99 and GNU forms), each copy with its functions
// renamed so that the copies declare distinct names.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

enum class CopyLayout {
  kWholeCopies,  // headers and body repeated: quorbcc1 accepts it, a compiler does not
  kHeadersOnce,  // headers once, then the bodies: valid C for the compiler as well
};

/// At least `size` bytes of preprocessed C made of whole copies of the
/// program at that path (tests/parse/headers_program.c or a copy of it);
/// empty when it cannot be preprocessed. Line directives name the
/// program's source, so a listing of the result reads that file.
std::string GenerateHeaderCopies(const std::string& programPath, std::size_t size,
                                 CopyLayout layout = CopyLayout::kWholeCopies);

}  // namespace bench
