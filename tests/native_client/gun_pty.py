#!/usr/bin/env python3
"""A gun on a serial port, for the tests under Wine: a pseudo-terminal in raw mode whose slave side
LINK names (the Wine prefix's dosdevices/comN, so that a Windows program's COMn is this pty), and
every byte written to it appended to LOG as it comes. Ends after SECONDS, or when killed, and
takes its link away. With "stamps", each read is a line of LOG instead: the time it came
(CLOCK_MONOTONIC_RAW in ns, the clock Wine's performance counter counts in 100 ns) and its bytes
in hexadecimal, for a benchmark.
    gun_pty.py LINK LOG SECONDS [stamps]"""
import fcntl
import os
import pty
import select
import signal
import sys
import termios
import time
import tty

link, log, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
# The pty is this helper's controlling terminal, in a session of its own: else the first process
# that opens it without O_NOCTTY and has none takes it (under Wine the wineserver, which opens the
# files of COM ports), and gets the hangup when the pty goes (the wineserver then dumps its whole
# state and stalls every Wine program meanwhile).
if os.getpid() == os.getpgrp():
    child = os.fork()
    if child:
        signal.signal(signal.SIGTERM, lambda *_: (os.kill(child, signal.SIGTERM), sys.exit(0)))
        os.waitpid(child, 0)
        sys.exit(0)
os.setsid()
stamps = len(sys.argv) > 4 and sys.argv[4] == "stamps"
signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))  # pkill: the link goes with it
master, slave = pty.openpty()
fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
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
