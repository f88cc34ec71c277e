#!/usr/bin/env bash
# Builds the Debian packages from this build tree, unpacks them into a
# throw-away root and checks the installed suite there: the layout, the
# programs running from the root, the desktop entries, the MIME type, and a
# live capture of the installed orvane-cli from the installed velixd on the
# simulated analyzer. It runs as the calling user: becoming a member of the
# velix group would need root.
#
# install_test.sh BUILD_DIR PREFIX LIBDIR SOURCE_DIR
# Exits 77 (skipped) without dpkg-deb.
set -euo pipefail

build=$1 prefix=$2 libdir=$3 source=$4
command -v dpkg-deb >/dev/null || { echo "dpkg-deb not found: skipped"; exit 77; }

work=$(mktemp -d)
velixd_pid=
cleanup() {
  if [ -n "$velixd_pid" ]; then
    kill "$velixd_pid" 2>/dev/null || true
    wait "$velixd_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# gzip packs the unoptimised test binaries far faster than xz.
cpack --config "$build/CPackConfig.cmake" -B "$work/packages" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }

root=$work/root
for package in velix-daemon velix-tools libvelixfw libvelixfw-dev orvane; do
  debs=("$work/packages/${package}"_*.deb)
  deb=${debs[0]}
  if [ ! -f "$deb" ]; then fail "no package $package"; continue; fi
  dpkg -x "$deb" "$root"
  [ -f "$root$prefix/share/doc/$package/copyright" ] || fail "$package has no copyright file"
  [ -f "$root$prefix/share/doc/$package/changelog.gz" ] || fail "$package has no changelog.gz"
done

# Dependencies between the packages.
fields() { dpkg-deb -f "$work"/packages/"$1"_*.deb "$2" 2>/dev/null || true; }
case "$(fields orvane Depends)" in *libvelixfw*) ;; *) fail "orvane does not depend on libvelixfw" ;; esac
case "$(fields libvelixfw-dev Depends)" in *libvelixfw*) ;; *) fail "libvelixfw-dev does not depend on libvelixfw" ;; esac
case "$(fields velix-tools Recommends)" in *velix-daemon*) ;; *) fail "velix-tools does not recommend velix-daemon" ;; esac
case "$(fields velix-daemon Depends)" in *libusb*) ;; *) fail "velix-daemon does not depend on libusb (shlibdeps)" ;; esac

bin=$root$prefix/bin
lib=$root$prefix/$libdir
expected=(
  "$bin/velixd" "$bin/orvane-cli" "$bin/velixctl" "$bin/Orvane" "$bin/VELIXModeChange"
  "$lib/libVELIXFw.so.1" "$lib/libVELIXFw.so" "$root$prefix/include/VELIXFw.h"
  "$root$prefix/lib/udev/rules.d/70-velix.rules"
  "$root$prefix/lib/systemd/system/velixd.service"
  "$root$prefix/lib/sysusers.d/velix.conf"
  "$root$prefix/lib/environment.d/60-velix.conf"
  "$root$prefix/share/applications/Orvane.desktop"
  "$root$prefix/share/applications/VELIXModeChange.desktop"
  "$root$prefix/share/icons/hicolor/scalable/apps/orvane.svg"
  "$root$prefix/share/icons/hicolor/scalable/apps/velix-modechange.svg"
  "$root$prefix/share/mime/packages/velix.xml"
  "$root$prefix/share/velix/firmware/README"
)
for path in "${expected[@]}"; do [ -e "$path" ] || fail "missing ${path#"$root"}"; done
for program in velixd orvane-cli velixctl Orvane VELIXModeChange; do
  [ -x "$bin/$program" ] || fail "$program is not executable"
done

# The soname and its links: the runtime package holds the real file and the
# soname link, the -dev package the link programs are built against.
soname=$(objdump -p "$lib/libVELIXFw.so.1" 2>/dev/null | awk '$1 == "SONAME" { print $2 }')
[ "$soname" = libVELIXFw.so.1 ] || fail "soname is '$soname', not libVELIXFw.so.1"
[ "$(readlink "$lib/libVELIXFw.so")" = libVELIXFw.so.1 ] || fail "libVELIXFw.so does not point at the soname"
dpkg-deb -c "$work"/packages/libvelixfw_*.deb | grep -q 'libVELIXFw\.so ->' && fail "libvelixfw carries the -dev link"
grep -q 'GROUP="velix", MODE="0660", TAG+="uaccess"' "$root$prefix/lib/udev/rules.d/70-velix.rules" ||
  fail "the udev rule does not grant the velix group and the seat"
for id in 1d9a/030a 1d9a/030b 04b4/8613 1d9a/0221; do
  grep -q "ATTR{idVendor}==\"${id%/*}\", ATTR{idProduct}==\"${id#*/}\"" "$root$prefix/lib/udev/rules.d/70-velix.rules" ||
    fail "the udev rule misses $id"
done
unit=$root$prefix/lib/systemd/system/velixd.service
exec_start=$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$unit")
[ -x "$root$exec_start" ] || fail "the unit starts $exec_start, which the packages do not hold"
grep -q -- '--idle-exit' "$unit" || fail "the unit does not stop velixd once the analyzer has gone"
if command -v systemd-analyze >/dev/null; then
  # Every line of the unit as systemd reads it: an unknown key or a bad
  # value is a warning, which fails the test. The binary is the one in the
  # root; the man page is another package's business.
  sed -e "s|^ExecStart=$exec_start|ExecStart=$root$exec_start|" -e '/^Documentation=/d' "$unit" >"$work/velixd.service"
  verify=$(systemd-analyze verify "$work/velixd.service" 2>&1 || true)
  [ -z "$verify" ] || fail "systemd-analyze verify: $verify"
fi

export LD_LIBRARY_PATH=$lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
"$bin/orvane-cli" --version | grep -q '^orvane-cli ' || fail "installed orvane-cli --version"
"$bin/velixd" --help | grep -q 'usage: velixd' || fail "installed velixd --help"
"$bin/velixctl" --version | grep -q "^velixctl " || fail "installed velixctl --version"
ldd "$bin/VELIXModeChange" | grep -q "$lib/libVELIXFw.so.1" || fail "VELIXModeChange does not load the installed libVELIXFw"

if command -v desktop-file-validate >/dev/null; then
  for entry in Orvane VELIXModeChange; do
    desktop-file-validate "$root$prefix/share/applications/$entry.desktop" || fail "$entry.desktop does not validate"
  done
fi
grep -q '^MimeType=application/x-velix-sic;$' "$root$prefix/share/applications/Orvane.desktop" ||
  fail "Orvane.desktop does not open capture files"
image_dir=$(sed -n 's/^Exec=VELIXModeChange --image-dir //p' "$root$prefix/share/applications/VELIXModeChange.desktop")
[ -d "$root$image_dir" ] || fail "VELIXModeChange.desktop points at $image_dir, which the packages do not hold"

# The MIME type: well-formed, and what update-mime-database makes of it
# (the parser of shared-mime-info itself) maps both globs and the header.
mime_xml=$root$prefix/share/mime/packages/velix.xml
xmllint --noout "$mime_xml" || fail "velix.xml is not well-formed"
for xpath in "//*[local-name()='mime-type'][@type='application/x-velix-sic']" \
             "//*[local-name()='glob'][@pattern='*.SIC']" "//*[local-name()='glob'][@pattern='*.sic']" \
             "//*[local-name()='comment']" "//*[local-name()='magic']"; do
  xmllint --xpath "$xpath" "$mime_xml" >/dev/null 2>&1 || fail "velix.xml lacks $xpath"
done
if command -v update-mime-database >/dev/null; then
  # A database of its own, in a folder on the data path, so that anything
  # it says is about the file.
  mime=$work/share/mime
  mkdir -p "$mime/packages"
  cp "$mime_xml" "$mime/packages/"
  XDG_DATA_DIRS=$work/share update-mime-database "$mime" 2>"$work/mime.log" ||
    fail "update-mime-database: $(cat "$work/mime.log")"
  [ -s "$work/mime.log" ] && fail "update-mime-database: $(cat "$work/mime.log")"
  grep -q 'application/x-velix-sic:\*\.SIC' "$mime/globs2" || fail "no glob *.SIC in the MIME database"
  grep -q 'application/x-velix-sic:\*\.sic' "$mime/globs2" || fail "no glob *.sic in the MIME database"
  grep -aq 'application/x-velix-sic' "$mime/magic" || fail "no magic for capture files"
fi

# The installed daemon on the simulated analyzer, and a live capture of the
# installed orvane-cli from it.
export VELIX_RUNTIME_DIR=$work/run
"$bin/velixd" --runtime-dir "$VELIX_RUNTIME_DIR" --trace-level 0 \
  --simulate "$source/sim/scenarios/i2c_demo.scn" --rate 2000000 2>"$work/velixd.log" &
velixd_pid=$!
for _ in $(seq 400); do [ -S "$VELIX_RUNTIME_DIR/VELIX0" ] && break; sleep 0.05; done
if [ -S "$VELIX_RUNTIME_DIR/VELIX0" ]; then
  "$bin/orvane-cli" capture --bus i2c0 -o "$work/capture.SIC" --size 32 --duration 1 --csv "$work/capture.csv" --yes \
    >"$work/capture.log" 2>&1 || fail "installed orvane-cli capture: $(cat "$work/capture.log")"
  grep -q '" 50H"' "$work/capture.csv" 2>/dev/null || fail "the capture holds no transaction of the demo scenario"
  # What the MIME magic looks for: "KPW!" and the header size 1024, little-endian.
  [ "$(head -c 6 "$work/capture.SIC" | od -An -tx1 | tr -d ' \n')" = 4b5057210004 ] ||
    fail "a capture file does not start the way the MIME magic says"
else
  fail "installed velixd did not publish VELIX0: $(cat "$work/velixd.log")"
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "installed packages: all checks passed"
