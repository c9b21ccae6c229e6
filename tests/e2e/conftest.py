"""Runs each scenario on each window named on the command line, as the `target`
fixture's parameter; one that cannot run here is skipped, with the reason. A
test ends everything it started, however it ends.

    /usr/bin/python3 -m pytest tests/e2e [--qt BUILD] [--wine64 BUILD] [--wine32 BUILD] [--wow64 BUILD] [--wine-prefix FOLDER]
"""
import contextlib

import pytest

import targets
import wine
from xsession import XSession


def pytest_addoption(parser):
    for name in targets.TARGETS:
        parser.addoption(f"--{name}", metavar="BUILD", help=f"run the {name} window of this build folder")
    parser.addoption("--wine-prefix", metavar="FOLDER", help="the Wine prefix to use (default: a temporary one)")


def pytest_generate_tests(metafunc):
    if "target" in metafunc.fixturenames:
        metafunc.parametrize("target", [name for name in targets.TARGETS if metafunc.config.getoption(name)],
                             indirect=True, scope="session")


def pytest_sessionfinish(session, exitstatus):
    """Every test skipped, its window being unable to run here: the run says so to ctest."""
    stats = session.config.pluginmanager.get_plugin("terminalreporter").stats
    if exitstatus == 0 and stats.get("skipped") and not stats.get("passed"):
        session.exitstatus = 77


@pytest.fixture(scope="session")
def target(request):
    option = request.config.getoption
    with contextlib.ExitStack() as stack:
        try:
            opened = stack.enter_context(targets.TARGETS[request.param](
                request.param, option(request.param), option("wine_prefix")))
        except wine.Unavailable as missing:
            pytest.skip(str(missing))
        yield opened


@pytest.fixture
def start(target):
    """start(language="C", dpi=96, comma=False, font_trace=False, substitutes=True) -> the window
    with those settings, in an X server of its own."""
    with contextlib.ExitStack() as started:
        yield lambda **settings: started.enter_context(target.start(started.enter_context(XSession()), **settings))


@pytest.fixture
def app(start):
    return start()
