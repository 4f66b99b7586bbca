// The library for Python scripts: the native part of the package mog. It
// only calls the library; every decision about formats, words and statuses
// is the library's. Errors are raised as the classes of python/mog/__init__.py.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <mog/mog.h>
#include <mog/verdict.h>

namespace py = pybind11;

namespace {

// The one text the library has no words for: the tool's command line takes
// no negative number.
constexpr const char* LINE_NUMBER_BELOW_ZERO = "Line number below 0.";

// Text from the library or a file name, which may hold bytes that are no
// UTF-8, as Python shows file names (os.fsdecode).
py::str system_text(const std::string& text) {
    PyObject* decoded = PyUnicode_DecodeFSDefaultAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
    if (decoded == nullptr)
        throw py::error_already_set();
    return py::reinterpret_steal<py::str>(decoded);
}

// Raises the class of the package named, with the status the tool would end
// with and its message; an OSError subclass gets the errno value and the file
// name too.
[[noreturn]] void raise(const char* class_name, int status, const std::string& message, int code = 0,
                        const std::string* file = nullptr) {
    py::object type = py::module_::import("mog").attr(class_name);
    py::object error = code > 0 ? type(code, std::strerror(code), file != nullptr ? py::object(system_text(*file))
                                                                                   : py::object(py::none()))
                                : type(system_text(message));
    error.attr("status") = status;
    error.attr("message") = system_text(message);
    PyErr_SetObject(type.ptr(), error.ptr());
    throw py::error_already_set();
}

[[noreturn]] void raise_file_error(const mog::FileError& error) {
    const char* type = "Error";
    if (error.step == mog::FileStep::find || error.code == ENOENT)
        type = "NotFoundError";
    else if (error.code == EACCES || error.code == EPERM)
        type = "NoPermissionError";
    else if (error.code == EISDIR)
        type = "IsAFolderError";
    else if (error.code == EEXIST)
        type = "ExistsError";
    const bool os_error = std::strcmp(type, "Error") != 0;
    raise(type, mog::exit_status(error), mog::describe(error), os_error ? error.code : 0, &error.name);
}

[[noreturn]] void raise_pass_failure(const mog::PassResult& result) {
    raise("Error", mog::exit_status(result.failure), mog::describe(result.failure, result));
}

// A one-program file without its start line, and a P00 without its header,
// can still be read: a check fails on it and a change refuses it, as the
// tool does.
bool readable(mog::PassFailure failure) {
    return failure == mog::PassFailure::none || failure == mog::PassFailure::no_sys_token ||
           failure == mog::PassFailure::unexpected_load_address || failure == mog::PassFailure::not_p00;
}

// The BASIC starts of machines given as a comma-separated string or as an
// iterable of names, as --machine takes them.
std::vector<unsigned> basic_starts(const py::object& machines) {
    std::string list;
    if (py::isinstance<py::str>(machines)) {
        list = machines.cast<std::string>();
    } else {
        bool first = true;
        for (py::handle item : machines) {
            if (!first)
                list += ',';
            list += py::cast<std::string>(item);
            first = false;
        }
    }
    mog::BasicStarts starts = mog::basic_starts_of(list);
    if (starts.unknown_item)
        raise("Error", mog::STATUS_BAD_COMMAND_LINE, mog::describe(starts));
    return std::move(starts.addresses);
}

// The line number asked for: the current year when none is given.
unsigned line_number(const py::object& line) {
    if (line.is_none())
        return static_cast<unsigned>(mog::current_year());
    // Any integer, as int() would take it without loss; a float is refused.
    PyObject* index = PyNumber_Index(line.ptr());
    if (index == nullptr)
        throw py::error_already_set();
    const py::int_ number = py::reinterpret_steal<py::int_>(index);
    if (number < py::int_(0))
        raise("LineNumberError", mog::STATUS_BAD_COMMAND_LINE, LINE_NUMBER_BELOW_ZERO);
    if (number > py::int_(mog::MAX_LINE_NUMBER)) {
        mog::PassResult result;
        result.failure = mog::PassFailure::line_number_too_high;
        raise("LineNumberError", mog::exit_status(result.failure), mog::describe(result.failure, result));
    }
    return number.cast<unsigned>();
}

// One program as every front end shows it; the view's texts are its own
// copies, and its other strings the library's constants, so it stays whole
// when its container is gone.
using Program = mog::ProgramView;

py::tuple programs_of(const mog::PassResult& result, std::span<const unsigned char> bytes,
                      const std::vector<std::size_t>& positions) {
    py::tuple programs(positions.size());
    for (std::size_t k = 0; k < positions.size(); ++k)
        programs[k] = py::cast(mog::program_view(result.programs[positions[k]], bytes, false));
    return programs;
}

std::vector<std::size_t> every_position(const mog::PassResult& result) {
    std::vector<std::size_t> positions(result.programs.size());
    for (std::size_t k = 0; k < positions.size(); ++k)
        positions[k] = k;
    return positions;
}

// What a check says of a container: what mog --check -n N would.
struct CheckResult {
    int status = 0;
    bool passed = true;
    std::optional<std::string> why;
    py::tuple lacking;
    std::vector<std::string> warnings;
    std::vector<std::string> failing_warnings;
    bool no_start_line = false;
};

std::string optional_repr(const std::optional<std::string>& text) {
    return text ? py::repr(py::str(*text)).cast<std::string>() : "None";
}

// The bytes of the last container gone, kept for the next one to read into:
// a loop over many files then maps no new memory for each file, as the
// tool's batch keeps one buffer. Used only with the GIL held.
mog::Bytes& spare_bytes() {
    static auto* spare = new mog::Bytes(); // never freed: containers may go after the module's statics
    return *spare;
}

mog::Bytes take_spare_bytes() {
    return std::exchange(spare_bytes(), mog::Bytes());
}

void keep_spare_bytes(mog::Bytes&& bytes) {
    if (bytes.capacity() > spare_bytes().capacity())
        spare_bytes() = std::move(bytes);
}

// A container file's bytes, what kind it is, and its programs as listed
// for the machines given.
class Container {
  public:
    Container(Container&&) = default;
    Container& operator=(Container&&) = default;
    ~Container() { keep_spare_bytes(std::move(bytes_)); }

    Container(mog::Container container, mog::Bytes bytes, const py::object& machines)
        : container_(container), bytes_(std::move(bytes)) {
        std::vector<unsigned> starts = basic_starts(machines);
        mog::PassResult result = run_look(starts);
        if (!readable(result.failure))
            raise_pass_failure(result);
        programs_ = programs_of(result, bytes_, every_position(result));
        warnings_ = mog::judge(container_, result, mog::JobRules{}).warnings;
    }

    std::string kind() const { return std::string(mog::container_name(container_)); }
    const std::vector<std::string>& warnings() const { return warnings_; }
    py::tuple programs() const { return programs_; }
    py::bytes data() const { return py::bytes(reinterpret_cast<const char*>(bytes_.data()), bytes_.size()); }

    py::bytes stamp(const py::object& line, const py::object& machines, const py::object& programs) const {
        mog::PassRequest request;
        request.basic_starts = basic_starts(machines);
        const mog::Decision set{mog::Action::set, line_number(line)};
        std::set<std::size_t> chosen;
        if (programs.is_none()) {
            request.each = set;
        } else {
            const std::size_t count = py::len(programs_);
            for (py::handle item : programs) {
                const auto index = py::cast<long long>(item);
                if (index < 0 || static_cast<std::size_t>(index) >= count)
                    throw py::index_error("No program " + std::to_string(index) + " in this container (it has " +
                                          std::to_string(count) + ").");
                chosen.insert(static_cast<std::size_t>(index));
            }
            request.ask = [&chosen, set](const mog::ProgramRecord& record) {
                return chosen.count(record.index) != 0 ? set : mog::Decision{mog::Action::keep, 0};
            };
        }
        // The pass works on the new bytes object before anyone can see it.
        PyObject* copy = PyBytes_FromStringAndSize(reinterpret_cast<const char*>(bytes_.data()),
                                                   static_cast<Py_ssize_t>(bytes_.size()));
        if (copy == nullptr)
            throw py::error_already_set();
        py::bytes stamped = py::reinterpret_steal<py::bytes>(copy);
        std::span<unsigned char> bytes(reinterpret_cast<unsigned char*>(PyBytes_AS_STRING(copy)), bytes_.size());
        mog::PassResult result;
        {
            py::gil_scoped_release unlocked;
            result = mog::run_pass(container_, bytes, request);
        }
        if (result.failure != mog::PassFailure::none)
            raise_pass_failure(result);
        return stamped;
    }

    py::list lacking(const py::object& line, const py::object& machines) const {
        return py::list(check(line, machines, false).lacking);
    }

    CheckResult check(const py::object& line, const py::object& machines, bool start_line_optional) const {
        const std::vector<unsigned> starts = basic_starts(machines);
        mog::JobRules rules;
        rules.job = mog::Job::check;
        rules.line_number = line_number(line);
        rules.start_line_optional = start_line_optional;
        const mog::PassResult result = run_look(starts);
        const mog::Verdict verdict = mog::judge(container_, result, rules);
        CheckResult check;
        check.status = verdict.status;
        check.passed = !verdict.check_failed;
        if (!verdict.why.empty())
            check.why = verdict.why;
        check.lacking = programs_of(result, bytes_, verdict.lacking);
        check.warnings = verdict.warnings;
        check.failing_warnings = verdict.failing_warnings;
        check.no_start_line = verdict.no_start_line;
        return check;
    }

    std::string repr() const {
        const std::size_t count = py::len(programs_);
        return "<mog.Container " + kind() + ", " + std::to_string(bytes_.size()) + " bytes, " +
               std::to_string(count) + (count == 1 ? " program>" : " programs>");
    }

  private:
    // A pass that only looks changes no byte.
    mog::PassResult run_look(const std::vector<unsigned>& starts) const {
        mog::PassRequest request;
        request.basic_starts = starts;
        auto& bytes = const_cast<mog::Bytes&>(bytes_);
        py::gil_scoped_release unlocked;
        return mog::run_pass(container_, bytes, request);
    }

    mog::Container container_;
    mog::Bytes bytes_;
    std::vector<std::string> warnings_;
    py::tuple programs_;
};

// A path as the system's bytes: str, bytes or os.PathLike; one holding a
// NUL is refused as open() refuses it.
std::string path_bytes(const py::object& path) {
    std::string name = py::module_::import("os").attr("fsencode")(path).cast<std::string>();
    if (name.find('\0') != std::string::npos)
        throw py::value_error("embedded null byte");
    return name;
}

Container read_container(const py::object& path, const py::object& machines) {
    const std::string name = path_bytes(path);
    basic_starts(machines); // a bad list fails before the file is looked at, as on the command line
    std::optional<mog::Container> container = mog::container_for_name(name);
    if (!container)
        raise("Error", mog::STATUS_BAD_COMMAND_LINE, mog::describe_unknown_kind());
    mog::FileRead read;
    mog::Bytes reuse = take_spare_bytes();
    {
        py::gil_scoped_release unlocked;
        read = mog::read_file(name, std::move(reuse));
    }
    if (read.error) {
        keep_spare_bytes(std::move(read.bytes));
        raise_file_error(*read.error);
    }
    return Container(*container, std::move(read.bytes), machines);
}

Container from_bytes(const py::buffer& data, const std::string& kind, const py::object& machines) {
    basic_starts(machines);
    std::optional<mog::Container> container = mog::container_named(kind);
    if (!container)
        raise("Error", mog::STATUS_BAD_COMMAND_LINE, mog::describe_unknown_kind());
    const py::buffer_info view = data.request();
    if (!PyBuffer_IsContiguous(view.view(), 'C'))
        throw py::value_error("The bytes must lie in one piece.");
    mog::Bytes bytes = take_spare_bytes();
    bytes.resize(static_cast<std::size_t>(view.size * view.itemsize));
    if (!bytes.empty())
        std::memcpy(bytes.data(), view.ptr, bytes.size());
    return Container(*container, std::move(bytes), machines);
}

void write_bytes(const py::object& path, const py::buffer& data, bool replace) {
    const std::string name = path_bytes(path);
    const py::buffer_info view = data.request();
    if (!PyBuffer_IsContiguous(view.view(), 'C'))
        throw py::value_error("The bytes must lie in one piece.");
    std::span<const unsigned char> bytes(static_cast<const unsigned char*>(view.ptr),
                                         static_cast<std::size_t>(view.size * view.itemsize));
    std::optional<mog::FileError> error;
    {
        py::gil_scoped_release unlocked;
        error = mog::replace_file(name, bytes, replace);
    }
    if (error)
        raise_file_error(*error);
}

const char* const MACHINES_ARGUMENT =
    "machines: the machines whose BASIC start addresses count, as names (\"c64\", \"c128\", \"vic20\", \"plus4\",\n"
    "\"pet\", \"mega65\", \"all\") or one comma-separated string, as mog --machine takes them.";

} // namespace

PYBIND11_MODULE(_mog, module) {
    module.doc() = "The native part of the package mog; use the package.";
    module.attr("__version__") = mog::version();

    // The classes are named mog.Program and mog.Container, as the package
    // shows them, not after this module.
    module.attr("__name__") = "mog";

    py::class_<Program>(module, "Program",
                        "One program of a container, as `mog -v --json` records it. The fields are its copies:\n"
                        "a program stays whole when its container is gone.")
        .def_readonly("index", &Program::index, "Position in the container, from 0, in the order of its directory.")
        .def_readonly("name", &Program::name,
                      "The name as Unicode text without its padding; None when the container names no program\n"
                      "(a PRG file).")
        .def_property_readonly(
            "name_petscii",
            [](const Program& program) -> py::object {
                if (!program.name_petscii)
                    return py::none();
                return py::bytes(*program.name_petscii);
            },
            "The whole stored name field as PETSCII bytes, padding included; None when unnamed.")
        .def_readonly("type", &Program::type, "The file type: \"del\", \"seq\", \"prg\", \"usr\", \"rel\" or \"cbm\".")
        .def_readonly("load_address", &Program::load_address,
                      "The load address; None when the program's first bytes lie outside the file.")
        .def_readonly("start_line", &Program::start_line,
                      "True when the first BASIC line is SYS at an address where BASIC starts on the machines\n"
                      "the listing was made for.")
        .def_readonly("line", &Program::line, "The start line's number; None without a start line.")
        .def_readonly("text", &Program::text,
                      "The rest of the start line after SYS as Unicode text; None without a start line.")
        .def_readonly("machines", &Program::machines, "The names of the machines whose BASIC starts at the load address.")
        .def_readonly("archive", &Program::archive,
                      "\"sda\" for the stub of a self-dissolving archive, whose line number is data and is\n"
                      "never set; else None.")
        .def_readonly("settable", &Program::settable, "True for a start line whose number stamp() sets.")
        .def_readonly("not_settable", &Program::not_settable,
                      "Why the program's line number cannot be set, in the tool's words; None when it can.")
        .def_readonly("shares_with", &Program::shares_with,
                      "The index of an earlier directory entry that leads to the same start line, whose\n"
                      "number this one shares; None for the first or only one.")
        .def("__repr__", [](const Program& program) {
            return "<mog.Program " + std::to_string(program.index) + " " + optional_repr(program.name) + " line " +
                   (program.line ? std::to_string(*program.line) : std::string("None")) + ">";
        });

    py::class_<CheckResult>(module, "CheckResult",
                            "What `mog --check -n N` says of a container: its exit status and why, the programs\n"
                            "it names and the warnings that fail it.")
        .def_readonly("status", &CheckResult::status,
                      "The tool's exit status: 0 when the check passes, 4 when it fails.")
        .def_readonly("passed", &CheckResult::passed, "True when the check passes (status 0).")
        .def_readonly("why", &CheckResult::why,
                      "What the file's --json record gives as its error: \"No start line.\" for a file without\n"
                      "one, \"Not a P00 file!\" for a P00 without its header, the reason a PRG or P00 has no\n"
                      "start line; None otherwise.")
        .def_readonly("lacking", &CheckResult::lacking,
                      "The programs whose start line (not an archive's stub) lacks the number.")
        .def_readonly("warnings", &CheckResult::warnings, "Every warning, as Container.warnings.")
        .def_readonly("failing_warnings", &CheckResult::failing_warnings,
                      "The warnings that fail the check: the file may hold more than could be checked. An\n"
                      "image of a whole layout other than the standard one does not fail it.")
        .def_readonly("no_start_line", &CheckResult::no_start_line, "True when the file holds no start line.")
        .def("__repr__", [](const CheckResult& check) {
            return "<mog.CheckResult status " + std::to_string(check.status) + ", " +
                   std::to_string(py::len(check.lacking)) + " lacking" + (check.why ? ": " + *check.why : "") + ">";
        });

    py::class_<Container>(module, "Container",
                          "A container file's bytes (a PRG, P00, D64, D71, D81 or T64) and its programs.\n"
                          "Get one with mog.read(path) or Container.from_bytes(data, kind).")
        .def_static("from_bytes", &from_bytes, py::arg("data"), py::arg("kind"), py::kw_only(),
                    py::arg("machines") = py::make_tuple("c64"),
                    (std::string("A container from bytes in memory (bytes, bytearray, memoryview), which are copied.\n\n"
                                 "kind: \"prg\", \"p00\", \"d64\", \"d71\", \"d81\" or \"t64\" (letter case ignored).\n") +
                     MACHINES_ARGUMENT +
                     "\n\nRaises mog.Error: an unknown kind (status 1), an unknown machine (status 1).")
                        .c_str())
        .def_property_readonly("kind", &Container::kind, "\"prg\", \"p00\", \"d64\", \"d71\", \"d81\" or \"t64\".")
        .def_property_readonly("warnings", &Container::warnings,
                               "What the tool warns about, without \"WARNING: \" (a disk of an unusual size, a\n"
                               "broken directory, a tape without its signature).")
        .def_property_readonly("programs", &Container::programs, "The programs, in the order of the directory.")
        .def_property_readonly("data", &Container::data, "The container's bytes, as read.")
        .def("stamp", &Container::stamp, py::arg("line") = py::none(),
             py::arg("machines") = py::make_tuple("c64"), py::arg("programs") = py::none(),
             (std::string("The container's bytes with the start lines set, as a new bytes object; the container\n"
                          "stays as it is.\n\n"
                          "line: the number, 0 to 65535; the current year when None.\n") +
              MACHINES_ARGUMENT +
              "\nprograms: the indexes of the programs to set; every program when None.\n\n"
              "Only the two line-number bytes of each start line that changes differ; the stub of a\n"
              "self-dissolving archive is never set. Raises mog.LineNumberError for a line out of range,\n"
              "mog.Error for an unknown machine (status 1), a PRG or P00 without its start line or a P00\n"
              "without its header (status 2),\n"
              "IndexError for an index that names no program.")
                 .c_str())
        .def("lacking", &Container::lacking, py::arg("line") = py::none(),
             py::arg("machines") = py::make_tuple("c64"),
             (std::string("The programs whose start line (not an archive's stub) lacks the number: those that\n"
                          "`mog --check` names. A file without any start line lacks none, yet fails the check:\n"
                          "check() gives the tool's whole answer.\n\n"
                          "line: the number, 0 to 65535; the current year when None.\n") +
              MACHINES_ARGUMENT + "\n\nRaises mog.LineNumberError and mog.Error as stamp() does for its arguments.")
                 .c_str())
        .def("check", &Container::check, py::arg("line") = py::none(), py::arg("machines") = py::make_tuple("c64"),
             py::arg("start_line_optional") = false,
             (std::string("What `mog --check -n N` says of the container, as a mog.CheckResult: status 4 when a\n"
                          "start line lacks the number, when the file holds no start line (an empty disk, a PRG\n"
                          "without one, a P00 without its header) or when a warning tells that it may hold more\n"
                          "than could be checked; else 0.\n\n"
                          "line: the number, 0 to 65535; the current year when None.\n") +
              MACHINES_ARGUMENT +
              "\nstart_line_optional: a file without any start line passes (collections hold data too).\n\n"
              "Raises mog.LineNumberError and mog.Error as stamp() does for its arguments.")
                 .c_str())
        .def("__repr__", &Container::repr);

    module.attr("__name__") = "mog._mog";

    module.def("read", &read_container, py::arg("path"), py::kw_only(), py::arg("machines") = py::make_tuple("c64"),
               (std::string("Reads a container file under the tool's rules and lists its programs.\n\n"
                            "path: str, bytes or os.PathLike; its extension tells the kind (.prg, .p00 to .p99,\n"
                            ".d64, .d71, .d81, .t64, letter case ignored). Only a regular file of at most 16 MiB\n"
                            "is read.\n") +
                MACHINES_ARGUMENT +
                "\n\nRaises mog.NotFoundError (status 1), mog.IsAFolderError, mog.NoPermissionError,\n"
                "mog.Error for a device or a file over 16 MiB (status 3) or an unknown extension (status 1).\n"
                "A file of no start line is read, a P00 without its header as one of no programs: check()\n"
                "fails it and stamp() refuses it, as the tool does.")
                   .c_str());
    module.def("write", &write_bytes, py::arg("path"), py::arg("data"), py::arg("replace") = false,
               "Writes the bytes durably: to a new file beside the name, flushed, then renamed over it.\n\n"
               "Without replace, anything at the name stays and mog.ExistsError (a FileExistsError) is\n"
               "raised. With it, an existing file keeps its permission bits and a symbolic link is written\n"
               "through to its target; a folder, a device or a FIFO there is refused (mog.Error, status 3).");
}
