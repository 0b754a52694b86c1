#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the program and its tests need and
# the machine lacks. Safe to run again: installed packages are skipped.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
    libxml2-dev libsqlite3-dev unixodbc unixodbc-dev tdsodbc
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev
    xvfb xauth
    # The Debian package: shared-library dependencies, lintian, AppStream checks.
    dpkg-dev file lintian appstream
)
# For a person trying the program: fonts close to the windows' own, and FreeTDS's tsql to look
# at the imported rows.
if [[ "${1:-}" == "--gui" ]]; then packages+=(fonts-liberation2 freetds-bin); fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The FreeTDS driver registers itself; make sure unixODBC knows it by the name we look for.
if ! odbcinst -q -d 2>/dev/null | grep -qx '\[FreeTDS\]'; then
    driver=$(find /usr/lib -name libtdsodbc.so -print -quit)
    printf '[FreeTDS]\nDescription=FreeTDS ODBC driver\nDriver=%s\n' "$driver" > /tmp/tavlen-freetds.ini
    odbcinst -i -d -f /tmp/tavlen-freetds.ini
fi
