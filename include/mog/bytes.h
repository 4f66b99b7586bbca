// A buffer for the bytes of a container file.
#pragma once

#include <cstddef>
#include <new>
#include <utility>
#include <vector>

namespace mog {

namespace detail {
// Memory for file bytes; a large block comes from the system with its pages
// already in place, one call instead of a fault for each page.
void* take_byte_memory(std::size_t size);
void give_back_byte_memory(void* memory, std::size_t size);
} // namespace detail

// An allocator that leaves new bytes as they are: a read fills them, so
// zeroing them first would only cost time.
template <class T> struct ByteAllocator {
    using value_type = T;
    ByteAllocator() = default;
    template <class U> ByteAllocator(const ByteAllocator<U>&) {}
    T* allocate(std::size_t count) {
        void* memory = detail::take_byte_memory(count * sizeof(T));
        if (memory == nullptr)
            throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t count) { detail::give_back_byte_memory(memory, count * sizeof(T)); }
    template <class U> void construct(U* at) noexcept { ::new (static_cast<void*>(at)) U; }
    template <class U, class... Arguments> void construct(U* at, Arguments&&... arguments) {
        ::new (static_cast<void*>(at)) U(std::forward<Arguments>(arguments)...);
    }
    template <class U> bool operator==(const ByteAllocator<U>&) const { return true; }
};

// The bytes of a file, as read.
using Bytes = std::vector<unsigned char, ByteAllocator<unsigned char>>;

} // namespace mog
