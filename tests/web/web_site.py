"""A tiny site for the web worker's tests, on 127.0.0.1 at a free port.

Prints the port on the first line of stdout, then the path of every request it answers, and stops
when stdin closes.
"""
import http.server
import sys
import threading
import time

PAGE = """<!doctype html><html><head><meta charset="utf-8"><title>{title}</title></head>
<body><h1>{title}</h1><a id="blank" target="_blank" href="/target">new window</a></body></html>"""


class Handler(http.server.BaseHTTPRequestHandler):
    counter = 0

    def log_message(self, *args):
        pass

    def do_GET(self):
        path = self.path.split("?")[0]
        print(path, flush=True)
        if path == "/redirect":
            self.send_response(302)
            self.send_header("Location", "/page")
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        if path == "/counter":
            # Cacheable for an hour, and different every time it is really fetched.
            Handler.counter += 1
            body = PAGE.format(title=Handler.counter).encode()
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "max-age=3600")
            self.end_headers()
            self.wfile.write(body)
            return
        if path == "/slow":
            # Long enough for any test; the connection goes when the page gives up on it.
            time.sleep(30)
        body = PAGE.format(title=path.strip("/") or "home").encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        if path == "/cookie":
            self.send_header("Set-Cookie", "session=kept; Max-Age=86400; Path=/")
        self.end_headers()
        self.wfile.write(body)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True


server = Server(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
threading.Thread(target=server.serve_forever, daemon=True).start()
sys.stdin.read()
