"""The update manifest as the demo portal serves it: signed with the demo key (the hashes of the
files it names filled in from the files the portal serves), and the hostile variants the client's
tests meet under /hostile/<kind>/update.txt."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "signing"))
import manifest_signing as ms  # noqa: E402

TAMPERED_FILES = "/tampered/files/"
OVERSIZED_BYTES = 70 * 1024  # above the client's 64 KiB bound
KINDS = ("unsigned", "tampered-line", "tampered-file", "wrong-key", "signature-middle", "two-signatures",
         "short-hash", "oversized", "replay", "no-issued", "trickle", "cut")
# When the replayed manifest was signed: before any build of the client that checks the time.
REPLAYED_ISSUED = "2020-01-01T00:00:00Z"


def tampered(data):
    """A served file as a man in the middle would change it: its last byte flipped."""
    return data[:-1] + bytes([data[-1] ^ 0xFF]) if data else b"\0"


def _rewrite_first_file_line(data, change):
    out, done = [], False
    for text, end in ms.split_lines(data):
        if not done and not text.startswith(ms.SIGNATURE_KEY) and not ms.is_version_line(text) and b"|" in text:
            text, done = change(text), True
        out.append(text + end)
    return b"".join(out)


def _signature_line(data):
    for text, end in ms.split_lines(data):
        if text.startswith(ms.SIGNATURE_KEY):
            return text + end
    return b""


class Signer:
    def __init__(self, key_path=None):
        self.key = ms.load_private_key(key_path) if key_path else ms.load_private_key()
        self.wrong_key = ms.new_private_key()

    def signed(self, raw, lookup, key=None):
        return ms.sign(ms.stamp_issued(ms.fill_hashes(raw, lookup)), key or self.key)

    def variant(self, kind, raw, lookup):
        """The manifest of `kind`; None for an unknown kind. "trickle" and "cut" are the signed
        manifest, which the server sends slowly or cuts short. Each but "replay" and "no-issued"
        is issued now, so that it is refused for its own fault."""
        if kind == "replay":
            return ms.sign(ms.stamp_issued(ms.fill_hashes(raw, lookup), REPLAYED_ISSUED), self.key)
        if kind == "no-issued":
            return ms.sign(ms.fill_hashes(raw, lookup), self.key)
        hashed = ms.stamp_issued(ms.fill_hashes(raw, lookup))
        if kind in ("trickle", "cut"):
            return ms.sign(hashed, self.key)
        if kind == "unsigned":
            return hashed
        if kind == "tampered-line":
            return _rewrite_first_file_line(ms.sign(hashed, self.key),
                                             lambda t: t.replace(b"/files/", TAMPERED_FILES.encode(), 1))
        if kind == "tampered-file":
            return ms.sign(_rewrite_first_file_line(hashed, lambda t: t.replace(b"/files/", TAMPERED_FILES.encode(), 1)),
                           self.key)
        if kind == "wrong-key":
            return ms.sign(hashed, self.wrong_key)
        if kind == "short-hash":
            return ms.sign(_rewrite_first_file_line(hashed, lambda t: t[:-1]), self.key)
        if kind == "oversized":
            end = b"\r\n"
            padding = b"".join(b"; padding %05d %s%s" % (i, b"." * 60, end) for i in range(OVERSIZED_BYTES // 70 + 1))
            return ms.sign(hashed + padding, self.key)
        signed = ms.sign(hashed, self.key)
        signature = _signature_line(signed)
        body = signed[:len(signed) - len(signature)]
        if kind == "signature-middle":
            lines = ms.split_lines(body)
            return b"".join(t + e for t, e in lines[:1]) + signature + b"".join(t + e for t, e in lines[1:])
        if kind == "two-signatures":
            return body + signature + signature
        return None


def cut_at_line(data):
    """The manifest cut after its second line: the version and one file line arrive, the rest not."""
    lines = ms.split_lines(data)
    return b"".join(t + e for t, e in lines[:2])
