// Lynx archives: the archive's own BASIC stub, its directory as PETSCII
// text, then each file's data in 254-byte blocks, as a disk's sectors hold
// them without their links.
#pragma once

#include <cstddef>

namespace mog {

constexpr std::size_t LYNX_BLOCK_SIZE = 254;
constexpr std::size_t LYNX_NAME_SIZE = 16;     // padded with shifted blanks, then a carriage return
constexpr unsigned LYNX_LOAD_ADDRESS = 0x0801; // the stub's, which tells an archive from other files named .lnx

} // namespace mog
