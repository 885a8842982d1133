"""Signing of update manifests, the counterpart of the client's check.

A manifest may carry one line "signature=<base64 of r||s>", its last line: an ECDSA P-256
signature over the SHA-256 of every other line exactly as stored, each with its line end (CR LF
or a lone CR; a bare LF does not end a line), in order. File lines carry a third field, the
SHA-256 of the file in 64 hex digits: "name|url|sha256". A signed manifest carries exactly one
line "issued=YYYY-MM-DDTHH:MM:SSZ", the UTC time it was signed: a client refuses one issued before
the commit it was built from, so that an old manifest cannot be replayed. Keys travel as base64 of
the 65-byte uncompressed point (0x04, X, Y)."""

import base64
import datetime
import hashlib
import os
import re
import sys
import time

try:
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.hazmat.primitives.asymmetric.utils import decode_dss_signature
except ImportError:  # pragma: no cover - depends on the interpreter that started us
    # Debian's interpreter carries python3-cryptography (tools/setup installs it); another one on
    # the PATH may not.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

SIGNATURE_KEY = b"signature="
ISSUED_KEY = b"issued="
ISSUED_FORMAT = "%Y-%m-%dT%H:%M:%SZ"
DEMO_KEY_PATH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo-update-key.DEMO-ONLY.pem")
_HASH = re.compile(rb"^[0-9A-Fa-f]{64}$")


def split_lines(data):
    """[(text, end)] as the client's line input splits the bytes."""
    lines = []
    start = 0
    i = 0
    while i < len(data):
        if data[i:i + 1] == b"\r":
            end = b"\r\n" if data[i + 1:i + 2] == b"\n" else b"\r"
            lines.append((data[start:i], end))
            i += len(end)
            start = i
        else:
            i += 1
    if start < len(data):
        lines.append((data[start:], b""))
    return lines


def covered_bytes(data):
    """Every line but the signature lines, with their line ends: what the signature covers.

    A line that starts with LF right after a dropped signature line, whose predecessor ended in a
    lone CR, reads without that LF once joined (CR LF is one line end): it is judged as it reads.
    """
    covered = b""
    for text, end in split_lines(data):
        reads = text[1:] if covered.endswith(b"\r") and text.startswith(b"\n") else text
        if not reads.startswith(SIGNATURE_KEY):
            covered += text + end
    return covered


def is_version_line(text):
    return b"version" in text.lower()


def file_name_of_url(url):
    return url.rsplit(b"/", 1)[-1]


def fill_hashes(data, lookup):
    """Adds field 2 to every file line without a valid hash, when lookup(name) gives the file's
    bytes (None leaves the line as it is)."""
    out = []
    for text, end in split_lines(data):
        fields = text.split(b"|")
        if not text.startswith(SIGNATURE_KEY) and not is_version_line(text) and len(fields) >= 2:
            if len(fields) < 3 or not _HASH.match(fields[2]):
                content = lookup(file_name_of_url(fields[1]).decode("latin-1"))
                if content is not None:
                    fields = fields[:2] + [hashlib.sha256(content).hexdigest().encode()] + fields[3:]
                    text = b"|".join(fields)
        out.append(text + end)
    return b"".join(out)


def issued_now():
    return time.strftime(ISSUED_FORMAT, time.gmtime())


def is_issued_time(text):
    """True for "YYYY-MM-DDTHH:MM:SSZ" exactly, a real UTC time from 1970 on."""
    if not re.fullmatch(r"[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}Z", text):
        return False
    try:
        return datetime.datetime.strptime(text, ISSUED_FORMAT).year >= 1970
    except ValueError:
        return False


def stamp_issued(data, issued=None):
    """The manifest with one line "issued=<time>" (now, or `issued`) after its other lines and
    before a signature line; issued lines it had are dropped. Sign it afterwards."""
    issued = issued_now() if issued is None else issued
    if not is_issued_time(issued):
        raise ValueError("issued time %r is not YYYY-MM-DDTHH:MM:SSZ" % issued)
    lines = [(t, e) for t, e in split_lines(data) if not t.startswith(ISSUED_KEY)]
    signatures = [(t, e) for t, e in lines if t.startswith(SIGNATURE_KEY)]
    body = [(t, e) for t, e in lines if not t.startswith(SIGNATURE_KEY)]
    ends = [e for _, e in body if e]
    if body and not body[-1][1]:
        body[-1] = (body[-1][0], ends[0] if ends else b"\r\n")
    end = body[-1][1] if body else b"\r\n"
    return (b"".join(t + e for t, e in body) + ISSUED_KEY + issued.encode("ascii") + end +
            b"".join(t + e for t, e in signatures))


def load_private_key(path=DEMO_KEY_PATH):
    with open(path, "rb") as f:
        return serialization.load_pem_private_key(f.read(), password=None)


def new_private_key():
    return ec.generate_private_key(ec.SECP256R1())


def private_key_pem(key):
    return key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                             serialization.NoEncryption())


def public_key_base64(key):
    point = key.public_key().public_bytes(serialization.Encoding.X962, serialization.PublicFormat.UncompressedPoint)
    return base64.b64encode(point).decode("ascii")


def raw_signature(key, message):
    r, s = decode_dss_signature(key.sign(message, ec.ECDSA(hashes.SHA256())))
    return r.to_bytes(32, "big") + s.to_bytes(32, "big")


def sign(data, key):
    """The manifest with its signature as the last line (an earlier signature is dropped). It
    signs what it is given: stamp_issued first, or the client refuses the manifest."""
    lines = [(t, e) for t, e in split_lines(data) if not t.startswith(SIGNATURE_KEY)]
    if lines and not lines[-1][1]:
        # The signature starts a line of its own.
        ends = [e for _, e in lines if e]
        lines[-1] = (lines[-1][0], ends[0] if ends else b"\r\n")
    body = b"".join(t + e for t, e in lines)
    end = lines[-1][1] if lines else b"\r\n"
    while True:
        value = base64.b64encode(raw_signature(key, body))
        # Readers that take the first line holding "version" must never take this one.
        if b"version" not in value.lower():
            return body + SIGNATURE_KEY + value + end
