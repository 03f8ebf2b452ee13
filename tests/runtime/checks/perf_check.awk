# Reads a performance file (quorb.qbq), adds up the sections per routine
# ("0x<key> 0x<checksum> <message>") and checks each routine's figures:
# min <= max, calls * min <= total <= calls * max, own <= total, and the
# same for own times, own min <= min and own max <= max.  With root=<routine>
# it also checks that the own times of all routines add up to the root's
# total (every other call runs inside the root); with leaves="<routine>,..."
# that those routines' own figures equal their totals (they call no
# routine).  Prints "<routine> <calls>" per routine, in order of appearance.
# Fails with status 1.
function fail(why) { print "perf: " why > "/dev/stderr"; bad = 1 }
$1 == "Q" { next }
$1 == "F" { file = $2 " " $3; next }
$1 == "S" {
  r = file " " $2
  if (!(r in calls)) { order[++n] = r; mn[r] = $4; omn[r] = $7 }
  calls[r] += $3; total[r] += $6; own[r] += $9
  if ($4 < mn[r]) mn[r] = $4
  if ($5 > mx[r]) mx[r] = $5
  if ($7 < omn[r]) omn[r] = $7
  if ($8 > omx[r]) omx[r] = $8
  if ($4 > $5 || $7 > $8) fail(r ": min above max in one section")
  next
}
{ fail("unknown line: " $0) }
END {
  for (i = 1; i <= n; i++) {
    r = order[i]
    if (calls[r] * mn[r] > total[r] || total[r] > calls[r] * mx[r]) fail(r ": total outside calls * [min, max]")
    if (calls[r] * omn[r] > own[r] || own[r] > calls[r] * omx[r]) fail(r ": own outside calls * [min, max]")
    if (own[r] > total[r] || omn[r] > mn[r] || omx[r] > mx[r]) fail(r ": own above total")
    sumOwn += own[r]
    if (r == root) rootTotal = total[r]
    for (j = split(leaves, leaf, ","); j > 0; j--)
      if (leaf[j] == r && (own[r] != total[r] || omn[r] != mn[r] || omx[r] != mx[r]))
        fail(r ": a leaf's own time differs from its total")
    print r " " calls[r]
  }
  if (root != "" && sumOwn != rootTotal) fail("own times add up to " sumOwn ", root total " rootTotal)
  exit bad
}
