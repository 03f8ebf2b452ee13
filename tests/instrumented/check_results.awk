# Checks that a results file written by one run of an instrumented program is
# well formed: sections, each a header "R <pid> <time>", then per linked FDC file
# an "F 0x<KEY> 0x<CHECKSUM>" line followed by "<kind> <branch> <count>"
# lines, kinds in the order P, C, B, K and branches ascending within a kind.
# Every F line must name an FDC file declared by the instrumented file
# (its _QBC_DECLARE lines), every branch must lie below the number of branches
# declared for its kind, counts are 1 unless the program counts, and at least
# one procedure branch ran (every instrumented program enters main).
#
#   awk -v declared=<instrumented file> -v counting=0|1 -f check_results.awk <results file>
#
# Prints one line per fault and exits with status 1 when there is any.

function fail(message) {
  printf "%s:%d: %s: '%s'\n", FILENAME, FNR, message, $0
  faults++
}

# "0x00AbUL" -> "0xAB": the spelling of the results file.
function hexKey(text) {
  sub(/[uUlL]+$/, "", text)
  text = toupper(text)
  sub(/^0X0*/, "", text)
  return "0x" (text == "" ? "0" : text)
}

function readDeclarations(file,    line, field, n, id) {
  while ((getline line < file) > 0) {
    if (line !~ /^_QBC_DECLARE\(/)
      continue
    sub(/^_QBC_DECLARE\(/, "", line)
    sub(/\)[ \t]*$/, "", line)
    n = split(line, field, ",")
    if (n != 11) {
      printf "%s: unexpected _QBC_DECLARE with %d arguments\n", file, n
      faults++
      continue
    }
    id = hexKey(field[2]) " " hexKey(field[3])
    known[id] = 1
    limit[id, "P"] = field[4] + 0
    limit[id, "C"] = field[6] + 0
    limit[id, "B"] = field[8] + 0
    limit[id, "K"] = field[10] + 0
    declarations++
  }
  close(file)
}

BEGIN {
  kindOrder = "PCBK"
  readDeclarations(declared)
  if (!declarations) {
    printf "%s: no _QBC_DECLARE line\n", declared
    faults++
  }
}

FNR == 1 {
  if ($0 !~ /^R [0-9]+ [0-9]+$/)
    fail("the first line is not a section header R <pid> <time>")
  next
}

/^R / {
  if ($0 !~ /^R [0-9]+ [0-9]+$/)
    fail("malformed section header")
  group = ""
  next
}

/^F / {
  group = ""
  if ($0 !~ /^F 0x(0|[1-9A-F][0-9A-F]*) 0x(0|[1-9A-F][0-9A-F]*)$/) {
    fail("malformed F line")
    next
  }
  group = $2 " " $3
  if (!(group in known))
    fail("F line of an FDC file the instrumented file does not declare")
  groups++
  lastKind = 0
  next
}

/^[PCBK] / {
  if ($0 !~ /^[PCBK] (0|[1-9][0-9]*) [1-9][0-9]*$/) {
    fail("malformed branch line")
    next
  }
  if (group == "") {
    fail("branch line outside an F group")
    next
  }
  kind = index(kindOrder, $1)
  branch = $2 + 0
  if (kind < lastKind)
    fail("kind " $1 " after kind " substr(kindOrder, lastKind, 1))
  else if (kind == lastKind && branch <= lastBranch)
    fail("branch " branch " not above the previous one, " lastBranch)
  lastKind = kind
  lastBranch = branch
  if ((group, $1) in limit && branch >= limit[group, $1])
    fail("branch beyond the " limit[group, $1] " declared for kind " $1)
  if (!counting && $3 != "1")
    fail("count other than 1 without -COUNT")
  if (counting && (length($3) > 10 || $3 + 0 > 4294967295))
    fail("count above 4294967295")
  if ($1 == "P")
    procedures++
  next
}

{
  fail("unknown line")
}

END {
  if (NR == 0) {
    printf "%s: empty results file\n", FILENAME
    faults++
  } else if (!groups) {
    printf "%s: no F line\n", FILENAME
    faults++
  } else if (!procedures) {
    printf "%s: no procedure branch ran\n", FILENAME
    faults++
  }
  exit faults ? 1 : 0
}
