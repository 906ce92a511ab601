"""The sondrix package against the simulated module on a pseudo-terminal."""
import os

import pytest
import sondrix


@pytest.fixture(autouse=True)
def own_settings(tmp_path, monkeypatch):
    # Rates remembered by a module on a port go to a folder of the test's own.
    monkeypatch.setenv("XDG_CONFIG_HOME", str(tmp_path / "config"))
    monkeypatch.chdir(tmp_path)


@pytest.fixture
def sim():
    with sondrix.Simulator() as simulator:
        yield simulator


def required_path(variable):
    path = os.environ.get(variable)
    assert path and os.path.exists(path), f"{variable} names no file: {path!r}"
    return path
