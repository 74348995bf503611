"""Shared fixtures of the module's tests: the source tree, the command-line tool and the materials."""

import os
import subprocess

import pytest

import tervane

SOURCE_DIR = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


@pytest.fixture(scope="session")
def cli():
    """Runs tervane-cli (TERVANE_CLI, set by CTest) and returns its completed process."""
    path = os.environ.get("TERVANE_CLI")
    if not path:
        pytest.skip("TERVANE_CLI is not set (CTest sets it)")

    def run(*arguments):
        return subprocess.run([path, *arguments], capture_output=True, text=True, check=False)

    return run


@pytest.fixture(scope="session")
def materials():
    return tervane.standard_materials()


def example(*parts):
    return os.path.join(SOURCE_DIR, "examples", *parts)
