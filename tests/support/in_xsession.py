#!/usr/bin/env python3
"""in_xsession.py: runs one command in a private X session and passes its exit status on; or,
with --serve, keeps a session for other processes until it is sent SIGTERM.

Usage: in_xsession.py --logs DIR [--wm] [--bus] [--screen WxH] -- COMMAND [ARG...]
       in_xsession.py --logs DIR [--wm] [--bus] [--screen WxH] --serve FILE
The command gets the caller's environment with the session's DISPLAY (and bus) in place of any
display of the caller's. --serve writes the display's name to FILE once the session is ready,
and removes it when the session ends."""
import argparse
import contextlib
import os
import signal
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing of the run is left in the source tree
from sessions import XSession  # noqa: E402

parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
parser.add_argument("--logs", required=True, help="folder for the session's logs")
parser.add_argument("--wm", action="store_true", help="run openbox on the display")
parser.add_argument("--bus", action="store_true", help="start a D-Bus session bus")
parser.add_argument("--screen", default="1024x768", help="the screen's size, WxH")
parser.add_argument("--serve", metavar="FILE", help="keep the session; its display to FILE")
parser.add_argument("command", nargs=argparse.REMAINDER)
options = parser.parse_args()
command = options.command[1:] if options.command[:1] == ["--"] else options.command
if bool(command) == bool(options.serve):
    parser.error("give either a command or --serve")
# A polite stop ends the session in order, Xvfb and all, as leaving the with block does.
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
with XSession(options.logs, window_manager=options.wm, bus=options.bus,
              screen=tuple(int(n) for n in options.screen.split("x"))) as session:
    if command:
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS")}
        env.update((k, v) for k, v in session.env.items()
                   if k in ("DISPLAY", "XDG_RUNTIME_DIR", "DBUS_SESSION_BUS_ADDRESS"))
        sys.exit(subprocess.run(command, env=env).returncode)
    with open(options.serve + ".new", "w") as file:
        file.write(session.display_name + "\n")
    os.replace(options.serve + ".new", options.serve)  # whoever polls for it never reads half
    try:
        while True:
            signal.pause()
    finally:
        with contextlib.suppress(FileNotFoundError):
            os.remove(options.serve)
