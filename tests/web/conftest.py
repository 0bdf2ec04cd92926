"""What every browser scenario shares: the built site (--site, build/web by default), and
pages in the engine a scenario names, each with its own profile and server port, all
closed when the scenario ends."""

import os
import sys

import pytest

sys.dont_write_bytecode = True  # the harness leaves no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from harness.browser import ENGINES  # noqa: E402


def pytest_addoption(parser):
    parser.addoption("--site", default="build/web", help="the built site the browser scenarios play")


@pytest.fixture(scope="session")
def site(request):
    root = os.path.abspath(request.config.getoption("--site"))
    if not os.path.exists(os.path.join(root, "ravela.wasm")):
        pytest.fail(f"no built site in {root}: run make web")
    os.chdir(os.path.dirname(root))  # a failing check leaves its last capture there
    return root


@pytest.fixture
def open_page(site, tmp_path):
    """open_page(engine, **options) starts that engine on the site, in a fresh folder."""
    pages = []

    def start(engine, **options):
        workdir = tmp_path / f"{engine}-{len(pages)}"
        workdir.mkdir()
        pages.append(ENGINES[engine](site, str(workdir), **options))
        return pages[-1]

    yield start
    for page in reversed(pages):
        page.quit()


def pytest_configure(config):
    # Debian's selenium still names a capability WebKitWebDriver ignores.
    config.addinivalue_line("filterwarnings", "ignore:platform is not a w3c capability:DeprecationWarning")
