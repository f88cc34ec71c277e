#!/bin/sh
# Runs the program VELIX_MAN_PROGRAM names with the arguments help2man gives
# (--help or --version) and hands its output on in the shape help2man reads.
# Our programs start their help with "usage:", wrap a long synopsis onto
# lines that begin with "[" and align further forms under the first;
# help2man finds the synopsis after "Usage:", one form per line, each
# further form after "or:". Nothing else is changed, so the page says what
# the program says.
set -eu
text=$("$VELIX_MAN_PROGRAM" "$@")
printf '%s\n' "$text" | awk '
  NR == 1 && sub(/^usage: /, "Usage: ") { synopsis = $0; program = $2; next }
  synopsis != "" && /^ +\[/ { sub(/^ +/, " "); synopsis = synopsis $0; next }
  synopsis != "" && $1 == program && /^ / { print synopsis; sub(/^ +/, "  or: "); synopsis = $0; next }
  synopsis != "" { print synopsis; synopsis = "" }
  { print }
  END { if (synopsis != "") print synopsis }'
