#!/usr/bin/env python3
"""Runs a Windows test program under Wine with COM1 on a pseudo-terminal, and answers it.

Usage: wine-com-test.py PROGRAM [ARGS...]   (WINEPREFIX names the prefix to use)

The pseudo-terminal's slave becomes COM1 through the registry value
HKLM\\Software\\Wine\\Ports COM1; Wine rewrites dosdevices/com1 from it when its server
starts, so the server is restarted after the value is written. This side of the line is a
scripted peer (commands below); the program is told it is there by TAV_WINE_COM_PEER=1.
"""
import os
import select
import signal
import subprocess
import sys
import termios
import threading
import tty

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run.sh")
PORTS_KEY = r"HKLM\Software\Wine\Ports"
PROGRAM_TIMEOUT_S = 240

RATES = {termios.B4800: b"4", termios.B9600: b"9", termios.B38400: b"3"}


class Peer(threading.Thread):
    """Answers the program's command bytes on the master side of the pseudo-terminal."""

    def __init__(self, master):
        super().__init__(daemon=True)
        self.master = master
        self.stopping = threading.Event()
        self.silent = 0

    def answer(self, command):
        if command == ord("P"):
            return b"\x00\x00\x22"
        if command == ord("Z"):
            return b"\x00A\x00\x00B\x00"
        if command == ord("F"):
            return b"fill"
        if command == ord("S"):
            settings = termios.tcgetattr(self.master)
            cflag, ospeed = settings[2], settings[5]
            framed = (cflag & termios.CSIZE) == termios.CS8 and not cflag & (
                termios.PARENB | termios.CSTOPB)
            return RATES.get(ospeed, b"x") if framed else b"x"
        if command == ord("N"):
            count, self.silent = self.silent, 0
            return bytes([ord("0") + count])
        if command == ord("Q"):
            self.silent += 1
        return b""

    def run(self):
        while not self.stopping.is_set():
            ready, _, _ = select.select([self.master], [], [], 0.1)
            if not ready:
                continue
            try:
                received = os.read(self.master, 64)
            except OSError:
                return
            for command in received:
                reply = self.answer(command)
                if reply:
                    os.write(self.master, reply)


def wine(args, env):
    subprocess.run([WINE_RUN] + args, env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=120)


def wineserver(flag, env):
    subprocess.run(["wineserver", flag], env=env, check=False, timeout=60)


def main():
    if len(sys.argv) < 2 or "WINEPREFIX" not in os.environ:
        sys.exit("usage: WINEPREFIX=... wine-com-test.py PROGRAM [ARGS...]")
    env = dict(os.environ, WINEDEBUG=os.environ.get("WINEDEBUG", "-all"))

    master, slave = os.openpty()
    # Raw from the start, so that nothing is echoed before the program sets the line up. The
    # slave stays open here so that the line survives the program closing and reopening it.
    tty.setraw(slave)
    slave_path = os.ttyname(slave)
    peer = Peer(master)
    program = None
    try:
        wine(["reg", "add", PORTS_KEY, "/v", "COM1", "/d", slave_path, "/f"], env)
        wineserver("-k", env)
        wineserver("-w", env)
        peer.start()
        program = subprocess.Popen([WINE_RUN] + sys.argv[1:], start_new_session=True,
                                   env=dict(env, TAV_WINE_COM_PEER="1"))
        try:
            return program.wait(timeout=PROGRAM_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            print(f"wine-com-test: no end after {PROGRAM_TIMEOUT_S} s", file=sys.stderr)
            os.killpg(program.pid, signal.SIGKILL)
            program.wait()
            return 1
    finally:
        peer.stopping.set()
        if peer.is_alive():
            peer.join(timeout=2)
        wineserver("-k", env)
        os.close(master)
        os.close(slave)


if __name__ == "__main__":
    sys.exit(main())
