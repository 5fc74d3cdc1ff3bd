#!/usr/bin/env python3
"""A gun on a serial port, for the tests under Wine: a pseudo-terminal in raw mode whose slave side
LINK names (the Wine prefix's dosdevices/comN, so that a Windows program's COMn is this pty), and
every byte written to it appended to LOG as it comes. Ends after SECONDS, or when killed, and
takes its link away. With "stamps", each read is a line of LOG instead: the time it came
(CLOCK_MONOTONIC_RAW in ns, the clock Wine's performance counter counts in 100 ns) and its bytes
in hexadecimal, for a benchmark.
    gun_pty.py LINK LOG SECONDS [stamps]"""
import os
import pty
import select
import signal
import sys
import time
import tty

link, log, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
stamps = len(sys.argv) > 4 and sys.argv[4] == "stamps"
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))  # pkill: the link goes with it
master, slave = pty.openpty()
tty.setraw(slave)
name = os.ttyname(slave)
try:
    os.unlink(link)
except FileNotFoundError:
    pass
os.symlink(name, link)
end = time.time() + seconds
try:
    with open(log, "ab", buffering=0) as out:  # made once the link is there: the test waits for it
        while time.time() < end:
            ready, _, _ = select.select([master], [], [], 0.2)
            if ready:
                try:
                    data = os.read(master, 4096)
                except OSError:
                    break
                if stamps:
                    out.write(b"%d %s\n" % (time.clock_gettime_ns(time.CLOCK_MONOTONIC_RAW), data.hex().encode()))
                else:
                    out.write(data)
finally:
    if os.path.islink(link) and os.readlink(link) == name:
        os.unlink(link)
