#!/usr/bin/env python3
"""A TCP proxy on 127.0.0.1 that holds every chunk for half the round trip
in each direction, keeping order: a network line of a given round-trip time
for the loader, made on loopback.
   bench/delay-proxy.py LISTEN_PORT TARGET_PORT ROUND_TRIP_MS
Serves one connection at a time until killed. With LISTEN_PORT 0 it takes a
free port and prints it as its first line, once it listens."""
import socket
import sys
import threading
import time
import queue


def pump(source, target, hold):
    pending = queue.Queue()

    def deliver():
        while True:
            due, data = pending.get()
            if data is None:
                # The far side may be gone already (the loader closed first).
                try:
                    target.shutdown(socket.SHUT_WR)
                except OSError:
                    pass
                return
            delay = due - time.monotonic()
            if delay > 0:
                time.sleep(delay)
            try:
                target.sendall(data)
            except OSError:
                return

    sender = threading.Thread(target=deliver, daemon=True)
    sender.start()
    while True:
        try:
            data = source.recv(65536)
        except OSError:
            data = b""
        pending.put((time.monotonic() + hold, data or None))
        if not data:
            return


def main():
    listen_port, target_port, round_trip_ms = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
    hold = round_trip_ms / 2000.0
    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", listen_port))
    server.listen(1)
    print(server.getsockname()[1], flush=True)
    while True:
        client, _ = server.accept()
        upstream = socket.create_connection(("127.0.0.1", target_port))
        for s in (client, upstream):
            s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        threads = [threading.Thread(target=pump, args=(client, upstream, hold)),
                   threading.Thread(target=pump, args=(upstream, client, hold))]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        client.close()
        upstream.close()


if __name__ == "__main__":
    main()
