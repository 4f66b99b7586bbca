// The C64's upper-case and graphics character set as Unicode: one code point
// for each PETSCII byte, generated at build time from
// data/petscii-unicode.tsv. Control codes are the C0 and C1 controls of the
// same value.
#pragma once

namespace mog {

extern const char32_t PETSCII_UNICODE[256];

} // namespace mog
