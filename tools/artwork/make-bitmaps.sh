#!/usr/bin/env bash
# Draws every bitmap resource of the program as a 24-bit BMP file named bmp_<id>.bmp:
# the header band, the window backgrounds and the bitmap buttons in their looks.
#
#   make-bitmaps.sh OUTDIR
#
# ImageMagick 6 with the Noto Sans CJK JP fonts. The output is byte-for-byte the same on
# every run with the same ImageMagick and fonts (no metadata, no time stamps).
#
# A button bitmap is an opaque rectangle blitted over the background at its origin, so every
# button is painted onto a crop of the very background it is drawn over: the area around its
# rounded body matches the window pixel for pixel and no seams show.
set -euo pipefail

OUT=${1:?usage: make-bitmaps.sh OUTDIR}
mkdir -p "$OUT"
JOBS=$(nproc 2>/dev/null || echo 2)

BOLD=Noto-Sans-CJK-JP-Bold
REGULAR=Noto-Sans-CJK-JP
FONTS=$(convert -list font)
for f in "$BOLD" "$REGULAR"; do
    if ! grep -q "Font: $f\$" <<<"$FONTS"; then
        echo "make-bitmaps: font $f is missing (package fonts-noto-cjk)" >&2
        exit 1
    fi
done

# Nothing to do when this script, ImageMagick and the fonts are as they were at the last
# complete run and every bitmap of that run is still there.
STAMP=$OUT/.bitmaps.stamp
KEY=$( { cat "${BASH_SOURCE[0]}"; convert -version | head -1
         grep -A6 -E "Font: ($BOLD|$REGULAR)\$" <<<"$FONTS"; } | sha256sum | cut -d' ' -f1)
if [ -f "$STAMP" ] && [ "$(head -1 "$STAMP")" = "$KEY" ]; then
    complete=1
    while read -r f; do [ -f "$OUT/$f" ] || { complete=0; break; }; done < <(tail -n +2 "$STAMP")
    ((complete)) && exit 0
fi
rm -f "$STAMP"

# ---------------------------------------------------------------------------------------------
# Palette.
NAVY_TOP="#123A75"       # header band, top row
NAVY="#0E2D5F"           # header band bottom row = top of the dark bands of the backgrounds
NAVY_LOW="#17467F"       # bottom of a dark band
LIGHT="#EEF2F7"          # calm area under the buttons
LIGHT_LOW="#E3EAF2"
ACCENT="#F39A1E"         # the one warm accent colour
INK="#1C3557"            # dark text drawn into pictures
MUTED="#5B6B80"

# Button palettes: name -> "top bottom border" for each look.
declare -A PAL=(
    [blue.0]="#3F8AD9 #1F5DAE #184C8E"   [blue.1]="#62A4EC #2E73C5 #1F5DA8"
    [blue.2]="#1D58A3 #174A8A #123C72"
    [teal.0]="#2FA7A6 #17807F #126A69"   [teal.1]="#4FC2C0 #22918F #187A78"
    [teal.2]="#157675 #106261 #0C5150"
    [orange.0]="#F7AE3E #E3821A #C26E12" [orange.1]="#FBC466 #EE9428 #D07A16"
    [orange.2]="#D97A16 #C06A10 #A45A0C"
    [slate.0]="#6E86A3 #4A6483 #3E556F"  [slate.1]="#8AA1BC #587394 #4A6483"
    [slate.2]="#465E7B #3B5069 #2F4256"
    [head.0]="#2D62AA #1F4E8E #6F9BD6"   [head.1]="#3C75C4 #2A5DA6 #A9C8F0"
    [head.2]="#1B4580 #163A6C #5A86C2"
    [card.0]="#FFFFFF #F3F6FA #C3D1E2"   [card.1]="#F6FAFF #E6F0FC #5B9DE6"
    [card.2]="#E3ECF7 #D6E2F0 #3F7FCB"
    [grey.3]="#DADDE2 #C7CCD3 #A9AFB8"
)
GREY_TEXT="#8A919B"
GREY_SUB="#9BA2AB"

# ---------------------------------------------------------------------------------------------
# Helpers that append ImageMagick arguments to the array A.

# Finishes an image: opaque 24-bit BMP without metadata.
finish() {
    A+=(-alpha off -type TrueColor -depth 8 +set date:create +set date:modify -strip
        "BMP3:$OUT/bmp_$1.bmp")
}

# Rounded rectangle filled with a vertical gradient: x0 y0 x1 y1 radius top bottom.
grad_rrect() {
    local x0=$1 y0=$2 x1=$3 y1=$4 r=$5 c1=$6 c2=$7
    local w=$((x1 - x0 + 1)) h=$((y1 - y0 + 1))
    A+=( \( -size "${w}x${h}" "gradient:$c1-$c2" -alpha set
            \( -size "${w}x${h}" xc:none -fill white
               -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) $r,$r" \)
            -compose DstIn -composite \)
         -geometry "+$x0+$y0" -compose Over -composite )
}

# Soft drop shadow of a rounded rectangle: x0 y0 x1 y1 radius offset blur opacity.
shadow_rrect() {
    local x0=$1 y0=$2 x1=$3 y1=$4 r=$5 off=$6 blur=$7 op=$8
    A+=( \( -size "${W}x${H}" xc:none -fill "rgba(12,32,64,$op)"
            -draw "roundrectangle $((x0 + off)),$((y0 + off)) $((x1 + off)),$((y1 + off)) $r,$r"
            -blur "0x$blur" \)
         -geometry +0+0 -compose Over -composite )
}

# A rectangle filled with a vertical gradient, composed at x0 y0: w h top bottom.
grad_rect() {
    A+=( \( -size "$3x$4" "gradient:$5-$6" \) -geometry "+$1+$2" -compose Over -composite )
}

# Text centred on cx cy: cx cy font size colour text.
text_c() {
    local dx=$(($1 - W / 2)) dy=$(($2 - H / 2))
    A+=(-gravity Center -font "$3" -pointsize "$4" -fill "$5" -stroke none
        -annotate "$(printf '%+d%+d' "$dx" "$dy")" "$6" -gravity NorthWest)
}

# Text with its left edge at x, centred vertically on cy: x cy font size colour text.
text_l() {
    local dy=$(($2 - H / 2))
    A+=(-gravity West -font "$3" -pointsize "$4" -fill "$5" -stroke none
        -annotate "$(printf '%+d%+d' "$1" "$dy")" "$6" -gravity NorthWest)
}

# MVG drawing in a local frame: x y scale mvg.
draw_at() {
    A+=(-draw "translate $1,$2 scale $3,$3 $4")
}

# A stroked circular arc as a filled band (ImageMagick 6 closes open stroked paths):
# cx cy radius width from-degrees to-degrees (clockwise on screen); round ends.
arc_band() {
    awk -v cx="$1" -v cy="$2" -v r="$3" -v w="$4" -v a0="$5" -v a1="$6" 'BEGIN {
        n = int((a1 - a0) / 4) + 2; ro = r + w / 2; ri = r - w / 2; k = 3.14159265358979 / 180
        printf "path \047M"
        for (i = 0; i < n; i++) { t = (a0 + (a1 - a0) * i / (n - 1)) * k
            printf " %.2f,%.2f", cx + ro * cos(t), cy + ro * sin(t) }
        for (i = n - 1; i >= 0; i--) { t = (a0 + (a1 - a0) * i / (n - 1)) * k
            printf " %.2f,%.2f", cx + ri * cos(t), cy + ri * sin(t) }
        printf " Z\047"
        for (i = 0; i < 2; i++) { t = (i ? a1 : a0) * k; x = cx + r * cos(t); y = cy + r * sin(t)
            printf " circle %.2f,%.2f %.2f,%.2f", x, y, x + w / 2, y }
    }'
}

# ---------------------------------------------------------------------------------------------
# Pictograms, drawn in a 48 x 48 frame with colour $1 (and $2 for details).
icon_document() {
    echo "stroke none fill $1 path 'M 9,3 L 29,3 L 40,14 L 40,45 L 9,45 Z'
          fill $2 path 'M 29,3 L 29,14 L 40,14 Z'
          stroke $2 stroke-width 2.5 line 15,22 34,22 line 15,29 34,29 line 15,36 27,36"
}
icon_documents() {
    echo "stroke none fill $1 path 'M 4,9 L 21,9 L 30,18 L 30,44 L 4,44 Z'
          stroke $2 stroke-width 2 fill $1 path 'M 17,2 L 35,2 L 44,11 L 44,38 L 17,38 Z'
          stroke none fill $2 path 'M 35,2 L 35,11 L 44,11 Z'
          stroke $2 stroke-width 2.2 line 22,19 39,19 line 22,25 39,25 line 22,31 33,31"
}
icon_folder() {
    echo "stroke none fill $1 path 'M 3,10 L 18,10 L 22,15 L 45,15 L 45,41 L 3,41 Z'
          fill $2 path 'M 3,19 L 45,19 L 45,21 L 3,21 Z'"
}
icon_user_folders() {
    echo "stroke none fill $1 path 'M 2,12 L 16,12 L 20,17 L 40,17 L 40,42 L 2,42 Z'
          fill $2 circle 34,20 34,29
          fill $1 circle 34,17 34,21 path 'M 27,29 C 27,22 41,22 41,29 Z'"
}
icon_drive() {
    echo "stroke none fill $1 roundrectangle 3,13 45,37 5,5
          fill $2 roundrectangle 7,17 41,33 3,3
          fill $1 circle 36,25 36,28 rectangle 11,23 27,27"
}
icon_power() {
    echo "stroke none fill $1 $(arc_band 24 26 16 5 -60 240)
          roundrectangle 21.5,3 26.5,24 2.5,2.5"
}
icon_play() {
    echo "stroke none fill $1 path 'M 14,8 L 40,24 L 14,40 Z'"
}
icon_cross() {
    echo "stroke $1 stroke-width 6 stroke-linecap round line 12,12 36,36 line 36,12 12,36"
}
icon_book() {
    echo "stroke none fill $1 path 'M 4,10 C 12,6 20,7 23,11 L 23,42 C 18,38 11,38 4,41 Z'
          path 'M 44,10 C 36,6 28,7 25,11 L 25,42 C 30,38 37,38 44,41 Z'"
}
# A PC: monitor and stand, 64 x 52 frame: frame colour, screen colour.
icon_pc() {
    echo "stroke none fill $1 roundrectangle 2,2 62,40 4,4
          fill $2 rectangle 6,6 58,35
          fill $1 path 'M 26,40 L 38,40 L 41,47 L 23,47 Z' roundrectangle 16,46 48,51 2,2"
}
# A moving box, 80 x 72 frame.
icon_box() {
    echo "stroke none fill rgba(12,32,64,0.10) ellipse 40,70 38,4 0,360
          fill #D9A86C path 'M 6,22 L 74,22 L 74,68 L 6,68 Z'
          fill #C48D4E path 'M 6,22 L 40,22 L 40,68 L 6,68 Z'
          fill #E6BC85 path 'M 6,22 L 0,8 L 36,8 L 40,22 Z' path 'M 74,22 L 80,8 L 44,8 L 40,22 Z'
          fill #EFD3A6 rectangle 32,22 48,68
          fill #3F8AD9 path 'M 52,40 L 68,40 L 68,56 L 52,56 Z'
          fill white stroke white stroke-width 1.5 line 55,45 65,45 line 55,50 62,50"
}

# A thick arrow to the right, 48 x 24 frame.
icon_arrow() {
    echo "stroke none fill $1 path 'M 0,7 L 28,7 L 28,0 L 47,12 L 28,24 L 28,17 L 0,17 Z'"
}

# ---------------------------------------------------------------------------------------------
# Header band 287 (600 x 60): product title at the right; the left part stays plain navy
# for the manual button at (10,7).
make_header() {
    W=600 H=60 A=(-size 600x60 "gradient:$NAVY_TOP-$NAVY")
    A+=(-fill "rgba(255,255,255,0.05)" -draw "circle 560,-40 560,60"
        -fill "rgba(255,255,255,0.04)" -draw "circle 470,110 470,40")
    # Logo: two arcs chasing each other around a ring (the data going round to the partner).
    # Ring centred on (376,30), radius 18; each arc ends in an arrowhead pointing clockwise.
    A+=(-stroke none -fill "$ACCENT" -draw "$(arc_band 376 30 18 4 205 338)"
        -fill "#5CC8E8" -draw "$(arc_band 376 30 18 4 25 158)"
        -fill "$ACCENT" -draw "path 'M 395.6,31.4 L 398.6,21.8 L 387.3,25.9 Z'"
        -fill "#5CC8E8" -draw "path 'M 356.4,28.6 L 353.5,38.2 L 364.7,34.1 Z'")
    text_l 406 29 "$BOLD" 25 white "ソラノワ"
    text_l 517 30 "$BOLD" 22 "#9CCBFF" "Basic"
    finish 287
    convert "${A[@]}"
}

# Common start of a background: light area with a dark band of the given height on top.
bg_start() {
    local band=$1
    W=600 H=340 A=(-size 600x340 "gradient:$LIGHT-$LIGHT_LOW")
    if ((band > 0)); then
        grad_rect 0 0 600 "$band" "$NAVY" "$NAVY_LOW"
        A+=(-fill "rgba(255,255,255,0.05)" -draw "circle 590,-60 590,$((band + 10))")
        A+=(-fill "$ACCENT" -draw "rectangle 0,$band 599,$((band + 1))")
    fi
}

# A pale wave along the bottom edge.
bg_wave() {
    A+=(-fill "rgba(91,157,230,0.10)" -draw "path 'M 0,322 C 150,300 300,345 600,310 L 600,340 L 0,340 Z'"
        -fill "rgba(91,157,230,0.08)" -draw "path 'M 0,332 C 200,318 380,350 600,325 L 600,340 L 0,340 Z'")
}

# 201: the main window before set-up; the picture button sits at (158,179)-(445,316).
make_bg_201() {
    W=600 H=340 A=(-size 600x340 "gradient:#DCEAF9-$LIGHT")
    A+=(-fill "rgba(255,255,255,0.55)" -draw "circle 520,40 520,150"
        -fill "rgba(91,157,230,0.10)" -draw "circle 520,40 520,110"
        -fill "rgba(91,157,230,0.08)" -draw "circle 70,300 70,380")
    A+=(-fill "$ACCENT" -draw "roundrectangle 40,38 45,112 2,2")
    text_l 60 54 "$BOLD" 26 "$INK" "ソラノワ Basic へようこそ"
    text_l 61 90 "$REGULAR" 15 "$MUTED" "2台のパソコンをLANでつないで、"
    text_l 61 112 "$REGULAR" 15 "$MUTED" "データを新しいパソコンへ引越します。"
    draw_at 462 52 1 "$(icon_box)"
    bg_wave
    finish 201
    convert "${A[@]}"
}

# 200: the source's copy-mode screen; headline at y 4 and a line at y 32 (cell down to y 45)
# in white, the four big buttons from y 45 down, over the accent line.
make_bg_200() {
    bg_start 46
    bg_wave
    finish 200
    convert "${A[@]}"
}

# 251: the destination's screen; headline at y 4, three lines of instructions at
# (120,62)-(560,116) in white, the end button at (208,187).
make_bg_251() {
    bg_start 46
    A+=(-fill "rgba(12,32,64,0.18)" -draw "roundrectangle 106,57 592,127 10,10")
    grad_rrect 104 54 588 123 10 "$NAVY_LOW" "$NAVY"
    # A PC receiving data, left of the instructions.
    draw_at 20 64 1.2 "$(icon_pc "#1F5DAE" "#DCEBFB")"
    A+=(-draw "translate 50,65 rotate 90 scale 0.72,0.72 $(icon_arrow "$ACCENT")")
    bg_wave
    finish 251
    convert "${A[@]}"
}

# 172: the environment list; its white panel of check boxes on the left, the run and cancel
# buttons on the right at (411,167) and (411,247); one line of white text at the top.
make_bg_172() {
    bg_start 20
    # Illustration above the buttons: a sheet with ticked boxes.
    A+=(-fill "rgba(12,32,64,0.12)" -draw "roundrectangle 452,52 556,152 10,10")
    grad_rrect 448 48 552 148 10 "#FFFFFF" "#F2F6FB"
    A+=(-fill none -stroke "#C3D1E2" -strokewidth 1 -draw "roundrectangle 448.5,48.5 551.5,147.5 10,10")
    local y
    for y in 66 92 118; do
        A+=(-stroke "#3F8AD9" -strokewidth 2 -fill white -draw "roundrectangle 464,$((y - 8)) 480,$((y + 8)) 3,3"
            -stroke "$ACCENT" -strokewidth 3 -fill none
            -draw "line 467,$y 471,$((y + 4)) line 471,$((y + 4)) 478,$((y - 5))"
            -stroke "#B9C7D8" -strokewidth 4 -draw "line 490,$y 536,$y")
    done
    A+=(-stroke none)
    bg_wave
    finish 172
    convert "${A[@]}"
}

# 226: the file list; three lines of white text at the top (to y 49), the list on the left,
# five buttons in a column at x 423 from y 57.
make_bg_226() {
    bg_start 52
    A+=(-fill "rgba(91,157,230,0.10)" -draw "roundrectangle 410,52 588,330 14,14")
    bg_wave
    finish 226
    convert "${A[@]}"
}

# 313: the role dialog; one line of white text at y 6, two panels from y 71, quit button at
# (433,261).
make_bg_313() {
    bg_start 30
    text_l 26 297 "$REGULAR" 13 "$MUTED" "相手のパソコンでも、このソフトを起動してください。"
    bg_wave
    finish 313
    convert "${A[@]}"
}

# ---------------------------------------------------------------------------------------------
# Buttons.
#
# button ID W H SOURCE X Y PALETTE LOOK INSET_L INSET_T INSET_R INSET_B RADIUS CONTENT [ARGS...]
#   SOURCE X Y: the bitmap it is drawn over and the origin there; LOOK 0 normal, 1 hover,
#   2 pressed, 3 disabled; the body is the rectangle left after the insets. CONTENT is a
#   function called with the body's box and colours to add the label and pictogram.
button() {
    local id=$1 w=$2 h=$3 src=$4 sx=$5 sy=$6 pal=$7 look=$8
    local il=$9 it=${10} ir=${11} ib=${12} r=${13} content=${14}
    shift 14
    W=$w H=$h
    A=("${src}[${w}x${h}+${sx}+${sy}]" +repage)
    local key="$pal.$look"
    [ "$look" = 3 ] && key=grey.3
    read -r c1 c2 border <<<"${PAL[$key]}"
    local d=0 off=3 blur=3 op=0.38
    case $look in
        1) op=0.45; blur=4 ;;
        2) d=2; off=1; blur=2; op=0.30 ;;
        3) op=0.18 ;;
    esac
    local x0=$((il + d)) y0=$((it + d)) x1=$((w - 1 - ir + d)) y1=$((h - 1 - ib + d))
    shadow_rrect "$x0" "$y0" "$x1" "$y1" "$r" "$off" "$blur" "$op"
    grad_rrect "$x0" "$y0" "$x1" "$y1" "$r" "$c1" "$c2"
    # Gloss on the upper half, and the border.
    if [ "$look" != 3 ]; then
        local gl=0.16
        [ "$look" = 1 ] && gl=0.22
        [ "$look" = 2 ] && gl=0.06
        A+=( \( -size "$((x1 - x0 - 3))x$(((y1 - y0) / 2))" xc:none -fill "rgba(255,255,255,$gl)"
                -draw "roundrectangle 0,0 $((x1 - x0 - 4)),$(((y1 - y0) / 2 + r)) $((r - 1)),$((r - 1))"
                -crop "$((x1 - x0 - 3))x$(((y1 - y0) / 2))+0+0" +repage \)
             -geometry "+$((x0 + 2))+$((y0 + 2))" -compose Over -composite )
    fi
    A+=(-fill none -stroke "$border" -strokewidth 1
        -draw "roundrectangle $x0.5,$y0.5 $((x1 - 1)).5,$((y1 - 1)).5 $r,$r" -stroke none)
    # Colours handed to the content: text, secondary text, badge, pictogram.
    local fg=white sub="#DCEBFF" badge=white glyph=$c2
    if [ "$look" = 3 ]; then fg=$GREY_TEXT sub=$GREY_SUB badge="#EEF0F2" glyph="#A9AFB8"; fi
    if [ "$pal" = card ]; then fg=$INK sub=$MUTED; fi
    "$content" "$x0" "$y0" "$x1" "$y1" "$fg" "$sub" "$badge" "$glyph" "$look" "$@"
    finish "$id"
    convert "${A[@]}"
}

# Text only, centred: label size.
c_label() {
    local x0=$1 y0=$2 x1=$3 y1=$4 fg=$5
    local cx=$(((x0 + x1) / 2)) cy=$(((y0 + y1) / 2))
    [ "$9" != 3 ] && text_c "$cx" "$((cy + 1))" "$BOLD" "${11}" "rgba(0,0,0,0.25)" "${10}"
    text_c "$cx" "$cy" "$BOLD" "${11}" "$fg" "${10}"
}

# Pictogram then text, centred together: icon label size.
c_icon_label() {
    local x0=$1 y0=$2 x1=$3 y1=$4 fg=$5 glyph=$8 look=$9 icon=${10} label=${11} size=${12} tw=${13}
    local cy=$(((y0 + y1) / 2)) iw=$((size + 2))
    local total=$((iw + 8 + tw))
    local ix=$(((x0 + x1 - total) / 2))
    local ic=$fg
    draw_at "$ix" "$((cy - iw / 2))" "$(awk "BEGIN{printf \"%.4f\", $iw/48}")" "$($icon "$ic" "$glyph")"
    [ "$look" != 3 ] && text_l "$((ix + iw + 8))" "$((cy + 1))" "$BOLD" "$size" "rgba(0,0,0,0.25)" "$label"
    text_l "$((ix + iw + 8))" "$cy" "$BOLD" "$size" "$fg" "$label"
}

# The big copy-mode tiles: white badge with a pictogram on the left, title lines and
# a description on the right. icon "title|title" "desc|desc"
c_tile() {
    local x0=$1 y0=$2 x1=$3 y1=$4 fg=$5 sub=$6 badge=$7 glyph=$8 look=$9 icon=${10}
    local -a title desc
    IFS='|' read -r -a title <<<"${11}"
    IFS='|' read -r -a desc <<<"${12}"
    local cy=$(((y0 + y1) / 2)) bx=$((x0 + 40))
    A+=(-fill "rgba(0,0,0,0.12)" -draw "circle $bx,$((cy + 2)) $bx,$((cy + 30))"
        -fill "$badge" -draw "circle $bx,$cy $bx,$((cy + 28))")
    draw_at "$((bx - 21))" "$((cy - 21))" 0.875 "$($icon "$glyph" "$badge")"
    local tx=$((x0 + 80)) nt=${#title[@]} nd=${#desc[@]}
    local block=$((nt * 27 + 6 + nd * 17))
    local y=$((cy - block / 2 + 13)) line
    for line in "${title[@]}"; do
        [ "$look" != 3 ] && text_l "$tx" "$((y + 1))" "$BOLD" 21 "rgba(0,0,0,0.25)" "$line"
        text_l "$tx" "$y" "$BOLD" 21 "$fg" "$line"
        y=$((y + 27))
    done
    y=$((y - 13 + 6 + 8))
    for line in "${desc[@]}"; do
        text_l "$((tx + 1))" "$y" "$REGULAR" 12 "$sub" "$line"
        y=$((y + 17))
    done
}

# The role panels: title, a PC with an arrow, and one line of explanation. title desc direction
c_role() {
    local x0=$1 y0=$2 x1=$3 y1=$4 fg=$5 sub=$6 badge=$7 glyph=$8 look=$9
    local label=${10} note=${11} dir=${12}
    local cx=$(((x0 + x1) / 2))
    text_c "$cx" "$((y0 + 31))" "$BOLD" 30 "rgba(0,0,0,0.25)" "$label"
    text_c "$cx" "$((y0 + 30))" "$BOLD" 30 "$fg" "$label"
    # Light plate behind the picture.
    A+=(-fill "rgba(255,255,255,0.16)" -draw "roundrectangle $((x0 + 22)),$((y0 + 58)) $((x1 - 22)),$((y0 + 128)) 12,12")
    if [ "$dir" = out ]; then
        draw_at "$((cx - 74))" "$((y0 + 66))" 1 "$(icon_pc white "$glyph")"
        draw_at "$((cx + 6))" "$((y0 + 81))" 1 "$(icon_arrow "$ACCENT")"
        draw_at "$((cx + 52))" "$((y0 + 76))" 0.7 "$(icon_document white "$glyph")"
    else
        draw_at "$((cx + 10))" "$((y0 + 66))" 1 "$(icon_pc white "$glyph")"
        draw_at "$((cx - 54))" "$((y0 + 81))" 1 "$(icon_arrow "$ACCENT")"
        draw_at "$((cx - 84))" "$((y0 + 76))" 0.7 "$(icon_document white "$glyph")"
    fi
    text_c "$cx" "$((y0 + 150))" "$BOLD" 13 "$sub" "$note"
}

# The screen-0 picture: two PCs, an arrow between them, and a caption.
c_picture() {
    local x0=$1 y0=$2 x1=$3 y1=$4 fg=$5 look=$9
    local cx=$(((x0 + x1) / 2))
    draw_at "$((x0 + 22))" "$((y0 + 16))" 1.1 "$(icon_pc "#3F8AD9" "#DCEBFB")"
    draw_at "$((x1 - 22 - 70))" "$((y0 + 16))" 1.1 "$(icon_pc "#17807F" "#D8F1F0")"
    local ax=$((cx - 24)) ay=$((y0 + 30))
    A+=(-fill "#C9D6E6" -draw "circle $((ax - 10)),$((ay + 12)) $((ax - 7)),$((ay + 12))"
        -draw "circle $((ax - 2)),$((ay + 12)) $((ax + 1)),$((ay + 12))")
    draw_at "$((ax + 6))" "$ay" 0.9 "$(icon_arrow "$ACCENT")"
    text_c "$cx" "$((y1 - 27))" "$BOLD" 16 "$fg" "引越の準備をしています"
}

# ---------------------------------------------------------------------------------------------
# Button sets: each call draws the listed looks of one button.

set_normal_hover_pressed() {   # ids... then the rest of button's arguments after LOOK
    local n=$1 h=$2 p=$3 d=$4
    shift 4
    local w=$1 hh=$2 src=$3 x=$4 y=$5 pal=$6
    shift 6
    button "$n" "$w" "$hh" "$src" "$x" "$y" "$pal" 0 "$@"
    button "$h" "$w" "$hh" "$src" "$x" "$y" "$pal" 1 "$@"
    button "$p" "$w" "$hh" "$src" "$x" "$y" "$pal" 2 "$@"
    if [ "$d" != - ]; then button "$d" "$w" "$hh" "$src" "$x" "$y" "$pal" 3 "$@"; fi
}

main_tiles() {
    local bg=$OUT/bmp_200.bmp
    # Window origins (46,105) (306,105) (46,242) (306,242); the background starts at y 60.
    local t="6 6 10 11 14 c_tile"
    # shellcheck disable=SC2086
    {
        run set_normal_hover_pressed 182 187 192 234 257 136 "$bg" 46 45 blue $t icon_documents \
            "ファイルを|コピー" "選んだファイルを|まとめて送ります"
        run set_normal_hover_pressed 183 188 193 285 247 136 "$bg" 306 45 blue $t icon_user_folders \
            "環境コピー" "ドキュメントなどの|フォルダを送ります"
        run set_normal_hover_pressed 184 189 194 286 257 136 "$bg" 46 182 blue $t icon_folder \
            "フォルダを|指定してコピー" "選んだフォルダを|中身ごと送ります"
        run set_normal_hover_pressed 185 190 195 314 247 136 "$bg" 306 182 blue $t icon_drive \
            "丸ごとコピー" "ドライブの中身を|丸ごと送ります"
    }
}

all_buttons() {
    main_tiles
    # End button of the destination screen, at (208,247) over 251.
    run set_normal_hover_pressed 236 241 246 - 195 95 "$OUT/bmp_251.bmp" 208 187 slate \
        9 4 22 18 14 c_icon_label icon_power "終了" 26 52
    # Manual button in the header band at (10,7).
    run set_normal_hover_pressed 288 289 290 - 106 36 "$OUT/bmp_287.bmp" 10 7 head \
        1 1 3 4 8 c_icon_label icon_book "マニュアル" 14 70
    # Screen-0 picture at (158,239) over 201.
    run set_normal_hover_pressed 198 197 199 - 287 137 "$OUT/bmp_201.bmp" 158 179 card \
        8 5 18 12 14 c_picture
    # Environment list: run and cancel at (411,227) and (411,307) over 172.
    run set_normal_hover_pressed 173 178 181 - 172 79 "$OUT/bmp_172.bmp" 411 167 orange \
        8 3 12 10 14 c_icon_label icon_play "実行" 24 48
    run set_normal_hover_pressed 174 177 180 - 172 79 "$OUT/bmp_172.bmp" 411 247 slate \
        8 3 12 10 14 c_icon_label icon_cross "キャンセル" 20 100
    # File list: five buttons at x 423 over 226.
    local fl=$OUT/bmp_226.bmp
    run set_normal_hover_pressed 203 209 215 221 150 52 "$fl" 423 57 blue 9 2 11 9 12 c_label "ファイルを選択" 16
    run set_normal_hover_pressed 247 248 249 250 150 52 "$fl" 423 57 blue 9 2 11 9 12 c_label "フォルダを選択" 16
    run set_normal_hover_pressed 204 210 216 222 150 52 "$fl" 423 111 blue 9 2 11 9 12 c_label "リストから削除" 16
    run set_normal_hover_pressed 205 211 217 223 150 52 "$fl" 423 165 blue 9 2 11 9 12 c_label "すべて削除" 16
    run set_normal_hover_pressed 206 212 218 224 150 51 "$fl" 423 219 orange 9 2 11 8 12 c_label "コピー実行" 17
    run set_normal_hover_pressed 207 213 219 225 150 53 "$fl" 423 272 slate 9 2 11 10 12 c_label "閉じる" 16
    # Role dialog: source and destination panels at (24,131) and (307,131), quit at (433,321).
    local rd=$OUT/bmp_313.bmp
    run set_normal_hover_pressed 304 307 310 - 274 187 "$rd" 24 71 blue 7 5 8 11 16 c_role \
        "引越元" "このパソコンのデータを送ります" out
    run set_normal_hover_pressed 305 308 311 - 271 187 "$rd" 307 71 teal 3 5 9 11 16 c_role \
        "引越先" "このパソコンでデータを受け取ります" in
    run set_normal_hover_pressed 306 309 312 - 145 71 "$rd" 433 261 slate 6 2 10 10 14 c_icon_label \
        icon_power "終了" 24 48
}

# ---------------------------------------------------------------------------------------------
# A small pool of parallel jobs; a failed job leaves a mark.
FAILMARK=$(mktemp)
rm -f "$FAILMARK"
run() {
    while (($(jobs -rp | wc -l) >= JOBS)); do wait -n || true; done
    ( "$@" || touch "$FAILMARK" ) &
}
drain() {
    wait
    if [ -e "$FAILMARK" ]; then
        rm -f "$FAILMARK"
        echo "make-bitmaps: drawing failed" >&2
        exit 1
    fi
}

run make_header
run make_bg_201
run make_bg_200
run make_bg_251
run make_bg_172
run make_bg_226
run make_bg_313
drain
all_buttons
drain
# The role dialog paints its quit button only under the mouse: its normal look is part of the
# background picture, so the button shows from the first paint on.
A=(convert "$OUT/bmp_313.bmp" "$OUT/bmp_306.bmp" -geometry +433+261 -composite)
finish 313
"${A[@]}"
{ echo "$KEY"; (cd "$OUT" && ls bmp_*.bmp); } >"$STAMP"
