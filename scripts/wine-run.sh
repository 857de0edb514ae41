#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix; used by CTest as
# the cross-compiling emulator, so tests see the same environment everywhere.
source "$(dirname "$0")/wine-env.sh"
exec wine "$@"
