#!/usr/bin/python3
"""A capture through the Python module against the same capture by sondrix-cli.

Both connect at 115200 bps to the simulated module on a pseudo-terminal,
which paces its bytes at the line rate as a module does, capture one image
and save it as RAW; each run is timed from start to end (the command line
as a whole process). The capture alone is set against its wire time (10
bits a byte, both directions). Run by hand, after a build:

    PYTHONPATH=build/default/python bench/python_capture.py build/default/src/sondrix-cli [RUNS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import sondrix

BAUD = 115200


def cli_run(cli, port, path):
    start = time.perf_counter()
    subprocess.run([cli, "--port", port, "--baud", str(BAUD), "capture", "-o", path],
                   check=True, capture_output=True)
    return time.perf_counter() - start


def python_run(port, path):
    wire = []
    start = time.perf_counter()
    with sondrix.Module(port, baud=BAUD, trace=lambda packet: wire.append(len(packet.data))) as module:
        before = len(wire)
        capture_start, cpu_start = time.perf_counter(), time.process_time()
        image = module.capture()
        capture, cpu = time.perf_counter() - capture_start, time.process_time() - cpu_start
        image.save(path)
    total = time.perf_counter() - start
    return total, capture, cpu, sum(wire[before:]) * 10 / BAUD


def main():
    cli = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    folder = tempfile.mkdtemp()
    cli_times, python_times, captures, cpus, wires = [], [], [], [], []
    with sondrix.Simulator(pace=True) as simulator:
        for run in range(runs):
            cli_times.append(cli_run(cli, simulator.port, os.path.join(folder, "cli.raw")))
            total, capture, cpu, wire = python_run(simulator.port, os.path.join(folder, "py.raw"))
            python_times.append(total)
            captures.append(capture)
            cpus.append(cpu)
            wires.append(wire)
    with open(os.path.join(folder, "cli.raw"), "rb") as a, open(os.path.join(folder, "py.raw"), "rb") as b:
        same = a.read() == b.read()
    cli_median, python_median = statistics.median(cli_times), statistics.median(python_times)
    print(f"runs: {runs}, same image: {same}")
    print(f"sondrix-cli capture, whole run:   {cli_median * 1000:8.1f} ms (median)")
    print(f"Python Module + capture + save:   {python_median * 1000:8.1f} ms (median)")
    print(f"Python against the command line:  {(python_median / cli_median - 1) * 100:+8.2f} %")
    print(f"capture() alone:                  {statistics.median(captures) * 1000:8.1f} ms, "
          f"wire time {statistics.median(wires) * 1000:.1f} ms "
          f"({(statistics.median(captures) / statistics.median(wires) - 1) * 100:+.2f} %)")
    print(f"CPU time of the Python process during capture(): {statistics.median(cpus) * 1000:.1f} ms")


if __name__ == "__main__":
    main()
