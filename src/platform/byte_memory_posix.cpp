#include "mog/bytes.h"

#include <cstdlib>
#include <sys/mman.h>

namespace mog::detail {

namespace {

// From this size on, blocks come from mmap with their pages in place.
constexpr std::size_t LARGE_BLOCK = 64 * 1024;

} // namespace

void* take_byte_memory(std::size_t size) {
    if (size < LARGE_BLOCK)
        return std::malloc(size > 0 ? size : 1);
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return memory == MAP_FAILED ? nullptr : memory;
}

void give_back_byte_memory(void* memory, std::size_t size) {
    if (size < LARGE_BLOCK)
        std::free(memory);
    else
        munmap(memory, size);
}

} // namespace mog::detail
