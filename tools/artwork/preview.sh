#!/usr/bin/env bash
# Assembles the bitmaps into PNG mock-ups of the painted windows (header, background, buttons
# at their origins, the white texts the program paints at their positions) and converts every
# bitmap to PNG, for looking at the artwork without running the program.
#
#   preview.sh ARTDIR OUTDIR
set -euo pipefail
ART=${1:?usage: preview.sh ARTDIR OUTDIR}
OUT=${2:?usage: preview.sh ARTDIR OUTDIR}
mkdir -p "$OUT"

for f in "$ART"/bmp_*.bmp; do
    convert "$f" "$OUT/$(basename "${f%.bmp}").png"
done

# The program paints its texts in "ＭＳ Ｐゴシック"; Noto Sans CJK JP stands in for it here.
FONT=Noto-Sans-CJK-JP
FONT_BOLD=Noto-Sans-CJK-JP-Bold

# window NAME BACKGROUND "id x y" ... -- "font size x y text" ...
window() {
    local name=$1 bg=$2
    shift 2
    local -a a=(-size 600x400 xc:black "$ART/bmp_287.bmp" -geometry +0+0 -composite
                "$ART/bmp_$bg.bmp" -geometry +0+60 -composite)
    while (($#)) && [ "$1" != -- ]; do
        read -r id x y <<<"$1"
        a+=("$ART/bmp_$id.bmp" -geometry "+$x+$y" -composite)
        shift
    done
    [ "${1:-}" = -- ] && shift
    while (($#)); do
        read -r font size x y text <<<"$1"
        # The top of the text cell sits at y, as with the platform's text output.
        a+=(-font "$font" -pointsize "$size" -fill white -gravity NorthWest
            -annotate "+$x+$((y - size / 5))" "$text")
        shift
    done
    convert "${a[@]}" "$OUT/window-$name.png"
}

window screen0 201 "198 158 239" "288 10 7"
window source 200 "182 46 105" "183 306 105" "184 46 242" "185 306 242" "288 10 7" -- \
    "$FONT_BOLD 20 30 64 接続の準備が出来ました。" \
    "$FONT 13 30 92 下のボタンから引越の種類を選んでクリックしてください。"
window source-hover 200 "187 46 105" "285 306 105" "194 46 242" "185 306 242" "289 10 7" -- \
    "$FONT_BOLD 20 30 64 接続できました。" \
    "$FONT 13 30 92 こちらは引越先として動作していますので、引越はできません。"
window destination 251 "236 208 247" "288 10 7" -- \
    "$FONT_BOLD 20 30 64 接続できました。" \
    "$FONT 13 120 122 ・現在このパソコンは引越先のパソコンとして接続する準備が出来ました。" \
    "$FONT 13 120 142 ・データを転送中はこのパソコンでは操作をしないでください。" \
    "$FONT 13 120 162 ・引越が完了したら[終了]ボタンを押してください。"
window receiving 200 "288 10 7" -- "$FONT_BOLD 20 30 64 コピーデータ受信中です..."
window envlist 172 "173 411 227" "174 411 307" "288 10 7" -- \
    "$FONT 13 20 56 引越する環境の項目を選択してください。「実行」をクリックすると、チェックした項目の引越が始まります。"
window filelist 226 "203 423 117" "204 423 171" "205 423 225" "206 423 279" "207 423 332" "288 10 7" -- \
    "$FONT 13 20 56 コピーするファイルを選択してください。" \
    "$FONT 13 20 80 「コピー実行」をクリックすると、" \
    "$FONT 13 20 96 リストにあるファイルのコピーが始まります。"
window filelist-empty 226 "247 423 117" "222 423 171" "223 423 225" "224 423 279" "213 423 332" "288 10 7" -- \
    "$FONT 13 20 56 コピーするファイルを選択してください。" \
    "$FONT 13 20 80 「コピー実行」をクリックすると、" \
    "$FONT 13 20 96 リストにあるファイルのコピーが始まります。"
window role 313 "304 24 131" "308 307 131" "306 433 321" "288 10 7" -- \
    "$FONT 13 30 66 このパソコンは引越元ですか？それとも引越先ですか？"
window role-pressed 313 "310 24 131" "305 307 131" "312 433 321" "290 10 7" -- \
    "$FONT 13 30 66 このパソコンは引越元ですか？それとも引越先ですか？"
