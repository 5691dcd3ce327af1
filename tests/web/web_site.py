# SPDX-License-Identifier: GPL-3.0-or-later
"""A tiny site on 127.0.0.1 that prints its port, then the path of every request it answers, until stdin closes.

/redirect goes to /page; /counter is cacheable for an hour and differs each time it is really fetched; /slow waits
30 s; /cookie sets a persistent cookie; /unavailable answers 503 with a page.
"""
import http.server
import sys
import threading
import time

HEADERS = {"/redirect": ("Location", "/page"), "/counter": ("Cache-Control", "max-age=3600"),
           "/cookie": ("Set-Cookie", "session=kept; Max-Age=86400; Path=/")}


class Handler(http.server.BaseHTTPRequestHandler):
    log_message = lambda *_: None  # quiet

    def do_GET(self):
        path = self.path.split("?")[0]
        print(path, flush=True)
        if path == "/slow":
            time.sleep(30)  # the connection goes when the page gives up on it
        title = time.monotonic_ns() if path == "/counter" else path.strip("/") or "home"
        body = (f'<!doctype html><html><head><meta charset="utf-8"><title>{title}</title></head><body><h1>{title}'
                '</h1><a id="blank" target="_blank" href="/target">new window</a></body></html>').encode()
        self.send_response({"/redirect": 302, "/unavailable": 503}.get(path, 200))
        for name, value in [("Content-Type", "text/html; charset=utf-8"), ("Content-Length", str(len(body))),
                            *([HEADERS[path]] if path in HEADERS else [])]:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
threading.Thread(target=server.serve_forever, daemon=True).start()
sys.stdin.read()
