#!/bin/bash
# What giflib and libsndfile add to a wasm page, in gzipped bytes of JS +
# wasm: a probe that only digests a buffer, then the same probe calling
# DGifOpen + DGifSlurp, sf_open_virtual + sf_readf_short, or both, linked
# at -Oz without and with link-time optimisation; then libsndfile with only
# the wave containers reachable (wav-only), and with only their common
# codecs too (wav-plain: no GSM 6.10, G.72x, NMS ADPCM); both with the GSM
# encoder and the parse log left out, as the engine has them.
#
#   bench/web/decoder-sizes.sh [THIRD_PARTY]   (default: $PIROKKO_WEB_THIRD_PARTY,
#                                               which tools/web/build-decoders.sh fills)
set -euo pipefail
# shellcheck source=scripts/web-common.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/web-common.sh"

tp=$(realpath "${1:-$PIROKKO_WEB_THIRD_PARTY}")
probe=$PIROKKO_ROOT/tools/web/decoders/probe.c
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# No file system, no growth beyond what a page needs: the probe's exports
# are what stays.
common=(-Oz -DPROBE_EXPORTS -sFILESYSTEM=0 -sALLOW_MEMORY_GROWTH=1 -I"$tp/include")

# The stub objects take libsndfile's parse log, as the engine links them.
wrap=(-Wl,--wrap=psf_log_printf)

gz() { gzip -9 -c "$1" | wc -c; }

printf '%-10s %-8s %10s %10s %10s %10s\n' probe link "wasm" "js" "total" "added"
for link in plain lto; do
  extra=()
  [ "$link" = lto ] && extra=(-flto)
  base=0
  for what in none gif wav both wav-only wav-plain both-only; do
    defs=() libs=()
    case $what in
      gif) defs=(-DPROBE_GIF) libs=("$tp/lib/libgif.a") ;;
      wav) defs=(-DPROBE_WAV) libs=("$tp/lib/libsndfile.a") ;;
      both) defs=(-DPROBE_GIF -DPROBE_WAV) libs=("$tp/lib/libgif.a" "$tp/lib/libsndfile.a") ;;
      wav-only) defs=(-DPROBE_WAV) libs=("$tp/lib/sndfile-wave-only.o" "$tp/lib/libsndfile.a" "${wrap[@]}") ;;
      wav-plain) defs=(-DPROBE_WAV) libs=("$tp/lib/sndfile-wave-plain.o" "$tp/lib/libsndfile.a" "${wrap[@]}") ;;
      both-only) defs=(-DPROBE_GIF -DPROBE_WAV)
        libs=("$tp/lib/libgif.a" "$tp/lib/sndfile-wave-only.o" "$tp/lib/libsndfile.a" "${wrap[@]}") ;;
    esac
    emcc "${common[@]}" "${extra[@]}" "${defs[@]}" "$probe" "${libs[@]}" -o "$work/$what.js"
    w=$(gz "$work/$what.wasm") j=$(gz "$work/$what.js")
    total=$((w + j))
    [ "$what" = none ] && base=$total
    printf '%-10s %-8s %10d %10d %10d %10d\n' "$what" "$link" "$w" "$j" "$total" $((total - base))
  done
done
