#!/usr/bin/env bash
# Redraws the pictures in Resources/Images/.
#
#   scripts/make-images.sh            # redraw everything
#
# Needs ImageMagick 6 (`convert`), the font package fonts-wqy-microhei and,
# for the two bottom-tab icons, the public-domain icon theme tango-icon-theme
# (apt-get install --no-install-recommends imagemagick fonts-wqy-microhei
# tango-icon-theme).  Every file written here is listed, with its origin and
# licence, in Resources/Images/LICENSES.md.
#
# PNG date/time chunks are left out so that a redraw with the same tools gives
# the same bytes and git sees no change.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
out="$root/Resources/Images"
mkdir -p "$out"

# Prefer the real ImageMagick binary over any wrapper found earlier in PATH.
if [[ -n "${CONVERT:-}" ]]; then
    im="$CONVERT"
elif [[ -x /usr/bin/convert ]]; then
    im=/usr/bin/convert
else
    im=convert
fi

font="${CJK_FONT:-/usr/share/fonts/truetype/wqy/wqy-microhei.ttc}"
if [[ ! -r "$font" ]]; then
    font="$(fc-match -f '%{file}' 'WenQuanYi Micro Hei' 2>/dev/null || true)"
fi
[[ -r "$font" ]] || { echo "make-images: CJK font not found (install fonts-wqy-microhei)" >&2; exit 1; }

tango="${TANGO_DIR:-/usr/share/icons/Tango}"

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# Common output options: plain 8-bit RGBA, no timestamps, no comments.
pngopts=(-strip -define "png:exclude-chunks=date,time" -define png:color-type=6 -define png:bit-depth=8)

# ---------------------------------------------------------------------------
# Logo: the character 塔 in white on a rounded teal/blue square, with a small
# gold pen stroke under it.  Drawn at 1024 px and scaled down for smoothness.
# ---------------------------------------------------------------------------
draw_logo() {   # $1 = output file (1024x1024, transparent outside the square)
    local L=1024
    # gradient square
    "$im" -size ${L}x${L} -define gradient:angle=135 gradient:'#1d6f8c'-'#0b2a4a' "$tmp/logo_grad.png"
    # rounded-square mask
    "$im" -size ${L}x${L} xc:black -fill white \
        -draw "roundrectangle 40,40 983,983 200,200" "$tmp/logo_mask.png"
    # soft highlight in the upper left, then cut to the rounded square
    "$im" "$tmp/logo_grad.png" \
        \( -size ${L}x${L} xc:none -fill 'rgba(255,255,255,0.18)' -draw "circle 300,260 300,-140" -blur 0x90 \) \
        -compose over -composite \
        "$tmp/logo_mask.png" -alpha off -compose copy_opacity -composite \
        "$tmp/logo_base.png"
    # thin inner rim
    "$im" "$tmp/logo_base.png" \
        -fill none -stroke 'rgba(255,255,255,0.35)' -strokewidth 10 \
        -draw "roundrectangle 62,62 961,961 180,180" \
        "$tmp/logo_rim.png"
    # the character, with a faint shadow
    "$im" "$tmp/logo_rim.png" \
        \( -size ${L}x${L} xc:none -font "$font" -pointsize 640 -fill 'rgba(0,0,0,0.45)' \
           -gravity center -annotate +14+0 '塔' -blur 0x14 \) -compose over -composite \
        -font "$font" -pointsize 640 -fill '#f6fbff' -gravity center -annotate +0-28 '塔' \
        "$tmp/logo_char.png"
    # gold pen stroke: a tapered swoosh under the character
    "$im" "$tmp/logo_char.png" -gravity northwest \
        -fill '#f2c14e' -stroke none \
        -draw "path 'M 230,852 C 420,800 640,790 800,812 C 820,815 830,826 812,832 C 640,824 430,838 236,868 Z'" \
        "$1"
}

# ---------------------------------------------------------------------------
# Splash: calm dark-blue to teal gradient, logo, product name and "Tarnquill".
# The lower-left part (about 330x110) is kept plain: the program writes its
# start-up message, version and date there.
# ---------------------------------------------------------------------------
draw_splash() {   # $1 = logo (1024 px), $2 = output
    local W=600 H=360
    "$im" -size ${W}x${H} -define gradient:angle=120 gradient:'#0a1830'-'#0d5560' "$tmp/sp_grad.png"
    "$im" "$tmp/sp_grad.png" \
        \( -size ${W}x${H} xc:none -fill 'rgba(120,220,210,0.20)' -draw "circle 500,70 500,-150" -blur 0x70 \) \
        -compose over -composite \
        \( -size ${W}x${H} xc:none -fill none -stroke 'rgba(140,225,215,0.22)' -strokewidth 1.6 \
           -draw "path 'M 230,360 C 330,250 450,300 600,205'" \
           -draw "path 'M 270,360 C 360,270 470,320 600,232'" \
           -draw "path 'M 310,360 C 390,292 490,338 600,260'" \
           -draw "path 'M 350,360 C 420,316 510,352 600,290'" \) \
        -compose over -composite \
        "$tmp/sp_bg.png"
    "$im" "$1" -resize 104x104 "$tmp/sp_logo.png"
    "$im" "$tmp/sp_bg.png" \
        "$tmp/sp_logo.png" -geometry +44+64 -compose over -composite \
        -font "$font" -fill '#f4f8fb' -pointsize 44 -gravity northwest -annotate +170+70 '塔泉笔维德马克' \
        -fill 'rgba(160,226,218,0.85)' -draw "rectangle 172,134 520,135" \
        -font "$font" -fill '#a8e6de' -pointsize 28 -kerning 3 -annotate +172+142 'Tarnquill' \
        -font "$font" -fill 'rgba(220,236,242,0.70)' -pointsize 14 -kerning 0 -annotate +173+186 '中文写作助手' \
        "${pngopts[@]}" "$2"
}

# ---------------------------------------------------------------------------
# Padlocks for the read-only / read-write indicator, drawn at 64 px and
# reduced to 16 px.
# ---------------------------------------------------------------------------
draw_lock() {   # $1 = closed|open, $2 = output (16x16)
    local dy cut body edge
    if [[ $1 == closed ]]; then
        dy=0; cut=''
        body='#c9962b'; edge='#6b4a0c'
    else
        # shackle lifted, its left leg cut short so that it stands free
        dy=-9; cut='rectangle 8,21 26,33'
        body='#6aa84f'; edge='#2f5a1e'
    fi
    y() { echo $(( $1 + dy )); }
    # The shackle is a grey ring: an outer rounded bar with a lighter core,
    # the inner hole punched out with DstOut.
    "$im" -size 64x64 xc:none \
        \( -size 64x64 xc:none \
           -fill '#4f5961' -draw "roundrectangle 14,$(y 6) 50,$(y 60) 18,18" \
           -fill '#c8d0d6' -draw "roundrectangle 16,$(y 8) 48,$(y 60) 16,16" \
           \( -size 64x64 xc:none -fill '#4f5961' -draw "roundrectangle 20,$(y 12) 44,$(y 60) 12,12" \) \
           -compose over -composite \
           \( -size 64x64 xc:none -fill white -draw "roundrectangle 22,$(y 14) 42,$(y 60) 10,10" \
              ${cut:+-draw "$cut"} \) \
           -compose DstOut -composite \) \
        -compose over -composite \
        -fill "$body" -stroke "$edge" -strokewidth 4 -draw "roundrectangle 8,32 56,61 6,6" \
        -fill 'rgba(255,255,255,0.35)' -stroke none -draw "rectangle 12,36 52,41" \
        -fill "$edge" -draw "circle 32,46 32,50" -draw "rectangle 30,47 34,56" \
        "$tmp/lock64.png"
    "$im" "$tmp/lock64.png" -filter Lanczos -resize 16x16 "${pngopts[@]}" "$2"
}

# ---------------------------------------------------------------------------
# Bottom-tab icons taken from the Tango icon theme (public domain).  If the
# theme is not installed, simple stand-ins are drawn instead.
# ---------------------------------------------------------------------------
tab_icon() {   # $1 = Tango file relative to the theme, $2 = output, $3 = fallback kind
    if [[ -r "$tango/$1" ]]; then
        "$im" "$tango/$1" "${pngopts[@]}" "$2"
        return
    fi
    echo "make-images: $tango/$1 missing, drawing a plain $3 icon" >&2
    case $3 in
        terminal)
            "$im" -size 22x22 xc:none -fill '#2e3436' -stroke '#555753' -draw "roundrectangle 1,3 20,18 2,2" \
                -stroke '#d3d7cf' -strokewidth 1.5 -draw "polyline 5,8 8,11 5,14" \
                -draw "line 10,14 15,14" "${pngopts[@]}" "$2" ;;
        search)
            "$im" -size 22x22 xc:none -fill 'rgba(114,159,207,0.5)' -stroke '#555753' -strokewidth 2 \
                -draw "circle 9,9 9,3" -strokewidth 3 -draw "line 13,13 19,19" "${pngopts[@]}" "$2" ;;
    esac
}

draw_logo "$tmp/logo1024.png"
"$im" "$tmp/logo1024.png" -filter Lanczos -resize 256x256 "${pngopts[@]}" "$out/LogoVeldmark.png"
# Multi-size Windows icon: each size reduced from the large drawing.
for s in 16 32 48 256; do
    "$im" "$tmp/logo1024.png" -filter Lanczos -resize ${s}x${s} "${pngopts[@]}" "$tmp/ico_$s.png"
done
"$im" "$tmp/ico_16.png" "$tmp/ico_32.png" "$tmp/ico_48.png" "$tmp/ico_256.png" "$out/LogoVeldmark.ico"

draw_splash "$tmp/logo1024.png" "$out/SplashVeldmark.png"

draw_lock closed "$out/ReadOnly.png"
draw_lock open   "$out/ReadWrite.png"

tab_icon 22x22/apps/utilities-terminal.png "$out/Output.png" terminal
tab_icon 22x22/actions/system-search.png   "$out/Search.png" search

echo "make-images: wrote SplashVeldmark.png LogoVeldmark.png LogoVeldmark.ico ReadOnly.png ReadWrite.png Output.png Search.png in $out"
