#!/usr/bin/python3
"""The portable zip as a player unpacks it: exactly the built client and the readme, the client
byte for byte, the readme in UTF-8 with a BOM and CR LF line ends (as Notepad reads it).

    check_portable_zip.py ZIP CORVANE_EXE"""

import sys
import zipfile


def main(zip_path, exe_path):
    failures = []
    with zipfile.ZipFile(zip_path) as z:
        names = sorted(z.namelist())
        if names != ["Corvane.exe", "README.txt"]:
            failures.append("entries %s, expected Corvane.exe and README.txt" % names)
        else:
            with open(exe_path, "rb") as f:
                if z.read("Corvane.exe") != f.read():
                    failures.append("Corvane.exe differs from the built client")
            readme = z.read("README.txt")
            if not readme.startswith(b"\xef\xbb\xbf"):
                failures.append("README.txt has no UTF-8 BOM")
            if readme.replace(b"\r\n", b"").count(b"\n") or readme.replace(b"\r\n", b"").count(b"\r"):
                failures.append("README.txt has line ends other than CR LF")
            if "Corvane.exe" not in readme.decode("utf-8-sig"):
                failures.append("README.txt does not name Corvane.exe")
    for line in failures:
        print("check_portable_zip: " + line, file=sys.stderr)
    print("check_portable_zip: %s" % ("%d failures" % len(failures) if failures else "as expected"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
