#include "page_api.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <mog/mog.h>

#include "mog/names.h"

namespace mog::page {

namespace {

// What the page shows in place of a control code, as mog --unicode does.
constexpr char32_t CONTROL_MARK = 0x00B7;

// One JSON object, member by member; keys are plain ASCII.
class Object {
  public:
    Object& raw(const char* key, std::string_view json) {
        text_ += text_.size() > 1 ? ",\"" : "\"";
        text_ += key;
        text_ += "\":";
        text_ += json;
        return *this;
    }
    Object& string(const char* key, std::string_view value) { return raw(key, json_string(value)); }
    Object& maybe_string(const char* key, const std::optional<std::string>& value) {
        return value ? string(key, *value) : raw(key, "null");
    }
    Object& number(const char* key, unsigned long long value) { return raw(key, std::to_string(value)); }
    Object& maybe_number(const char* key, std::optional<unsigned long long> value) {
        return value ? number(key, *value) : raw(key, "null");
    }
    Object& boolean(const char* key, bool value) { return raw(key, value ? "true" : "false"); }
    std::string done() const { return text_ + "}"; }

  private:
    std::string text_ = "{";
};

std::string json_array(const std::vector<std::string>& items_json) {
    std::string text = "[";
    for (const std::string& item : items_json)
        text += (text.size() > 1 ? "," : "") + item;
    return text + "]";
}

std::string string_array(const std::vector<std::string>& items) {
    std::vector<std::string> quoted;
    for (const std::string& item : items)
        quoted.push_back(json_string(item));
    return json_array(quoted);
}

std::string hex_address(unsigned address) {
    char text[8];
    std::snprintf(text, sizeof text, "$%04X", address & 0xFFFFu);
    return text;
}

// What a file the tool does not get as far as walking says: the members of
// admit's answer. The records are the file's record alone, as the tool
// writes it for a file it could not read, or nothing for a name of no kind.
std::string refused(std::string_view name, const std::optional<Container>& container, const std::string& error,
                    int status) {
    std::optional<std::string> records;
    if (container) {
        FileFacts facts;
        facts.file = name;
        facts.container = container;
        facts.error = error;
        facts.status = status;
        records = file_record(facts, PassResult{}) + "\n";
    }
    return Object()
        .string("file", name)
        .maybe_string("kind", container ? std::optional(std::string(container_name(*container))) : std::nullopt)
        .boolean("admitted", false)
        .string("error", error)
        .number("status", static_cast<unsigned long long>(status))
        .maybe_string("records", records)
        .done();
}

std::string read_error(std::string_view name, const Container& container, int code) {
    const FileError error{FileStep::read, code, std::string(name)};
    return refused(name, container, describe(error), exit_status(error));
}

std::vector<std::string> warnings_of(const PassResult& result, const Container& container) {
    std::vector<std::string> warnings;
    for (const Notice& notice : result.notices)
        if (std::string words = describe(notice, container); !words.empty())
            warnings.push_back(std::move(words));
    return warnings;
}

// Why a program's start line cannot be set, in the tool's words where it
// has them.
std::string reason_not_settable(const ProgramRecord& program) {
    if (program.archive == Archive::sda)
        return "Self-dissolving archive: its line number tells where the archive starts, so it is kept.";
    if (!program.has_load_address)
        return "Its first bytes lie outside the file.";
    if (!program.sys_token)
        return describe(PassFailure::no_sys_token, PassResult{});
    PassResult alone;
    alone.programs.push_back(program);
    std::string reason = describe(PassFailure::unexpected_load_address, alone);
    const std::vector<std::string_view> machines = machines_starting_at(program.load_address);
    for (std::size_t i = 0; i < machines.size(); ++i)
        reason.append(i == 0 ? " BASIC starts there on: " : ", ").append(machines[i]);
    return machines.empty() ? reason : reason + ".";
}

std::string program_entry(const ProgramRecord& program, std::span<const unsigned char> bytes,
                          const std::optional<unsigned>& line_number) {
    std::optional<std::string> name;
    if (program.named)
        name = shown_text(program.unpadded_name());
    std::optional<std::string> text;
    if (program.start_line && program.text_offset <= bytes.size())
        text = "SYS" + shown_text(bytes.subspan(program.text_offset)
                                      .first(std::min(program.text_size, bytes.size() - program.text_offset)));
    std::optional<std::string> check;
    if (line_number && program.settable() && program.line != *line_number)
        check = "has line " + std::to_string(program.line) + ", not " + std::to_string(*line_number) + '.';
    return Object()
        .number("index", program.index)
        .maybe_string("name", name)
        .string("type", file_type_name(program.file_type))
        .maybe_string("load_address",
                      program.has_load_address ? std::optional(hex_address(program.load_address)) : std::nullopt)
        .maybe_number("line", program.start_line ? std::optional<unsigned long long>(program.line) : std::nullopt)
        .maybe_string("text", text)
        .boolean("settable", program.settable())
        .maybe_string("reason", program.settable() ? std::nullopt : std::optional(reason_not_settable(program)))
        .maybe_string("check", check)
        .maybe_number("new_line",
                      program.changed() ? std::optional<unsigned long long>(program.new_line) : std::nullopt)
        .done();
}

// What mog -v --json prints for the file: its programs, then the file.
std::string view_records(std::string_view name, const Container& container, std::span<const unsigned char> bytes,
                         const PassResult& result) {
    std::string lines;
    for (const ProgramRecord& program : result.programs)
        lines += program_record(name, program, bytes, false) + "\n";
    FileFacts facts;
    facts.file = name;
    facts.container = container;
    facts.size = bytes.size();
    facts.crc32 = crc32_text(bytes);
    facts.sha1 = sha1_text(bytes);
    facts.warnings = warnings_of(result, container);
    if (result.failure != PassFailure::none)
        facts.error = describe(result.failure, result);
    facts.status = exit_status(result.failure);
    return lines + file_record(facts, result) + "\n";
}

std::string report(std::string_view name, std::span<unsigned char> bytes, const Choices& choices, bool stamping) {
    const std::optional<Container> container = container_for_name(name);
    if (!container)
        return refused(name, std::nullopt, describe_unknown_kind(), STATUS_BAD_COMMAND_LINE);
    const Machines machines = read_machines(choices.machines);
    const LineNumber line = read_line_number(choices.line_number);
    const std::optional<std::vector<std::size_t>> kept = read_kept(choices.kept);

    // What keeps a stamp from being made, as the tool refuses such a command line.
    std::optional<std::string> refusal;
    if (!machines.error.empty())
        refusal = machines.error;
    else if (stamping && !line.number)
        refusal = line.error;
    else if (stamping && !kept)
        refusal = "The list of programs to keep is malformed.";

    PassRequest request;
    request.basic_starts = machines.basic_starts;
    if (stamping && !refusal)
        request.ask = [&](const ProgramRecord& program) {
            if (std::find(kept->begin(), kept->end(), program.index) != kept->end())
                return Decision{Action::keep, 0};
            return Decision{Action::set, *line.number};
        };
    const PassResult result = run_pass(*container, bytes, request);

    std::optional<std::string> error = refusal;
    int status = refusal ? STATUS_BAD_COMMAND_LINE : exit_status(result.failure);
    if (!refusal && result.failure != PassFailure::none)
        error = describe(result.failure, result);

    std::vector<std::string> programs;
    std::size_t lacking = 0;
    for (const ProgramRecord& program : result.programs) {
        programs.push_back(program_entry(program, bytes, line.number));
        lacking += line.number && program.settable() && program.line != *line.number ? 1 : 0;
    }
    Object answer;
    answer.string("file", name)
        .string("kind", container_name(*container))
        .number("size", bytes.size())
        .maybe_string("error", error)
        .number("status", static_cast<unsigned long long>(status))
        .raw("warnings", string_array(warnings_of(result, *container)))
        .maybe_number("line_number", line.number ? std::optional<unsigned long long>(*line.number) : std::nullopt)
        .maybe_string("line_error", line.number ? std::nullopt : std::optional(line.error))
        .maybe_string("machines_error", machines.error.empty() ? std::nullopt : std::optional(machines.error))
        .maybe_number("lacking", line.number ? std::optional<unsigned long long>(lacking) : std::nullopt)
        .raw("programs", json_array(programs));
    if (stamping) {
        const bool made = !error.has_value();
        answer.maybe_string("destination", made ? std::optional(destination_name(name)) : std::nullopt)
            .number("changed", made ? result.changed() : 0)
            .raw("records", "null");
    } else {
        answer.maybe_string("records", machines.error.empty()
                                           ? std::optional(view_records(name, *container, bytes, result))
                                           : std::nullopt);
    }
    return answer.done();
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
        machine_entries.push_back(Object()
                                      .string("name", machine.name)
                                      .string("description", machine.description)
                                      .string("starts", starts)
                                      .done());
    }
    return Object()
        .string("version", version())
        .number("year", static_cast<unsigned long long>(current_year()))
        .number("max_line_number", MAX_LINE_NUMBER)
        .number("max_file_size", MAX_FILE_SIZE)
        .string("default_machines", machines().front().name)
        .raw("machines", json_array(machine_entries))
        .done();
}

// The page offers a stamped file under the name the tool writes it to.
std::string destination_name(std::string_view source) {
    return default_destination(source);
}

std::string shown_text(std::span<const unsigned char> petscii) {
    std::string text;
    for (unsigned char byte : petscii)
        append_utf8(text, is_petscii_control(byte) ? CONTROL_MARK : petscii_to_unicode(byte));
    return text;
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
    const std::optional<Container> container = container_for_name(name);
    if (!container)
        return refused(name, std::nullopt, describe_unknown_kind(), STATUS_BAD_COMMAND_LINE);
    if (!(size >= 0))
        return read_error(name, *container, EINVAL);
    if (size > static_cast<double>(MAX_FILE_SIZE))
        return read_error(name, *container, EFBIG);
    return Object()
        .string("file", name)
        .string("kind", container_name(*container))
        .boolean("admitted", true)
        .raw("error", "null")
        .number("status", static_cast<unsigned long long>(STATUS_SUCCESS))
        .raw("records", "null")
        .done();
}

std::string read_failed(std::string_view name, std::string_view browser_error) {
    const std::optional<Container> container = container_for_name(name);
    if (!container)
        return refused(name, std::nullopt, describe_unknown_kind(), STATUS_BAD_COMMAND_LINE);
    int code = EIO;
    if (browser_error == "NotFoundError")
        code = ENOENT;
    else if (browser_error == "SecurityError")
        code = EACCES;
    return read_error(name, *container, code);
}

std::string list(std::string_view name, std::span<unsigned char> bytes, const Choices& choices) {
    return report(name, bytes, choices, false);
}

std::string stamp(std::string_view name, std::span<unsigned char> bytes, const Choices& choices) {
    return report(name, bytes, choices, true);
}

} // namespace mog::page
