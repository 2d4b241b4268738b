#!/usr/bin/env bash
# Builds DiroruDIV and runs the stroke input method in the host program.
#   scripts/run.sh                          with a display: a window to type in;
#                                           without one: the default scripted session
#   scripts/run.sh --script FILE            replay a session (format: frontends/host/ScriptSession.h)
#   scripts/run.sh --screenshot PATH        save the window as PNG at the end
#   scripts/run.sh --traditional            the Traditional Chinese pack (build/pack-hant)
#   QT_QPA_PLATFORM=vnc scripts/run.sh      interactive through a VNC viewer on port 5900
# Other arguments go to diroru_host unchanged (see diroru_host --help).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

# --traditional picks the pack; every other argument goes to diroru_host.
pack_name=pack
args=()
for arg in "$@"; do
  if [ "$arg" = --traditional ]; then pack_name=pack-hant; else args+=("$arg"); fi
done

build="$root/build"
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target diroru_host diroru_plugin diroru_pack

# The input method learns into word.dat, so it works on a copy of the built
# pack and the build tree's pack stays as built. The copy keeps its learned
# weights from run to run until the pack's index changes, when word.dat no
# longer fits it and is copied afresh.
pack="$build/$pack_name"
data="$build/run/data${pack_name#pack}"
mkdir -p "$data"
if [ ! -f "$data/word.dat" ] || ! cmp -s "$pack/word.idx" "$data/word.idx"; then
  cp "$pack/word.dat" "$data/word.dat"
fi
for f in bs.dat word.idx Symbols.txt InputW_Stroke_Entry.gif InputW_Stroke_Entry_Ext.gif; do
  cp "$pack/$f" "$data/$f"
done

# The plug-in reads its data directory from tarvin.cfg in $IM_SETTING_DIR.
export IM_SETTING_DIR="$build/run/settings"
mkdir -p "$IM_SETTING_DIR"
printf '[BH]\nInstallDir=%s\n' "$data" > "$IM_SETTING_DIR/tarvin.cfg"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  # No display: the scripted session, with a picture of how it ended.
  case " ${args[*]} " in
    *" --screenshot"*) ;;
    *) args+=(--screenshot "$build/run/session.png") ;;
  esac
  case " ${args[*]} " in
    *" --script"*) ;;
    *) [ "$pack_name" = pack ] || args+=(--script "$root/data/demo.hant.script") ;;
  esac
fi
exec "$build/frontends/diroru_host" ${args[@]+"${args[@]}"}
