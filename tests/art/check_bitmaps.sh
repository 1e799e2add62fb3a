#!/usr/bin/env bash
# Checks the generated bitmaps against the windows that draw them:
#   - res/bitmaps.rc names exactly the bitmaps of the table below, one "<id> BITMAP" line each;
#   - every bitmap is in the art folder as an uncompressed 24-bit BMP of exactly its size;
#   - a button bitmap, blitted over its background at its origin, matches the background at its
#     top-left corner (the area outside the rounded body), so no rectangle shows around it.
#
#   check_bitmaps.sh [ARTDIR]     (default: build/art of the source tree or $TANDRIX_BUILD/art)
# Exits non-zero and lists every fault found.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
ART=${1:-${TANDRIX_BUILD:-$ROOT/build}/art}
RC=$ROOT/res/bitmaps.rc

# id width height [background x y]: the background bitmap a button is drawn over and the
# button's origin in window coordinates (the background starts at y 60, the header at 0).
TABLE="
287 600 60
172 600 340
200 600 340
201 600 340
226 600 340
251 600 340
313 600 340
182 257 136 200 46 105
187 257 136 200 46 105
192 257 136 200 46 105
234 257 136 200 46 105
183 247 136 200 306 105
188 247 136 200 306 105
193 247 136 200 306 105
285 247 136 200 306 105
184 257 136 200 46 242
189 257 136 200 46 242
194 257 136 200 46 242
286 257 136 200 46 242
185 247 136 200 306 242
190 247 136 200 306 242
195 247 136 200 306 242
314 247 136 200 306 242
236 195 95 251 208 247
241 195 95 251 208 247
246 195 95 251 208 247
288 106 36 287 10 7
289 106 36 287 10 7
290 106 36 287 10 7
198 287 137 201 158 239
197 287 137 201 158 239
199 287 137 201 158 239
173 172 79 172 411 227
178 172 79 172 411 227
181 172 79 172 411 227
174 172 79 172 411 307
177 172 79 172 411 307
180 172 79 172 411 307
203 150 52 226 423 117
209 150 52 226 423 117
215 150 52 226 423 117
221 150 52 226 423 117
247 150 52 226 423 117
248 150 52 226 423 117
249 150 52 226 423 117
250 150 52 226 423 117
204 150 52 226 423 171
210 150 52 226 423 171
216 150 52 226 423 171
222 150 52 226 423 171
205 150 52 226 423 225
211 150 52 226 423 225
217 150 52 226 423 225
223 150 52 226 423 225
206 150 51 226 423 279
212 150 51 226 423 279
218 150 51 226 423 279
224 150 51 226 423 279
207 150 53 226 423 332
213 150 53 226 423 332
219 150 53 226 423 332
225 150 53 226 423 332
304 274 187 313 24 131
307 274 187 313 24 131
310 274 187 313 24 131
305 271 187 313 307 131
308 271 187 313 307 131
311 271 187 313 307 131
306 145 71 313 433 321
309 145 71 313 433 321
312 145 71 313 433 321
"

FAULTS=0
fault() { echo "FAULT: $*" >&2; FAULTS=$((FAULTS + 1)); }

# Little-endian unsigned integer of $3 bytes at offset $2 of file $1.
le() { od -An -t u"$3" -j "$2" -N "$3" --endian=little "$1" | tr -d ' '; }

declare -A WANT_W WANT_H BG X Y
for_table() { grep -v '^$' <<<"$TABLE"; }
while read -r id w h bg x y; do
    [ -n "${WANT_W[$id]:-}" ] && fault "id $id twice in the table of this check"
    WANT_W[$id]=$w WANT_H[$id]=$h BG[$id]=${bg:-} X[$id]=${x:-} Y[$id]=${y:-}
done < <(for_table)

# The resource script: one line per bitmap, nothing missing, nothing extra.
declare -A IN_RC
if [ ! -f "$RC" ]; then
    fault "$RC is missing"
else
    while IFS= read -r line; do
        line=${line%$'\r'}
        case $line in ''|//*) continue ;; esac
        if [[ $line =~ ^([0-9]+)\ BITMAP\ \"bmp_([0-9]+)\.bmp\"$ ]]; then
            id=${BASH_REMATCH[1]}
            [ "${BASH_REMATCH[2]}" = "$id" ] || fault "bitmaps.rc: id $id names another file: $line"
            [ -n "${IN_RC[$id]:-}" ] && fault "bitmaps.rc: id $id listed twice"
            IN_RC[$id]=1
            [ -n "${WANT_W[$id]:-}" ] || fault "bitmaps.rc: id $id is not a bitmap of the program"
        else
            fault "bitmaps.rc: line not of the form <id> BITMAP \"bmp_<id>.bmp\": $line"
        fi
    done <"$RC"
    for id in "${!WANT_W[@]}"; do
        [ -n "${IN_RC[$id]:-}" ] || fault "bitmaps.rc: bitmap $id is missing"
    done
fi

# Every bitmap: a BITMAPINFOHEADER BMP, 24 bits, uncompressed, exactly its size, complete.
for id in $(printf '%s\n' "${!WANT_W[@]}" | sort -n); do
    f=$ART/bmp_$id.bmp
    if [ ! -f "$f" ]; then fault "bmp_$id.bmp is missing from $ART"; continue; fi
    size=$(stat -c %s "$f")
    if ((size < 54)) || [ "$(head -c 2 "$f")" != BM ]; then fault "bmp_$id.bmp is not a BMP file"; continue; fi
    hdr=$(le "$f" 14 4)
    w=$(le "$f" 18 4)
    h=$(od -An -t d4 -j 22 -N 4 --endian=little "$f" | tr -d ' ')
    planes=$(le "$f" 26 2)
    bits=$(le "$f" 28 2)
    comp=$(le "$f" 30 4)
    offbits=$(le "$f" 10 4)
    ((h < 0)) && h=$((-h))
    ((hdr >= 40)) || fault "bmp_$id.bmp: info header of $hdr bytes"
    [ "$w-$h" = "${WANT_W[$id]}-${WANT_H[$id]}" ] ||
        fault "bmp_$id.bmp is ${w}x$h, must be ${WANT_W[$id]}x${WANT_H[$id]}"
    [ "$planes" = 1 ] || fault "bmp_$id.bmp: $planes planes"
    [ "$bits" = 24 ] || fault "bmp_$id.bmp has $bits bits per pixel, must be 24"
    [ "$comp" = 0 ] || fault "bmp_$id.bmp is compressed ($comp)"
    stride=$(((w * 3 + 3) / 4 * 4))
    ((size >= offbits + stride * h)) || fault "bmp_$id.bmp is truncated ($size bytes)"
done

# Buttons against their backgrounds: the top-left pixel lies outside every button's rounded
# body, so it must show the background there (a soft shadow may tint it a little).
for id in $(printf '%s\n' "${!WANT_W[@]}" | sort -n); do
    bg=${BG[$id]}
    [ -n "$bg" ] || continue
    f=$ART/bmp_$id.bmp b=$ART/bmp_$bg.bmp
    if [ ! -f "$f" ] || [ ! -f "$b" ]; then continue; fi
    by=${Y[$id]}
    [ "$bg" = 287 ] || by=$((by - 60))
    diff=$(convert "${f}[1x1+0+0]" "${b}[1x1+${X[$id]}+$by]" -compose Difference -composite \
        -format '%[fx:int(255*max(r,max(g,b))+0.5)]' info:)
    ((diff <= 6)) || fault "bmp_$id.bmp does not blend into bmp_$bg.bmp at (${X[$id]},${Y[$id]}) (difference $diff/255)"
done

if ((FAULTS)); then
    echo "check_bitmaps: $FAULTS fault(s)" >&2
    exit 1
fi
echo "check_bitmaps: ${#WANT_W[@]} bitmaps fine"
