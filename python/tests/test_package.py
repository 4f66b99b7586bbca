"""The package itself: its version, its types and help, programs that
outlive their container, and the build's generated files."""

import ast
import gc
import os
import pydoc
import shutil
import subprocess
import sys
import weakref
from pathlib import Path

import mog
import pytest
from conftest import FILES, REPO, program_fields, run_tool

sys.path.insert(0, str(REPO / "python"))
import build_sources  # noqa: E402


def test_version_is_the_tool_s():
    version = subprocess.run([os.environ.get("MOG_BINARY", REPO / "build/release/mog"), "--version"],
                             capture_output=True, text=True).stdout.split()
    assert version == ["mog", mog.__version__]
    assert mog.__version__ == ".".join(build_sources.project_version(REPO))


@pytest.mark.parametrize("path", FILES[:4], ids=lambda p: p.name)
def test_programs_outlive_their_container(path):
    container = mog.read(path)
    expected = [program_fields(p) for p in container.programs]
    programs, lacking = container.programs, container.lacking(1999)
    lacking_expected = [program_fields(p) for p in lacking]
    gone = weakref.ref(container)
    del container
    gc.collect()
    assert gone() is None  # the programs do not keep it alive
    # Other containers take the memory it had.
    others = [mog.Container.from_bytes(bytes([i]) * len(path.read_bytes()), path.suffix[1:]) for i in range(8)]
    assert [program_fields(p) for p in programs] == expected
    assert [program_fields(p) for p in lacking] == lacking_expected
    del others


def test_a_file_name_that_is_no_utf8(tmp_path):
    name = os.fsencode(tmp_path) + b"/\xff\xfe.d64"
    shutil.copyfile(FILES[1], name)
    assert mog.read(name).data == FILES[1].read_bytes()
    os.remove(name)
    with pytest.raises(FileNotFoundError) as raised:
        mog.read(name)
    assert raised.value.filename == os.fsdecode(name)
    assert raised.value.message == f"File '{os.fsdecode(name)}' not found."


def stub_names(tree):
    return {node.name if hasattr(node, "name") else getattr(node, "target", node).id
            for node in tree.body if isinstance(node, (ast.ClassDef, ast.FunctionDef, ast.AnnAssign))}


def test_the_stub_names_the_api():
    folder = Path(mog.__file__).parent
    assert (folder / "py.typed").is_file()
    tree = ast.parse((folder / "__init__.pyi").read_text())
    assert stub_names(tree) - {"__all__"} == set(mog.__all__)
    for node in tree.body:
        if isinstance(node, ast.ClassDef) and node.name in ("Program", "Container", "CheckResult", "Archive",
                                                            "DiskSet"):
            members = {item.name for item in node.body if isinstance(item, ast.FunctionDef)}
            public = {name for name in dir(getattr(mog, node.name)) if not name.startswith("_")}
            assert members == public, node.name


def test_help_tells_the_api():
    text = pydoc.render_doc(mog, renderer=pydoc.plaintext)
    for words in ("mog -v --json", "read(path", "stamp(self", "lacking(self", "check(self", "write(path",
                  "class Container", "class CheckResult", "class Archive", "class DiskSet", "No start line.",
                  "class NotFoundError", "self-dissolving archive", "status"):
        assert words in text, words


def test_the_generated_files_are_cmake_s(tmp_path):
    if not shutil.which("cmake"):
        pytest.skip("no cmake")
    out = tmp_path / "table.cpp"
    subprocess.run(["cmake", f"-DTABLE={REPO}/data/petscii-unicode.tsv", f"-DOUTPUT={out}", "-P",
                    REPO / "cmake/petscii_unicode.cmake"], check=True)
    assert build_sources.petscii_table(REPO) == out.read_text()
    assert f'#define MOG_VERSION_STRING "{mog.__version__}"' in build_sources.version_header(REPO)
    assert "@" not in build_sources.version_header(REPO)
    for source in build_sources.library_sources(REPO):
        assert (REPO / source).is_file(), source
