#!/usr/bin/python3
"""The web site of the end-to-end tests: answers the program's update check on this machine.

    version_server.py --count-file FILE --log-file FILE [--status N] [--body-file FILE]
                      [--delay SECONDS] [--lifetime SECONDS] [--ready-file FILE]

Listens on 127.0.0.1:47321 only, the address the development builds ask. Every request is
counted (the count is rewritten into the count file) and its request line appended to the log
file, whatever its method or path. GET /version.txt gets the status and the bytes of the body
file after the delay; any other path gets 404. The server ends by itself after its lifetime, so
that a test that dies leaves nothing listening. It writes the ready file once it accepts
connections, and exits with 2 when the port is taken.
"""

import argparse
import errno
import http.server
import os
import signal
import sys
import time

HOST = "127.0.0.1"
PORT = 47321
VERSION_PATH = "/version.txt"


def write_atomically(path, text):
    # The test reads the count at any moment: it must never see a half-written file.
    temporary = path + ".new"
    with open(temporary, "w", encoding="ascii") as file:
        file.write(text)
    os.replace(temporary, path)


class Handler(http.server.BaseHTTPRequestHandler):
    # One request a connection: the single-threaded loop below serves them one after the other.
    protocol_version = "HTTP/1.0"

    def parse_request(self):
        parsed = super().parse_request()
        server = self.server
        server.requests += 1
        write_atomically(server.options.count_file, f"{server.requests}\n")
        with open(server.options.log_file, "a", encoding="utf-8", errors="replace") as log:
            log.write(self.requestline + "\n")
        return parsed

    def do_GET(self):
        options = self.server.options
        if self.path != VERSION_PATH:
            self.send_error(404)
            return
        time.sleep(options.delay)
        self.send_response(options.status)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(self.server.body)))
        self.end_headers()
        try:
            self.wfile.write(self.server.body)
        except (BrokenPipeError, ConnectionResetError):
            # The program reads only the first bytes of a long reply and may hang up early.
            pass

    def log_message(self, format, *args):
        # The log file has the requests; stderr stays for errors.
        pass


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count-file", required=True)
    parser.add_argument("--log-file", required=True)
    parser.add_argument("--status", type=int, default=200)
    parser.add_argument("--body-file")
    parser.add_argument("--delay", type=float, default=0.0)
    parser.add_argument("--lifetime", type=float, default=120.0)
    parser.add_argument("--ready-file")
    options = parser.parse_args()

    body = b""
    if options.body_file:
        with open(options.body_file, "rb") as file:
            body = file.read()

    try:
        server = http.server.HTTPServer((HOST, PORT), Handler)
    except OSError as error:
        if error.errno == errno.EADDRINUSE:
            print(f"version_server: {HOST}:{PORT} is taken by another program", file=sys.stderr)
            return 2
        raise
    server.options = options
    server.body = body
    server.requests = 0
    write_atomically(options.count_file, "0\n")
    open(options.log_file, "w", encoding="utf-8").close()
    # The test stops the server with SIGTERM; ending through the normal path closes the socket.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    if options.ready_file:
        write_atomically(options.ready_file, f"{os.getpid()}\n")

    deadline = time.monotonic() + options.lifetime
    server.timeout = 0.2
    with server:
        while time.monotonic() < deadline:
            server.handle_request()
    return 0


if __name__ == "__main__":
    sys.exit(main())
