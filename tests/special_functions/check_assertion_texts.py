#!/usr/bin/env python3
"""Fails unless every debug math library keeps the three gamma assertions:
their condition texts exactly, and the source units that hold them."""
import sys

REQUIRED = [
    b"(fabs(result) > 1) || (tools::max_value<T>() * fabs(result) > "
    b"varnel::math::constants::pi<T>())",
    b"fl >= 0",
    b"z >= tools::root_epsilon<T>()",
    b"math/special_functions/gamma",
    b"math/special_functions/detail/lgamma_small",
]

status = 0
for path in sys.argv[1:]:
    data = open(path, "rb").read()
    for text in REQUIRED:
        # whole NUL-terminated strings for the conditions, substrings of the
        # file names for the source units
        found = (b"\0" + text + b"\0") in data if not text.startswith(b"math/") else text in data
        if not found:
            print(f"{path}: lacks {text.decode()!r}")
            status = 1
sys.exit(status)
