#!/bin/sh
# usage: command_sections.sh PROGRAM OUTPUT
# Writes a help2man include file whose COMMANDS section holds the help of
# every command PROGRAM's --help lists, each from "PROGRAM COMMAND --help",
# so that a command added to the program appears in its man page.
set -eu
program=$1
output=$2
here=$(dirname "$0")
commands=$("$program" --help | awk '/^  [a-z][a-z0-9-]*( |$)/ { print $1 }')
{
  echo "[COMMANDS]"
  for command in $commands; do
    # A listed word that does not answer with its own usage is no command.
    help=$("$program" "$command" --help 2>/dev/null) || continue
    case $help in
      "usage: "*) ;;
      *) continue ;;
    esac
    printf '%s\n' "$help" | awk -v name="$command" -f "$here/help_to_roff.awk"
  done
} >"$output.new"
mv "$output.new" "$output"
