#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavlen. A local SQL Server stand-in is started
# beside it, so the whole road can be tried without a server: connect to the server printed
# below (user sa, password Secret-1) and open samples/orders.xml.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
bash scripts/build.sh build/release

exec 3< <(build/release/tools/sqlserver-standin/server/sqlserver-standin --port 0 \
    --login sa:Secret-1 --database Sales --data build/standin-data 2>&1)
read -r _ port <&3
echo "SQL Server stand-in: server 127.0.0.1,$port  user sa  password Secret-1  database Sales"

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display: starting Tavlen on a virtual one (Xvfb)."
    exec xvfb-run -a build/release/tavlen
fi
exec build/release/tavlen
