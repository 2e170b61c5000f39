# faults_test.py: the built program against a world that fails it: no display, an unreachable
# display, and termination signals.
import os
import signal
import subprocess

import pytest

from sessions import wait_until

X_SESSION = dict(window_manager=False)


@pytest.fixture
def run(request):
    """Runs the program to its end with no display but those given; returns how it ended."""
    def run(**env):
        keep = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        return subprocess.run([request.config.getoption("vorek")], env={**keep, **env},
                              capture_output=True, text=True, timeout=30)
    return run


def test_no_display(run):
    done = run()
    assert done.returncode == 1, "an exit status of 1, not an abort"
    assert "aucun affichage graphique" in done.stderr


# An X display, a Wayland one (Qt tries its Wayland plugin where it is installed), and both.
@pytest.mark.parametrize("named, env", [
    (":937", dict(DISPLAY=":937")), ("vorek-nowhere", dict(WAYLAND_DISPLAY="vorek-nowhere")),
    (":937", dict(DISPLAY=":937", WAYLAND_DISPLAY="vorek-nowhere"))])
def test_unreachable_display(run, tmp_path, named, env):
    done = run(XDG_RUNTIME_DIR=str(tmp_path), **env)
    assert done.returncode == 1, "an exit status of 1, not an abort"
    assert f"impossible d'ouvrir l'affichage graphique « {named} »" in done.stderr


@pytest.mark.parametrize("signo", [signal.SIGTERM, signal.SIGINT], ids=["SIGTERM", "SIGINT"])
def test_terminated_by(x, game, signo):
    process = game(x)
    wait_until(lambda: x.mapped("Vorek"), 30, "the main window")
    process.send_signal(signo)
    # A positive status is an orderly exit; a negative one, death by the signal.
    assert process.wait(timeout=10) == 128 + signo
    with open(process.log, encoding="utf-8", errors="replace") as log:
        output = log.read()
    assert "Sanitizer" not in output and "runtime error" not in output, "no sanitizer report"
