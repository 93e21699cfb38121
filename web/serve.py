#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 over http; with --uploads DIR it also stores
what a page POSTs to /upload/NAME as DIR/NAME (the page's stills and checks).
Prints the address once it listens.  Usage: serve.py FOLDER [--port N] [--uploads DIR]"""
import argparse
import functools
import http.server
import os
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    uploads = None

    def do_POST(self):
        name = os.path.basename(self.path.split("?")[0])
        if not self.uploads or not self.path.startswith("/upload/") or not name:
            self.send_error(404)
            return
        body = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with open(os.path.join(self.uploads, name + ".part"), "wb") as f:
            f.write(body)
        os.replace(os.path.join(self.uploads, name + ".part"), os.path.join(self.uploads, name))
        self.send_response(204)
        self.end_headers()

    def log_message(self, *args):
        pass


def main():
    p = argparse.ArgumentParser()
    p.add_argument("folder")
    p.add_argument("--port", type=int, default=8000)
    p.add_argument("--uploads")
    a = p.parse_args()
    Handler.uploads = a.uploads
    Handler.extensions_map[".wasm"] = "application/wasm"
    server = http.server.ThreadingHTTPServer(("127.0.0.1", a.port),
                                             functools.partial(Handler, directory=a.folder))
    print(f"http://127.0.0.1:{server.server_address[1]}/vorndemo.html", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        sys.exit(0)


if __name__ == "__main__":
    main()
