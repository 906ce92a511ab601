"""What a script's author reads: the type stubs and the README's example."""
import ast
import os
import re
import subprocess
import sys

import sondrix
from conftest import required_path


def stub_names(tree):
    """Top-level names of the stub, and the members of its classes."""
    names, members = set(), {}
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            names.add(node.name)
            members[node.name] = {n.name for n in node.body if isinstance(n, ast.FunctionDef)}
            members[node.name] |= {n.target.id for n in node.body if isinstance(n, ast.AnnAssign)}
        elif isinstance(node, ast.FunctionDef):
            names.add(node.name)
        elif isinstance(node, ast.AnnAssign):
            names.add(node.target.id)
    return names, members


def test_the_stubs_describe_what_the_module_has():
    path = os.path.join(os.path.dirname(sondrix.__file__), "__init__.pyi")
    with open(path, encoding="utf-8") as file:
        names, members = stub_names(ast.parse(file.read()))
    assert names == set(sondrix.__all__)
    for name, stubbed in members.items():
        cls = getattr(sondrix, name)
        if issubclass(cls, BaseException):
            continue  # their fields are the instances'
        runtime = {m for m in vars(cls) if not m.startswith("_")}
        assert {m for m in stubbed if not m.startswith("_")} == runtime, name


def readme_blocks(heading, language):
    """The first block of `language` after `heading`, and the plain block after it."""
    readme = required_path("SONDRIX_README")
    with open(readme, encoding="utf-8") as file:
        text = file.read()
    section = text[text.index(heading):]
    found = re.search(r"```" + language + r"\n(.*?)```.*?```\n(.*?)```", section, re.S)
    return found.group(1), found.group(2)


def test_the_readme_example_prints_what_the_readme_says(tmp_path):
    script, printed = readme_blocks("### Python", "python")
    assert len(script.strip().splitlines()) <= 10
    run = subprocess.run([sys.executable, "-c", script], cwd=tmp_path, capture_output=True,
                         text=True, timeout=120)
    assert run.returncode == 0, run.stderr
    # The terminal's number and the matching time are the run's own.
    def steady(text):
        return re.sub(r"time_ms=\d+", "time_ms=T", re.sub(r"/dev/pts/\d+", "/dev/pts/N", text))
    assert steady(run.stdout) == steady(printed)
    assert (tmp_path / "finger.bmp").read_bytes()[:2] == b"BM"
