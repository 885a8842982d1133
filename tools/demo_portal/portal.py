#!/usr/bin/python3
"""Demo game portal on the loopback interface: login page, game pages, the
update manifest and download files, with switches that make individual paths
misbehave (404, no Content-Length, slow, cut short) for the client's tests.

Prints "PORT <n>" once listening; stops cleanly on SIGTERM or SIGINT."""

import argparse
import datetime
import json
import os
import re
import secrets
import select
import signal
import socket
import sys
import threading
import time
import traceback
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, quote, unquote, urlsplit

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import content  # noqa: E402
import manifests  # noqa: E402
import pages  # noqa: E402

MANIFEST_PATH = "/gamehome/vld/update.txt"
SESSION_PARAM = "session"
SESSION_COOKIE = "vld_session"
WELCOME_PATH = "/pcLogin/welcome"
# Tokens are secrets.token_hex(16); anything else in the URL is no session at all.
SESSION_TOKEN = re.compile(r"[0-9a-f]{32}")
MAX_BODY = 1 << 20
SLOW_TICK = 0.05  # seconds between the pieces of a slow response
HUGE_BYTES = (256 << 20) + 1  # announced by /announce-huge/: a byte more than an updater's file may have


def parse_args(argv):
    p = argparse.ArgumentParser(description="LumoraVeldan demo portal")
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--port", type=int, default=0, help="0 picks a free port")
    p.add_argument("--port-file", help="also write the port number to this file")
    p.add_argument("--version", dest="manifest_version", default="1.1.0",
                   help="version named by the manifest (default 1.1.0, the client's own)")
    p.add_argument("--log", help="append one JSON object per request to this file")
    p.add_argument("--error-page", action="store_true",
                   help="the login page answers a short error page")
    p.add_argument("--status-404", action="append", default=[], metavar="PATH")
    p.add_argument("--manifest-404", action="store_true")
    p.add_argument("--no-content-length", action="append", default=[], metavar="PATH")
    p.add_argument("--no-length-mode", choices=("chunked", "close"), default="chunked",
                   help="how a response without Content-Length ends (default chunked)")
    p.add_argument("--truncate", action="append", default=[], metavar="PATH",
                   help="announce the full length, send part of the body, close")
    p.add_argument("--truncate-percent", type=int, default=50, metavar="P",
                   help="share of the body a truncated path sends, 0 to 100 (default 50)")
    p.add_argument("--slow", action="append", default=[], metavar="PATH")
    p.add_argument("--slow-rate", type=int, default=8192, metavar="BYTES_PER_SEC")
    p.add_argument("--slow-delay", type=float, default=0.0, metavar="SEC",
                   help="pause before a slow response's status line")
    p.add_argument("--files", metavar="DIR", help="serve the files of DIR under /files/")
    p.add_argument("--manifest-line", action="append", metavar="LINE",
                   help="a file line of the manifest (repeatable, replaces the defaults); "
                        "{base} stands for http://HOST:PORT")
    p.add_argument("--no-file-lines", action="store_true", help="the manifest holds only its version line")
    p.add_argument("--manifest-file", metavar="F", help="serve these bytes verbatim as the manifest")
    p.add_argument("--line-ends", choices=sorted(content.LINE_ENDS), default="crlf")
    p.add_argument("--unsigned", action="store_true",
                   help="serve the manifest as it is, without hashes or signature (a portal that does not sign)")
    p.add_argument("--signing-key", metavar="PEM", help="sign manifests with this key instead of the demo key")
    p.add_argument("--cookie-session", action="store_true",
                   help="the login keeps the session in an HttpOnly cookie and redirects; game pages "
                        "read the account from that cookie alone")
    p.add_argument("--cookie-max-age", type=int, default=7 * 86400, metavar="SEC",
                   help="lifetime of the session cookie (default a week); 0 makes it a session cookie")
    p.add_argument("--stop-on-stdin-eof", action="store_true",
                   help="stop when standard input closes, so a portal never outlives the test that started it")
    opts = p.parse_args(argv)
    if opts.slow_rate < 1:
        p.error("--slow-rate must be at least 1")
    if opts.cookie_max_age < 0:
        p.error("--cookie-max-age must not be negative")
    if not 0 <= opts.truncate_percent <= 100:
        p.error("--truncate-percent must be between 0 and 100")
    if opts.manifest_404:
        opts.status_404.append(MANIFEST_PATH)
    if opts.no_file_lines:
        opts.manifest_line = []
    elif opts.manifest_line is None:
        opts.manifest_line = content.default_file_lines()
    return opts


class Response:
    def __init__(self, status, body, content_type="text/html; charset=utf-8", headers=(), delay=0.0,
                 behaviour=None, cut_to=None):
        self.status = status
        self.body = body.encode("utf-8") if isinstance(body, str) else body
        self.content_type = content_type
        self.headers = list(headers)
        self.delay = delay  # seconds before the status line
        # None, "never" (no answer at all), "trickle" (a byte a second), "trickle-header" (the
        # same, of a header that never ends), "stall" (half the body, then nothing) or "huge"
        # (HUGE_BYTES announced, nothing sent)
        self.behaviour = behaviour
        self.cut_to = cut_to  # announce the whole body, send this many bytes, close


def html(body, status=200, headers=()):
    return Response(status, body, headers=headers)


def not_found():
    return html(pages.not_found_page(), 404)


class PortalServer(ThreadingHTTPServer):
    daemon_threads = True  # a stalled client must not hold up shutdown

    def __init__(self, opts):
        super().__init__((opts.host, opts.port), PortalHandler)
        self.opts = opts
        host = "127.0.0.1" if opts.host in ("", "0.0.0.0") else opts.host
        self.base_url = "http://%s:%d" % (host, self.server_address[1])
        self.builtin_files = content.builtin_files()
        self.logo = content.logo_png()
        self.signer = manifests.Signer(opts.signing_key)
        self.sessions = {}
        self.served = {}  # path -> requests answered, for the pages that change with use
        self.huge = None  # the big picture, made on first use
        self.stopping = threading.Event()  # held responses let go
        self.lock = threading.Lock()
        self.log_file = open(opts.log, "a", encoding="utf-8") if opts.log else None

    def new_session(self, account):
        token = secrets.token_hex(16)
        with self.lock:
            self.sessions[token] = account
        return token

    def count_request(self, path):
        """How many requests of `path` came before this one."""
        with self.lock:
            earlier = self.served.get(path, 0)
            self.served[path] = earlier + 1
        return earlier

    def session_account(self, token):
        with self.lock:
            return self.sessions.get(token)

    def write_log(self, entry):
        if self.log_file is None:
            return
        line = json.dumps(entry, ensure_ascii=False) + "\n"
        with self.lock:
            self.log_file.write(line)
            self.log_file.flush()

    def server_close(self):
        super().server_close()
        if self.log_file is not None:
            self.log_file.close()
            self.log_file = None


class PortalHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "LumoraVeldanPortal/1.0"

    def setup(self):
        super().setup()
        # Headers and body leave in separate writes: without this, every later response on a
        # kept connection waited about 40 ms for the client's delayed ACK (Nagle).
        self.connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)

    def do_GET(self):
        self.serve()

    do_POST = do_HEAD = do_PUT = do_DELETE = do_OPTIONS = do_PATCH = do_GET

    def log_message(self, format, *args):
        pass  # the --log file is the record; stderr stays quiet under CTest

    def serve(self):
        url = urlsplit(self.path)
        path = url.path
        body = self.read_body()
        opts = self.server.opts
        try:
            if path in opts.status_404:
                resp = not_found()
            else:
                resp = self.route(path, url.query, body)
        except Exception:
            traceback.print_exc()
            resp = html(pages.short_error_page(), 500)
        self.server.write_log({
            "time": datetime.datetime.now().isoformat(timespec="milliseconds"),
            "method": self.command,
            "path": path,
            "query": url.query,
            "headers": dict(self.headers.items()),
            "body": body.decode("utf-8", "replace") if self.command == "POST" else None,
            "status": resp.status,
            "session_cookies": self.session_cookies(),
            "session_account": self.cookie_account(),
        })
        try:
            self.send(resp, path)
        except (BrokenPipeError, ConnectionResetError):
            self.close_connection = True

    def read_body(self):
        try:
            length = int(self.headers.get("Content-Length", 0))
        except ValueError:
            length = 0
        if length <= 0:
            return b""
        if length > MAX_BODY:
            self.close_connection = True  # the rest of the stream cannot be resynchronised
            length = MAX_BODY
        return self.rfile.read(length)

    def route(self, path, query, body):
        if self.command not in ("GET", "POST", "HEAD"):
            return html(pages.short_error_page(), 405, [("Allow", "GET, POST, HEAD")])
        params = parse_qs(query, keep_blank_values=True, errors="replace")
        if path == "/":
            return html(pages.home_page())
        if path == "/pcLogin/":
            if self.server.opts.error_page:
                return html(pages.short_error_page())
            method = "get" if params.get("form", [""])[0] == "get" else "post"
            return html(pages.login_page(method=method))
        variant = self.login_variant(path)
        if variant is not None:
            return variant
        if path == "/pcLogin/login":
            if self.command == "POST":
                params = parse_qs(body.decode("utf-8", "replace"), keep_blank_values=True)
            return self.login(params)
        if path == "/game/":
            return self.cookie_game(params) if self.server.opts.cookie_session else self.game(params)
        if path == WELCOME_PATH and self.server.opts.cookie_session:
            return self.welcome()
        if path == MANIFEST_PATH:
            return self.manifest()
        m = re.fullmatch(r"/hostile/([a-z-]+)/update\.txt", path)
        if m:
            return self.hostile_manifest(m.group(1))
        m = re.fullmatch(r"/manifest-after/(\d{1,3})/([0-9A-Za-z.]{1,20})/update\.txt", path)
        if m:
            # The portal's own manifest for the first K requests, then one naming another version:
            # a client that starts current and meets an update on demand.
            later = self.server.count_request(path) >= int(m.group(1))
            return self.manifest(m.group(2) if later else None)
        if path.startswith("/files/"):
            return self.download(unquote(path[len("/files/"):], errors="replace"))
        if path.startswith(manifests.TAMPERED_FILES):
            resp = self.download(unquote(path[len(manifests.TAMPERED_FILES):], errors="replace"))
            if resp.status == 200:
                resp.body = manifests.tampered(resp.body)
            return resp
        if path == "/static/logo.png":
            return Response(200, self.server.logo, "image/png")
        if path == "/error-short":
            return html(pages.short_error_page())
        hostile = self.hostile_route(path)
        if hostile is not None:
            return hostile
        if path == "/redirect":
            # For the client's tests of redirects (to long addresses, too).
            target = params.get("to", ["/"])[0]
            return html(pages.short_error_page(), 302, [("Location", target)])
        return not_found()

    def login_variant(self, path):
        """Login pages for the client's tests, reached by pointing the client's
        portal URL at a prefix: /length/<N>/pcLogin/, /then/<hex>/pcLogin/,
        /short-after/<K>/pcLogin/, /then-after/<K>/<hex>/pcLogin/ (the plain
        page K times, then the one that navigates on) and /late-after/<K>/<ms>/pcLogin/."""
        m = re.fullmatch(r"/length/(\d{1,6})/pcLogin/", path)
        if m:
            length = int(m.group(1))
            if length < len(pages.EMPTY_ROOT_INNER):
                return not_found()
            return html(pages.page_of_inner_length(length))
        m = re.fullmatch(r"/then/((?:[0-9a-fA-F]{2})*)/pcLogin/", path)
        if m:
            target = bytes.fromhex(m.group(1)).decode("utf-8", "replace")
            return html(pages.login_page(refresh_to=target))
        m = re.fullmatch(r"/then-after/(\d{1,3})/((?:[0-9a-fA-F]{2})*)/pcLogin/", path)
        if m:
            if self.server.count_request(path) < int(m.group(1)):
                return html(pages.login_page())
            target = bytes.fromhex(m.group(2)).decode("utf-8", "replace")
            return html(pages.login_page(refresh_to=target))
        m = re.fullmatch(r"/late-after/(\d{1,3})/(\d{1,5})/pcLogin/", path)
        if m:
            # The login page at once K times, then <ms> milliseconds late: a further login's
            # window that waits for its page.
            late = self.server.count_request(path) >= int(m.group(1))
            return Response(200, pages.login_page(), delay=int(m.group(2)) / 1000 if late else 0.0)
        m = re.fullmatch(r"/short-after/(\d{1,3})/pcLogin/", path)
        if m:
            if self.server.count_request(path) < int(m.group(1)):
                return html(pages.login_page())
            return html(pages.short_error_page())
        return None

    def hostile_route(self, path):
        """Pages and pictures that test a client's bounds: /images/<K>/<kind>/pcLogin/ (the login
        page with K pictures from /<kind>/<i>.png), /never/... (never answered), /trickle/...
        (a byte a second), /trickle-headers/... (/trickle-header/600/), /stall/<name> (half
        of a served file, then nothing), /announce-huge/... (HUGE_BYTES announced, nothing sent),
        /slow-image/<ms>/... (the logo, <ms> late), /big-image/... (8000 x 8000 pixels),
        /inputs/<N>/ (N text fields), /links/<N>/ (N links), /hostile-page/<kind>/pcLogin/ (the login page with markup
        that tests a browser's bounds, see pages.hostile_login_page) and /trickle-header/<S>/... (a
        status line, then a header a byte a second for S seconds, never ended: the connection
        closes then)."""
        m = re.fullmatch(r"/images/(\d{1,2})/(never|trickle|big-image|slow-image/\d{1,5})/pcLogin/", path)
        if m:
            images = ["/%s/%d.png" % (m.group(2), i) for i in range(int(m.group(1)))]
            return html(pages.login_page(images=images))
        if path.startswith("/never/"):
            return Response(200, b"", "image/png", behaviour="never")
        if path.startswith("/trickle/"):
            return Response(200, self.server.logo, "image/png", behaviour="trickle")
        if path.startswith("/trickle-headers/"):
            # The same as /trickle-header/600/: longer than any client waits.
            resp = Response(200, b"", behaviour="trickle-header")
            resp.seconds = 600
            return resp
        if path.startswith("/stall/"):
            resp = self.download(unquote(path[len("/stall/"):], errors="replace"))
            if resp.status == 200:
                resp.behaviour = "stall"
            return resp
        if path.startswith("/announce-huge/"):
            return Response(200, b"", "application/octet-stream", behaviour="huge")
        m = re.fullmatch(r"/slow-image/(\d{1,5})/[^/]*", path)
        if m:
            return Response(200, self.server.logo, "image/png", delay=int(m.group(1)) / 1000)
        if path.startswith("/big-image/"):
            with self.server.lock:
                if self.server.huge is None:
                    self.server.huge = content.huge_png()
            return Response(200, self.server.huge, "image/png")
        m = re.fullmatch(r"/hostile-page/([a-z-]+)/pcLogin/", path)
        if m and m.group(1) in pages.HOSTILE_LOGIN_PAGES:
            return html(pages.hostile_login_page(m.group(1)))
        m = re.fullmatch(r"/trickle-header/(\d{1,3})/[^/]*", path)
        if m:
            resp = Response(200, b"", behaviour="trickle-header")
            resp.seconds = int(m.group(1))
            return resp
        m = re.fullmatch(r"/inputs/(\d{1,5})/", path)
        if m and int(m.group(1)) <= 20000:
            return html(pages.inputs_page(int(m.group(1))))
        m = re.fullmatch(r"/links/(\d{1,5})/", path)
        if m and int(m.group(1)) <= 20000:
            return html(pages.links_page(int(m.group(1))))
        return None

    def hold(self, seconds, trickle=b""):
        """Keeps the connection without finishing the response until the client leaves, the
        portal stops or `seconds` pass, sending one byte of `trickle` a second meanwhile."""
        self.close_connection = True
        for tick in range(int(seconds)):
            if trickle and tick < len(trickle):
                self.wfile.write(trickle[tick:tick + 1])
                self.wfile.flush()
            ready, _, _ = select.select([self.connection], [], [], 0)
            if ready and not self.connection.recv(1, socket.MSG_PEEK):
                return  # the client closed its end
            if self.server.stopping.wait(1):
                return

    def login(self, params):
        user = params.get("username", [""])[0].strip()
        password = params.get("password", [""])[0]
        if not user or not password:
            return html(pages.login_page("请输入帐号和密码。", user))
        if password == "wrong":
            return html(pages.login_page("帐号或密码错误，请重新输入。", user))
        token = self.server.new_session(user)
        if self.server.opts.cookie_session:
            return self.cookie_login(token)
        # The session rides in the game URL, not in a cookie: the client keeps several accounts
        # in one process with one cookie store, and a cookie would make every tab the last
        # account's. The account is percent-encoded so a "|" in it cannot add a field to the
        # start command.
        app_url = "app://loadgame|%s/game/?account=%s&%s=%s" % (
            self.server.base_url, quote(user, safe=""), SESSION_PARAM, token)
        return html(pages.login_success_page(app_url))

    def session_of(self, params, account):
        """The token of the request's URL when it is a session of `account`, else None: a token
        of another account, a repeated, malformed or unknown one is no session."""
        tokens = params.get(SESSION_PARAM, [])
        if len(tokens) != 1 or not SESSION_TOKEN.fullmatch(tokens[0]):
            return None
        return tokens[0] if self.server.session_account(tokens[0]) == account else None

    def cookie_login(self, token):
        """The session in a cookie and a redirect (303 after a POST) to the page that starts the
        game: the client must keep a cookie set on a redirect."""
        cookie = "%s=%s; Path=/; HttpOnly; SameSite=Lax" % (SESSION_COOKIE, token)
        max_age = self.server.opts.cookie_max_age
        if max_age:
            # Both, for browsers that know only Expires.
            expires = datetime.datetime.now(datetime.timezone.utc) + datetime.timedelta(seconds=max_age)
            cookie += "; Max-Age=%d; Expires=%s" % (max_age, expires.strftime("%a, %d %b %Y %H:%M:%S GMT"))
        status = 303 if self.command == "POST" else 302
        return html(pages.short_error_page(), status, [("Set-Cookie", cookie), ("Location", WELCOME_PATH)])

    def session_cookies(self):
        """The values of every session cookie the request carried, in order."""
        values = []
        for header in self.headers.get_all("Cookie") or []:
            for pair in header.split(";"):
                name, sep, value = pair.strip().partition("=")
                if sep and name.strip() == SESSION_COOKIE:
                    values.append(value.strip())
        return values

    def cookie_account(self):
        """The account of the request's session cookie; None without exactly one that is a session."""
        values = self.session_cookies()
        if len(values) != 1 or not SESSION_TOKEN.fullmatch(values[0]):
            return None
        return self.server.session_account(values[0])

    def welcome(self):
        if self.cookie_account() is None:
            return html(pages.login_page("请先登录。"))
        return html(pages.login_success_page("app://loadgame|%s/game/" % self.server.base_url))

    def cookie_game(self, params):
        """The game page of the account of the session cookie; the URL names no account."""
        account = self.cookie_account()
        if account is None:
            return html(pages.signed_out_page())
        server = self.server_number(params)
        return html(pages.game_page(account, server, self.session_cookies()[0], in_url=False))

    def server_number(self, params):
        try:
            server = int(params.get("server", ["1"])[0])
        except ValueError:
            server = 1
        return server if server in pages.SERVERS else 1

    def game(self, params):
        account = params.get("account", [""])[0] or "游客"
        server = self.server_number(params)
        return html(pages.game_page(account, server, self.session_of(params, account)))

    def raw_manifest(self, version=None):
        opts = self.server.opts
        if opts.manifest_file and version is None:
            with open(opts.manifest_file, "rb") as f:
                return f.read()
        return content.manifest_bytes(version or opts.manifest_version, opts.manifest_line,
                                      self.server.base_url, content.LINE_ENDS[opts.line_ends])

    def manifest(self, version=None):
        data = self.raw_manifest(version)
        if not self.server.opts.unsigned:
            data = self.server.signer.signed(data, self.file_bytes)
        return Response(200, data, "text/plain")

    def hostile_manifest(self, kind):
        data = self.server.signer.variant(kind, self.raw_manifest(), self.file_bytes)
        if data is None:
            return not_found()
        if kind == "trickle":
            return Response(200, data, "text/plain", behaviour="trickle")
        if kind == "cut":
            return Response(200, data, "text/plain", cut_to=len(manifests.cut_at_line(data)))
        return Response(200, data, "text/plain")

    def file_bytes(self, name):
        """A file the portal serves under /files/, by name; None when there is none."""
        data = content.read_extra_file(self.server.opts.files, name)
        return data if data is not None else self.server.builtin_files.get(name)

    def download(self, name):
        data = self.file_bytes(name)
        if data is None:
            return not_found()
        return Response(200, data, "application/octet-stream")

    def send(self, resp, path):
        opts = self.server.opts
        if resp.behaviour == "never":
            self.hold(600)
            return
        if resp.delay:
            time.sleep(resp.delay)
        if resp.behaviour == "trickle-header":
            self.wfile.write(b"HTTP/1.1 200 OK\r\nX-Trickle: ")
            self.wfile.flush()
            self.hold(resp.seconds, b"a" * resp.seconds)
            return
        if resp.behaviour in ("stall", "huge"):
            # The whole length announced (or HUGE_BYTES), half of the body sent, then nothing more.
            self.send_response(resp.status)
            self.send_header("Content-Type", resp.content_type)
            length = HUGE_BYTES if resp.behaviour == "huge" else len(resp.body)
            self.send_header("Content-Length", str(length))
            self.end_headers()
            self.wfile.write(resp.body[:len(resp.body) // 2])
            self.wfile.flush()
            self.hold(600)
            return
        if resp.behaviour == "trickle":
            self.send_response(resp.status)
            self.send_header("Content-Type", resp.content_type)
            self.send_header("Content-Length", str(len(resp.body)))
            self.end_headers()
            self.hold(600, resp.body)
            return
        slow = path in opts.slow
        if slow and opts.slow_delay > 0:
            time.sleep(opts.slow_delay)
        body = b"" if self.command == "HEAD" else resp.body
        chunked = False
        self.send_response(resp.status)
        self.send_header("Content-Type", resp.content_type)
        for name, value in resp.headers:
            self.send_header(name, value)
        if path in opts.no_content_length:
            if opts.no_length_mode == "chunked":
                chunked = True
                self.send_header("Transfer-Encoding", "chunked")
            else:
                self.send_header("Connection", "close")
                self.close_connection = True
        else:
            self.send_header("Content-Length", str(len(resp.body)))
            cut_to = len(body) * opts.truncate_percent // 100 if path in opts.truncate else resp.cut_to
            if cut_to is not None:
                body = body[:cut_to]
                self.send_header("Connection", "close")
                self.close_connection = True
        self.end_headers()
        piece = max(1, int(opts.slow_rate * SLOW_TICK)) if slow else max(1, len(body))
        for start in range(0, len(body), piece):
            if slow and start:
                time.sleep(SLOW_TICK)
            self.write_piece(body[start:start + piece], chunked)
        if chunked and self.command != "HEAD":
            self.wfile.write(b"0\r\n\r\n")
        self.wfile.flush()

    def write_piece(self, data, chunked):
        if chunked:
            self.wfile.write(b"%X\r\n" % len(data) + data + b"\r\n")
        else:
            self.wfile.write(data)
        self.wfile.flush()


def write_port_file(path, port):
    # Written under a temporary name and renamed, so a reader never sees half a number.
    tmp = path + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d\n" % port)
    os.replace(tmp, path)


def wait_for_stdin_eof(stop):
    # Raw reads: a thread parked inside sys.stdin's buffered reader would
    # abort the interpreter at exit.
    try:
        while os.read(0, 4096):
            pass
    except OSError:
        pass
    stop.set()


def main(argv=None):
    opts = parse_args(argv)
    server = PortalServer(opts)
    port = server.server_address[1]
    if opts.port_file:
        write_port_file(opts.port_file, port)
    print("PORT %d" % port, flush=True)

    stop = threading.Event()
    for sig in (signal.SIGTERM, signal.SIGINT):
        signal.signal(sig, lambda *_: stop.set())
    if opts.stop_on_stdin_eof:
        threading.Thread(target=wait_for_stdin_eof, args=(stop,), daemon=True).start()
    # serve_forever runs on a helper thread because shutdown() must be called
    # from a thread other than the one serving.
    worker = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1}, daemon=True)
    worker.start()
    while not stop.wait(0.5):
        pass
    server.stopping.set()
    server.shutdown()
    server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
