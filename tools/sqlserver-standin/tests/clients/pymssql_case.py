"""One case through pymssql (DB-Library underneath): PORT USER PASSWORD DATABASE, the batch on stdin.
Prints what the client hands its program: result sets as Python values, messages, errors."""
import sys

import pymssql

port, user, password, database = sys.argv[1:5]
batch = sys.stdin.read()
try:
    connection = pymssql.connect(server="127.0.0.1", port=int(port), user=user, password=password,
                                 database=database, tds_version="7.3")
except pymssql.Error as error:
    number, text = error.args[0]
    print(f"connect failed {number}: {text.decode().splitlines()[0]}")
    sys.exit(0)
connection._conn.set_msghandler(
    lambda state, severity, server, procedure, line, text: print(f"message (severity {severity}): {text}"))
cursor = connection.cursor()
try:
    if batch:
        cursor.execute(batch)
    while True:
        if cursor.description:
            print("columns:", " | ".join(column[0] for column in cursor.description))
            for row in cursor.fetchall():
                print("row:", " | ".join(repr(value) for value in row))
        if not cursor.nextset():
            break
except pymssql.Error as error:
    number, text = error.args[0], error.args[1]
    print(f"error {number}: {text.decode().splitlines()[0]}")
# pymssql opens a transaction of its own (autocommit is off); closing would roll the case back.
connection.commit()
connection.close()
