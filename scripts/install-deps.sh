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
    # The windows' font, whose widths the layout and the tests count on; Qt's own Turkish texts.
    fonts-liberation2 qt6-translations-l10n
    # The Debian package: shared-library dependencies, lintian, AppStream checks.
    dpkg-dev file lintian appstream
    # The Turkish locale that the tests run in a second time.
    locales
    # FreeTDS's tsql, with which the README shows the imported rows; with pymssql, clients nobody
    # here wrote that the stand-in's tests run.
    freetds-bin python3-pymssql
)

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

# The tests run a second time in the Turkish locale: generate it once.
if ! locale -a 2>/dev/null | grep -qix 'tr_TR\.utf-\?8'; then
    sed -i 's/^# *\(tr_TR\.UTF-8 UTF-8\)$/\1/' /etc/locale.gen
    grep -qx 'tr_TR.UTF-8 UTF-8' /etc/locale.gen || echo 'tr_TR.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
fi

# The FreeTDS driver registers itself; make sure unixODBC knows it by the name we look for.
if ! odbcinst -q -d 2>/dev/null | grep -qx '\[FreeTDS\]'; then
    driver=$(find /usr/lib -name libtdsodbc.so -print -quit)
    printf '[FreeTDS]\nDescription=FreeTDS ODBC driver\nDriver=%s\n' "$driver" > /tmp/tavlen-freetds.ini
    odbcinst -i -d -f /tmp/tavlen-freetds.ini
fi
