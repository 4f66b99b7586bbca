#include "page_api.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <mog/sources.h>

#include <mog/json.h>
#include <mog/mog.h>
#include <mog/names.h>
#include <mog/verdict.h>

namespace mog::page {

namespace {

// What the page shows in place of a control code, as mog --unicode does.
constexpr char32_t CONTROL_MARK = 0x00B7;

std::string hex_address(unsigned address) {
    char text[8];
    std::snprintf(text, sizeof text, "$%04X", address & 0xFFFFu);
    return text;
}

std::optional<unsigned long long> maybe(const std::optional<unsigned>& value) {
    return value ? std::optional<unsigned long long>(*value) : std::nullopt;
}

// What a file the tool does not get as far as walking says: the members of
// admit's answer. The records are the file's record alone, as the tool
// writes it for a file it could not read, or nothing for a name of no kind.
std::string refused(std::string_view name, const std::optional<Container>& container, const Verdict& verdict) {
    std::optional<std::string> records;
    if (container) {
        FileFacts facts;
        facts.file = name;
        facts.container = container;
        facts.error = verdict.why;
        facts.status = verdict.status;
        records = file_record(facts, PassResult{}) + "\n";
    }
    return JsonObject()
        .string("file", name)
        .maybe_string("kind", container ? std::optional(std::string(container_name(*container))) : std::nullopt)
        .boolean("admitted", false)
        .string("error", verdict.why)
        .number("status", verdict.status)
        .maybe_string("records", records)
        .done();
}

std::string read_error(std::string_view name, const Container& container, int code) {
    return refused(name, container, judge(FileError{FileStep::read, code, std::string(name)}));
}

// The page is built without an inflater: it names zips and gzips for what
// they are and leaves them to the tool.
std::string not_in_page(std::string_view name, SourceKind kind) {
    return JsonObject()
        .string("file", name)
        .string("kind", kind == SourceKind::zip ? "zip" : "gzip")
        .boolean("admitted", false)
        .string("error", "Zip and gzip files are not supported in the page; the mog tool reads them.")
        .number("status", STATUS_FILE_ERROR)
        .null("records")
        .done();
}

// The container of a name the page reads: a container file's, or the disk
// of the Zip-Code set a part's name belongs to.
std::optional<Container> readable_container(std::string_view name) {
    const std::optional<SourceName> source = source_for_name(name);
    if (!source || source->kind == SourceKind::zip || source->kind == SourceKind::gzip)
        return std::nullopt;
    return source->container;
}

// The name a listing shows for a program: without its padding, control
// codes marked.
std::string shown_name(const ProgramRecord& program) {
    return shown_text(program.unpadded_name());
}

bool listed(const std::vector<std::size_t>& positions, std::size_t position) {
    return std::find(positions.begin(), positions.end(), position) != positions.end();
}

// The start lines among the entries a check names, each counted once.
std::size_t start_lines_lacking(const Verdict& checked, const PassResult& result) {
    return static_cast<std::size_t>(std::count_if(checked.lacking.begin(), checked.lacking.end(),
                                                  [&](std::size_t k) { return !result.programs[k].shares_with; }));
}

// One row of the listing. checked: the verdict of a check, where a line
// number was given.
std::string program_entry(const PassResult& result, std::size_t position, std::span<const unsigned char> bytes,
                          bool written, const std::optional<Verdict>& checked, unsigned line_number) {
    const ProgramRecord& program = result.programs[position];
    const ProgramView view = program_view(program, bytes, written);
    std::optional<std::string> text;
    if (view.text_petscii)
        text = "SYS" + shown_text(std::span(reinterpret_cast<const unsigned char*>(view.text_petscii->data()),
                                            view.text_petscii->size()));
    std::optional<std::string> check;
    if (checked && listed(checked->lacking, position))
        check = "has line " + std::to_string(program.line) + ", not " + std::to_string(line_number) + '.';
    std::optional<std::string> shared;
    if (view.shares_with && *view.shares_with < result.programs.size())
        shared = "same start line as \"" + shown_name(result.programs[*view.shares_with]) + "\"";
    return JsonObject()
        .number("index", static_cast<long long>(view.index))
        .maybe_string("name", view.name ? std::optional(shown_name(program)) : std::nullopt)
        .string("type", view.type)
        .maybe_string("load_address", view.load_address ? std::optional(hex_address(*view.load_address)) : std::nullopt)
        .maybe_number("line", maybe(view.line))
        .maybe_string("text", text)
        .boolean("settable", view.settable)
        .maybe_string("reason", view.not_settable)
        .maybe_string("check", check)
        .maybe_number("new_line", maybe(view.new_line))
        .maybe_number("shares_with", view.shares_with ? std::optional<unsigned long long>(*view.shares_with)
                                                       : std::nullopt)
        .maybe_string("shared", shared)
        .done();
}

// What mog -v --json prints for the file (its programs, then the file), or
// with only_lacking what mog --check --json prints.
std::string records_of(std::string_view name, const Container& container, std::span<const unsigned char> bytes,
                       const PassResult& result, const Verdict& verdict, bool only_lacking) {
    std::string lines;
    for (std::size_t k = 0; k < result.programs.size(); ++k)
        if (!only_lacking || listed(verdict.lacking, k))
            lines += program_record(RecordName(name), result.programs[k], bytes, false) + "\n";
    FileFacts facts;
    facts.file = name;
    facts.container = container;
    facts.size = bytes.size();
    facts.crc32 = crc32_text(bytes);
    facts.sha1 = sha1_text(bytes);
    facts.warnings = verdict.warnings;
    if (!verdict.why.empty())
        facts.error = verdict.why;
    facts.status = verdict.status;
    return lines + file_record(facts, result) + "\n";
}

// What Check says of the file, in sentences.
std::string check_outcome(const Verdict& checked, const PassResult& result, unsigned line_number) {
    const std::string number = std::to_string(line_number);
    if (!checked.check_failed)
        return "No start line lacks " + number + ".";
    std::vector<std::string> sentences;
    if (const std::size_t count = start_lines_lacking(checked, result); count > 0)
        sentences.push_back(std::to_string(count) + (count == 1 ? " start line lacks " : " start lines lack ") +
                            number + ".");
    if (checked.no_start_line)
        sentences.push_back("No start line.");
    if (!checked.failing_warnings.empty())
        sentences.push_back("The file may hold more than could be checked.");
    std::string words;
    for (const std::string& sentence : sentences)
        words += (words.empty() ? "" : " ") + sentence;
    return words;
}

// The answer about a container's bytes, open for members that only some
// sources have; written tells that a stamp gave new bytes.
struct Answer {
    JsonObject json;
    bool written = false;
};

Answer answer_for(std::string_view name, const Container& container, std::span<unsigned char> bytes,
                  const Choices& choices, Job job) {
    const Machines machines = read_machines(choices.machines);
    const LineNumber line = read_line_number(choices.line_number);
    const std::optional<std::vector<std::size_t>> kept = read_kept(choices.kept);

    // What keeps a stamp or a check from being made, as the tool refuses
    // such a command line.
    std::optional<std::string> refusal;
    if (!machines.error.empty())
        refusal = machines.error;
    else if (job != Job::list && !line.number)
        refusal = line.error;
    else if (job == Job::stamp && !kept)
        refusal = "The list of programs to keep is malformed.";

    PassRequest request;
    request.basic_starts = machines.basic_starts;
    // Entries that share a start line go with the first of them.
    if (job == Job::stamp && !refusal)
        request.ask = [&](const ProgramRecord& program) {
            if (listed(*kept, program.shares_with.value_or(program.index)))
                return Decision{Action::keep, 0};
            return Decision{Action::set, *line.number};
        };
    const PassResult result = run_pass(container, bytes, request);

    JobRules rules;
    rules.job = job;
    rules.line_number = line.number.value_or(0);
    const Verdict verdict = judge(container, result, rules);
    std::optional<Verdict> checked;
    if (line.number) {
        rules.job = Job::check;
        checked = judge(container, result, rules);
    }
    std::optional<std::string> error = refusal;
    if (!refusal && !verdict.why.empty())
        error = verdict.why;
    const int status = refusal ? STATUS_BAD_COMMAND_LINE : verdict.status;
    const bool written = job == Job::stamp && !error;

    std::vector<std::string> programs;
    for (std::size_t k = 0; k < result.programs.size(); ++k)
        programs.push_back(program_entry(result, k, bytes, written, checked, rules.line_number));
    Answer answer{JsonObject(), written};
    answer.json.string("file", name)
        .string("kind", container_name(container))
        .number("size", static_cast<long long>(bytes.size()))
        .maybe_string("error", error)
        .number("status", status)
        .raw("warnings", json_string_array(verdict.warnings))
        .maybe_number("line_number", maybe(line.number))
        .maybe_string("line_error", line.number ? std::nullopt : std::optional(line.error))
        .maybe_string("machines_error", machines.error.empty() ? std::nullopt : std::optional(machines.error))
        .maybe_number("lacking", checked ? std::optional<unsigned long long>(start_lines_lacking(*checked, result))
                                         : std::nullopt)
        .raw("programs", json_array(programs));
    if (job == Job::stamp) {
        answer.json.maybe_string("destination", written ? std::optional(destination_name(name)) : std::nullopt)
            .number("changed", written ? static_cast<long long>(result.changed()) : 0)
            .raw("records", "null");
        return answer;
    }
    std::optional<std::string> records;
    if (!refusal)
        records = records_of(name, container, bytes, result, verdict, job == Job::check);
    answer.json.maybe_string("records", records);
    if (job == Job::check) {
        const bool made = !refusal;
        std::vector<std::string> failing = made ? verdict.failing_warnings : std::vector<std::string>();
        answer.json.raw("passed", made ? (verdict.check_failed ? "false" : "true") : "null")
            .boolean("no_start_line", made && verdict.no_start_line)
            .raw("failing_warnings", json_string_array(failing))
            .maybe_string("outcome", made ? std::optional(check_outcome(verdict, result, *line.number)) : refusal);
    }
    return answer;
}

std::string report(std::string_view name, std::span<unsigned char> bytes, const Choices& choices, Job job) {
    const std::optional<Container> container = container_for_name(name);
    if (!container)
        return refused(name, std::nullopt, judge_unknown_kind());
    return answer_for(name, *container, bytes, choices, job).json.done();
}

// A Zip-Code set opened from the parts the page has, or the answer for one
// that cannot be, in the tool's words: a part missing, or the set damaged.
struct OpenedSet {
    Container disk_kind;
    DiskSetParts parts;
    DiskSet set;
    std::optional<std::string> refusal;
};

OpenedSet open_set(const SetParts& given) {
    OpenedSet opened;
    const std::optional<SourceName> source = source_for_name(given.name);
    if (!source || source->kind != SourceKind::zipcode) {
        opened.refusal = refused(given.name, std::nullopt, judge_unknown_kind());
        return opened;
    }
    opened.disk_kind = *source->container;
    std::array<std::string, 4> names;
    for (std::size_t k = 0; k < names.size(); ++k) {
        names[k] = disk_set_part(given.name, static_cast<int>(k + 1));
        if (!given.parts[k]) {
            opened.refusal = refused(given.name, opened.disk_kind, judge(FileError{FileStep::find, ENOENT, names[k]}));
            return opened;
        }
        opened.parts[k] = *given.parts[k];
    }
    opened.set = open_disk_set(opened.parts, names);
    if (!opened.set.error.empty()) {
        Verdict damaged;
        damaged.why = opened.set.error;
        damaged.status = STATUS_FILE_ERROR;
        opened.refusal = refused(given.name, opened.disk_kind, damaged);
    }
    return opened;
}

std::string set_report(const SetParts& given, const Choices& choices, Job job) {
    OpenedSet opened = open_set(given);
    if (opened.refusal)
        return *opened.refusal;
    return answer_for(given.name, opened.disk_kind, opened.set.disk, choices, job).json.done();
}

} // namespace

std::string facts() {
    std::vector<std::string> machine_entries;
    for (const Machine& machine : machines()) {
        std::string starts;
        for (const BasicStart& start : machine.starts) {
            if (!starts.empty())
                starts += ", ";
            starts += hex_address(start.address);
            if (!start.when.empty())
                starts.append(" ").append(start.when);
        }
        machine_entries.push_back(JsonObject()
                                      .string("name", machine.name)
                                      .string("description", machine.description)
                                      .string("starts", starts)
                                      .done());
    }
    return JsonObject()
        .string("version", version())
        .number("year", current_year())
        .number("max_line_number", MAX_LINE_NUMBER)
        .number("max_file_size", static_cast<long long>(MAX_FILE_SIZE))
        .string("default_machines", machines().front().name)
        .raw("machines", json_array(machine_entries))
        .done();
}

// The page offers a stamped file under the name the tool writes it to.
std::string destination_name(std::string_view source) {
    return default_destination(source);
}

std::string shown_text(std::span<const unsigned char> petscii) {
    return petscii_to_utf8(petscii, CONTROL_MARK);
}

// What the tool's -n accepts, in the page's own words.
LineNumber read_line_number(std::string_view typed) {
    const ParsedLineNumber parsed = parse_line_number(typed);
    if (parsed.outcome == LineNumberText::number)
        return {parsed.number, ""};
    if (parsed.outcome == LineNumberText::too_high)
        return {std::nullopt, describe(PassFailure::line_number_too_high, PassResult{})};
    return {std::nullopt, "A line number is a whole number from 0 to " + std::to_string(MAX_LINE_NUMBER) + "."};
}

Machines read_machines(std::string_view names) {
    if (names.empty())
        return {{}, "Choose at least one machine."};
    BasicStarts starts = basic_starts_of(names);
    if (starts.unknown_item)
        return {{}, "Unknown machine '" + *starts.unknown_item + "'."};
    return {std::move(starts.addresses), ""};
}

std::optional<std::vector<std::size_t>> read_kept(std::string_view indexes) {
    std::vector<std::size_t> kept;
    if (indexes.empty())
        return kept;
    for (;;) {
        const std::size_t comma = indexes.find(',');
        const std::string_view item = indexes.substr(0, comma);
        if (item.empty() || item.size() > 9 ||
            !std::all_of(item.begin(), item.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return std::nullopt;
        kept.push_back(static_cast<std::size_t>(std::stoul(std::string(item))));
        if (comma == std::string_view::npos)
            return kept;
        indexes.remove_prefix(comma + 1);
    }
}

std::string admit(std::string_view name, double size) {
    const std::optional<SourceName> source = source_for_name(name);
    if (source && (source->kind == SourceKind::zip || source->kind == SourceKind::gzip))
        return not_in_page(name, source->kind);
    const std::optional<Container> container = readable_container(name);
    if (!container)
        return refused(name, std::nullopt, judge_unknown_kind());
    if (!(size >= 0))
        return read_error(name, *container, EINVAL);
    if (size > static_cast<double>(MAX_FILE_SIZE))
        return read_error(name, *container, EFBIG);
    const int part = source->kind == SourceKind::zipcode ? disk_set_part_number(name) : 0;
    return JsonObject()
        .string("file", name)
        .string("kind", container_name(*container))
        .boolean("admitted", true)
        .raw("error", "null")
        .number("status", STATUS_SUCCESS)
        .raw("records", "null")
        .maybe_string("set", part != 0 ? std::optional(disk_set_part(name, 1)) : std::nullopt)
        .maybe_number("part", part != 0 ? std::optional<unsigned long long>(part) : std::nullopt)
        .done();
}

std::string read_failed(std::string_view name, std::string_view browser_error) {
    const std::optional<Container> container = readable_container(name);
    if (!container)
        return refused(name, std::nullopt, judge_unknown_kind());
    int code = EIO;
    if (browser_error == "NotFoundError")
        code = ENOENT;
    else if (browser_error == "SecurityError")
        code = EACCES;
    return read_error(name, *container, code);
}

std::string list(std::string_view name, std::span<unsigned char> bytes, const Choices& choices) {
    return report(name, bytes, choices, Job::list);
}

std::string check(std::string_view name, std::span<unsigned char> bytes, const Choices& choices) {
    return report(name, bytes, choices, Job::check);
}

std::string stamp(std::string_view name, std::span<unsigned char> bytes, const Choices& choices) {
    return report(name, bytes, choices, Job::stamp);
}

std::string list_set(const SetParts& set, const Choices& choices) {
    return set_report(set, choices, Job::list);
}

std::string check_set(const SetParts& set, const Choices& choices) {
    return set_report(set, choices, Job::check);
}

// The new set is every part of it, as mog -n N writes it beside the old one
// ("1!GAME.out" to "4!GAME.out"): the changed parts coded again, the others
// as they were.
std::string stamp_set(const SetParts& given, const Choices& choices, std::vector<unsigned char>& written) {
    written.clear();
    OpenedSet opened = open_set(given);
    if (opened.refusal)
        return *opened.refusal;
    Bytes disk = opened.set.disk;
    Answer answer = answer_for(given.name, opened.disk_kind, disk, choices, Job::stamp);
    std::vector<std::string> parts;
    if (answer.written) {
        const auto coded = rewrite_disk_set(opened.set, opened.parts, disk);
        const std::string destination = destination_name(given.name);
        for (std::size_t k = 0; k < coded.size(); ++k) {
            const std::span<const unsigned char> part =
                coded[k] ? std::span<const unsigned char>(*coded[k]) : opened.parts[k];
            written.insert(written.end(), part.begin(), part.end());
            parts.push_back(JsonObject()
                                .string("name", disk_set_part(destination, static_cast<int>(k + 1)))
                                .number("size", static_cast<long long>(part.size()))
                                .boolean("changed", coded[k].has_value())
                                .done());
        }
    }
    return answer.json.raw("parts", json_array(parts)).done();
}

} // namespace mog::page
