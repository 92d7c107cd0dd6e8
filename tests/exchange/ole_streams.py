"""Prints the size of every stream of a compound document as JSON."""
import json
import sys

import olefile

with olefile.OleFileIO(sys.argv[1]) as ole:
    print(json.dumps({"/".join(path): ole.get_size("/".join(path)) for path in ole.listdir()}))
