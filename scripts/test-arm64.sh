#!/usr/bin/env bash
# Builds the stroke matcher and its equivalence test for arm64 with Debian's
# cross compiler and runs them under qemu-user: every vector path Highway
# compiles there (NEON, SVE, SVE2) against the literal rule, on the data pack
# that the plain build made (build/pack; run scripts/test.sh first).
#   scripts/test-arm64.sh        installs what it lacks (as root), builds build-arm64/, runs
# DIRORU_FULL_CODE_STRIDE=n checks only every n-th full character code (every
# code of one to four strokes is always checked); about three minutes here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
SUDO=; [ "$(id -u)" -ne 0 ] && SUDO=sudo

needed=(g++-aarch64-linux-gnu qemu-user libhwy-dev:arm64 libgtest-dev:arm64)
missing=()
for p in "${needed[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx arm64 || $SUDO dpkg --add-architecture arm64
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

pack="$root/build/pack"
[ -f "$pack/bs.dat" ] || { echo "no data pack in $pack: run scripts/test.sh first" >&2; exit 1; }

out="$root/build-arm64"
mkdir -p "$out"
aarch64-linux-gnu-g++ -std=c++17 -O2 -DNDEBUG -Wall -Wextra -DDIRORU_PACK_DIR="\"$pack\"" \
  -I"$root/dictionaries" -I"$root/tests/common" \
  "$root/dictionaries/CStrokeMatcher.cpp" "$root/dictionaries/CStrokeCode.cpp" \
  "$root/tests/common/StrokeModel.cpp" "$root/tests/dictionaries/StrokeMatcherTest.cpp" \
  -lgtest_main -lgtest -lhwy -pthread -o "$out/stroke_matcher_tests"

# The dynamic loader and libraries are the arm64 multiarch ones.
export QEMU_LD_PREFIX=/
qemu-aarch64 "$out/stroke_matcher_tests"
