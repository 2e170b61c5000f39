#!/usr/bin/env python3
"""faults_test.py: the built program against a world that fails it: no display, an unreachable
display, and termination signals. Usage: faults_test.py VOREK"""
import os
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing of the run is left in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import XSession  # noqa: E402

PROGRAM = sys.argv[1]
failures = []  # (scenario, what was expected, what was seen)
scenario = ""


def check(condition, what, seen):
    if not condition:
        failures.append((scenario, what, seen))


def clean_env(**extra):
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(extra)
    return env


def run(env):
    return subprocess.run([PROGRAM], env=env, capture_output=True, text=True, timeout=30)


def no_display():
    done = run(clean_env())
    check(done.returncode == 1, "no display: exit status 1, not an abort", done.returncode)
    check("aucun affichage graphique" in done.stderr, "no display: a French message", done.stderr)


def unreachable_display():
    # An X display, a Wayland one (Qt tries its Wayland plugin where it is installed), and both.
    with tempfile.TemporaryDirectory(prefix="vorek-faults-") as runtime:
        for named, env in ((":937", dict(DISPLAY=":937")),
                           ("vorek-nowhere", dict(WAYLAND_DISPLAY="vorek-nowhere")),
                           (":937", dict(DISPLAY=":937", WAYLAND_DISPLAY="vorek-nowhere"))):
            done = run(clean_env(XDG_RUNTIME_DIR=runtime, **env))
            check(done.returncode == 1, f"{env}: exit status 1, not an abort", done.returncode)
            check(f"impossible d'ouvrir l'affichage graphique « {named} »" in done.stderr,
                  f"{env}: a French message naming « {named} »", done.stderr)


def wait_for_window(display, deadline):
    while time.monotonic() < deadline:
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Vorek$"],
                               env=dict(os.environ, DISPLAY=display), capture_output=True)
        if found.returncode == 0:
            return True
        time.sleep(0.05)
    return False


def terminated_by(signo):
    with tempfile.TemporaryDirectory(prefix="vorek-faults-") as logs, \
            XSession(logs, window_manager=False) as x:
        game = subprocess.Popen([PROGRAM], env=clean_env(DISPLAY=x.display_name),
                                stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        try:
            shown = wait_for_window(x.display_name, time.monotonic() + 30)
            check(shown, f"{signal.Signals(signo).name}: the main window appears", "no window")
            game.send_signal(signo)
            status = game.wait(timeout=10)
            # A positive status is an orderly exit; a negative one, death by the signal.
            check(status == 128 + signo, f"{signal.Signals(signo).name}: an orderly exit with "
                  f"status {128 + signo}", status)
            errors = game.stderr.read()
            check("Sanitizer" not in errors and "runtime error" not in errors,
                  f"{signal.Signals(signo).name}: no sanitizer report", errors)
        finally:
            if game.poll() is None:
                game.kill()
                game.wait()


SCENARIOS = {
    "no display": no_display,
    "unreachable display": unreachable_display,
    "SIGTERM": lambda: terminated_by(signal.SIGTERM),
    "SIGINT": lambda: terminated_by(signal.SIGINT),
}
for scenario, run_scenario in SCENARIOS.items():
    run_scenario()
for name, what, seen in failures:
    print(f"FAILED {name}: expected {what}\n    saw: {seen}")
failed = len({name for name, _, _ in failures})
print(f"{len(SCENARIOS) - failed} passed, {failed} failed")
sys.exit(1 if failures else 0)
