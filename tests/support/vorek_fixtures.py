# vorek_fixtures.py: what every Python suite shares under pytest (loaded with -p): the program
# under test (--vorek, through --run-with words when it runs through something), where the
# evidence and the logs go (--evidence, --logs), a private X session per module, the game (started
# in a session, its output logged, and on a failure the screen, the windows, where its threads
# wait and its output kept before it is stopped) and a player of it.
import glob
import os
import re

import pytest

from sessions import XSession, stop_process


def pytest_addoption(parser):
    parser.addoption("--vorek", help="the program under test")
    parser.addoption("--run-with", action="append", default=[], metavar="WORD",
                     help="a word of the command that runs the program (repeat for more)")
    parser.addoption("--evidence", help="the folder for screenshots (a temporary one if not given)")
    parser.addoption("--logs", help="the folder for the logs (a temporary one if not given)")


def pytest_configure(config):
    for group in ("layout", "density", "games", "windows", "clicks"):
        config.addinivalue_line("markers", f"{group}: the end-to-end suite's group {group}")


def _folder(request, factory, option):
    folder = request.config.getoption(option) or str(factory.mktemp(option))
    os.makedirs(folder, exist_ok=True)
    return folder


@pytest.fixture(scope="session")
def evidence(request, tmp_path_factory):
    """The folder for screenshots; only this run's are left in it."""
    folder = _folder(request, tmp_path_factory, "evidence")
    for old in glob.glob(os.path.join(folder, "*.png")) + glob.glob(os.path.join(folder, "*.txt")):
        os.remove(old)
    return folder


@pytest.fixture(scope="session")
def logs(request, tmp_path_factory):
    return _folder(request, tmp_path_factory, "logs")


@pytest.fixture(scope="module")
def x(logs, request):
    """A private X server under openbox, or as the module's X_SESSION asks."""
    with XSession(logs, **getattr(request.module, "X_SESSION", {})) as session:
        yield session


@pytest.fixture
def player(x, game, evidence):
    """The program under test, started on the module's X session, played as a player plays."""
    from player import Player  # the designs' figures, read only by the suites that play
    return Player(x, game(x), evidence)


@pytest.fixture
def game(request, logs):
    """game(session, command=None, cwd=None, **env): the program under test (or `command`)
    started in the session; its output goes to process.log. Stopped after the test."""
    started = request.node.vorek_games = []
    name = re.sub(r"[^\w.]+", "-", request.node.name.removeprefix("test_")).strip("-")

    def start(session, command=None, cwd=None, **env):
        command = command or [*request.config.getoption("run_with"),
                              os.path.abspath(request.config.getoption("vorek"))]
        log = f"{name}-{len(started) + 1}.log" if started else f"{name}.log"
        process = session.start(command, log, env=session.environment(**env), cwd=cwd)
        process.log = os.path.join(session.log_dir, log)
        started.append((session, process, log[:-4]))
        return process
    yield start
    for _, process, _ in started:
        stop_process(process)


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item):
    """On a failure, while the programs still stand as they failed: the screen, the windows and
    where each thread waits (should one hang), kept; and their output, shown."""
    report = (yield).get_result()
    if not report.failed:
        return
    for session, process, name in getattr(item, "vorek_games", []):
        stem = os.path.join(item.config.getoption("evidence") or session.log_dir, "FAILED-" + name)
        try:
            session.keep_evidence(stem)
            with open(stem + "-threads.txt", "w", encoding="utf-8") as threads:
                for task in sorted(glob.glob(f"/proc/{process.pid}/task/*")):
                    with open(f"{task}/comm") as comm, open(f"{task}/wchan") as wchan:
                        threads.write(f"thread {comm.read().strip()}: {wchan.read()}\n")
        except Exception as failure:  # the screen may be what failed
            stem += f" (not all kept: {failure!r})"
        with open(process.log, encoding="utf-8", errors="replace") as log:
            output = log.read()
        report.sections.append((f"evidence of {name}", f"{stem}.png, -windows.txt, -threads.txt;"
                                f" the program's output ({process.log}):\n{output}"))
