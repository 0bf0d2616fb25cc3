#!/usr/bin/env python3
"""tests/scripts/display_refusal.py FIRST MODE LOG -- an X display of the
tests' own, on the first number from FIRST that no other server or relay
holds, that never lets a client in, in one of two modes:

- refuse: served on this machine's socket for it (/tmp/.X11-unix/XNUMBER);
  every connection's setup request is answered with a refusal whose reason
  is "Refused by the test's own server" (as a server that finds no
  authorisation for the client answers, with its own reason);
- close: served on the abstract socket alone (the name the X library tries
  first, with no socket file: a display whose server's socket is not
  there), and every connection is closed unanswered once its request has
  come, as a server that resets closes it.

Either way the lock file /tmp/.XNUMBER-lock, made anew (O_CREAT|O_EXCL),
keeps other servers off the number; where another holds it, or the
socket's name is taken, the next number is tried. Prints the number taken
once it listens. Each connection adds a line to LOG: "connected SECONDS", with the
time (seconds since the epoch) it was accepted. Runs until SIGTERM, which
removes the socket and the lock file."""
import contextlib
import os
import signal
import socket
import struct
import sys
import time

from display_relay import take_number

REASON = b"Refused by the test's own server\n"


def refusal(request):
    """The setup failure for the request, in the byte order it asks for:
    status 0, the reason's length, protocol 11.0, the padded reason's length
    in words, the reason padded to a whole word."""
    order = "<" if request[:1] == b"l" else ">"
    padded = REASON + b"\0" * (-len(REASON) % 4)
    return struct.pack(order + "BBHHH", 0, len(REASON), 11, 0, len(padded) // 4) + padded


def main():
    first, mode, log = int(sys.argv[1]), sys.argv[2], sys.argv[3]
    # SIGTERM before the socket is bound ends with nothing of ours left.
    names = []

    def end(*_):
        for name in names:
            with contextlib.suppress(OSError):
                os.unlink(name)
        os._exit(0)
    signal.signal(signal.SIGTERM, end)
    signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM])
    number, path, lock, listener = take_number(first, abstract=mode != "refuse")
    names.extend(([path] if mode == "refuse" else []) + [lock])
    signal.pthread_sigmask(signal.SIG_UNBLOCK, [signal.SIGTERM])
    listener.listen(16)
    print(number, flush=True)
    while True:
        client = listener.accept()[0]
        with open(log, "a") as f:
            f.write("connected %.3f\n" % time.time())
        request = client.recv(65536)
        if mode == "refuse" and request:
            client.sendall(refusal(request))
        client.close()


main()
