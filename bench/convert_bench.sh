#!/usr/bin/env bash
# Speed and peak memory of lumenfold-convert against the floor of the same FreeImage work
# without any PDF, with img2pdf and ImageMagick on the same corpus beside them.
#   bench/convert_bench.sh [BUILD_DIR] [COUNT]    (defaults: build, 50)
# Makes its own corpus of COUNT photo-like 2400 x 1800 images as PNG and as JPEG.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
count=${2:-50}
convert_bin="$build/bin/lumenfold-convert"
floor_bin="$build/bin/convert_floor"
if [ ! -x "$convert_bin" ] || [ ! -x "$floor_bin" ]; then
  cmake --build "$build" --target lumenfold-convert convert_floor >/dev/null
fi

work=$(mktemp -d /tmp/lumenfold-convert-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "corpus: $count images of 2400 x 1800 in $work" >&2
"$floor_bin" corpus "$work" "$count"

# Prints "seconds peak_kib minor_faults" of one command, the fastest of $runs runs (other
# processes on the machine only ever add time); its output goes to $work/last.log.
runs=3
measure() {
  local best=""
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %M %R" -o "$work/time" "$@" >"$work/last.log" 2>&1 || {
      echo "failed: $*" >&2
      cat "$work/last.log" >&2
      return 1
    }
    if [ -z "$best" ] || awk -v a="$(cut -d' ' -f1 "$work/time")" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then
      best=$(cat "$work/time")
    fi
  done
  echo "$best"
}

# Debian's ImageMagick policy forbids writing PDF. Where mounts are allowed, ImageMagick runs
# in a private mount namespace that sees an empty policy (its built-in defaults) instead.
imagemagick=/usr/bin/convert
magick=("$imagemagick")
policy=/etc/ImageMagick-6/policy.xml
if [ -f "$policy" ] && command -v unshare >/dev/null; then
  echo '<policymap></policymap>' >"$work/policy.xml"
  magick=(unshare --mount sh -c 'mount --bind "$0" "$1" && shift && exec "$@"'
    "$work/policy.xml" "$policy" "$imagemagick")
fi

row() {  # name seconds peak_kib faults
  awk -v n="$1" -v s="$2" -v m="$3" -v f="$4" -v c="$count" \
    'BEGIN { printf "  %-26s %8.2f s %8.1f pages/s %8.0f MiB %10d minor faults\n", n, s, c / s, m / 1024, f }'
}

for kind in jpg png; do
  inputs=("$work/$kind"/*."$kind")
  echo "$kind:"
  read -r floor_s floor_m floor_f < <(measure "$floor_bin" floor "${inputs[@]}")
  row "floor (FreeImage only)" "$floor_s" "$floor_m" "$floor_f"
  read -r untuned_s untuned_m untuned_f < <(measure "$floor_bin" floor --untuned "${inputs[@]}")
  row "floor, default malloc" "$untuned_s" "$untuned_m" "$untuned_f"
  read -r ours_s ours_m ours_f < <(measure "$convert_bin" --quiet --force -o "$work/ours-$kind.pdf" "${inputs[@]}")
  row "lumenfold-convert" "$ours_s" "$ours_m" "$ours_f"
  if command -v img2pdf >/dev/null; then
    read -r s m f < <(measure img2pdf -o "$work/img2pdf-$kind.pdf" "${inputs[@]}")
    row "img2pdf" "$s" "$m" "$f"
  fi
  if [ -x "$imagemagick" ]; then
    runs=1
    if read -r s m f < <(measure "${magick[@]}" "${inputs[@]}" "$work/magick-$kind.pdf"); then
      row "ImageMagick convert" "$s" "$m" "$f"
    else
      echo "  ImageMagick convert: could not write PDF here (see its policy.xml)"
    fi
    runs=3
  fi
  awk -v o="$ours_s" -v f="$floor_s" 'BEGIN { printf "  ratio lumenfold-convert / floor: %.3f\n", o / f }'
done
