# Reads a trace file (quorb.qbt) and rebuilds the call tree of every thread:
# prints "<thread> <indent><message>" per entry and "<indent>dump" per
# dump, two spaces of indent per level.  Fails (status 1, reason on standard
# error) when an exit does not close the innermost open routine, a depth is
# not the stack's, time goes back within a thread, or, unless open_ok=1, a
# routine is still open at the end.  A section that dropped or lost events
# starts its thread afresh.
function fail(why) { print FILENAME ":" FNR ": " why > "/dev/stderr"; bad = 1 }
function indent(n,   s) { s = ""; while (n-- > 1) s = s "  "; return s }
$1 == "T" {
  if (NF != 6) { fail("bad section header"); next }
  th = $2 "/" $3
  thread = $3
  if ($5 > 0 || $6 > 0) depth[th] = -1
  else if (!(th in depth)) depth[th] = 0
  next
}
$1 == "E" || $1 == "X" || $1 == "U" || $1 == "D" {
  if (th == "") { fail("event before any section"); next }
  if ((th in last) && $2 < last[th]) fail("time goes back")
  last[th] = $2
  d = depth[th]
  id = $4 " " $5 " " $6
  if ($1 == "E") {
    if (d >= 0 && $3 != d + 1) fail("entry at depth " $3 ", expected " d + 1)
    depth[th] = $3
    open[th, $3] = id
    print thread " " indent($3) $6
  } else if ($1 == "D") {
    if (d >= 0 && $3 != d) fail("dump at depth " $3 ", expected " d)
    print thread " " indent($3 + 1) "dump"
  } else {
    if (d >= 0 && $3 != d) fail("exit at depth " $3 ", expected " d)
    if (d >= 0 && open[th, $3] != id) fail("exit of " id ", open is " open[th, $3])
    depth[th] = $3 - 1
  }
  next
}
{ fail("unknown line: " $0) }
END {
  if (!open_ok)
    for (th in depth)
      if (depth[th] > 0) fail("thread " th " ends with " depth[th] " routines open")
  exit bad
}
