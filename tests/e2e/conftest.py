"""The real-window scenarios' fixtures for pytest: the program under test and the pretend
pads' library (given on the command line), a working directory, X servers and sway, each
ended by its own teardown with the games started on it, and a time limit per scenario.

    pytest tests/e2e --ravela build/debug/ravela [--pretend-pads LIBRARY] [-k NAME]
"""

import contextlib
import os
import signal
import sys
import tempfile

import pytest

sys.dont_write_bytecode = True  # the harness leaves no __pycache__ in the source tree
from harness.steps import PretendPads  # noqa: E402
from harness.wlsession import Sway  # noqa: E402
from harness.xsession import Failure, XServer  # noqa: E402


def pytest_addoption(parser):
    parser.addoption("--ravela", help="the ravela program to play")
    parser.addoption("--pretend-pads", help="the preloaded library that makes up pads (by default the one "
                     "built beside the program, in its tests/ folder)")
    parser.addoption("--time-limit", type=int, default=150, help="seconds before a scenario gives up")


def pytest_configure(config):
    if not config.getoption("--ravela"):
        raise pytest.UsageError("--ravela PROGRAM names the game to play")
    pads = config.getoption("--pretend-pads") or os.path.join(
        os.path.dirname(config.getoption("--ravela")), "tests", "libpretend_pads.so")
    PretendPads.library = os.path.abspath(pads) if os.path.exists(pads) else None


def on_deadline(_signum, _frame):
    raise Failure("the scenario ran past its time limit")


@pytest.fixture(autouse=True)
def time_limit(request):
    """A scenario that hangs fails; SIGTERM fails it the same way, so that the teardowns
    still end every process."""
    signal.signal(signal.SIGALRM, on_deadline)
    signal.signal(signal.SIGTERM, on_deadline)
    signal.alarm(request.config.getoption("--time-limit"))
    yield
    signal.alarm(0)


@pytest.fixture
def program(request):
    return os.path.abspath(request.config.getoption("--ravela"))


@pytest.fixture
def workdir():
    with tempfile.TemporaryDirectory(prefix="ravela-e2e-") as path:
        yield path


@contextlib.contextmanager
def starter(make):
    """A function that starts one more server by make(**options) on each call; afterwards
    every server started, and every game on it, is stopped."""
    servers = []

    def start(**options):
        servers.append(make(**options))
        return servers[-1]

    try:
        yield start
    finally:
        for server in servers:
            server.stop()


@pytest.fixture
def start_x(workdir):
    """Starts an X server (XServer's options) on each call."""
    with starter(lambda **options: XServer(workdir, **options)) as start:
        yield start


@pytest.fixture
def x(start_x):
    """An 800×600 X server at depth 24 without a window manager."""
    return start_x()


@pytest.fixture
def start_sway(workdir):
    """Starts headless sway (Sway's options) on each call."""
    with starter(lambda **options: Sway(workdir, **options)) as start:
        yield start
