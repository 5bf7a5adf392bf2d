#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A compiler and linker launcher that appends each step's CPU time (user + system), its wall
# time and its output to $CPU_LOG: what a cold build costs, whatever else the machine runs.
#   cmake --preset sanitize -B /tmp/cold -DCMAKE_CXX_COMPILER_LAUNCHER=$PWD/tools/cpu-time.sh \
#       -DCMAKE_CXX_LINKER_LAUNCHER=$PWD/tools/cpu-time.sh
#   CPU_LOG=/tmp/cold.cpu cmake --build /tmp/cold
#   awk '{cpu += $1} END {print cpu " s"}' /tmp/cold.cpu
import os
import resource
import subprocess
import sys
import time

args = sys.argv[1:]
output = args[args.index("-o") + 1] if "-o" in args[:-1] else "?"
start = time.monotonic()
status = subprocess.call(args)
used = resource.getrusage(resource.RUSAGE_CHILDREN)
with open(os.environ["CPU_LOG"], "a") as log:
    log.write(f"{used.ru_utime + used.ru_stime:.2f} {time.monotonic() - start:.2f} {output}\n")
sys.exit(status)
