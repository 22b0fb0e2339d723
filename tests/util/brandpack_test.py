#!/usr/bin/env python3
"""brandpack from the outside: pack then show --json round-trips Chinese texts
and a banner; bad input and wrong usage give their exit statuses.

usage: brandpack_test.py WORK_DIR BRANDPACK [RUNNER...]
(RUNNER, e.g. the Wine run script, is put in front of BRANDPACK.)"""
import json
import os
import struct
import subprocess
import sys

work = sys.argv[1]
command = sys.argv[3:] + [os.path.abspath(sys.argv[2])]
os.makedirs(work, exist_ok=True)
os.chdir(work)
failures = []


def bitmap(width, height, bits=24):
    stride = (width * bits + 31) // 32 * 4
    palette = b"".join(struct.pack("<I", i * 0x010101) for i in range(1 << bits)) if bits <= 8 else b""
    offset = 14 + 40 + len(palette)
    pixels = bytes((x + y) & 0xFF for y in range(height) for x in range(stride))
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset)
            + struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 0, 0, 0, 0)
            + palette + pixels)


def run(*args):
    result = subprocess.run(command + list(args), capture_output=True, timeout=60)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def check(name, condition, detail=""):
    if not condition:
        failures.append(f"{name}: {detail}")


with open("banner.bmp", "wb") as f:
    f.write(bitmap(585, 68))
with open("small.bmp", "wb") as f:
    f.write(bitmap(16, 16, 8))
with open("broken.bmp", "wb") as f:
    f.write(bitmap(585, 68)[:-100])

title, company, addin, header = "汇报报表系统 V3.4", "北京\"科技\"有限公司", "录单助手", "品牌 1.0"
rc, out, err = run("pack", "--title", title, "--company", company, "--addin", addin,
                   "--banner", "banner.bmp", "--header-text", header, "-o", "Brand.dat")
check("pack", rc == 0 and err == "", f"rc {rc}, stderr {err!r}")
rc, out, err = run("show", "Brand.dat", "--json", "--banner-out", "out.bmp")
check("show --json", rc == 0, f"rc {rc}, stderr {err!r}")
if rc == 0:
    shown = json.loads(out)
    expected = {"title": title, "company": company, "addin": addin, "header_text": header,
                "banner": {"width": 585, "height": 68, "bits": 24, "bytes": len(bitmap(585, 68))}}
    check("round trip", shown == expected, f"{shown} != {expected}")
    check("banner-out", open("out.bmp", "rb").read() == bitmap(585, 68))
rc, out, err = run("show", "Brand.dat")
check("show", rc == 0 and f"Title:       {title}" in out.splitlines(), repr(out))

# A banner of another size and depth is packed with warnings; no header text.
rc, out, err = run("pack", "--title", "T", "--company", "", "--addin", "A", "--banner", "small.bmp", "-o", "Small.dat")
check("warnings", rc == 0 and "8 bits per pixel" in err and "16 x 16" in err, f"rc {rc}, stderr {err!r}")
rc, out, err = run("show", "Small.dat", "--json")
check("no header text", rc == 0 and json.loads(out)["header_text"] == "" and json.loads(out)["company"] == "", out)

# Exit status 1, one line on stderr, for input that cannot be used.
with open("garbage.dat", "wb") as f:
    f.write(b"this is not a container")
unreadable = [
    (["show", "missing.dat"], "cannot read 'missing.dat'"),
    (["show", "garbage.dat"], "brandpack: garbage.dat: Error"),
    (["show", "banner.bmp"], "brandpack: banner.bmp: Error"),
    (["show", "Small.dat", "--banner-out", "no/such/dir/b.bmp"], "cannot write 'no/such/dir/b.bmp'"),
    (["pack", "--title", "€uro", "--company", "c", "--addin", "a", "--banner", "banner.bmp", "-o", "x.dat"],
     "the character '€' (U+20AC) has no GB2312 code"),
    (["pack", "--title", "t", "--company", "c", "--addin", "a", "--banner", "broken.bmp", "-o", "x.dat"],
     "not a valid bitmap"),
    (["pack", "--title", "t", "--company", "c", "--addin", "a", "--banner", "nope.bmp", "-o", "x.dat"],
     "cannot read 'nope.bmp'"),
]
for args, message in unreadable:
    rc, out, err = run(*args)
    check(" ".join(args), rc == 1 and message in err and err.count("\n") == 1, f"rc {rc}, stderr {err!r}")
check("nothing written on failure", not os.path.exists("x.dat"))

# Exit status 2 for wrong usage; --help on every command.
for args in [[], ["frobnicate"], ["pack", "--title", "t"], ["pack", "--bogus"], ["show"], ["show", "a", "b"],
             ["show", "Brand.dat", "--banner-out"]]:
    rc, out, err = run(*args)
    check("usage " + " ".join(args), rc == 2 and err != "", f"rc {rc}, stderr {err!r}")
for args, word in [(["--help"], "pack"), (["pack", "--help"], "--banner"), (["show", "--help"], "--json")]:
    rc, out, err = run(*args)
    check(" ".join(args), rc == 0 and word in out, f"rc {rc}, stdout {out!r}")

for failure in failures:
    print("FAILED", failure)
sys.exit(1 if failures else 0)
