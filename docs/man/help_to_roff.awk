# Turns one command's help text (as "PROGRAM COMMAND --help" prints it) into
# a man page subsection: the synopsis in bold, the text as a paragraph, each
# option line as a tagged paragraph. The help text is the program's own, so
# everything that is text to troff is escaped.

function roff(text) {
  gsub(/\\/, "\\e", text)
  gsub(/-/, "\\-", text)
  if (text ~ /^[.']/) text = "\\&" text
  return text
}

function trim(text) {
  sub(/^ +/, "", text)
  sub(/ +$/, "", text)
  return text
}

NR == 1 {
  sub(/^usage: /, "")
  print ".SS \"" roff(name) "\""
  synopsis = $0
  in_synopsis = 1
  next
}

in_synopsis && /^ +\[/ {
  synopsis = synopsis " " trim($0)
  next
}

in_synopsis {
  print ".PP"
  print "\\fB" roff(synopsis) "\\fR"
  print ".PP"
  in_synopsis = 0
}

match($0, /^  -([^ ]| [^ ])*  +/) {
  print ".TP"
  print "\\fB" roff(trim(substr($0, 1, RLENGTH))) "\\fR"
  print roff(trim(substr($0, RLENGTH + 1)))
  in_options = 1
  next
}

/^   / && in_options {
  print roff(trim($0))
  next
}

(/^[^ ]/ || /^  [^ ]/) && in_options {
  print ".PP"
  in_options = 0
}

trim($0) != "" { print roff(trim($0)) }

END {
  if (in_synopsis) {
    print ".PP"
    print "\\fB" roff(synopsis) "\\fR"
  }
}
