"""Prints the MD5 of named streams of a compound file as python3-xlrd's compdoc reads them.

Usage: compdoc_dump.py FILE NAME...
Output: {"NAME": "md5hex" or null, ...}
"""
import hashlib
import json
import sys

from xlrd import compdoc


def main():
    with open(sys.argv[1], "rb") as f:
        doc = compdoc.CompDoc(f.read(), logfile=sys.stderr)
    result = {}
    for name in sys.argv[2:]:
        data = doc.get_named_stream(name)
        result[name] = None if data is None else hashlib.md5(data).hexdigest()
    json.dump(result, sys.stdout)


if __name__ == "__main__":
    main()
