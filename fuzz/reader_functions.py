#!/usr/bin/env python3
"""Branch coverage of a fuzz target's reader functions, from `llvm-cov export -format=text`.

usage: reader_functions.py EXPORT.json NAME FUNCTION...
Prints one line per function named (matched against the mangled names) and exits 1 when one of
them was never entered or, having branches, had none of them taken.
"""
import json
import sys


def main():
    export, name, wanted = sys.argv[1], sys.argv[2], sys.argv[3:]
    with open(export) as f:
        functions = json.load(f)["data"][0]["functions"]
    status = 0
    for want in wanted:
        tag = str(len(want)) + want
        found = [fn for fn in functions if fn["name"] == want or tag in fn["name"]]
        count = sum(fn["count"] for fn in found)
        sides = taken = 0
        for fn in found:
            for branch in fn.get("branches", []):
                sides += 2
                taken += (branch[4] > 0) + (branch[5] > 0)
        share = 100.0 * taken / sides if sides else (100.0 if count else 0.0)
        print("   %s %s: entered %d times, branches %.2f%%" % (name, want, count, share))
        if not found or count == 0 or (sides and taken == 0):
            status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
