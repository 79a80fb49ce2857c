#!/usr/bin/env python3
"""The module's cold start and resident memory, whole process, on the offscreen platform.

Cold start, two ratios, all four programs run alternately, median wall time and peak RSS of
each: `jointrix-host --quit-after-show` against a bare Qt program that shows an empty 824 x 616
window and quits (mostly the cost of loading the fonts the tool needs), and the fair one,
`jointrix-host --calculate --quit-after-show` against a plain Qt program that builds the same
visible window by hand (the same labels, lists, fields, faces, diagram and report text) and quits
after the first show (the cost of the module's own work). Memory: the resident size one
LxToolShow adds, and the growth over a hundred show-and-free cycles.
Memory is the whole resident size and, beside it, its anonymous part: what the process
allocated, without the clean pages of the font and library files it maps. Targets are
reported, never enforced.
"""

import argparse
import os
import statistics
import subprocess
import sys
import time


def run(command, env):
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"bench-module: {command[0]} failed")
    return elapsed, usage.ru_maxrss  # seconds, KiB


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build", help="the build directory")
    parser.add_argument("--runs", type=int, default=15, help="runs of each program, at least 10")
    args = parser.parse_args()
    runs = max(args.runs, 10)

    bin_dir = os.path.join(args.build, "bin")
    host = os.path.join(bin_dir, "jointrix-host")
    programs = {
        "host": [host, "--quit-after-show"],
        "bare": [os.path.join(bin_dir, "jointrix-bare-window")],
        "host-calculate": [host, "--calculate", "--quit-after-show"],
        "hand": [os.path.join(bin_dir, "jointrix-hand-window")],
    }
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    env.pop("QT_QPA_PLATFORMTHEME", None)

    # One unmeasured run each, so that all start from a warm file cache.
    for command in programs.values():
        run(command, env)
    times = {name: [] for name in programs}
    rss = {name: [] for name in programs}
    for _ in range(runs):
        for name, command in programs.items():
            elapsed, peak = run(command, env)
            times[name].append(elapsed)
            rss[name].append(peak)

    ms = {name: statistics.median(values) * 1000 for name, values in times.items()}
    def line(name, label):
        print(f"  {label:44} {ms[name]:7.1f} ms   peak RSS "
              f"{statistics.median(rss[name]) / 1024:6.1f} MiB")
    print(f"cold start, median of {runs} alternated runs:")
    line("host", "jointrix-host --quit-after-show")
    line("bare", "bare 824x616 QWidget")
    print(f"  ratio {ms['host'] / ms['bare']:.2f} (target at most 1.5)")
    line("host-calculate", "jointrix-host --calculate --quit-after-show")
    line("hand", "the same window written by hand in Qt")
    print(f"  ratio {ms['host-calculate'] / ms['hand']:.2f} (target at most 1.1)")

    module = os.path.join(args.build, "lib", "libjointrix.so")
    print("resident memory in one host process:")
    for flags, label in (([], "a host with no text shown yet"),
                         (["--warm-fonts"], "a host already showing Chinese text")):
        output = subprocess.run([os.path.join(bin_dir, "jointrix-module-rss"), module] + flags,
                                env=env, check=True, capture_output=True, text=True).stdout
        values = dict((key, int(value)) for key, value in
                      (line.split() for line in output.splitlines()))
        def growth(before, after):
            whole = (values[after] - values[before]) / 1024
            anonymous = (values["anon-" + after] - values["anon-" + before]) / 1024
            return f"{whole:6.2f} MiB, {anonymous:5.2f} MiB of it anonymous"
        print(f"  {label}:")
        print(f"    one LxToolShow adds        {growth('loaded', 'shown')} (target at most 8)")
        print(f"    100 show/free cycles add   {growth('freed', 'cycled')} (target under 1)")

if __name__ == "__main__":
    main()
