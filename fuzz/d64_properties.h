// The properties every pass over a disk image must keep.
#pragma once

#include <cstddef>
#include <cstdint>

enum class PassMode { rewrite, view, view_blocks, view_raw, interactive, count };

// Runs the D64 branch on a copy of the image, exactly its size, in the mode,
// with the answers on standard input, and checks: view changes nothing and
// writes nothing; otherwise the written image has the same size and differs
// only in line-number bytes (bytes 6 and 7 of a sector).
void check_d64_pass(const std::uint8_t* image, std::size_t size, PassMode mode, const std::uint8_t* answers,
                    std::size_t answers_size);
