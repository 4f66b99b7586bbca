#include "mog/bytes.h"

#include <cstdlib>

namespace mog::detail {

void* take_byte_memory(std::size_t size) {
    return std::malloc(size > 0 ? size : 1);
}

void give_back_byte_memory(void* memory, std::size_t) {
    std::free(memory);
}

} // namespace mog::detail
