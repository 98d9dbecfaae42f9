#!/usr/bin/env bash
# Tools for looking at the program as a user would and for timing its start:
# a virtual screen, screenshots, PDF pages as pictures; clang and its libFuzzer
# runtime for `make fuzz`. Not needed to build, run or test.
set -euo pipefail
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
  xvfb x11-utils x11-apps xdotool imagemagick poppler-utils libx11-dev libxdamage-dev \
  clang libclang-rt-dev
