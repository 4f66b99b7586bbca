// The library for Python scripts: the native part of the package mog. It
// only calls the library; every decision about formats, words and statuses
// is the library's. Errors are raised as the classes of python/mog/__init__.py.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
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
           failure == mog::PassFailure::unexpected_load_address || failure == mog::PassFailure::not_p00 ||
           failure == mog::PassFailure::not_lynx;
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

// What a member of an archive brings from it: its name, what the tool says
// of it beside its own walk's notices (why it is kept as it is; the first
// member also the archive's own), and whether it is kept.
struct Membership {
    std::optional<std::string> name; // none for a container read on its own
    std::vector<mog::Notice> notices;
    std::optional<mog::Notice> problem; // kept as it is: looked at, never changed
};

// A container file's bytes, what kind it is, and its programs as listed
// for the machines given; or a member of an archive, listed as the tool
// lists it.
class Container {
  public:
    Container(Container&&) = default;
    Container& operator=(Container&&) = default;
    ~Container() { keep_spare_bytes(std::move(bytes_)); }

    Container(mog::Container container, mog::Bytes bytes, const py::object& machines, Membership membership = {})
        : container_(container), bytes_(std::move(bytes)), membership_(std::move(membership)) {
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
    const mog::Container& container() const { return container_; }
    const mog::Bytes& bytes() const { return bytes_; }
    bool kept() const { return membership_.problem.has_value(); }
    const std::optional<std::string>& member_name() const { return membership_.name; }

    py::object member() const { return membership_.name ? py::object(system_text(*membership_.name)) : py::none(); }
    std::optional<std::string> problem() const {
        if (!membership_.problem)
            return std::nullopt;
        return mog::describe(*membership_.problem, container_);
    }

    py::bytes stamp(const py::object& line, const py::object& machines, const py::object& programs) const {
        mog::PassRequest request;
        request.basic_starts = basic_starts(machines);
        const mog::Decision set{mog::Action::set, line_number(line)};
        // A member kept as it is goes into the archive unchanged.
        if (kept())
            return data();
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
        const std::string named =
            membership_.name ? " member " + py::repr(member()).cast<std::string>() : std::string();
        return "<mog.Container " + kind() + named + ", " + std::to_string(bytes_.size()) + " bytes, " +
               std::to_string(count) + (count == 1 ? " program>" : " programs>");
    }

  private:
    // A member whose content could not be had is not walked.
    bool unread() const { return kept() && bytes_.empty(); }

    // A pass that only looks changes no byte. A member's notices from its
    // archive come first.
    mog::PassResult run_look(const std::vector<unsigned>& starts) const {
        mog::PassResult result;
        if (!unread()) {
            mog::PassRequest request;
            request.basic_starts = starts;
            auto& bytes = const_cast<mog::Bytes&>(bytes_);
            py::gil_scoped_release unlocked;
            result = mog::run_pass(container_, bytes, request);
        }
        result.notices.insert(result.notices.begin(), membership_.notices.begin(), membership_.notices.end());
        return result;
    }

    mog::Container container_;
    mog::Bytes bytes_;
    Membership membership_;
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

// A file's bytes as read, or the tool's error raised.
mog::Bytes read_whole(const std::string& name) {
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
    return std::move(read.bytes);
}

py::bytes bytes_object(std::span<const unsigned char> bytes) {
    return py::bytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// True for a member the tool passes over inside an archive: a file that
// only looks like its kind (a .p00 without its header, a .lnx that is no
// Lynx archive).
bool other_kind(const mog::Container& container, mog::Bytes& bytes) {
    const mog::ProgramWalk walk = mog::start_program_walk(container, bytes);
    return std::any_of(walk.notices().begin(), walk.notices().end(), [](const mog::Notice& notice) {
        return notice.kind == mog::NoticeKind::not_p00 || notice.kind == mog::NoticeKind::not_lynx;
    });
}

// A zip of container files or a gzip of one: its members of the kinds mog
// reads, each a Container, and the archive written back around new ones.
class Archive {
  public:
    Archive(std::string name, mog::SourceKind kind, mog::Bytes bytes, const py::object& machines)
        : name_(std::move(name)), bytes_(std::move(bytes)) {
        {
            py::gil_scoped_release unlocked;
            opened_ = mog::open_archive(kind, name_, bytes_);
        }
        if (opened_.error != 0)
            raise_file_error(mog::FileError{mog::FileStep::read, opened_.error, name_});
        for (const mog::Notice& notice : opened_.notices)
            warnings_.push_back(mog::describe(notice, mog::Container{}));
        // As the tool lists them: the archive's notices go with its first
        // member, and each member's problem with it.
        py::list members;
        for (std::size_t k = 0; k < opened_.members.size(); ++k) {
            mog::ArchiveMember& member = opened_.members[k];
            Membership membership{member.name, k == 0 ? opened_.notices : std::vector<mog::Notice>(), member.problem};
            if (member.problem)
                membership.notices.push_back(*member.problem);
            const bool unread = member.problem && member.bytes.empty();
            if (!unread && other_kind(member.container, member.bytes))
                continue;
            members.append(
                py::cast(Container(member.container, std::move(member.bytes), machines, std::move(membership))));
            positions_.push_back(k);
        }
        members_ = py::tuple(members);
    }

    std::string kind() const { return opened_.kind == mog::SourceKind::gzip ? "gzip" : "zip"; }
    py::tuple members() const { return members_; }
    const std::vector<std::string>& warnings() const { return warnings_; }
    py::bytes data() const { return bytes_object(bytes_); }

    // The member of the name, or None.
    py::object member_named(const std::string& name) const {
        for (py::handle member : members_)
            if (member.cast<const Container&>().member_name() == name)
                return py::reinterpret_borrow<py::object>(member);
        return py::none();
    }

    py::bytes stamp(const py::object& line, const py::object& machines, const py::object& chosen) const {
        mog::PassRequest request;
        request.basic_starts = basic_starts(machines);
        request.each = mog::Decision{mog::Action::set, line_number(line)};
        const std::set<std::size_t> picked = chosen_members(chosen);
        // Only members whose start lines change get new content.
        std::vector<mog::Bytes> stamped;
        stamped.reserve(picked.size()); // the contents' spans stay in place
        std::vector<mog::MemberContent> contents;
        for (std::size_t k : picked) {
            const Container& member = members_[k].cast<const Container&>();
            if (member.kept())
                continue;
            mog::Bytes bytes = member.bytes();
            mog::PassResult result;
            {
                py::gil_scoped_release unlocked;
                result = mog::run_pass(member.container(), bytes, request);
            }
            if (result.changed() == 0)
                continue;
            stamped.push_back(std::move(bytes));
            contents.push_back({positions_[k], stamped.back()});
        }
        if (contents.empty())
            return data();
        mog::Bytes out;
        int error = 0;
        {
            py::gil_scoped_release unlocked;
            error = mog::rewrite_archive(opened_, bytes_, contents, out);
        }
        if (error != 0)
            raise_file_error(mog::FileError{mog::FileStep::write, error, name_});
        return bytes_object(out);
    }

    std::string repr() const {
        const std::size_t count = py::len(members_);
        return "<mog.Archive " + kind() + ", " + std::to_string(bytes_.size()) + " bytes, " + std::to_string(count) +
               (count == 1 ? " member>" : " members>");
    }

  private:
    // Members given by their position in members or by name; every one for None.
    std::set<std::size_t> chosen_members(const py::object& chosen) const {
        const std::size_t count = py::len(members_);
        std::set<std::size_t> picked;
        if (chosen.is_none()) {
            for (std::size_t k = 0; k < count; ++k)
                picked.insert(k);
            return picked;
        }
        for (py::handle item : chosen) {
            if (py::isinstance<py::str>(item)) {
                std::size_t k = 0;
                while (k < count &&
                       !members_[k].cast<const Container&>().member().equal(py::reinterpret_borrow<py::object>(item)))
                    ++k;
                if (k == count)
                    throw py::key_error("No member " + py::repr(item).cast<std::string>() + " in this archive.");
                picked.insert(k);
                continue;
            }
            const auto index = py::cast<long long>(item);
            if (index < 0 || static_cast<std::size_t>(index) >= count)
                throw py::index_error("No member " + std::to_string(index) + " in this archive (it has " +
                                      std::to_string(count) + ").");
            picked.insert(static_cast<std::size_t>(index));
        }
        return picked;
    }

    std::string name_;
    mog::Bytes bytes_;
    mog::OpenedArchive opened_; // its members' bytes went to their Containers
    py::tuple members_;
    std::vector<std::size_t> positions_; // each member's place among opened_'s
    std::vector<std::string> warnings_;
};

// A Zip-Code set: the four files 1!NAME to 4!NAME and the disk they hold.
class ZipcodeSet {
  public:
    ZipcodeSet(const std::string& name, mog::Container d64, const py::object& machines) {
        // The part named is read first, as the tool reads it.
        const int named = mog::disk_set_part_number(name);
        parts_[static_cast<std::size_t>(named - 1)] = read_whole(name);
        for (int part = 1; part <= 4; ++part) {
            const auto at = static_cast<std::size_t>(part - 1);
            names_[at] = mog::disk_set_part(name, part);
            if (part != named)
                parts_[at] = read_whole(names_[at]);
        }
        {
            py::gil_scoped_release unlocked;
            set_ = mog::open_disk_set(spans(), names_);
        }
        if (!set_.error.empty())
            raise("Error", mog::STATUS_FILE_ERROR, set_.error);
        disk_ = py::cast(Container(d64, std::move(set_.disk), machines));
    }

    const Container& disk() const { return disk_.cast<const Container&>(); }
    py::object disk_object() const { return disk_; }

    py::tuple parts() const {
        py::tuple names(names_.size());
        for (std::size_t k = 0; k < names_.size(); ++k)
            names[k] = system_text(names_[k]);
        return names;
    }

    // The parts the new disk changes, by their paths, with their new bytes.
    py::dict stamp(const py::object& line, const py::object& machines, const py::object& programs) const {
        const py::bytes stamped = disk().stamp(line, machines, programs);
        const std::span<const unsigned char> bytes(
            reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(stamped.ptr())),
            static_cast<std::size_t>(PyBytes_GET_SIZE(stamped.ptr())));
        std::array<std::optional<mog::Bytes>, 4> coded;
        {
            py::gil_scoped_release unlocked;
            coded = mog::rewrite_disk_set(set_, spans(), bytes);
        }
        py::dict changed;
        for (std::size_t k = 0; k < coded.size(); ++k)
            if (coded[k])
                changed[system_text(names_[k])] = bytes_object(*coded[k]);
        return changed;
    }

    std::string repr() const {
        const std::size_t count = py::len(disk().programs());
        return "<mog.DiskSet " + py::repr(system_text(names_[0])).cast<std::string>() + " to " +
               py::repr(system_text(names_[3])).cast<std::string>() + ", " + std::to_string(count) +
               (count == 1 ? " program>" : " programs>");
    }

  private:
    mog::DiskSetParts spans() const {
        mog::DiskSetParts spans;
        for (std::size_t k = 0; k < spans.size(); ++k)
            spans[k] = parts_[k];
        return spans;
    }

    std::array<mog::Bytes, 4> parts_;
    std::array<std::string, 4> names_;
    mog::DiskSet set_; // its disk went to the Container
    py::object disk_;
};

// "archive.zip!inner/name.d64": the archive's path and the member's name,
// for a path that goes into a zip or a gzip.
std::optional<std::pair<std::string, std::string>> member_of(const std::string& name) {
    for (std::size_t bang = name.find('!'); bang != std::string::npos; bang = name.find('!', bang + 1)) {
        const std::optional<mog::SourceName> source = mog::source_for_name(std::string_view(name).substr(0, bang));
        if (source && (source->kind == mog::SourceKind::zip || source->kind == mog::SourceKind::gzip))
            return std::pair(name.substr(0, bang), name.substr(bang + 1));
    }
    return std::nullopt;
}

py::object read_path(const py::object& path, const py::object& machines) {
    const std::string name = path_bytes(path);
    basic_starts(machines); // a bad list fails before the file is looked at, as on the command line
    if (const auto member = member_of(name)) {
        const Archive archive(member->first, mog::source_for_name(member->first)->kind, read_whole(member->first),
                              machines);
        py::object found = archive.member_named(member->second);
        if (found.is_none())
            raise_file_error(mog::FileError{mog::FileStep::find, ENOENT, name});
        return found;
    }
    const std::optional<mog::SourceName> source = mog::source_for_name(name);
    if (!source)
        raise("Error", mog::STATUS_BAD_COMMAND_LINE, mog::describe_unknown_kind());
    switch (source->kind) {
    case mog::SourceKind::zip:
    case mog::SourceKind::gzip:
        return py::cast(Archive(name, source->kind, read_whole(name), machines));
    case mog::SourceKind::zipcode:
        return py::cast(ZipcodeSet(name, *source->container, machines));
    case mog::SourceKind::container:
        break;
    }
    return py::cast(Container(*source->container, read_whole(name), machines));
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
                          "A container file's bytes (a PRG, P00, D64, D71, D81, T64 or Lynx archive) and its\n"
                          "programs, or a member of a zip or gzip (see mog.Archive). Get one with mog.read(path)\n"
                          "or Container.from_bytes(data, kind).")
        .def_static("from_bytes", &from_bytes, py::arg("data"), py::arg("kind"), py::kw_only(),
                    py::arg("machines") = py::make_tuple("c64"),
                    (std::string("A container from bytes in memory (bytes, bytearray, memoryview), which are copied.\n\n"
                                 "kind: \"prg\", \"p00\", \"d64\", \"d71\", \"d81\", \"t64\" or \"lnx\" (letter case\n"
                                 "ignored).\n") +
                     MACHINES_ARGUMENT +
                     "\n\nRaises mog.Error: an unknown kind (status 1), an unknown machine (status 1).")
                        .c_str())
        .def_property_readonly("kind", &Container::kind,
                               "\"prg\", \"p00\", \"d64\", \"d71\", \"d81\", \"t64\" or \"lnx\".")
        .def_property_readonly("member", &Container::member,
                               "The member's name within its zip or gzip (\"disks/game.d64\"), as the records'\n"
                               "\"member\"; None for a container read on its own.")
        .def_property_readonly("problem", &Container::problem,
                               "Why a member is kept as it is, among its warnings (\"Encrypted: kept as it is.\");\n"
                               "None otherwise. Such a member's stamp() gives its data unchanged, and its check\n"
                               "fails.")
        .def_property_readonly("warnings", &Container::warnings,
                               "What the tool warns about, without \"WARNING: \" (a disk of an unusual size, a\n"
                               "broken directory, a tape without its signature); a member's problem, and on an\n"
                               "archive's first member the archive's own warnings, as the tool's records give them.")
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

    py::class_<Archive>(module, "Archive",
                        "A zip of container files or a gzip of one, from mog.read(path). Its members are the\n"
                        "files inside it of a kind mog reads, each a mog.Container with its own programs, as\n"
                        "`mog -v --json` lists them; other files, and files that only look like their kind,\n"
                        "are passed over.")
        .def_property_readonly("kind", &Archive::kind, "\"zip\" or \"gzip\".")
        .def_property_readonly("members", &Archive::members,
                               "The members, in the archive's order, each a mog.Container whose `member` is its\n"
                               "name inside the archive; a gzip's one member is named as the archive less \".gz\".")
        .def_property_readonly("warnings", &Archive::warnings,
                               "What the tool warns about the archive as a whole (more members than are read).")
        .def_property_readonly("data", &Archive::data, "The archive's bytes, as read.")
        .def("stamp", &Archive::stamp, py::arg("line") = py::none(), py::arg("machines") = py::make_tuple("c64"),
             py::arg("members") = py::none(),
             (std::string("The archive's bytes with its members' start lines set, as `mog -n` writes them.\n\n"
                          "line: the number, 0 to 65535; the current year when None.\n") +
              MACHINES_ARGUMENT +
              "\nmembers: the members to set, by position in members or by name; every one when None.\n\n"
              "Only a member whose start lines change gets new content, compressed again with its own\n"
              "method; every other byte stays, and a member with a problem is kept as it is. With no\n"
              "start line to change the archive's bytes come back unchanged. A member's failure (a PRG\n"
              "without its start line) leaves that member as it is. Raises mog.LineNumberError and\n"
              "mog.Error as Container.stamp() does for its arguments, IndexError or KeyError for a member\n"
              "that is not there.")
                 .c_str())
        .def("__repr__", &Archive::repr);

    py::class_<ZipcodeSet>(module, "DiskSet",
                           "A Zip-Code set, from mog.read(path) with the name of any of its parts: one D64 disk\n"
                           "in four files 1!NAME to 4!NAME. It lists, checks and stamps as the disk it holds.")
        .def_property_readonly("kind", [](const ZipcodeSet&) { return "zipcode"; }, "\"zipcode\".")
        .def_property_readonly("parts", &ZipcodeSet::parts, "The paths of its four parts, part 1 first.")
        .def_property_readonly("disk", &ZipcodeSet::disk_object,
                               "The disk it holds, as a mog.Container of kind \"d64\": its stamp() gives a\n"
                               "D64 file.")
        .def_property_readonly(
            "programs", [](const ZipcodeSet& set) { return set.disk().programs(); }, "The disk's programs.")
        .def_property_readonly(
            "warnings", [](const ZipcodeSet& set) { return set.disk().warnings(); }, "The disk's warnings.")
        .def("stamp", &ZipcodeSet::stamp, py::arg("line") = py::none(), py::arg("machines") = py::make_tuple("c64"),
             py::arg("programs") = py::none(),
             "The parts that change with the disk's start lines set, as {path: bytes}: only the\n"
             "records of the sectors that change are coded again, and a part with none is left out,\n"
             "as `mog --in-place -n` replaces only those. Write them back with\n\n"
             "    for path, data in disk_set.stamp(2026).items():\n"
             "        mog.write(path, data, replace=True)\n\n"
             "The arguments, and what is raised, are those of Container.stamp().")
        .def(
            "lacking",
            [](const ZipcodeSet& set, const py::object& line, const py::object& machines) {
                return set.disk().lacking(line, machines);
            },
            py::arg("line") = py::none(), py::arg("machines") = py::make_tuple("c64"),
            "The disk's programs whose start line lacks the number, as Container.lacking().")
        .def(
            "check",
            [](const ZipcodeSet& set, const py::object& line, const py::object& machines, bool optional) {
                return set.disk().check(line, machines, optional);
            },
            py::arg("line") = py::none(), py::arg("machines") = py::make_tuple("c64"),
            py::arg("start_line_optional") = false,
            "What `mog --check -n N` says of the set, as Container.check() says of its disk.")
        .def("__repr__", &ZipcodeSet::repr);

    module.attr("__name__") = "mog._mog";

    module.def("read", &read_path, py::arg("path"), py::kw_only(), py::arg("machines") = py::make_tuple("c64"),
               (std::string("Reads a file under the tool's rules and lists its programs.\n\n"
                            "path: str, bytes or os.PathLike; its name tells what it is, letter case ignored:\n"
                            "- a container, by its extension (.prg, .p00 to .p99, .d64, .d71, .d81, .t64, .lnx):\n"
                            "  a mog.Container;\n"
                            "- a zip (.zip) or a gzip of one container (game.d64.gz): a mog.Archive;\n"
                            "- a member of one, as the tool names it (\"demo.zip!disks/demo.d64\"): that member's\n"
                            "  mog.Container;\n"
                            "- a part of a Zip-Code set (\"3!GAME\", no other kind's name): a mog.DiskSet, its\n"
                            "  other parts read beside it.\n"
                            "Only regular files of at most 16 MiB are read.\n") +
                MACHINES_ARGUMENT +
                "\n\nRaises mog.NotFoundError (status 1; also for a member that is not in the archive, or a\n"
                "part of the set that is missing), mog.IsAFolderError, mog.NoPermissionError, mog.Error for a\n"
                "device or a file over 16 MiB, an archive or set that cannot be read (status 3) or an\n"
                "unknown extension (status 1). A file of no start line is read, a P00 without its header\n"
                "or a .lnx without the Lynx signature as one of no programs: check() fails it and stamp()\n"
                "refuses it, as the tool does.")
                   .c_str());
    module.def("write", &write_bytes, py::arg("path"), py::arg("data"), py::arg("replace") = false,
               "Writes the bytes durably: to a new file beside the name, flushed, then renamed over it.\n\n"
               "Without replace, anything at the name stays and mog.ExistsError (a FileExistsError) is\n"
               "raised. With it, an existing file keeps its permission bits and a symbolic link is written\n"
               "through to its target; a folder, a device or a FIFO there is refused (mog.Error, status 3).");
}
