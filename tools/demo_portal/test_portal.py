"""Tests of the demo portal: each starts portal.py as a process on a free port
and talks HTTP to it, as the client does.

Run from the repository root: python3 tools/demo_portal/test_portal.py"""

import base64
import calendar
import hashlib
import http.client
import http.cookies
import json
import os
import re
import select
import signal
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
from html.parser import HTMLParser
from urllib.parse import parse_qs, urlencode, urlsplit, quote

PORTAL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "portal.py")
KEY_COLOUR = "#fefefe"
# The browser measures its own re-serialisation of the markup, which drops
# attribute quotes; a login page must clear 1500 characters by a wide margin.
LOGIN_INNER_MIN = 2000
ERROR_INNER_MAX = 600


class Portal:
    """One portal process, stopped with SIGTERM on exit."""

    def __init__(self, *args):
        self.tmp = tempfile.TemporaryDirectory()
        self.log_path = os.path.join(self.tmp.name, "requests.log")
        self.port_file = os.path.join(self.tmp.name, "port")
        self.proc = subprocess.Popen(
            [sys.executable, PORTAL, "--port", "0", "--log", self.log_path,
             "--port-file", self.port_file, "--stop-on-stdin-eof"] + list(args),
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        ready, _, _ = select.select([self.proc.stdout], [], [], 10)
        self.port_line = self.proc.stdout.readline() if ready else ""
        m = re.fullmatch(r"PORT (\d+)\n", self.port_line)
        if not m:
            self.stop()
            raise AssertionError("no port line from the portal: %r" % self.port_line)
        self.port = int(m.group(1))
        self.base = "http://127.0.0.1:%d" % self.port

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()

    def stop(self, sig=signal.SIGTERM):
        """Ends the portal (idempotent) and returns its exit status."""
        if self.proc.poll() is None:
            self.proc.send_signal(sig)
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.proc.stdin.close()
        self.proc.stdout.close()
        self.tmp.cleanup()
        return self.proc.returncode

    def request(self, path, method="GET", body=None, headers=None):
        conn = http.client.HTTPConnection("127.0.0.1", self.port, timeout=10)
        try:
            conn.request(method, path, body=body, headers=headers or {})
            resp = conn.getresponse()
            return resp.status, resp.headers, resp.read()
        finally:
            conn.close()

    def page(self, path, **kw):
        status, headers, body = self.request(path, **kw)
        return status, headers, body.decode("utf-8")

    def raw_get(self, path):
        """The response as raw bytes (head, body) and the list of recv results."""
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as s:
            s.sendall(b"GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n" % path.encode())
            reads = []
            while True:
                data = s.recv(65536)
                if not data:
                    break
                reads.append(data)
        head, _, body = b"".join(reads).partition(b"\r\n\r\n")
        return head.decode("latin-1"), body, reads

    def log(self):
        with open(self.log_path, encoding="utf-8") as f:
            return [json.loads(line) for line in f]

    def wait_for_requests(self, count):
        for _ in range(200):
            if os.path.exists(self.log_path) and len(self.log()) >= count:
                return
            time.sleep(0.05)
        raise AssertionError("the request never reached the portal")


class Node:
    def __init__(self, tag, attrs=None):
        self.tag, self.attrs, self.children = tag, attrs or {}, []

    def find_all(self, tag):
        for child in self.children:
            if isinstance(child, Node):
                if child.tag == tag:
                    yield child
                yield from child.find_all(tag)

    def find(self, tag):
        return next(self.find_all(tag), None)

    def text(self):
        return "".join(c if isinstance(c, str) else c.text() for c in self.children)


class TreeBuilder(HTMLParser):
    VOID = {"meta", "input", "br", "img", "hr", "link"}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.root = Node("#document")
        self.stack = [self.root]

    def handle_starttag(self, tag, attrs):
        node = Node(tag, {k: v or "" for k, v in attrs})
        self.stack[-1].children.append(node)
        if tag not in self.VOID:
            self.stack.append(node)

    def handle_endtag(self, tag):
        if any(n.tag == tag for n in self.stack[1:]):
            while self.stack.pop().tag != tag:
                pass

    def handle_data(self, data):
        self.stack[-1].children.append(data)


def parse(text):
    b = TreeBuilder()
    b.feed(text)
    b.close()
    return b.root


def inner_html_length(text):
    m = re.search(r"<html[^>]*>(.*)</html>", text, re.S | re.I)
    return len(m.group(1)) if m else 0


def meta_refresh(doc):
    for meta in doc.find_all("meta"):
        if meta.attrs.get("http-equiv", "").lower() == "refresh":
            return meta.attrs["content"]
    return None


class SharedPortal(unittest.TestCase):
    """Cases that only read pages share one default portal."""

    @classmethod
    def setUpClass(cls):
        cls.portal = Portal()
        cls.addClassCleanup(cls.portal.stop)


class StartAndStop(unittest.TestCase):
    def test_port_line_and_port_file_name_the_listening_port(self):
        with Portal() as p:
            with open(p.port_file) as f:
                self.assertEqual(f.read().strip(), str(p.port))
            self.assertEqual(p.request("/")[0], 200)

    def test_closing_stdin_stops_the_portal(self):
        with Portal() as p:
            p.proc.stdin.close()
            self.assertEqual(p.proc.wait(10), 0)

    def test_fixed_port(self):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        with Portal("--port", str(port)) as p:
            self.assertEqual(p.port, port)

    def test_signals_end_the_process_cleanly_even_with_a_stalled_response(self):
        for sig in (signal.SIGTERM, signal.SIGINT):
            with self.subTest(signal=sig):
                p = Portal("--slow", "/", "--slow-delay", "60")
                self.addCleanup(p.stop)
                stalled = socket.create_connection(("127.0.0.1", p.port))
                self.addCleanup(stalled.close)
                stalled.sendall(b"GET / HTTP/1.1\r\nHost: x\r\n\r\n")
                p.wait_for_requests(1)
                port = p.port
                self.assertEqual(p.stop(sig), 0)
                with self.assertRaises(OSError):
                    socket.create_connection(("127.0.0.1", port), timeout=2).close()



class Manifest(unittest.TestCase):
    def expected(self, p, version="1.1.0", end=b"\r\n"):
        return (b"version=" + version.encode() + end
                + b"demo20000.bin|" + p.base.encode() + b"/files/demo20000.bin" + end
                + b"Corvane.exe|" + p.base.encode() + b"/files/Corvane.exe" + end)

    def test_default_manifest_and_its_downloads(self):
        with Portal("--unsigned") as p:
            status, headers, body = p.request("/gamehome/vld/update.txt")
            self.assertEqual(status, 200)
            self.assertEqual(body, self.expected(p))
            self.assertEqual(headers["Content-Length"], str(len(body)))
            self.assertTrue(headers["Content-Type"].startswith("text/plain"))

            sizes = {}
            for line in body.split(b"\r\n")[1:-1]:
                url = urlsplit(line.split(b"|")[1].decode())
                status, headers, data = p.request(url.path)
                self.assertEqual(status, 200, url.path)
                self.assertEqual(headers["Content-Length"], str(len(data)))
                self.assertEqual(data, p.request(url.path)[2], "downloads must be deterministic")
                sizes[url.path] = data
            small, exe = sizes["/files/demo20000.bin"], sizes["/files/Corvane.exe"]
            self.assertEqual(len(small), 20000)
            self.assertGreater(len(set(small)), 200, "a varied pattern, so misplaced blocks show")
            self.assertNotEqual(small[:8192], small[8192:16384])
            self.assertEqual(len(exe), 300 * 1024)
            self.assertEqual(exe[:2], b"MZ")

    def test_version_and_line_ends(self):
        for name, end in (("crlf", b"\r\n"), ("lf", b"\n"), ("cr", b"\r")):
            with self.subTest(line_ends=name), Portal("--version", "1.2.0", "--line-ends", name, "--unsigned") as p:
                self.assertEqual(p.request("/gamehome/vld/update.txt")[2], self.expected(p, "1.2.0", end))

    def test_file_lines_can_be_replaced_or_dropped(self):
        with Portal("--manifest-line", "a.bin|{base}/files/a.bin", "--manifest-line", "no separator",
                    "--unsigned") as p:
            self.assertEqual(p.request("/gamehome/vld/update.txt")[2],
                             b"version=1.1.0\r\na.bin|" + p.base.encode() + b"/files/a.bin\r\nno separator\r\n")
        with Portal("--no-file-lines", "--line-ends", "lf", "--unsigned") as p:
            self.assertEqual(p.request("/gamehome/vld/update.txt")[2], b"version=1.1.0\n")

    def test_manifest_file_is_served_verbatim(self):
        raw = b"Version: 1.1.0\t\r\nx|http://127.0.0.1:1/x\r\ntail without end"
        with tempfile.NamedTemporaryFile(delete=False) as f:
            f.write(raw)
        try:
            with Portal("--manifest-file", f.name, "--unsigned") as p:
                self.assertEqual(p.request("/gamehome/vld/update.txt")[2], raw)
        finally:
            os.unlink(f.name)

    def test_manifest_404(self):
        with Portal("--manifest-404") as p:
            self.assertEqual(p.request("/gamehome/vld/update.txt")[0], 404)
            self.assertEqual(p.request("/files/demo20000.bin")[0], 200)


class SignedManifest(unittest.TestCase):
    """What the portal publishes by default, checked the way the client checks it, and the hostile
    variants the client's tests meet."""

    def setUp(self):
        sys.path.insert(0, os.path.join(os.path.dirname(PORTAL), "..", "signing"))
        import manifest_signing
        from cryptography.hazmat.primitives import hashes
        from cryptography.hazmat.primitives.asymmetric import ec
        from cryptography.hazmat.primitives.asymmetric.utils import encode_dss_signature
        self.ms = manifest_signing
        public = manifest_signing.load_private_key().public_key()

        def verifies(data):
            lines = manifest_signing.split_lines(data)
            signatures = [t for t, _ in lines if t.startswith(b"signature=")]
            if len(signatures) != 1 or not lines[-1][0].startswith(b"signature="):
                return False
            raw = base64.b64decode(signatures[0][len(b"signature="):], validate=True)
            der = encode_dss_signature(int.from_bytes(raw[:32], "big"), int.from_bytes(raw[32:], "big"))
            try:
                public.verify(der, manifest_signing.covered_bytes(data), ec.ECDSA(hashes.SHA256()))
                return True
            except Exception:
                return False
        self.verifies = verifies

    def file_lines(self, data):
        return [t.split(b"|") for t, _ in self.ms.split_lines(data) if b"|" in t]

    def issued(self, data):
        return [t[len(b"issued="):].decode() for t, _ in self.ms.split_lines(data) if t.startswith(b"issued=")]

    def without_issued(self, data):
        return b"".join(t + e for t, e in self.ms.split_lines(data) if not t.startswith(b"issued="))

    def test_default_is_signed_with_every_file_hashed(self):
        with Portal("--version", "1.2.0") as p:
            body = p.request("/gamehome/vld/update.txt")[2]
            self.assertTrue(self.verifies(body))
            self.assertNotIn(b"version", body.splitlines()[-1].lower())
            # Issued now, in the one form the client takes, under the signature.
            [issued] = self.issued(self.ms.covered_bytes(body))
            self.assertTrue(self.ms.is_issued_time(issued))
            stamp = calendar.timegm(time.strptime(issued, "%Y-%m-%dT%H:%M:%SZ"))
            self.assertLessEqual(abs(stamp - time.time()), 60)
            for fields in self.file_lines(body):
                data = p.request(urlsplit(fields[1].decode()).path)[2]
                self.assertEqual(fields[2].decode(), hashlib.sha256(data).hexdigest())

    def test_hostile_variants(self):
        with Portal("--version", "1.2.0") as p:
            good = p.request("/gamehome/vld/update.txt")[2]
            get = lambda kind: p.request("/hostile/%s/update.txt" % kind)[2]  # noqa: E731
            self.assertEqual(self.without_issued(get("unsigned")), self.without_issued(self.ms.covered_bytes(good)))
            # Replayed: an old manifest, signed when it was new; and one signed without a time.
            replay = get("replay")
            self.assertTrue(self.verifies(replay))
            self.assertEqual(self.issued(replay), ["2020-01-01T00:00:00Z"])
            no_issued = get("no-issued")
            self.assertTrue(self.verifies(no_issued))
            self.assertEqual(self.issued(no_issued), [])
            for kind in ("replay", "no-issued"):
                with self.subTest(kind=kind):
                    self.assertEqual(self.without_issued(self.ms.covered_bytes(get(kind))),
                                     self.without_issued(self.ms.covered_bytes(good)))
            for kind in ("tampered-line", "wrong-key", "signature-middle", "two-signatures"):
                with self.subTest(kind=kind):
                    self.assertFalse(self.verifies(get(kind)))
            short = get("short-hash")
            self.assertTrue(self.verifies(short))
            self.assertEqual(len(self.file_lines(short)[0][2]), 63)
            self.assertGreater(len(get("oversized")), 64 * 1024)
            self.assertTrue(self.verifies(get("oversized")))
            forged = get("tampered-file")
            self.assertTrue(self.verifies(forged))
            fields = self.file_lines(forged)[0]
            self.assertNotEqual(hashlib.sha256(p.request(urlsplit(fields[1].decode()).path)[2]).hexdigest(),
                                fields[2].decode())
            self.assertEqual(p.request("/hostile/nonsense/update.txt")[0], 404)

    def test_signing_again_issues_anew(self):
        # A rollback is the old manifest signed afresh: its old time and signature go.
        old = self.ms.sign(self.ms.stamp_issued(b"version=1.0.9\rA|u/a", "2020-01-01T00:00:00Z"),
                           self.ms.load_private_key())
        self.assertEqual(self.ms.covered_bytes(old), b"version=1.0.9\rA|u/a\rissued=2020-01-01T00:00:00Z\r")
        again = self.ms.sign(self.ms.stamp_issued(old, "2027-03-04T05:06:07Z"), self.ms.load_private_key())
        self.assertTrue(self.verifies(again))
        self.assertEqual(self.ms.covered_bytes(again), b"version=1.0.9\rA|u/a\rissued=2027-03-04T05:06:07Z\r")
        for bad in ("2027-02-29T00:00:00Z", "2027-03-04 05:06:07Z", "2027-03-04T05:06:07", "1969-12-31T23:59:59Z"):
            with self.subTest(bad=bad):
                self.assertRaises(ValueError, self.ms.stamp_issued, b"v\r\n", bad)

    def test_manifest_that_names_another_version_later(self):
        with Portal() as p:
            versions = [p.request("/manifest-after/2/1.2.0/update.txt")[2].split(b"\r\n")[0] for _ in range(3)]
            self.assertEqual(versions, [b"version=1.1.0", b"version=1.1.0", b"version=1.2.0"])
            self.assertTrue(self.verifies(p.request("/manifest-after/0/1.2.0/update.txt")[2]))

    def test_cut_and_trickling_manifests(self):
        with Portal("--version", "1.2.0") as p:
            conn = http.client.HTTPConnection("127.0.0.1", p.port, timeout=10)
            conn.request("GET", "/hostile/cut/update.txt")
            resp = conn.getresponse()
            announced = int(resp.getheader("Content-Length"))
            with self.assertRaises(http.client.IncompleteRead) as cut:
                resp.read()
            self.assertEqual(cut.exception.partial.count(b"\r\n"), 2)
            self.assertGreater(announced, len(cut.exception.partial))
            conn.close()
            conn = http.client.HTTPConnection("127.0.0.1", p.port, timeout=10)
            start = time.monotonic()
            conn.request("GET", "/hostile/trickle/update.txt")
            resp = conn.getresponse()
            self.assertEqual(resp.read(3), b"ver")
            self.assertGreater(time.monotonic() - start, 0.9)
            conn.close()


class LoginPage(SharedPortal):
    def test_login_page_is_long_enough_and_key_coloured(self):
        status, headers, text = self.portal.page("/pcLogin/")
        self.assertEqual(status, 200)
        self.assertIn("charset=utf-8", headers["Content-Type"])
        self.assertGreaterEqual(inner_html_length(text), LOGIN_INNER_MIN)
        doc = parse(text)
        body = doc.find("body")
        self.assertEqual(body.attrs["bgcolor"].lower(), KEY_COLOUR)
        self.assertIn("background-color:" + KEY_COLOUR, body.attrs["style"].lower().replace(" ", ""))
        self.assertIn("margin:0", body.attrs["style"].replace(" ", ""))
        self.assertTrue(any("charset=utf-8" in m.attrs.get("content", "") for m in doc.find_all("meta")))

    def test_layout_places_the_panel_at_520_110_sized_330_by_320(self):
        doc = parse(self.portal.page("/pcLogin/")[2])
        outer = doc.find("table")
        self.assertEqual((outer.attrs["width"], outer.attrs["height"]), ("888", "518"))
        self.assertEqual((outer.attrs["cellpadding"], outer.attrs["cellspacing"]), ("0", "0"))
        rows = [c for c in outer.children if isinstance(c, Node) and c.tag == "tr"]
        cells = [[c for c in r.children if isinstance(c, Node) and c.tag == "td"] for r in rows]
        panel_row = next(i for i, r in enumerate(cells) if len(r) == 3)
        above = sum(int(r[0].attrs["height"]) for r in cells[:panel_row])
        spacer, panel, right = cells[panel_row]
        self.assertEqual(above, 110)
        self.assertEqual(spacer.attrs["width"], "520")
        self.assertEqual((panel.attrs["width"], panel.attrs["height"]), ("330", "320"))
        self.assertNotEqual(panel.attrs["bgcolor"].lower(), KEY_COLOUR)
        self.assertNotIn(KEY_COLOUR, panel.attrs["style"].lower())
        self.assertEqual(above + 320 + sum(int(r[0].attrs["height"]) for r in cells[panel_row + 1:]), 518)
        self.assertIsNotNone(panel.find("form"), "the form sits in the panel")

    def test_form_and_command_links(self):
        for query, method in (("", "post"), ("?form=get", "get")):
            with self.subTest(method=method):
                doc = parse(self.portal.page("/pcLogin/" + query)[2])
                form = doc.find("form")
                self.assertEqual((form.attrs["action"], form.attrs["method"]), ("/pcLogin/login", method))
                inputs = {(i.attrs.get("name"), i.attrs["type"]) for i in form.find_all("input")}
                self.assertLessEqual({("username", "text"), ("password", "password"), (None, "submit")}, inputs)
                hrefs = {a.attrs.get("href") for a in doc.find_all("a")}
                self.assertLessEqual({"app://minimize", "app://exitgame"}, hrefs)

    def test_pages_carry_no_script(self):
        for path in ("/", "/pcLogin/", "/game/?account=a", "/error-short"):
            text = self.portal.page(path)[2].lower()
            self.assertNotIn("<script", text, path)
            self.assertNotIn("javascript:", text, path)

    def test_short_error_page(self):
        status, _, text = self.portal.page("/error-short")
        self.assertEqual(status, 200)
        self.assertLess(inner_html_length(text), ERROR_INNER_MAX)

    def test_redirect_sends_the_client_on(self):
        long_target = "/game/?account=" + "r" * 5000
        status, headers, _ = self.portal.page("/redirect?to=" + quote(long_target, safe=""))
        self.assertEqual(status, 302)
        self.assertEqual(headers["Location"], long_target)
        status, headers, _ = self.portal.page("/redirect")
        self.assertEqual((status, headers["Location"]), (302, "/"))

    def test_error_page_option_shortens_the_login_page(self):
        with Portal("--error-page") as p:
            status, _, text = p.page("/pcLogin/")
            self.assertEqual(status, 200)
            self.assertGreater(inner_html_length(text), 0)
            self.assertLess(inner_html_length(text), ERROR_INNER_MAX)

    def test_pages_of_exact_inner_length(self):
        for length in (26, 1499, 1500, 3000):
            with self.subTest(length=length):
                status, _, text = self.portal.page("/length/%d/pcLogin/" % length)
                self.assertEqual(status, 200)
                self.assertEqual(inner_html_length(text), length)
                self.assertTrue(text.startswith("<!DOCTYPE html><html><head></head><body>"))
        self.assertEqual(self.portal.request("/length/25/pcLogin/")[0], 404)
        self.assertEqual(self.portal.request("/length/x/pcLogin/")[0], 404)

    def test_login_page_that_navigates_on(self):
        target = "app://loadgame|http://127.0.0.1:1/game/?account=a|x"
        status, _, text = self.portal.page("/then/%s/pcLogin/" % target.encode().hex())
        self.assertEqual(status, 200)
        doc = parse(text)
        self.assertEqual(meta_refresh(doc), "1;url=" + target)
        self.assertIsNotNone(doc.find("form"))
        self.assertGreaterEqual(inner_html_length(text), LOGIN_INNER_MIN)
        self.assertEqual(self.portal.request("/then/abc/pcLogin/")[0], 404)
        # The same page only after the plain one was served K times.
        path = "/then-after/2/%s/pcLogin/" % target.encode().hex()
        refreshes = [meta_refresh(parse(self.portal.page(path)[2])) for _ in range(3)]
        self.assertEqual(refreshes, [None, None, "1;url=" + target])

    def test_login_page_that_turns_short_after_some_requests(self):
        for k in (0, 2):
            path = "/short-after/%d/pcLogin/" % k
            lengths = [inner_html_length(self.portal.page(path)[2]) for _ in range(k + 2)]
            for n, length in enumerate(lengths):
                with self.subTest(k=k, request=n):
                    if n < k:
                        self.assertGreaterEqual(length, LOGIN_INNER_MIN)
                    else:
                        self.assertLess(length, ERROR_INNER_MAX)
        self.assertEqual(self.portal.request("/short-after/x/pcLogin/")[0], 404)

    def test_login_page_that_comes_late_after_some_requests(self):
        # The first request of the path answers at once, the second only after one that reached
        # the portal later.
        path = "/late-after/1/1500/pcLogin/"
        self.assertGreaterEqual(inner_html_length(self.portal.page(path)[2]), LOGIN_INNER_MIN)
        result = {}
        seen = len(self.portal.log())
        late = threading.Thread(target=lambda: result.update(r=self.portal.page(path)))
        late.start()
        self.portal.wait_for_requests(seen + 1)
        self.assertEqual(self.portal.request("/pcLogin/")[0], 200)
        self.assertTrue(late.is_alive(), "the late page came first")
        late.join(10)
        self.assertEqual(result["r"][0], 200)
        self.assertGreaterEqual(inner_html_length(result["r"][2]), LOGIN_INNER_MIN)
        for bad in ("/late-after/1/100000/pcLogin/", "/late-after/x/1/pcLogin/", "/late-after/1/pcLogin/"):
            self.assertEqual(self.portal.request(bad)[0], 404, bad)


class LoginFlow(SharedPortal):
    def login(self, user, password, method="POST"):
        form = urlencode({"username": user, "password": password})
        if method == "POST":
            return self.portal.page("/pcLogin/login", method="POST", body=form,
                                    headers={"Content-Type": "application/x-www-form-urlencoded"})
        return self.portal.page("/pcLogin/login?" + form)

    def assert_started(self, user, method):
        status, headers, text = self.login(user, "secret", method)
        self.assertEqual(status, 200)
        # One cookie store holds every account of the client: the session is in the URL only.
        self.assertIsNone(headers["Set-Cookie"])
        doc = parse(text)
        refresh = meta_refresh(doc)
        self.assertTrue(refresh.startswith("0;url=app://loadgame|"), refresh)
        app_url = refresh[len("0;url="):]
        self.assertIn(app_url, {a.attrs.get("href") for a in doc.find_all("a")})
        # The login window measures every page it completes, this one too.
        self.assertGreaterEqual(inner_html_length(text), LOGIN_INNER_MIN)
        session = parse_qs(urlsplit(app_url.split("|")[1]).query)["session"]
        self.assertEqual(len(session), 1)
        self.assertRegex(session[0], r"^[0-9a-f]{32}$")
        return session[0], app_url

    def test_post_login_starts_the_game_with_the_session_in_its_url(self):
        token, app_url = self.assert_started("alice", "POST")
        self.assertEqual(app_url, "app://loadgame|http://127.0.0.1:%d/game/?account=alice&session=%s"
                         % (self.portal.port, token))
        game = urlsplit(app_url.split("|")[1])
        status, _, text = self.portal.page(game.path + "?" + game.query)
        self.assertEqual(status, 200)
        self.assertEqual(parse(text).find("title").text(), "LumoraVeldan - alice")
        self.assertIn("已登录（alice）", parse(text).text())
        self.assertNotIn("未登录", text)

    def test_accounts_in_one_cookie_store_keep_their_own_sessions(self):
        alice, _ = self.assert_started("alice", "POST")
        bob, _ = self.assert_started("bob", "POST")
        self.assertNotEqual(alice, bob)
        # A cookie from elsewhere changes nothing; the URL's token decides, for its own account only.
        cookie = {"Cookie": "vld_session=" + bob}
        cases = (
            ("account=alice&session=" + alice, "已登录（alice）"),
            ("account=bob&session=" + bob, "已登录（bob）"),
            ("account=alice&server=2&session=" + alice, "已登录（alice）"),
            ("account=alice&session=" + bob, "未登录"),
            ("account=alice", "未登录"),
            ("account=alice&session=", "未登录"),
            ("account=alice&session=" + alice.upper(), "未登录"),
            ("account=alice&session=" + alice[:31], "未登录"),
            ("account=alice&session=" + alice + "0", "未登录"),
            ("account=alice&session=" + alice + "&session=" + alice, "未登录"),
            ("account=alice&session=" + "0" * 32, "未登录"),
            ("account=alice&session=" + "x" * 60000, "未登录"),
        )
        for query, shown in cases:
            with self.subTest(query=query[:80]):
                status, _, text = self.portal.page("/game/?" + query, headers=cookie)
                self.assertEqual(status, 200)
                self.assertIn(shown, parse(text).text())
                session_links = [a.attrs["href"] for a in parse(text).find_all("a") if "session=" in a.attrs["href"]]
                if shown == "未登录":
                    self.assertEqual(session_links, [])
                else:
                    # Navigating within the page keeps its own account's session.
                    token = parse_qs(query)["session"][0]
                    self.assertEqual(len(session_links), len(pages_servers()))
                    for href in session_links:
                        self.assertEqual(parse_qs(urlsplit(href).query)["session"], [token])
                        self.assertIn(shown, parse(self.portal.page(href)[2]).text())

    def test_get_login_works_too(self):
        token, app_url = self.assert_started("bob", "GET")
        self.assertTrue(app_url.endswith("/game/?account=bob&session=" + token))

    def test_account_cannot_add_fields_to_the_start_command(self):
        user = "张三|x&y z"
        _, app_url = self.assert_started(user, "POST")
        fields = app_url.split("|")
        self.assertEqual(len(fields), 2, app_url)
        query = urlsplit(fields[1]).query
        self.assertEqual(parse_qs(query)["account"], [user])
        text = self.portal.page("/game/?" + query)[2]
        self.assertEqual(parse(text).find("title").text(), "LumoraVeldan - " + user)

    def test_bad_credentials_answer_the_login_page_with_a_message(self):
        for user, password in (("alice", "wrong"), ("alice", ""), ("", "secret"), ("  ", "secret")):
            with self.subTest(user=user, password=password):
                status, headers, text = self.login(user, password)
                self.assertEqual(status, 200)
                self.assertIsNone(headers["Set-Cookie"])
                self.assertNotIn("app://loadgame", text)
                self.assertGreaterEqual(inner_html_length(text), LOGIN_INNER_MIN)
                doc = parse(text)
                self.assertIsNotNone(doc.find("form"))
                self.assertRegex(doc.text(), "请输入帐号和密码|帐号或密码错误")
                name = next(i for i in doc.find_all("input") if i.attrs.get("name") == "username")
                self.assertEqual(name.attrs["value"], user.strip())

    def test_game_pages_have_own_titles_links_and_picture(self):
        doc = parse(self.portal.page("/game/?account=carol")[2])
        titles = {doc.find("title").text()}
        self.assertIsNotNone(doc.find("table"))
        links = [a.attrs["href"] for a in doc.find_all("a") if "server=" in a.attrs.get("href", "")]
        self.assertIn("/game/?account=carol&server=2", links)
        for href in links:
            status, _, text = self.portal.page(href)
            self.assertEqual(status, 200)
            titles.add(parse(text).find("title").text())
        self.assertEqual(len(titles), len(links), "each server page has its own title")
        self.assertTrue(all("carol" in t for t in titles))

        img = doc.find("img")
        status, headers, png = self.portal.request(img.attrs["src"])
        self.assertEqual((status, headers["Content-Type"]), (200, "image/png"))
        self.assertEqual(png[:8], b"\x89PNG\r\n\x1a\n")
        self.assertEqual(png[12:16], b"IHDR")
        size = (int.from_bytes(png[16:20], "big"), int.from_bytes(png[20:24], "big"))
        self.assertEqual(size, (int(img.attrs["width"]), int(img.attrs["height"])))

    def test_home_page_links_to_the_login(self):
        doc = parse(self.portal.page("/")[2])
        self.assertIn("LumoraVeldan", doc.find("title").text())
        self.assertIn("/pcLogin/", {a.attrs.get("href") for a in doc.find_all("a")})


class Misbehaviour(unittest.TestCase):
    def test_not_found_paths(self):
        with Portal("--status-404", "/pcLogin/") as p:
            for path in ("/nope", "/files/nope.bin", "/files/..%2Fportal.py", "/files/", "/pcLogin/"):
                with self.subTest(path=path):
                    status, headers, body = p.request(path)
                    self.assertEqual(status, 404)
                    self.assertEqual(headers["Content-Length"], str(len(body)))
                    self.assertLess(len(body), 1000)
            self.assertEqual(p.request("/")[0], 200)
            self.assertEqual([(e["path"], e["status"]) for e in p.log()][-2:], [("/pcLogin/", 404), ("/", 200)])

    def test_responses_without_content_length(self):
        path = "/files/demo20000.bin"
        for mode in ("chunked", "close"):
            with self.subTest(mode=mode), Portal("--no-content-length", path, "--no-length-mode", mode) as p:
                status, headers, body = p.request(path)
                self.assertEqual(status, 200)
                self.assertIsNone(headers["Content-Length"])
                self.assertEqual(headers["Transfer-Encoding"], "chunked" if mode == "chunked" else None)
                self.assertEqual(body, p.request("/files/demo20000.bin?again")[2])
                self.assertEqual(len(body), 20000)
                self.assertIsNotNone(p.request("/gamehome/vld/update.txt")[1]["Content-Length"])

    def test_truncated_body_ends_early(self):
        with Portal("--truncate", "/files/demo20000.bin") as p:
            head, body, _ = p.raw_get("/files/demo20000.bin")
            self.assertIn("Content-Length: 20000", head)
            self.assertEqual(len(body), 10000)
        for percent, sent in (("0", 0), ("99", 19800)):
            with Portal("--truncate", "/files/demo20000.bin", "--truncate-percent", percent) as p:
                head, body, _ = p.raw_get("/files/demo20000.bin")
                self.assertIn("Content-Length: 20000", head)
                self.assertEqual(len(body), sent)

    def test_files_directory(self):
        with tempfile.TemporaryDirectory() as top:
            served = os.path.join(top, "served")
            os.mkdir(served)
            files = {"extra.bin": b"\x00\x01extra", "Corvane.exe": b"MZreal", "empty.bin": b""}
            for name, data in files.items():
                with open(os.path.join(served, name), "wb") as f:
                    f.write(data)
            with open(os.path.join(top, "secret.txt"), "wb") as f:
                f.write(b"outside")
            os.symlink(os.path.join(top, "secret.txt"), os.path.join(served, "link.txt"))
            with Portal("--files", served) as p:
                for name, data in files.items():
                    status, headers, body = p.request("/files/" + name)
                    self.assertEqual((status, body), (200, data), name)
                    self.assertEqual(headers["Content-Length"], str(len(data)))
                self.assertEqual(len(p.request("/files/demo20000.bin")[2]), 20000)
                for path in ("/files/..%2Fsecret.txt", "/files/link.txt", "/files/..", "/files/%2E%2E%2Fsecret.txt"):
                    self.assertEqual(p.request(path)[0], 404, path)


class SlowResponses(unittest.TestCase):
    def test_slow_rate_spreads_the_body_over_many_reads(self):
        with Portal("--slow", "/files/demo20000.bin", "--slow-rate", "40000") as p:
            head, body, reads = p.raw_get("/files/demo20000.bin")
            self.assertIn("Content-Length: 20000", head)
            self.assertEqual(len(body), 20000)
            self.assertGreaterEqual(len(reads), 5)

    def test_a_delayed_response_does_not_hold_up_others(self):
        with Portal("--slow", "/error-short", "--slow-delay", "1") as p:
            result = {}
            slow = threading.Thread(target=lambda: result.update(r=p.request("/error-short")))
            slow.start()
            p.wait_for_requests(1)
            self.assertEqual(p.request("/pcLogin/")[0], 200)
            self.assertTrue(slow.is_alive(), "the delayed response came first")
            slow.join(10)
            self.assertEqual(result["r"][0], 200)


class HostileRoutes(SharedPortal):
    def test_login_page_with_pictures_from_a_route(self):
        for kind in ("never", "trickle", "big-image", "slow-image/250"):
            with self.subTest(kind=kind):
                status, _, text = self.portal.page("/images/3/%s/pcLogin/" % kind)
                self.assertEqual(status, 200)
                doc = parse(text)
                self.assertEqual([i.attrs["src"] for i in doc.find_all("img")],
                                 ["/%s/%d.png" % (kind, i) for i in range(3)])
                self.assertIsNotNone(doc.find("form"))
                self.assertGreaterEqual(inner_html_length(text), LOGIN_INNER_MIN)
        self.assertEqual(self.portal.request("/images/3/elsewhere/pcLogin/")[0], 404)

    def test_never_answers_and_trickle_sends_a_byte_a_second(self):
        never = socket.create_connection(("127.0.0.1", self.portal.port), timeout=1.5)
        self.addCleanup(never.close)
        never.sendall(b"GET /never/1.png HTTP/1.1\r\nHost: x\r\n\r\n")
        with self.assertRaises(socket.timeout):
            never.recv(1)
        trickle = socket.create_connection(("127.0.0.1", self.portal.port), timeout=5)
        self.addCleanup(trickle.close)
        trickle.sendall(b"GET /trickle/1.png HTTP/1.1\r\nHost: x\r\n\r\n")
        start = time.monotonic()
        received = b""
        while len(received.partition(b"\r\n\r\n")[2]) < 2:
            received += trickle.recv(100)
        self.assertTrue(received.startswith(b"HTTP/1.1 200"))
        self.assertIn(b"Content-Length: %d" % len(content_logo()), received)
        self.assertTrue(received.endswith(b"\x89P"))
        self.assertGreater(time.monotonic() - start, 0.9, "the second byte comes a second after the first")

    def test_headers_that_trickle_a_file_that_stalls_and_a_huge_announcement(self):
        trickle = socket.create_connection(("127.0.0.1", self.portal.port), timeout=5)
        self.addCleanup(trickle.close)
        trickle.sendall(b"GET /trickle-headers/update.txt HTTP/1.1\r\nHost: x\r\n\r\n")
        received = b""
        deadline = time.monotonic() + 2.5
        while time.monotonic() < deadline:
            received += trickle.recv(100)
        self.assertTrue(received.startswith(b"HTTP/1.1 200 OK\r\n"))
        self.assertNotIn(b"\r\n\r\n", received, "the headers never end")

        for path, length, sent in (("/stall/Corvane.exe", 307200, None),
                                   ("/announce-huge/big.bin", (256 << 20) + 1, 0)):
            with self.subTest(path=path):
                conn = http.client.HTTPConnection("127.0.0.1", self.portal.port, timeout=1.5)
                self.addCleanup(conn.close)
                conn.request("GET", path)
                resp = conn.getresponse()
                self.assertEqual((resp.status, int(resp.getheader("Content-Length"))), (200, length))
                expected = length // 2 if sent is None else sent
                self.assertEqual(len(resp.read(expected)) if expected else 0, expected)
                with self.assertRaises(socket.timeout):
                    resp.read(1)
        self.assertEqual(self.portal.request("/stall/missing.bin")[0], 404)

    def test_slow_and_big_pictures(self):
        start = time.monotonic()
        status, headers, body = self.portal.request("/slow-image/300/a.png")
        self.assertGreaterEqual(time.monotonic() - start, 0.3)
        self.assertEqual((status, headers["Content-Type"], body[:4]), (200, "image/png", b"\x89PNG"))
        status, _, body = self.portal.request("/big-image/1.png")
        self.assertEqual(status, 200)
        self.assertEqual(body[12:24], b"IHDR" + (8000).to_bytes(4, "big") * 2)
        self.assertLess(len(body), 1 << 20)

    def test_hostile_login_pages(self):
        status, _, text = self.portal.page("/hostile-page/many-attributes/pcLogin/")
        self.assertEqual(status, 200)
        doc = parse(text)
        self.assertIsNotNone(doc.find("form"))
        self.assertEqual(max(len(e.attrs) for e in doc.find_all("div")), 40000)
        status, _, text = self.portal.page("/hostile-page/long-link/pcLogin/")
        self.assertEqual(status, 200)
        doc = parse(text)
        self.assertIsNotNone(doc.find("form"))
        link = [a for a in doc.find_all("a") if len(a.attrs.get("href", "")) > 1 << 20]
        self.assertEqual(len(link), 1)
        self.assertEqual(len(list(link[0].find_all("img"))), 2000)
        self.assertEqual(self.portal.request("/hostile-page/nonsense/pcLogin/")[0], 404)

    def test_trickle_header_never_ends_its_headers(self):
        s = socket.create_connection(("127.0.0.1", self.portal.port), timeout=5)
        self.addCleanup(s.close)
        s.sendall(b"GET /trickle-header/3/a HTTP/1.1\r\nHost: x\r\n\r\n")
        start = time.monotonic()
        received = b""
        while not received.endswith(b"aa"):
            received += s.recv(100)
        self.assertTrue(received.startswith(b"HTTP/1.1 200 OK\r\nX-Trickle: a"))
        self.assertNotIn(b"\r\n\r\n", received)
        self.assertGreater(time.monotonic() - start, 0.9, "the second byte comes a second after the first")
        while True:
            piece = s.recv(100)
            if not piece:
                break
            received += piece
        self.assertTrue(received.endswith(b"X-Trickle: aaa"), "closed after three seconds, the headers unended")

    def test_page_of_many_inputs(self):
        status, _, text = self.portal.page("/inputs/12000/")
        self.assertEqual(status, 200)
        self.assertEqual(len(list(parse(text).find_all("input"))), 12000)
        self.assertEqual(self.portal.request("/inputs/20001/")[0], 404)


def pages_servers():
    sys.path.insert(0, os.path.dirname(PORTAL))
    import pages
    return pages.SERVERS


def content_logo():
    sys.path.insert(0, os.path.dirname(PORTAL))
    import content
    return content.logo_png()


def login(portal, user, password="secret", method="POST"):
    form = urlencode({"username": user, "password": password})
    if method == "GET":
        return portal.page("/pcLogin/login?" + form)
    return portal.page("/pcLogin/login", method="POST", body=form,
                       headers={"Content-Type": "application/x-www-form-urlencoded"})


class CookieSessions(SharedPortal):
    """The portal with --cookie-session: a login keeps its session in a cookie."""

    @classmethod
    def setUpClass(cls):
        cls.portal = Portal("--cookie-session")
        cls.addClassCleanup(cls.portal.stop)

    def test_each_mode_starts_the_game_its_own_way(self):
        for args, method, status, max_age in (((), "POST", 200, None), (("--cookie-session",), "POST", 303, "604800"),
                                              (("--cookie-session",), "GET", 302, "604800"),
                                              (("--cookie-session", "--cookie-max-age", "0"), "POST", 303, "")):
            with self.subTest(args=args, method=method), Portal(*args) as p:
                self.assertIsNone(login(p, "alice", "wrong")[1]["Set-Cookie"])
                got, headers, text = login(p, "alice", method=method)
                self.assertEqual(got, status)
                if not args:
                    self.assertIsNone(headers["Set-Cookie"])
                    self.assertIn("account=alice", meta_refresh(parse(text)))
                    continue
                cookie = http.cookies.SimpleCookie(headers["Set-Cookie"])["vld_session"]
                self.assertRegex(cookie.value, r"^[0-9a-f]{32}$")
                self.assertEqual((cookie["path"], cookie["httponly"], cookie["samesite"], cookie["max-age"]),
                                 ("/", True, "Lax", max_age))
                if max_age:
                    expires = calendar.timegm(time.strptime(cookie["expires"], "%a, %d %b %Y %H:%M:%S GMT"))
                    self.assertLessEqual(abs(expires - time.time() - int(max_age)), 60)
                # The redirect's page starts the game only with the cookie, at a URL that names no account.
                self.assertEqual(headers["Location"], "/pcLogin/welcome")
                text = p.page("/pcLogin/welcome", headers={"Cookie": "vld_session=" + cookie.value})[2]
                self.assertEqual(meta_refresh(parse(text)), "0;url=app://loadgame|%s/game/" % p.base)
                self.assertGreaterEqual(inner_html_length(text), LOGIN_INNER_MIN)
                self.assertIsNone(meta_refresh(parse(p.page("/pcLogin/welcome")[2])))

    def test_game_pages_and_the_log_go_by_the_cookie_alone(self):
        alice, bob = ("vld_session=" + http.cookies.SimpleCookie(login(self.portal, user, method=method)[1]["Set-Cookie"])
                      ["vld_session"].value for user, method in (("alice", "POST"), ("bob", "GET")))
        cases = (
            ("", alice, "alice", "LumoraVeldan - alice"),
            ("account=alice", bob, "bob", "LumoraVeldan - bob"),
            ("server=2", alice, "alice", "LumoraVeldan - alice - 2服 赤霄城"),
            ("", "theme=dark; " + bob, "bob", "LumoraVeldan - bob"),
            ("account=alice&session=" + alice.partition("=")[2], None, None, "LumoraVeldan - 未登录"),
            ("", "vld_session=" + "0" * 32, None, "LumoraVeldan - 未登录"),
            ("", alice + "; " + bob, None, "LumoraVeldan - 未登录"),
        )
        for query, cookie, account, title in cases:
            with self.subTest(query=query, cookie=cookie):
                seen = len(self.portal.log())
                doc = parse(self.portal.page("/game/?" + query, headers={"Cookie": cookie} if cookie else {})[2])
                self.assertEqual(doc.find("title").text(), title)
                self.assertIn("已登录（%s）" % account if account else "未登录", doc.text())
                hrefs = sorted(a.attrs["href"] for a in doc.find_all("a"))
                self.assertEqual(hrefs, ["/game/?server=%d" % n for n in sorted(pages_servers())] if account else ["/pcLogin/"])
                self.portal.wait_for_requests(seen + 1)
                entry = self.portal.log()[seen]
                self.assertEqual((entry["session_cookies"], entry["session_account"]),
                                 (re.findall(r"vld_session=([^;]*)", cookie or ""), account))


class RequestLog(unittest.TestCase):
    def test_every_request_is_logged_with_headers_and_body(self):
        with Portal() as p:
            p.request("/game/?account=alice&server=2", headers={"Cookie": "vld_session=abc"})
            p.request("/pcLogin/login", method="POST", body="username=alice&password=pw",
                      headers={"Content-Type": "application/x-www-form-urlencoded"})
            p.request("/missing?x=1")
            # Written as each request arrives, while the portal still runs.
            log = p.log()
        self.assertEqual([(e["method"], e["path"], e["query"], e["status"]) for e in log], [
            ("GET", "/game/", "account=alice&server=2", 200),
            ("POST", "/pcLogin/login", "", 200),
            ("GET", "/missing", "x=1", 404),
        ])
        self.assertEqual(log[0]["headers"]["Cookie"], "vld_session=abc")
        self.assertEqual([(e["session_cookies"], e["session_account"]) for e in log[:2]], [(["abc"], None), ([], None)])
        self.assertIsNone(log[0]["body"])
        self.assertEqual(log[1]["body"], "username=alice&password=pw")
        self.assertTrue(all(re.match(r"\d{4}-\d\d-\d\dT", e["time"]) for e in log))


if __name__ == "__main__":
    unittest.main()
