#!/usr/bin/env bash
# Starts the program, or says plainly why it cannot show a window.
set -euo pipefail
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "画面（ディスプレイ）がありません。デスクトップから実行するか、README の「画面がないとき」を参照してください。" >&2
  echo "No display: run from a desktop session, or see \"No display\" in the README." >&2
  exit 1
fi
exec "$1"
