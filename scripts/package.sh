#!/usr/bin/env bash
# Installs what is missing, builds Tavlen for use, and makes its Debian package
# tavlen_1.6-1_amd64.deb in the repository's root; then shows lintian's verdict on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/install-deps.sh
bash scripts/build.sh build/release -DTAVLEN_WERROR=ON
cpack --config build/release/CPackConfig.cmake -B build/package
deb=$(ls -t build/package/tavlen_*.deb | head -n1)
cp "$deb" .
deb=$(basename "$deb")
echo "== lintian $deb"
lintian --fail-on error "$deb"
echo "Built $root/$deb; install it with: apt install ./$deb"
