#!/usr/bin/env python3
"""Runs cases.sql through a client nobody here wrote and compares its output with expected/CLIENT.txt.

usage: clients.py tsql|pymssql|isql STANDIN_EXECUTABLE [--write]

The stand-in starts on a free port with a fresh in-memory catalogue. Each case connects anew and
sends its text as one batch; the client's own rendering of results and messages is recorded, so a
fault on the wire or in the SQL answers shows as a difference. --write stores the output as the
expectation instead (read it through before committing it).
"""
import difflib
import os
import pathlib
import shutil
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
USER, PASSWORD = "sa", "Secret-1"


def read_cases():
    cases, current = [], None
    for line in (HERE / "cases.sql").read_text(encoding="utf-8").splitlines():
        if line.startswith("-- case: "):
            current = {"name": line[9:], "login": f"{USER}:{PASSWORD}", "database": "", "sql": []}
            cases.append(current)
        elif current is None:
            continue
        elif line.startswith("-- login: "):
            current["login"] = line[10:]
        elif line.startswith("-- database: "):
            current["database"] = line[13:]
        elif line.strip():
            current["sql"].append(line)
    return cases


class Standin:
    def __init__(self, executable):
        self.process = subprocess.Popen(
            [executable, "--port", "0", "--login", f"{USER}:{PASSWORD}", "--database", "Sales",
             "--stop-on-stdin-eof"],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline().split()[1])

    def stop(self):
        self.process.stdin.close()
        self.process.wait(timeout=10)


def run_tsql(port, case):
    user, password = case["login"].split(":", 1)
    args = ["tsql", "-o", "q", "-H", "127.0.0.1", "-p", str(port), "-U", user, "-P", password]
    if case["database"]:
        args += ["-D", case["database"]]
    batch = "\n".join(case["sql"]) + ("\ngo\n" if case["sql"] else "")
    env = dict(os.environ, LC_ALL="C.UTF-8", TDSVER="7.4")
    done = subprocess.run(args, input=batch, capture_output=True, text=True, timeout=60, env=env)
    return ["stdout:", *done.stdout.splitlines(), "stderr:", *done.stderr.splitlines()]


def run_pymssql(port, case):
    script = HERE / "pymssql_case.py"
    user, password = case["login"].split(":", 1)
    done = subprocess.run(["/usr/bin/python3", str(script), str(port), user, password, case["database"]],
                          input="\n".join(case["sql"]), capture_output=True, text=True, timeout=60)
    return [*done.stdout.splitlines(), *done.stderr.splitlines()]


def run_isql(port, case):
    user, password = case["login"].split(":", 1)
    dsn = (f"DRIVER=FreeTDS;SERVER=127.0.0.1;PORT={port};UID={user};PWD={password};TDS_Version=7.4;"
           f"DATABASE={case['database'] or 'master'}")
    # isql runs each input line as one statement, prepared (SQLPrepare + SQLExecute).
    batch = " ".join(line.strip() for line in case["sql"]) + "\n"
    done = subprocess.run(["isql", "-k", dsn, "-b", "-v", "-c", "-d|"], input=batch, capture_output=True,
                          text=True, timeout=60, env=dict(os.environ, LC_ALL="C.UTF-8"))
    return [*done.stdout.splitlines(), *done.stderr.splitlines()]


CLIENTS = {"tsql": run_tsql, "pymssql": run_pymssql, "isql": run_isql}


def main():
    client, executable = sys.argv[1], sys.argv[2]
    write = "--write" in sys.argv[3:]
    program = "python3" if client == "pymssql" else client
    if not shutil.which(program):
        print(f"{program} is not installed (scripts/install-deps.sh installs it)")
        return 1
    server = Standin(executable)
    output = []
    try:
        for case in read_cases():
            output.append(f"== {case['name']}")
            output.extend(line.rstrip() for line in CLIENTS[client](server.port, case))
    finally:
        server.stop()
    expected_file = HERE / "expected" / f"{client}.txt"
    if write:
        expected_file.write_text("\n".join(output) + "\n", encoding="utf-8")
        return 0
    expected = expected_file.read_text(encoding="utf-8").splitlines()
    diff = list(difflib.unified_diff(expected, output, "expected", client, lineterm=""))
    print("\n".join(diff) if diff else f"{client}: {len(read_cases())} cases as expected")
    return 1 if diff else 0


if __name__ == "__main__":
    sys.exit(main())
