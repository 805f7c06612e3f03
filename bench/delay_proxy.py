#!/usr/bin/env python3
"""A delaying proxy for the gradebook server benchmark.

Listens on 127.0.0.1 (a free port, printed as "ready PORT"), forwards each connection to the
test server's Unix socket, and holds every chunk DELAY milliseconds in each direction, so a
round trip costs twice that. It counts round trips: the times a client speaks again after the
server answered it. Each line read on standard input is answered with the count so far.
Threads and time.sleep keep the delay to a fraction of a millisecond, which an event loop's
millisecond timeouts would not.
Usage: delay_proxy.py SOCKET_PATH DELAY_MS
"""
import queue
import socket
import sys
import threading
import time

lock = threading.Lock()
round_trips = 0


def forward(source, target, delay, on_chunk):
    chunks = queue.Queue()

    def send():
        while True:
            due, data = chunks.get()
            wait = due - time.monotonic()
            if wait > 0:
                time.sleep(wait)
            if not data:
                target.shutdown(socket.SHUT_WR)
                return
            target.sendall(data)

    sender = threading.Thread(target=send, daemon=True)
    sender.start()
    while True:
        try:
            data = source.recv(1 << 16)
        except OSError:
            data = b""
        if data:
            on_chunk()
        chunks.put((time.monotonic() + delay, data))
        if not data:
            break
    sender.join()


def connection(client, socket_path, delay):
    server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    server.connect(socket_path)
    client.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    last = ["server"]

    def from_client():
        global round_trips
        with lock:
            if last[0] == "server":
                round_trips += 1
            last[0] = "client"

    def from_server():
        with lock:
            last[0] = "server"

    upstream = threading.Thread(target=forward, args=(client, server, delay, from_client),
                                daemon=True)
    upstream.start()
    forward(server, client, delay, from_server)
    upstream.join()
    client.close()
    server.close()


def main():
    socket_path, delay = sys.argv[1], float(sys.argv[2]) / 1000
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen()

    def accept():
        while True:
            client, _ = listener.accept()
            threading.Thread(target=connection, args=(client, socket_path, delay),
                             daemon=True).start()

    threading.Thread(target=accept, daemon=True).start()
    print("ready", listener.getsockname()[1], flush=True)
    for _ in sys.stdin:
        with lock:
            print(round_trips, flush=True)


if __name__ == "__main__":
    main()
