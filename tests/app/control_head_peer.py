#!/usr/bin/env python3
"""A control head in normal operation at the far end of a pseudo-terminal.

It answers the identification probe and both date code queries with codes that are in
neither list, then expects the release byte 0x01 that ends such a run. Exits 0 when the
release came after both date codes had been served, 1 otherwise (or after 60 s).

    control_head_peer.py SLAVE_PATH_FILE LOG_FILE
"""

import os
import select
import sys
import time
import tty

PROBE = bytes([0x00, 0x0A, 0x14, 0x28])
CORE_QUERY = bytes([0x30, 0x20, 0x68, 0x88])
CONTROL_CODE = bytes([0x2A, 0xF0, 0x49, 0x26])  # 7/16/2001 9:09:12
CORE_CODE = bytes([0x29, 0x8F, 0x5E, 0xF5])  # 12/15/2000 11:55:42


def main():
    slave_file, log_file = sys.argv[1], sys.argv[2]
    master, slave = os.openpty()
    tty.setraw(slave)
    path = os.ttyname(slave)
    with open(slave_file + ".tmp", "w") as f:
        f.write(path)
    os.rename(slave_file + ".tmp", slave_file)

    received = bytearray()
    served = set()
    control_index = None  # which date code byte the next 0x00 asks for
    deadline = time.monotonic() + 60
    released = False
    while time.monotonic() < deadline and not released:
        ready, _, _ = select.select([master], [], [], 0.5)
        if not ready:
            continue
        try:
            data = os.read(master, 256)
        except OSError:
            time.sleep(0.05)  # no one has the port open at the moment
            continue
        for byte in data:
            received.append(byte)
            if received.endswith(PROBE):
                os.write(master, bytes([0x22]))
                served.add("probe")
            elif received.endswith(CORE_QUERY):
                os.write(master, CORE_CODE)
                served.add("core")
            elif byte == 0x2B:
                os.write(master, CONTROL_CODE[:1])
                control_index = 1
            elif byte == 0x00 and control_index is not None:
                os.write(master, CONTROL_CODE[control_index:control_index + 1])
                control_index += 1
                if control_index == 4:
                    control_index = None
                    served.add("control")
            elif byte == 0x01 and served == {"probe", "core", "control"}:
                released = True

    with open(log_file, "w") as f:
        f.write("peer received: %s\n" % received.hex(" "))
        f.write("peer served: %s, release byte seen: %s\n" % (sorted(served), released))
    sys.exit(0 if released else 1)


if __name__ == "__main__":
    main()
