#!/usr/bin/env python3
"""Stands between X clients and a real X server as display :N (an abstract
socket, so nothing is left on disk) and ends each client's connection once it
has passed the client LIMIT bytes from the server, as a server that dies at
that point would.

Usage: x_connection_cutter.py REAL_DISPLAY_NUMBER LIMIT
Prints the display number it serves once it accepts connections, and
"passed N" for each connection that ends, N the bytes it had from the server.
On SIGTERM it takes no more connections and ends once every one it carries
has ended and been reported.
"""
import os
import selectors
import signal
import socket
import sys


def listen():
    for number in range(200 + os.getpid() % 500, 1000):
        server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        try:
            server.bind("\0/tmp/.X11-unix/X%d" % number)
        except OSError:
            server.close()
            continue
        # A server of that number with only a socket file would be reached second: leave it be.
        if os.path.exists("/tmp/.X11-unix/X%d" % number):
            server.close()
            continue
        server.listen(16)
        return server, number
    sys.exit("no free display number")


def main():
    real, limit = int(sys.argv[1]), int(sys.argv[2])
    server, number = listen()
    print(number, flush=True)
    selector = selectors.DefaultSelector()
    selector.register(server, selectors.EVENT_READ, None)
    passed = {}  # client socket -> bytes it has had from the server
    # A SIGTERM writes to the wake-up socket, so a select waiting on nothing else returns.
    stopping = []
    wake, wake_write = socket.socketpair()
    wake_write.setblocking(False)
    signal.set_wakeup_fd(wake_write.fileno())
    signal.signal(signal.SIGTERM, lambda *_: stopping.append(True))
    selector.register(wake, selectors.EVENT_READ, "wake")
    while passed or not stopping:
        if stopping and server.fileno() >= 0:
            selector.unregister(server)
            server.close()
        for key, _ in selector.select():
            if key.data == "wake":
                wake.recv(64)
                continue
            if key.data is None:
                client, _ = server.accept()
                upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                upstream.connect("/tmp/.X11-unix/X%d" % real)
                passed[client] = 0
                selector.register(client, selectors.EVENT_READ, ("up", upstream, client))
                selector.register(upstream, selectors.EVENT_READ, ("down", client, upstream))
                continue
            direction, to, source = key.data
            if source.fileno() < 0:
                continue  # ended earlier in this round
            try:
                data = source.recv(65536)
            except OSError:
                data = b""
            client = to if direction == "down" else source
            if direction == "down" and data:
                room = limit - passed[client]
                data = data[:max(room, 0)]
                passed[client] += len(data)
            if data:
                try:
                    to.sendall(data)
                except OSError:
                    data = b""
            if not data or (direction == "down" and passed[client] >= limit):
                print("passed %d" % passed.pop(client), flush=True)
                for end in (source, to):
                    try:
                        selector.unregister(end)
                    except (KeyError, ValueError):
                        pass
                    end.close()


main()
