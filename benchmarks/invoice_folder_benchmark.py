#!/usr/bin/env python3
"""Imports a folder of 1,000 generated e-invoices with "tavlen import" into the stand-in and
prints files per second, rows per second and the wall time; checks that the two bad files are
named with their reasons, that every invoice line is in the table exactly once, and that the
exit status is 1. Not part of the test suite: no figure is asserted.

    python3 benchmarks/invoice_folder_benchmark.py [--build build/dev] [--count 1000] [--seed 1]
"""

import argparse
import collections
import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PASSWORD = "Secret-1"


def start_standin(build):
    server = os.path.join(build, "tools/sqlserver-standin/server/sqlserver-standin")
    process = subprocess.Popen(
        [server, "--port", "0", "--login", "sa:" + PASSWORD, "--database", "Invoices",
         "--stop-on-stdin-eof"],
        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    first = process.stdout.readline().split()
    if first[:1] != ["port"]:
        sys.exit("the stand-in did not start")
    return process, "127.0.0.1," + first[1]


def query(port, sql):
    """Rows of a query through FreeTDS's tsql, tab-separated."""
    result = subprocess.run(
        ["tsql", "-H", "127.0.0.1", "-p", port, "-U", "sa", "-P", PASSWORD, "-D", "Invoices",
         "-o", "fhq"],
        input=sql + "\ngo\n", capture_output=True, text=True, check=True)
    return [line.split("\t") for line in result.stdout.splitlines() if "\t" in line]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build/dev"))
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as work:
        inbox = os.path.join(work, "inbox")
        subprocess.run([sys.executable, os.path.join(ROOT, "tools/invoices/make_invoices.py"),
                        inbox, "--count", str(args.count), "--seed", str(args.seed)], check=True)
        expected_path = os.path.join(inbox, "expected.tsv")
        expected = [line.split("\t")[:2] for line in open(expected_path, encoding="utf-8").read().splitlines()]
        os.rename(expected_path, os.path.join(work, "expected.tsv"))  # not an XML file: out of the way

        standin, server = start_standin(args.build)
        try:
            environment = dict(os.environ, TAVLEN_PASSWORD=PASSWORD)
            environment.pop("DISPLAY", None)
            command = [os.path.join(args.build, "tavlen"), "import",
                       "--mapping", os.path.join(ROOT, "tools/invoices/invoice-lines.json"),
                       "--server", server, inbox]
            started = time.monotonic()
            run = subprocess.run(command, env=environment, capture_output=True, text=True)
            wall = time.monotonic() - started
            rows = query(server.split(",")[1], "SELECT InvoiceID, LineNo FROM InvoiceLines")
        finally:
            standin.stdin.close()
            standin.wait()

    lines = run.stdout.splitlines()
    bad = [line for line in lines if line.startswith(os.path.join(inbox, "broken.xml") + ":")
           or line.startswith(os.path.join(inbox, "empty.xml") + ":")]
    counts = collections.Counter((invoice, int(number)) for invoice, number in rows)
    wanted = collections.Counter((invoice, int(number)) for invoice, number in expected)
    print(f"files: {args.count} good + 2 bad; invoice lines: {len(expected)}")
    print(f"wall time: {wall:.2f} s (goal: within 60 s)")
    print(f"files per second: {(args.count + 2) / wall:.1f}")
    print(f"rows per second: {len(rows) / wall:.0f}")
    print(f"summary: {lines[-1] if lines else '(none)'}")
    print("bad files reported:")
    for line in bad:
        print("  " + line)
    print(f"every line exactly once: {counts == wanted} "
          f"(rows {len(rows)}, missing {sum((wanted - counts).values())}, "
          f"extra {sum((counts - wanted).values())})")
    print(f"exit status: {run.returncode} (expected 1)")
    if run.stderr:
        print("stderr: " + run.stderr.strip())
    ok = len(bad) == 2 and counts == wanted and run.returncode == 1
    sys.exit(0 if ok else 1)


if __name__ == "__main__":
    main()
