#include "platform/source_memory.h"

#include <cstdlib>

namespace mog {

void* take_source_memory(std::size_t size) {
    return std::malloc(size > 0 ? size : 1);
}

void give_back_source_memory(void* memory, std::size_t) {
    std::free(memory);
}

} // namespace mog
