# Rewrites an OBJ file of triangles into one of quads only, with the same surface.
# Run with the file named twice: the first reading finds the quads, the second writes.
# Two consecutive triangles that share an edge (in opposite directions, so they face the
# same way) become one quad. A triangle with no such neighbour becomes a quad through a new
# vertex halfway along one of its edges; the new vertices go in front of the file's own,
# so every index of the file moves up by their count.
# Expects corners written v/vt/vn with one index for all three, as the generated models
# have them.

function corner(i) { return i "/" i "/" i }

function original(i) { return corner(i + lone) }

# Quads of the second reading are printed; the first only counts the lone triangles and
# makes their new vertices.
function quad(a, b, c, d) {
    if (writing) print "f " original(a) " " original(b) " " original(c) " " original(d)
}

function loneTriangle(a, b, c) {
    ++made
    if (!writing) {
        split(vLine[a], pa, " "); split(vLine[c], pc, " ")
        split(vtLine[a], ta, " "); split(vtLine[c], tc, " ")
        split(vnLine[a], na, " "); split(vnLine[c], nc, " ")
        newV[made] = sprintf("v %.6f %.6f %.6f", (pa[2] + pc[2]) / 2, (pa[3] + pc[3]) / 2, (pa[4] + pc[4]) / 2)
        newVt[made] = sprintf("vt %.6f %.6f", (ta[2] + tc[2]) / 2, (ta[3] + tc[3]) / 2)
        newVn[made] = sprintf("vn %.6f %.6f %.6f", (na[2] + nc[2]) / 2, (na[3] + nc[3]) / 2, (na[4] + nc[4]) / 2)
    } else {
        print "f " original(a) " " original(b) " " original(c) " " corner(made)
    }
}

function flushHeld() {
    if (held) loneTriangle(h[1], h[2], h[3])
    held = 0
}

function first(token) { split(token, parts, "/"); return parts[1] + 0 }

FNR == 1 && NR != 1 {
    flushHeld()
    lone = made
    made = 0
    writing = 1
    for (k = 1; k <= lone; k++) print newV[k]
    for (k = 1; k <= lone; k++) print newVt[k]
    for (k = 1; k <= lone; k++) print newVn[k]
}
!writing && /^v / { vLine[++vCount] = $0 }
!writing && /^vt / { vtLine[++vtCount] = $0 }
!writing && /^vn / { vnLine[++vnCount] = $0 }
/^f / {
    c[1] = first($2); c[2] = first($3); c[3] = first($4)
    if (!held) { h[1] = c[1]; h[2] = c[2]; h[3] = c[3]; held = 1; next }
    joined = 0
    for (i = 1; i <= 3 && !joined; i++) {
        u = h[i]; v = h[i % 3 + 1]; w = h[(i + 1) % 3 + 1]
        for (j = 1; j <= 3 && !joined; j++)
            if (c[j] == v && c[j % 3 + 1] == u) {
                quad(u, c[(j + 1) % 3 + 1], v, w)
                joined = 1
            }
    }
    if (joined) { held = 0; next }
    flushHeld()
    h[1] = c[1]; h[2] = c[2]; h[3] = c[3]; held = 1
    next
}
{
    flushHeld()
    if (writing) print
}
END { flushHeld() }
