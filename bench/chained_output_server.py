#!/usr/bin/env python3
"""The way players chain an output server today, for the guns' benchmark: a client of VT2's
network outputs on the Linux side that writes each change of one output to a gun's serial port
(here a pseudo-terminal), as "<value>".
    chained_output_server.py PORT OUTPUT_NAME DEVICE SECONDS"""
import os
import socket
import sys
import time

port, name, device, seconds = int(sys.argv[1]), sys.argv[2], sys.argv[3], float(sys.argv[4])
end = time.time() + seconds
while True:  # VT2 listens once it runs: try until it does
    try:
        link = socket.create_connection(("127.0.0.1", port), timeout=1)
        break
    except OSError:
        if time.time() > end:
            sys.exit(1)
        time.sleep(0.05)
link.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
link.settimeout(0.2)
gun = os.open(device, os.O_WRONLY | os.O_NOCTTY)
pending = b""
while time.time() < end:
    try:
        data = link.recv(4096)
    except socket.timeout:
        continue
    if not data:
        break
    pending += data
    *lines, pending = pending.split(b"\r")
    for line in lines:
        key, _, value = line.decode(errors="replace").partition(" = ")
        if key.strip() == name:
            os.write(gun, b"<" + value.strip().encode() + b">")
