// What the web page gets from the library: JSON text for its script, made
// with the tool's rules and words. Plain C++ on the library's public
// headers, so that it is tested natively too; page_glue.cpp hands it to
// JavaScript.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mog::page {

// What the page's controls say, as text, the way the command line gives
// them to the tool.
struct Choices {
    std::string_view machines = "c64"; // as --machine takes them: names, comma-separated
    std::string_view line_number;      // as typed, as the tool's -n takes it: a whole number from 0 to 65535
    std::string_view kept;             // indexes of programs whose line stays, comma-separated
};

// What the page needs once: {"version", "year" (the default line number),
// "max_line_number", "max_file_size", "default_machines", "machines": [{"name",
// "description", "starts"}]}, the machines in the library's order.
std::string facts();

// The name the tool writes a source's change to when no destination is
// given: "game.D64" gives "game.out.d64". Only for names of a kind mog reads.
std::string destination_name(std::string_view source);

// PETSCII as mog --unicode shows it: the C64's own characters in UTF-8, each
// control code a middle dot.
std::string shown_text(std::span<const unsigned char> petscii);

// A line number as typed, or what is wrong with it.
struct LineNumber {
    std::optional<unsigned> number;
    std::string error; // set when number is not
};
LineNumber read_line_number(std::string_view typed);

// The BASIC starts of the machines named, or what is wrong with the list.
struct Machines {
    std::vector<unsigned> basic_starts;
    std::string error; // set for a list that names no machine or an unknown one
};
Machines read_machines(std::string_view names);

// The indexes of the programs to keep, or nothing for a malformed list.
std::optional<std::vector<std::size_t>> read_kept(std::string_view indexes);

// Before a file is read: its kind, and whether the tool would read it.
// {"file", "kind" (or null), "admitted", "error" (or null), "status",
// "records" (what mog -v --json prints, or null when it prints nothing)};
// for a part of a Zip-Code set also "set" (the name of its part 1, which
// the page groups the parts by) and "part" (1 to 4). A zip or a gzip is not
// admitted: the page cannot inflate them.
std::string admit(std::string_view name, double size);

// A file the browser could not read, in the tool's words; browser_error is
// the DOMException's name ("NotFoundError", "NotReadableError", ...). The
// same members as admit's.
std::string read_failed(std::string_view name, std::string_view browser_error);

// The file's listing: what mog -v --unicode and mog -v --json show, and for
// each start line whether it may be set and whether it lacks the number.
// {"file", "kind", "size", "error", "status", "warnings", "line_number",
// "line_error", "machines_error", "lacking" (the start lines that lack the
// number, each counted once; null without a number), "programs": [{"index",
// "name", "type", "load_address", "line", "text", "settable", "reason" (why
// it cannot be set), "check" (how it lacks the number), "new_line",
// "shares_with" (the index of the earlier entry whose start line this is),
// "shared" (the same in words)}], "records"}. The bytes are not changed.
std::string list(std::string_view name, std::span<unsigned char> bytes, const Choices& choices);

// What mog --check -n N says of the file: the listing's members, with
// "error", "status" and "records" those of mog --check --json -n N, and
// "passed" (null when the settings keep the check from being made),
// "no_start_line", "failing_warnings" (the warnings that fail the check)
// and "outcome" (the answer in sentences). The bytes are not changed.
std::string check(std::string_view name, std::span<unsigned char> bytes, const Choices& choices);

// Sets the line number of every settable start line that is not kept, in
// the bytes, as mog -n N (with -i's answers for kept ones) writes them: the
// listing's members (the lines before the change, "new_line" the number
// the start line holds now) and "destination" (null when nothing is to be
// written) and "changed" (start lines, each counted once). Entries that
// share a start line are kept when the first of them is. When it fails
// ("error" set) the bytes are as they were.
std::string stamp(std::string_view name, std::span<unsigned char> bytes, const Choices& choices);

// A Zip-Code set as the page has it: the name of a part given, which it
// goes by in its records and messages, as the tool's do with the name it
// is given, and the bytes of each part given, part 1 first.
struct SetParts {
    std::string_view name;
    std::array<std::optional<std::span<const unsigned char>>, 4> parts;
};

// The set's disk listed and checked as list and check do a file's; a set
// that cannot be read (a part not given, or damaged) gets admit's members,
// with the tool's words for the part.
std::string list_set(const SetParts& set, const Choices& choices);
std::string check_set(const SetParts& set, const Choices& choices);

// The disk stamped as stamp does a file; "parts" are the new set as mog -n N
// writes it beside the old one, each part's {"name" ("1!GAME.out"), "size",
// "changed"}, and written their bytes one after another.
std::string stamp_set(const SetParts& set, const Choices& choices, std::vector<unsigned char>& written);

} // namespace mog::page
