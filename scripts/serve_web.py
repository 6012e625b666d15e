#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 for playing the browser build.

Files go out gzip-compressed when the browser accepts it (every browser
does), so a first visit transfers about a seventh of the page's size: the
data set's pictures and samples compress well. Each file is compressed
once, when first asked for, and kept in memory while the server runs."""
import gzip
import io
import http.server
import os
import sys
import threading

TYPES = {".html": "text/html; charset=utf-8", ".js": "text/javascript",
         ".wasm": "application/wasm", ".data": "application/octet-stream"}


class Handler(http.server.SimpleHTTPRequestHandler):
    packed = {}  # path -> (mtime, size, gzip bytes)
    lock = threading.Lock()

    def send_head(self):
        path = self.translate_path(self.path)
        accepts = "gzip" in self.headers.get("Accept-Encoding", "")
        if not accepts or not os.path.isfile(path):
            return super().send_head()
        st = os.stat(path)
        with self.lock:
            entry = self.packed.get(path)
            if entry is None or entry[:2] != (st.st_mtime_ns, st.st_size):
                with open(path, "rb") as f:
                    entry = (st.st_mtime_ns, st.st_size, gzip.compress(f.read(), 6))
                self.packed[path] = entry
        body = entry[2]
        self.send_response(200)
        self.send_header("Content-Type", TYPES.get(os.path.splitext(path)[1], self.guess_type(path)))
        self.send_header("Content-Encoding", "gzip")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        self.end_headers()
        return io.BytesIO(body)

    def log_message(self, *args):
        pass


def main():
    folder, port = sys.argv[1], int(sys.argv[2])
    handler = lambda *a, **k: Handler(*a, directory=folder, **k)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    print(f"open http://127.0.0.1:{port}/ (Ctrl+C ends)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
