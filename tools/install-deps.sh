#!/usr/bin/env bash
# Installs the build and test tools a fresh machine of this kind may lack.
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v ninja >/dev/null || need+=(ninja-build)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
# The Python module is built for and tested under Debian's interpreter.
py=/usr/bin/python3
[ -x "$py" ] || need+=(python3)
[ -x "$py" ] && "$py" -c 'import sysconfig, os, sys; sys.exit(not os.path.exists(os.path.join(sysconfig.get_paths()["include"], "Python.h")))' 2>/dev/null || need+=(python3-dev)
[ -x "$py" ] && "$py" -c 'import pytest' 2>/dev/null || need+=(python3-pytest)
[ -x "$py" ] && "$py" -c 'import numpy' 2>/dev/null || need+=(python3-numpy)
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}"
fi
