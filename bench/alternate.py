#!/usr/bin/env python3
"""Times commands by turns: each round runs every command once, in order, so that a machine
whose speed drifts (other work, frequency changes) weighs on all of them alike.

    alternate.py ROUNDS WARMUP NAME=COMMAND... [NAME=COMMAND ...]

Each COMMAND is a shell-quoted command line, run without a shell, its output read through a
pipe and dropped. Prints one line per command: NAME median_ms user_ms system_ms (means of the
timed rounds). A command that fails (exit status other than 0 or 1) stops everything.
"""
import os
import shlex
import statistics
import sys
import time


def run(argv):
    read_end, write_end = os.pipe()
    start = time.perf_counter()
    pid = os.fork()
    if pid == 0:
        os.dup2(write_end, 1)
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, 2)
        os.close(read_end)
        try:
            os.execvp(argv[0], argv)
        finally:
            os._exit(127)
    os.close(write_end)
    while os.read(read_end, 1 << 20):
        pass
    _, status, usage = os.wait4(pid, 0)
    elapsed = time.perf_counter() - start
    os.close(read_end)
    code = os.waitstatus_to_exitcode(status)
    if code not in (0, 1):  # grep and rg say 1 when they find nothing
        sys.exit(f"alternate.py: exit status {code}: {shlex.join(argv)}")
    return elapsed * 1000, usage.ru_utime * 1000, usage.ru_stime * 1000


def main():
    rounds, warmup = int(sys.argv[1]), int(sys.argv[2])
    commands = []
    for item in sys.argv[3:]:
        name, _, line = item.partition("=")
        commands.append((name, shlex.split(line)))
    times = {name: [] for name, _ in commands}
    for round_number in range(warmup + rounds):
        for name, argv in commands:
            measured = run(argv)
            if round_number >= warmup:
                times[name].append(measured)
    for name, _ in commands:
        wall = statistics.median(t[0] for t in times[name])
        user = statistics.mean(t[1] for t in times[name])
        system = statistics.mean(t[2] for t in times[name])
        print(f"{name} {wall:.2f} {user:.2f} {system:.2f}")


if __name__ == "__main__":
    main()
