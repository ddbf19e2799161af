#!/usr/bin/env bash
# Whether Windows XP SP3 loads an exe: its subsystem version is 5.1 or lower
# and every function it imports is one that XP's own copy of the DLL exports
# by name (tests/data/xp-sp3-exports.txt). Else the loader refuses it with
# a box of its own, and none of the program's code runs.
# Usage: xp_imports.sh EXE. Prints every fault; exits 1 if there is one.
set -uo pipefail
exports="$(cd "$(dirname "$0")/.." && pwd)/data/xp-sp3-exports.txt"
i686-w64-mingw32-objdump -p "$1" | awk -v list="$exports" '
  BEGIN {
    while ((getline line < list) > 0) {
      if (line ~ /^\[/) { dll = substr(line, 2, length(line) - 2); known[dll] = 1 }
      else if (line != "" && line !~ /^#/) exported[dll, line] = 1
    }
    dll = ""
  }
  /^MajorSubsystemVersion/ { major = $2 }
  /^MinorSubsystemVersion/ { minor = $2 }
  /^The / { dll = "" }
  /DLL Name:/ {
    dll = toupper($3)
    if (!(dll in known)) { print dll ": no list of its XP SP3 exports"; faults++ }
    next
  }
  dll != "" && /^\t[0-9a-f]+\t/ {
    imports++
    if (!((dll, $3) in exported)) { print dll " " $3 ": not exported by XP SP3"; faults++ }
  }
  END {
    if (major * 100 + minor > 501) { print "subsystem version " major "." minor ": above XP'"'"'s 5.1"; faults++ }
    if (!imports) { print "no imports read"; faults++ }
    exit faults > 0
  }'
