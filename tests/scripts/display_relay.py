#!/usr/bin/env python3
"""tests/scripts/display_relay.py NUMBER MODE [SERVER [SECONDS]] -- an X
display of the tests' own on the first free number from NUMBER on, served
on this machine's socket for it (/tmp/.X11-unix/XN, with the lock file
/tmp/.XN-lock made only where none is, so that no server takes the number
meanwhile and a relay or server that took it first keeps it); prints the
number once it listens. In one of three modes:

- mute: every connection is accepted and never answered;
- hold: every connection is relayed to the display :SERVER, and the
  server's first answer on the first connection is held SECONDS seconds (a
  display that answers late: a busy machine, a slow link);
- reset: every connection is relayed to :SERVER, but the first one, which is
  closed unanswered once its request has come, as a server closes a
  connection that arrives while it resets.

Runs until SIGTERM, which removes the socket and the lock file."""
import os
import signal
import socket
import sys
import threading
import time


def pump(source, target, hold_seconds):
    """Copies source to target until either ends, with the descriptors
    passed along (shared memory segments travel so), the first piece after
    hold_seconds."""
    try:
        while True:
            data, fds, _, _ = socket.recv_fds(source, 65536, 16)
            if not data:
                break
            if hold_seconds:
                time.sleep(hold_seconds)
                hold_seconds = 0
            sent = socket.send_fds(target, [data], fds) if fds else 0
            target.sendall(data[sent:])
            for fd in fds:
                os.close(fd)
    except OSError:
        pass
    for end in (source, target):
        try:
            end.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def relay(client, server_path, hold_seconds):
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.connect(server_path)
    threading.Thread(target=pump, args=(client, server, 0), daemon=True).start()
    threading.Thread(target=pump, args=(server, client, hold_seconds), daemon=True).start()


def take_number(first, abstract=False):
    """The first display number from first on that this relay takes: its
    lock file made anew (O_CREAT|O_EXCL, so that of two relays or servers
    after the same number one wins and the other goes on to the next) and
    its socket bound (with abstract, the abstract socket of that path alone,
    no socket file). Answers the number, the socket's path, its lock's path
    and the listening socket. display_refusal.py takes its number so too."""
    os.makedirs("/tmp/.X11-unix", exist_ok=True)
    number = first
    while True:
        path, lock = "/tmp/.X11-unix/X%d" % number, "/tmp/.X%d-lock" % number
        try:
            fd = os.open(lock, os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o444)
        except FileExistsError:
            number += 1
            continue
        os.write(fd, b"%10d\n" % os.getpid())
        os.close(fd)
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            listener.bind("\0" + path if abstract else path)
        except OSError:
            # A socket left by a server without its lock: not ours.
            listener.close()
            os.unlink(lock)
            number += 1
            continue
        return number, path, lock, listener


def main():
    first, mode = int(sys.argv[1]), sys.argv[2]
    server_path = "/tmp/.X11-unix/X%s" % sys.argv[3] if len(sys.argv) > 3 else None
    seconds = float(sys.argv[4]) if len(sys.argv) > 4 else 0
    number, path, lock, listener = take_number(first)

    def end(*_):
        for name in (path, lock):
            try:
                os.unlink(name)
            except OSError:
                pass
        os._exit(0)
    signal.signal(signal.SIGTERM, end)
    listener.listen(16)
    print(number, flush=True)
    held = []
    first = True
    while True:
        client = listener.accept()[0]
        if mode == "mute":
            held.append(client)
        elif mode == "reset" and first:
            client.recv(65536)
            client.close()
        else:
            relay(client, server_path, seconds if mode == "hold" and first else 0)
        first = False


if __name__ == "__main__":
    main()
