#!/usr/bin/env python3
"""Serves the browser build for the headless-browser test and collects what
the test page sends back.

    page_test_server.py SERVE_DIR OUT_DIR PORT_FILE TIMEOUT_SECONDS [PORT]

GET serves SERVE_DIR on 127.0.0.1 (at PORT, else a free port; written to
PORT_FILE). The browser keeps a page's storage by its origin, port
included, so a later visit that must find it is served on the same port;
POST result/NAME stores the body as OUT_DIR/NAME. The server ends once
result/exit has arrived, or after TIMEOUT_SECONDS with status 1.
"""
import http.server
import os
import sys
import threading


def main():
    serve_dir, out_dir, port_file, timeout = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    port = int(sys.argv[5]) if len(sys.argv) > 5 else 0
    finished = threading.Event()

    class Handler(http.server.SimpleHTTPRequestHandler):
        def __init__(self, *args, **kwargs):
            super().__init__(*args, directory=serve_dir, **kwargs)

        def log_message(self, *args):
            pass

        def do_POST(self):
            name = self.path.lstrip('/')
            if not name.startswith('result/') or '/' in name[len('result/'):] or '..' in name:
                self.send_error(404)
                return
            length = int(self.headers.get('Content-Length', '0'))
            body = self.rfile.read(length)
            with open(os.path.join(out_dir, name[len('result/'):]), 'wb') as f:
                f.write(body)
            self.send_response(204)
            self.end_headers()
            if name == 'result/exit':
                finished.set()

    server = http.server.ThreadingHTTPServer(('127.0.0.1', port), Handler)
    with open(port_file, 'w') as f:
        f.write(str(server.server_address[1]))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    ok = finished.wait(timeout)
    server.shutdown()
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
