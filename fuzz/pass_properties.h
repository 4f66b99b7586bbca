// The properties every pass over a container with a directory must keep.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cli/file_report.h"
#include "mog/container.h"

enum class PassMode { rewrite, view, view_blocks, view_raw, interactive, count };

// Whether the byte at the offset may be a line-number byte of a program.
using LineNumberRule = bool (*)(const std::uint8_t* image, std::size_t size, std::size_t at);

// The report of a pass over the bytes, as the text output takes it.
mog::FileReport report_of_pass(const mog::Container& container, unsigned char* bytes, std::size_t size,
                               const mog::PassRequest& request);

// Runs the pass on a copy of the image, exactly its size, in the mode, with
// the answers on standard input, and checks: view changes nothing;
// otherwise only bytes the rule allows change.
void check_pass(const mog::Container& container, const std::uint8_t* image, std::size_t size, PassMode mode,
                const std::uint8_t* answers, std::size_t answers_size, LineNumberRule rule);

// A whole container from fuzz data: byte 0 picks the mode; in interactive
// mode byte 1 tells how many of the following bytes are the typed answers.
// The rest is the container.
void check_pass_on_data(const mog::Container& container, const std::uint8_t* data, std::size_t size,
                        LineNumberRule rule);

// Disk images: the line number sits at bytes 6 and 7 of a sector.
bool disk_line_number_byte(const std::uint8_t* image, std::size_t size, std::size_t at);

// D64 images likewise, but one of 35 tracks and an error byte per sector
// (175,531 bytes) has no sector in its error bytes.
bool d64_line_number_byte(const std::uint8_t* image, std::size_t size, std::size_t at);
