#!/bin/sh
# Runs a test program under umockdev's preload library. With it in front, an
# address sanitizer runtime no longer comes first among the libraries, which
# it refuses unless told that this is intended.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
export ASAN_OPTIONS
exec umockdev-wrapper "$@"
