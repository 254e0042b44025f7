#!/usr/bin/env bash
# Redraws the pictures in Resources/Images/.
#
#   scripts/make-images.sh            # redraw everything
#
# Needs ImageMagick 6 (`convert`), the font package fonts-wqy-microhei and,
# for the toolbar, document and tab icons, the public-domain icon theme
# tango-icon-theme (apt-get install --no-install-recommends imagemagick
# fonts-wqy-microhei tango-icon-theme).  Every file written here is listed,
# with its origin and licence, in Resources/Images/LICENSES.md.
#
# Icons from the platform icon folder (":/Images/Windows/...") go to
# Resources/Images/Windows/.
#
# PNG date/time chunks are left out so that a redraw with the same tools gives
# the same bytes and git sees no change.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
out="$root/Resources/Images"
win="$out/Windows"
mkdir -p "$out" "$win"

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
        -alpha off -strip -define "png:exclude-chunks=date,time" -define png:color-type=2 -define png:bit-depth=8 "$2"
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

# ---------------------------------------------------------------------------
# Icons copied from the Tango theme at 32 px (the toolbars scale them to 16,
# 24 or 32).  When the theme is missing a plain lettered badge is drawn in
# its place and the script says so.
# ---------------------------------------------------------------------------
tango_icon() {   # $1 = Tango file relative to the theme, $2 = output, $3 = fallback glyph, $4/$5 = fallback colours
    if [[ -r "$tango/$1" ]]; then
        "$im" "$tango/$1" "${pngopts[@]}" "$2"
        return
    fi
    echo "make-images: $tango/$1 missing, drawing a plain badge instead" >&2
    draw_badge "$2" 32 "$3" "$4" "$5"
}

# ---------------------------------------------------------------------------
# Lettered badge: one character in white on a rounded square with a vertical
# gradient, drawn at 128 px and reduced.  Used for the generation commands,
# the synonym/antonym/expansion word entries and the four search engines
# (plain marks of our own, not the services' logos).
# ---------------------------------------------------------------------------
draw_badge() {   # $1 = output, $2 = size, $3 = glyph, $4 = top colour, $5 = bottom colour
    local L=128
    "$im" -size ${L}x${L} gradient:"$4"-"$5" "$tmp/badge_grad.png"
    "$im" -size ${L}x${L} xc:black -fill white \
        -draw "roundrectangle 4,4 123,123 26,26" "$tmp/badge_mask.png"
    "$im" "$tmp/badge_grad.png" \
        \( -size ${L}x${L} xc:none -fill 'rgba(255,255,255,0.22)' -draw "ellipse 64,18 70,34 0,360" -blur 0x10 \) \
        -compose over -composite \
        "$tmp/badge_mask.png" -alpha off -compose copy_opacity -composite \
        -fill none -stroke 'rgba(0,0,0,0.28)' -strokewidth 4 -draw "roundrectangle 6,6 121,121 24,24" \
        "$tmp/badge_base.png"
    "$im" "$tmp/badge_base.png" \
        \( -size ${L}x${L} xc:none -font "$font" -pointsize 92 -fill 'rgba(0,0,0,0.55)' \
           -gravity center -annotate +3+1 "$3" -blur 0x3 \) -compose over -composite \
        -font "$font" -pointsize 92 -fill white -stroke white -strokewidth 2 -gravity center -annotate +0-3 "$3" \
        "$tmp/badge_full.png"
    "$im" "$tmp/badge_full.png" -filter Lanczos -resize "$2x$2" "${pngopts[@]}" "$1"
}

# ---------------------------------------------------------------------------
# Export icons: the Tango office document with a coloured label band
# ("PDF", "ODT") along its lower edge.
# ---------------------------------------------------------------------------
draw_export() {   # $1 = label, $2 = band colour, $3 = output (32x32)
    local doc="$tango/32x32/mimetypes/x-office-document.png"
    if [[ -r "$doc" ]]; then
        "$im" "$doc" "$tmp/export_doc.png"
    else
        echo "make-images: $doc missing, drawing a plain page instead" >&2
        "$im" -size 32x32 xc:none -fill white -stroke '#888a85' -draw "rectangle 5,2 26,29" "$tmp/export_doc.png"
    fi
    "$im" -size 120x52 xc:none -fill "$2" -stroke 'rgba(0,0,0,0.35)' -strokewidth 3 \
        -draw "roundrectangle 2,2 117,49 10,10" \
        -font "$font" -pointsize 40 -fill white -stroke none -gravity center -annotate +0+0 "$1" \
        -filter Lanczos -resize 30x13 "$tmp/export_band.png"
    "$im" "$tmp/export_doc.png" "$tmp/export_band.png" -geometry +1+18 -compose over -composite \
        "${pngopts[@]}" "$3"
}

# ---------------------------------------------------------------------------
# A small round "modified" mark: an orange dot with a white rim, laid on the
# lower right of a 32 px icon.
# ---------------------------------------------------------------------------
mark_modified() {   # $1 = input (32x32), $2 = output
    "$im" -size 64x64 xc:none -fill '#f57900' -stroke white -strokewidth 6 -draw "circle 32,32 32,6" \
        -fill white -stroke none -draw "circle 32,32 32,24" \
        -filter Lanczos -resize 14x14 "$tmp/mark_dot.png"
    "$im" "$1" "$tmp/mark_dot.png" -geometry +18+18 -compose over -composite "${pngopts[@]}" "$2"
}

# ---------------------------------------------------------------------------
# Account picture: a neutral person silhouette in a round blue frame, drawn at
# 128 px and reduced.
# ---------------------------------------------------------------------------
draw_avatar() {   # $1 = output (32x32)
    local L=128
    "$im" -size ${L}x${L} gradient:'#9fc3e8'-'#3465a4' "$tmp/av_grad.png"
    "$im" -size ${L}x${L} xc:black -fill white -draw "circle 64,64 64,3" "$tmp/av_mask.png"
    "$im" "$tmp/av_grad.png" \
        -fill '#f3f6f9' -stroke none -draw "circle 64,50 64,24" \
        -draw "ellipse 64,122 44,40 180,360" \
        "$tmp/av_mask.png" -alpha off -compose copy_opacity -composite \
        -fill none -stroke '#204a87' -strokewidth 4 -draw "circle 64,64 64,4" \
        "$tmp/av_full.png"
    "$im" "$tmp/av_full.png" -filter Lanczos -resize 32x32 "${pngopts[@]}" "$1"
}

# ---------------------------------------------------------------------------
# Splitter grips: three dots on a transparent 24x8 strip, grey at rest and
# dodgerblue while the handle is pressed.
# ---------------------------------------------------------------------------
draw_grip() {   # $1 = dot colour, $2 = output (24x8)
    "$im" -size 96x32 xc:none -fill "$1" \
        -draw "circle 24,16 24,10" -draw "circle 48,16 48,10" -draw "circle 72,16 72,10" \
        -filter Lanczos -resize 24x8 "${pngopts[@]}" "$2"
}

# Marks on a transparent 16x16 square: the close cross of a tab and the arrows
# of a spin box (dark skin), and the buttons of the dock title bars, a cross
# (close) and two overlapping windows (float).  Drawn at 64 px and reduced; the
# title bar shows its buttons at about 10 px, so their strokes are thick.
draw_mark() {   # $1 = colour, $2 = cross|up|down|close|float, $3 = output (16x16)
    local shape
    case $2 in
        cross) shape=(-stroke "$1" -strokewidth 7 -draw "line 16,16 48,48" -draw "line 48,16 16,48") ;;
        up)    shape=(-fill "$1" -draw "polygon 8,44 32,18 56,44") ;;
        down)  shape=(-fill "$1" -draw "polygon 8,20 32,46 56,20") ;;
        close) shape=(-stroke "$1" -strokewidth 11 -draw "line 14,14 50,50" -draw "line 50,14 14,50") ;;
        float) shape=(-fill none -stroke "$1" -strokewidth 8
                      -draw "rectangle 24,6 58,34"
                      -draw "rectangle 6,26 40,58") ;;
    esac
    "$im" -size 64x64 xc:none "${shape[@]}" -filter Lanczos -resize 16x16 "${pngopts[@]}" "$3"
}

# Check marks of the menus, drawn by the skins themselves so that a checked
# entry looks checked whatever the platform style: a box (entries switched on
# and off) or a ring (one of a group), white inside a dark frame, with a tick or
# a dot when on.  The dark skin's are the same in its colours.  Drawn at 64 px
# and reduced to 16 px.
draw_indicator() {   # $1 = box|ring, $2 = off|on, $3 = frame, $4 = inside, $5 = mark, $6 = output
    local frame mark=()
    if [[ $1 == box ]]; then
        frame=(-draw "roundrectangle 6,6 58,58 8,8")
        [[ $2 == on ]] && mark=(-fill none -stroke "$5" -strokewidth 9
                                -draw "stroke-linecap round stroke-linejoin round polyline 17,33 28,45 48,19")
    else
        frame=(-draw "circle 32,32 32,6")
        [[ $2 == on ]] && mark=(-fill "$5" -stroke none -draw "circle 32,32 32,18")
    fi
    "$im" -size 64x64 xc:none -fill "$4" -stroke "$3" -strokewidth 5 "${frame[@]}" "${mark[@]}" \
        -filter Lanczos -resize 16x16 "${pngopts[@]}" "$6"
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

# File, print and edit toolbars.
tango_icon 32x32/actions/document-new.png   "$out/New.png"   新 '#729fcf' '#3465a4'
tango_icon 32x32/actions/document-open.png  "$out/Open.png"  开 '#fcaf3e' '#ce5c00'
tango_icon 32x32/actions/document-save.png  "$out/Save.png"  存 '#729fcf' '#204a87'
tango_icon 32x32/actions/document-print.png "$out/Print.png" 印 '#babdb6' '#555753'
tango_icon 32x32/actions/edit-undo.png      "$out/Undo.png"  撤 '#fcaf3e' '#ce5c00'
tango_icon 32x32/actions/edit-redo.png      "$out/Redo.png"  重 '#fcaf3e' '#ce5c00'
tango_icon 32x32/actions/edit-cut.png       "$out/Cut.png"   剪 '#babdb6' '#555753'
tango_icon 32x32/actions/edit-copy.png      "$out/Copy.png"  复 '#babdb6' '#555753'
tango_icon 32x32/actions/edit-paste.png     "$out/Paste.png" 粘 '#e9b96e' '#8f5902'
draw_export PDF '#cc0000' "$win/ExportPdf.png"
draw_export ODT '#3465a4' "$win/ExportOdt.png"

# Format toolbar (platform icon folder).
tango_icon 32x32/actions/format-text-bold.png      "$win/TextBold.png"    粗 '#888a85' '#2e3436'
tango_icon 32x32/actions/format-text-italic.png    "$win/TextItalic.png"  斜 '#888a85' '#2e3436'
tango_icon 32x32/actions/format-text-underline.png "$win/TextUnder.png"   下 '#888a85' '#2e3436'
tango_icon 32x32/actions/format-justify-left.png   "$win/TextLeft.png"    左 '#888a85' '#2e3436'
tango_icon 32x32/actions/format-justify-center.png "$win/TextCenter.png"  中 '#888a85' '#2e3436'
tango_icon 32x32/actions/format-justify-right.png  "$win/TextRight.png"   右 '#888a85' '#2e3436'
tango_icon 32x32/actions/format-justify-fill.png   "$win/TextJustify.png" 齐 '#888a85' '#2e3436'

# Search toolbar: four plain engine marks (the first character of each
# entry's Chinese name) and the magnifier of the search button.
draw_badge "$out/Baidu.png"     32 百 '#5b8def' '#1f4fb8'
draw_badge "$out/Bing.png"      32 必 '#3fb5a8' '#0f6f66'
draw_badge "$out/Google.png"    32 谷 '#7cc16a' '#3a7d2c'
draw_badge "$out/Wikipedia.png" 32 维 '#9a9a9a' '#4a4a4a'
tango_icon 16x16/actions/edit-find.png "$out/Magnifier.png" 搜 '#729fcf' '#3465a4'

# Documents, templates and files.
tango_icon 32x32/mimetypes/text-x-generic.png         "$out/Doc_512x512.png"         文 '#babdb6' '#555753'
tango_icon 32x32/apps/accessories-text-editor.png     "$out/DocModified_512x512.png" 改 '#fcaf3e' '#ce5c00'
tango_icon 32x32/mimetypes/text-x-generic.png         "$out/GenericFile.png"         文 '#babdb6' '#555753'
tango_icon 32x32/mimetypes/x-office-document-template.png "$out/Template.png"       模 '#729fcf' '#3465a4'
mark_modified "$out/Template.png" "$out/TemplateModified.png"
tango_icon 32x32/actions/edit-paste.png "$out/Clipboard_48x48.png" 贴 '#e9b96e' '#8f5902'

# Word entries of the editor's pop-ups.
draw_badge "$out/Expand_512x512.png"  32 扩 '#fcaf3e' '#ce5c00'
draw_badge "$out/Synonym_96x96.png"   32 同 '#8ae234' '#4e9a06'
draw_badge "$out/Antonym_96x96.png"   32 反 '#ef2929' '#a40000'

# Account picture.
draw_avatar "$out/Avatar.png"

# Splitter grips used by the skins.
draw_grip '#8a8a8a' "$out/Splitter.png"
draw_grip '#1e90ff' "$out/SplitterPressed.png"

# Tab close cross and spin box arrows of the dark skin.
draw_mark '#c8c8c8' cross "$out/DarkTabClose.png"
draw_mark '#c8c8c8' up    "$out/DarkSpinUp.png"
draw_mark '#c8c8c8' down  "$out/DarkSpinDown.png"
draw_mark '#8c8c8c' up    "$out/DarkSpinUpDisabled.png"
draw_mark '#8c8c8c' down  "$out/DarkSpinDownDisabled.png"

# Dock title bar buttons: dark for the light skins, light for the dark one.
for kind in close float; do
    name=Close; [[ $kind == float ]] && name=Float
    draw_mark '#202020' $kind "$out/Dock$name.png"
    draw_mark '#e0e0e0' $kind "$out/DarkDock$name.png"
done

# Menu check marks: dark on white for the light skins, light on #252525 for the dark one.
for state in off on; do
    mark=Off; [[ $state == on ]] && mark=On
    draw_indicator box  $state '#404040' white   '#202020' "$out/MenuCheck$mark.png"
    draw_indicator ring $state '#404040' white   '#202020' "$out/MenuRadio$mark.png"
    draw_indicator box  $state '#c8c8c8' '#252525' '#e8e8e8' "$out/DarkMenuCheck$mark.png"
    draw_indicator ring $state '#c8c8c8' '#252525' '#e8e8e8' "$out/DarkMenuRadio$mark.png"
done

# Generation commands: one badge each, coloured by kind (people, things,
# story, names).
people=('#f4a6c0' '#c2416f')
things=('#f8c16a' '#c6701a')
story=('#8fb8e8' '#2f5f9e')
inner=('#b79be0' '#6a3fa8')
names=('#7fcfb4' '#237a5f')
while read -r file glyph kind; do
    case $kind in
        people) c=("${people[@]}") ;;
        things) c=("${things[@]}") ;;
        story)  c=("${story[@]}") ;;
        inner)  c=("${inner[@]}") ;;
        names)  c=("${names[@]}") ;;
    esac
    draw_badge "$out/$file.png" 32 "$glyph" "${c[0]}" "${c[1]}"
done <<'LIST'
caption 题 story
beauty 美 people
boy 帅 people
occupation 职 people
costume 装 things
hobby 好 inner
merit 技 inner
props 具 things
weapon 兵 things
pet 宠 things
experience 历 story
secret 秘 inner
personality 性 inner
lover 恋 people
sick 病 people
thought 思 inner
desire 愿 inner
misunderstanding 误 story
opponent 敌 people
supportingRole 配 people
habit 习 inner
death 死 story
language 语 inner
inLove 爱 story
relationship 关 story
building 景 things
userDefined 自 story
scene 场 story
lines 台 story
coincidence 巧 story
emotion 情 inner
manName 男 names
womanName 女 names
title 称 names
placeName 地 names
organizationName 机 names
mediaName 媒 names
planetName 星 names
LIST

echo "make-images: wrote the logo, splash, padlocks and $(find "$out" -name '*.png' | wc -l) PNG pictures in $out"
