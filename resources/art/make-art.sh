#!/bin/sh
# Regenerates every picture of Quorvane's resources with ImageMagick:
# the program icon, the header banner, the page list images and the small
# list icons. Run it from anywhere; the outputs land beside this script and,
# for the icon, in the resources folder. The same input always gives the
# same files.
#
# Bitmaps are 24-bit BMP files without alpha. Where a picture is to be
# transparent it holds pure green RGB(0,255,0), which the program's image
# lists use as their mask colour; no other pixel may be that exact green.
set -eu

CONVERT=${CONVERT:-/usr/bin/convert}
ART_DIR=$(cd "$(dirname "$0")" && pwd)
RES_DIR=$(dirname "$ART_DIR")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

FONT_BOLD=${FONT_BOLD:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}
FONT_BOOK=${FONT_BOOK:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}
MASK='#00FF00'

# Writes a 24-bit BMP without colour space or alpha data.
write_bmp() { # in out
    "$CONVERT" "$1" -alpha off -type truecolor -define bmp:format=bmp3 BMP3:"$2"
}

# Turns an RGBA picture into one for a green-masked image list: pixels that
# are mostly transparent become pure green, the rest are laid on white (the
# usual list background) so their soft edges stay clean.
mask_green() { # in out
    "$CONVERT" "$1" -alpha extract -threshold 50% "$WORK/mask.png"
    "$CONVERT" "$1" -background white -alpha remove -alpha off "$WORK/solid.png"
    "$CONVERT" "$WORK/solid.png" -fill '#00F000' -opaque "$MASK" "$WORK/solid.png"
    "$CONVERT" -size "$("$CONVERT" "$1" -format '%wx%h' info:)" xc:"$MASK" \
        "$WORK/solid.png" "$WORK/mask.png" -composite -alpha off "$2"
}

# ---------------------------------------------------------------------------
# Pixel art. Each small icon is drawn pixel by pixel as an XPM picture; the
# characters below name the palette colours ("." is the transparent green).

xpm() { # name, rows on stdin
    awk -v name="$1" '
        { rows[NR] = $0 }
        END {
            print "/* XPM */"
            print "static char *" name "[] = {"
            printf "\"%d %d 20 1\",\n", length(rows[1]), NR
            print "\". c #00FF00\",\"k c #2B3440\",\"w c #FFFFFF\",\"g c #D5DBE3\","
            print "\"G c #7D8896\",\"l c #A9D4FF\",\"b c #2F7FD8\",\"B c #16478F\","
            print "\"r c #D93025\",\"R c #9E1C14\",\"y c #F8CF55\",\"Y c #FCE49A\","
            print "\"d c #E2AD2F\",\"o c #9A6A1C\",\"c c #D9A35B\",\"C c #EBC889\","
            print "\"t c #B27A33\",\"n c #34B356\",\"N c #1D7D37\",\"s c #5AA0EC\","
            for (i = 1; i <= NR; i++) {
                if (length(rows[i]) != length(rows[1])) {
                    printf "row %d of %s has the wrong length\n", i, name > "/dev/stderr"
                    exit 1
                }
                printf "\"%s\"%s\n", rows[i], (i < NR ? "," : "")
            }
            print "};"
        }' > "$WORK/$1.xpm"
}

# Registry key (folder)
xpm key <<'ROWS'
................
................
.ooooo..........
odddddo.........
oddddddoooooooo.
oYYYYYYYYYYYYYYo
oyyyyyyyyyyyyyyo
oyyyyyyyyyyyyyyo
oyyyyyyyyyyyyyyo
oyyyyyyyyyyyyyyo
oyyyyyyyyyyyyyyo
oyyyyyyyyyyyyyyo
oddddddddddddddo
.oooooooooooooo.
................
................
ROWS

# String value ("ab")
xpm string <<'ROWS'
................
................
.GGGGGGGGGGGGGG.
.GwwwwwwwwwwwwG.
.GwwwwwwwrwwwwG.
.GwwwwwwwrwwwwG.
.GwwwrrwwrrrwwG.
.GwwwwwrwrwwrwG.
.GwwwrrrwrwwrwG.
.GwwrwwrwrwwrwG.
.GwwwrrrwrrrwwG.
.GwwwwwwwwwwwwG.
.GGGGGGGGGGGGGG.
................
................
................
ROWS

# Any other value: binary, numbers ("01")
xpm binary <<'ROWS'
................
................
.GGGGGGGGGGGGGG.
.GwwwwwwwwwwwwG.
.GwwwwwwwwwwwwG.
.GwwwbbwwwbwwwG.
.GwwbwwbwbbwwwG.
.GwwbwwbwwbwwwG.
.GwwbwwbwwbwwwG.
.GwwbwwbwwbwwwG.
.GwwwbbwwbbbwwG.
.GwwwwwwwwwwwwG.
.GGGGGGGGGGGGGG.
................
................
................
ROWS

# Backup file (diskette)
xpm diskette <<'ROWS'
................
.BBBBBBBBBBBBB..
.BbbgggggggbbbB.
.BbbggggBBgbbbB.
.BbbggggBBgbbbB.
.BbbgggggggbbbB.
.BbbbbbbbbbbbbB.
.BbbbbbbbbbbbbB.
.BbwwwwwwwwwwbB.
.BbwllllllllwbB.
.BbwwwwwwwwwwbB.
.BbwllllllllwbB.
.BbwwwwwwwwwwbB.
.BbwwwwwwwwwwbB.
.BBBBBBBBBBBBBB.
................
ROWS

# Cleaner task icons, in task order.
# 1: program files that are gone (page with a red cross)
xpm task01 <<'ROWS'
................
..GGGGGGG.......
..GwwwwwGG......
..GwwwwwGgG.....
..GwwwwwGGGG....
..GwwwwwwwwG....
..GwllllllwG....
..GwwwwwwwwG....
..Gwllllllrrrr..
..Gwwwwwwrrrrrr.
..GwllllrrwrrwrR
..GwwwwwrrrwwrrR
..GwwwwwrrrwwrrR
..GwwwwwrrwrrwrR
..GGGGGGGRrrrrR.
..........RRRR..
ROWS

# 2: user profiles (two people)
xpm task02 <<'ROWS'
................
...........sss..
...BBBB...sllls.
..BsbbbB..sllls.
..BbbbbB..sllls.
..BbbbbB...sss..
..BbbbbB........
...BBBB...sssss.
.........sllllls
..BBBBBBBsllllls
.BbbbbbbbBllllls
BbbbbbbbbbBlllls
BbbbbbbbbbBsssss
BbbbbbbbbbB.....
BBBBBBBBBBB.....
................
ROWS

# 3: machine-wide settings (computer)
xpm task03 <<'ROWS'
................
................
.kkkkkkkkkkkkkk.
.kssssssssssssk.
.kslllssssssssk.
.ksllsssssssssk.
.kslssssssssssk.
.kssssssssssssk.
.kssssssssssbbk.
.ksssssssssbbbk.
.kkkkkkkkkkkkkk.
......kGGk......
......kGGk......
....kkkkkkkk....
....GGGGGGGG....
................
ROWS

# 4: COM classes (gear)
xpm task04 <<'ROWS'
................
......GGGG......
..GG..GggG..GG..
..GgGGGggGGGgG..
..GggggggggggG..
...GgggGGgggG...
.GGgggG..GgggGG.
.GgggG....GgggG.
.GgggG....GgggG.
.GGgggG..GgggGG.
...GgggGGgggG...
..GggggggggggG..
..GgGGGggGGGgG..
..GG..GggG..GG..
......GGGG......
................
ROWS

# 5: uninstall records (package with a red minus)
xpm task05 <<'ROWS'
................
................
.oooooooooooo...
.oCCCCttCCCCo...
.oCCCCttCCCCo...
.oooooooooooo...
.occccttcccco...
.occccttcccco...
.occccttccrrrr..
.occccttcrrrrrr.
.occccttrrrrrrrR
.occccttrwwwwwwR
.occccttrwwwwwwR
.ooooooorrrrrrrR
.........RrrrrR.
..........RRRR..
ROWS

# 6: recent-file history (clock)
xpm task06 <<'ROWS'
................
......BBBB......
....BBwGGwBB....
...BwwwkwwwwB...
..BwwwwkwwwwwB..
..BwwwwkwwwwwB..
.BwwwwwkwwwwwwB.
.BGwwwwkwwwwwGB.
.BGwwwwrkkkkwGB.
.BwwwwwwwwwwwwB.
..BwwwwwwwwwwB..
..BwwwwwwwwwwB..
...BwwwwwwwwB...
....BBwGGwBB....
......BBBB......
................
ROWS

# 7: Start menu order, empty keys, file types (menu)
xpm task07 <<'ROWS'
................
.kkkkkkkkkkkkkk.
.kbbbwwwwwwwwwk.
.kbbbwyywGGGGwk.
.kbbbwyywwwwwwk.
.kbbbwwwwwwwwwk.
.kbbbwnnwGGGwwk.
.kbbbwnnwwwwwwk.
.kbbbwwwwwwwwwk.
.kbbbwrrwGGGGwk.
.kbbbwrrwwwwwwk.
.kbbbwwwwwwwwwk.
.kbbbwbbwGGwwwk.
.kbbbwbbwwwwwwk.
.kkkkkkkkkkkkkk.
................
ROWS

# 8: shared DLLs (library shelf)
xpm task08 <<'ROWS'
................
................
.BBBB...........
.BbbB......NNNN.
.BYYB.RRRR.NnnN.
.BbbB.RrrR.NYYN.
.BbbB.RYYR.NnnN.
.BbbB.RrrR.NnnN.
.BbbB.RrrR.NnnN.
.BbbB.RrrR.NnnN.
.BbbB.RrrR.NnnN.
.BYYB.RYYR.NYYN.
.BbbB.RrrR.NnnN.
.BBBB.RRRR.NNNN.
oooooooooooooooo
................
ROWS

# 9: locale entries (flag)
xpm task09 <<'ROWS'
..y.............
..kGGGGGGGGGGG..
..kGbbbbbbbbbG..
..kGbbbbbbbbbG..
..kGbbbbbbbbbG..
..kGwwwwwwwwwG..
..kGwwwwwwwwwG..
..kGwwwwwwwwwG..
..kGrrrrrrrrrG..
..kGrrrrrrrrrG..
..kGrrrrrrrrrG..
..kGGGGGGGGGGG..
..k.............
..k.............
..k.............
.kkk............
ROWS

# 10: time zones (globe)
xpm task10 <<'ROWS'
................
......BBBB......
....BBbnnbBB....
...BlnnnbbbbB...
..BlnnnnbbbnnB..
..BbbnnnbbnnnB..
.BbbbnnbbbbnnbB.
.BbbbbnbbbbnbbB.
.BbbbbbbbbnnbbB.
.BbbbbbnnbbbbbB.
..BbbbnnnnbbbB..
..BbbbbnnnbbbB..
...BbbbbnnbbB...
....BBbbbbBB....
......BBBB......
................
ROWS

# 11: start-up commands (start arrow)
xpm task11 <<'ROWS'
................
......NNNN......
....NNnnnnNN....
...NnnnnnnnnN...
..NnnnwnnnnnnN..
..NnnnwwnnnnnN..
.NnnnnwwwnnnnnN.
.NnnnnwwwwnnnnN.
.NnnnnwwwwnnnnN.
.NnnnnwwwnnnnnN.
..NnnnwwnnnnnN..
..NnnnwnnnnnnN..
...NnnnnnnnnN...
....NNnnnnNN....
......NNNN......
................
ROWS

for name in key string binary diskette task01 task02 task03 task04 task05 task06 \
            task07 task08 task09 task10 task11; do
    "$CONVERT" "$WORK/$name.xpm" "$WORK/$name.png"
done

# 208: cleaner result rows (string value, key, other value)
"$CONVERT" "$WORK/string.png" "$WORK/key.png" "$WORK/binary.png" +append "$WORK/cleaner.png"
write_bmp "$WORK/cleaner.png" "$ART_DIR/cleaner-items.bmp"

# 213: search result rows (key, string value, other value)
"$CONVERT" "$WORK/key.png" "$WORK/string.png" "$WORK/binary.png" +append "$WORK/search.png"
write_bmp "$WORK/search.png" "$ART_DIR/search-items.bmp"

# 214: backup file
write_bmp "$WORK/diskette.png" "$ART_DIR/diskette.bmp"

# 209: the eleven task icons side by side; the strip is one row taller than
# the icons, and that row stays transparent.
"$CONVERT" "$WORK/task01.png" "$WORK/task02.png" "$WORK/task03.png" "$WORK/task04.png" \
    "$WORK/task05.png" "$WORK/task06.png" "$WORK/task07.png" "$WORK/task08.png" \
    "$WORK/task09.png" "$WORK/task10.png" "$WORK/task11.png" +append \
    -background "$MASK" -gravity north -extent 176x17 "$WORK/tasks.png"
write_bmp "$WORK/tasks.png" "$ART_DIR/tasks.bmp"

# The small pictures for 125, 150 and 200 percent display scaling. Each
# pixel is first made a 4 x 4 block, then the picture is scaled down to the
# target size averaging over whole areas, which keeps the pixel art crisp
# where it can be and smooth where it cannot.
small_at() { # name size out
    "$CONVERT" "$WORK/$1.png" -transparent "$MASK" -filter point -resize 400% \
        -filter box -resize "$2x$2" PNG32:"$WORK/$1-$2-rgba.png"
    mask_green "$WORK/$1-$2-rgba.png" "$3"
}
for size in 20 24 32; do
    for name in key string binary diskette task01 task02 task03 task04 task05 task06 \
                task07 task08 task09 task10 task11; do
        small_at "$name" "$size" "$WORK/$name-$size.png"
    done
    "$CONVERT" "$WORK/string-$size.png" "$WORK/key-$size.png" "$WORK/binary-$size.png" +append \
        "$WORK/cleaner-$size.png"
    write_bmp "$WORK/cleaner-$size.png" "$ART_DIR/cleaner-items-$size.bmp"
    "$CONVERT" "$WORK/key-$size.png" "$WORK/string-$size.png" "$WORK/binary-$size.png" +append \
        "$WORK/search-$size.png"
    write_bmp "$WORK/search-$size.png" "$ART_DIR/search-items-$size.bmp"
    write_bmp "$WORK/diskette-$size.png" "$ART_DIR/diskette-$size.bmp"
    "$CONVERT" "$WORK/task01-$size.png" "$WORK/task02-$size.png" "$WORK/task03-$size.png" \
        "$WORK/task04-$size.png" "$WORK/task05-$size.png" "$WORK/task06-$size.png" \
        "$WORK/task07-$size.png" "$WORK/task08-$size.png" "$WORK/task09-$size.png" \
        "$WORK/task10-$size.png" "$WORK/task11-$size.png" +append "$WORK/tasks-$size.png"
    write_bmp "$WORK/tasks-$size.png" "$ART_DIR/tasks-$size.bmp"
done

# ---------------------------------------------------------------------------
# The emblem: a blue registry cube with a green check badge. It is drawn in a
# 256-unit design space on a canvas four times the target size and then
# scaled down, which smooths the edges. Small sizes get heavier lines and a
# larger badge so that they stay readable.

# Vertical gradient fill for a shape that spans design rows y1 to y2. A fill
# pattern starts at the top left corner of the shape it fills and is not
# scaled with the drawing, so it is made at canvas resolution and exactly as
# tall as the shape.
gradient() { # out canvas y1 y2 colour1 colour2
    "$CONVERT" -size "$2x$((($4 - $3) * $2 / 256))" gradient:"$5-$6" "$1"
}

emblem() { # out size detail(0 small, 1 full) shadow(0/1) [badge: check|search]
    out=$1 size=$2 detail=$3 shadow=$4 badge=${5:-check}
    canvas=$((size * 4))
    # 256 design units per side; k100 is canvas pixels per unit, times 100
    k100=$((canvas * 100 / 256))
    s="scale $((k100 / 100)).$(printf '%02d' $((k100 % 100))),$((k100 / 100)).$(printf '%02d' $((k100 % 100)))"

    if [ "$detail" = 1 ]; then
        outline=6; edge=3; badge_c=190; badge_r=52; ring=60; check=16
        check_pts="163,191 182,210 217,171"
    else
        outline=$((256 / size)); badge_c=186; badge_r=62; ring=70; check=26
        check_pts="155,188 178,211 216,166"
    fi
    [ "$outline" -ge 6 ] || outline=6

    gradient "$WORK/g-top.png"   "$canvas" 16 108 '#D4EDFF' '#69B1F2'
    gradient "$WORK/g-left.png"  "$canvas" 62 216 '#4C9DEB' '#1D5BB0'
    gradient "$WORK/g-right.png" "$canvas" 62 216 '#2E72C8' '#143B7E'
    if [ "$badge" = check ]; then
        badge_top='#52D468' badge_bottom='#107D2C' badge_edge='#12692A'
        symbol="stroke-linecap round stroke-linejoin round polyline $check_pts"
        symbol_w=$check
    else
        badge_top='#FFC861' badge_bottom='#E07B12' badge_edge='#A8570A'
        symbol="stroke-linecap round circle $((badge_c - 8)),$((badge_c - 8)) $((badge_c - 8)),$((badge_c - 30)) line $((badge_c + 8)),$((badge_c + 8)) $((badge_c + 25)),$((badge_c + 25))"
        symbol_w=$((check * 3 / 4))
    fi
    gradient "$WORK/g-badge.png" "$canvas" $((badge_c - badge_r)) $((badge_c + badge_r)) \
        "$badge_top" "$badge_bottom"

    if [ "$shadow" = 1 ]; then
        "$CONVERT" -size "${canvas}x${canvas}" xc:none -fill '#0A1E3C80' \
            -draw "$s ellipse 112,236 92,12 0,360" -blur 0x$((canvas / 64 + 1)) "$WORK/base.png"
    else
        "$CONVERT" -size "${canvas}x${canvas}" xc:none "$WORK/base.png"
    fi

    "$CONVERT" "$WORK/base.png" \
        -tile "$WORK/g-top.png"   -draw "$s polygon 112,16 200,62 112,108 24,62" \
        -tile "$WORK/g-left.png"  -draw "$s polygon 24,62 112,108 112,216 24,170" \
        -tile "$WORK/g-right.png" -draw "$s polygon 112,108 200,62 200,170 112,216" \
        +tile "$WORK/cube.png"

    if [ "$detail" = 1 ]; then
        "$CONVERT" "$WORK/cube.png" -fill none -stroke '#FFFFFF60' -strokewidth 3 \
            -draw "$s line 68,39 156,85 line 156,39 68,85" \
            -draw "$s line 68,85 68,193 line 24,116 112,162" \
            -draw "$s line 156,85 156,193 line 112,162 200,116" \
            -stroke '#EAF6FFC0' -strokewidth "$edge" \
            -draw "$s line 24,62 112,108 line 112,108 200,62 line 112,108 112,216" \
            "$WORK/cube.png"
    else
        "$CONVERT" "$WORK/cube.png" -fill none -stroke '#EAF6FFB0' -strokewidth $((outline / 2)) \
            -draw "$s line 24,62 112,108 line 112,108 200,62 line 112,108 112,216" \
            "$WORK/cube.png"
    fi

    "$CONVERT" "$WORK/cube.png" -fill none -stroke '#0E2D5C' -strokewidth "$outline" \
        -draw "$s stroke-linejoin round polygon 112,16 200,62 200,170 112,216 24,170 24,62" \
        -stroke none -fill white -draw "$s circle $badge_c,$badge_c $badge_c,$((badge_c - ring))" \
        -tile "$WORK/g-badge.png" -draw "$s circle $badge_c,$badge_c $badge_c,$((badge_c - badge_r))" +tile \
        -fill none -stroke "$badge_edge" -strokewidth 2 \
        -draw "$s circle $badge_c,$badge_c $badge_c,$((badge_c - badge_r))" \
        -stroke white -strokewidth "$symbol_w" -draw "$s $symbol" \
        -filter box -resize "${size}x${size}" PNG32:"$out"
}

emblem "$WORK/emblem-256.png" 256 1 1
emblem "$WORK/emblem-48.png" 48 1 0
emblem "$WORK/emblem-32.png" 32 0 0
emblem "$WORK/emblem-16.png" 16 0 0
emblem "$WORK/search-48.png" 48 1 0 search
emblem "$WORK/emblem-80.png" 80 1 1

# 128: the program icon
"$CONVERT" "$WORK/emblem-16.png" "$WORK/emblem-32.png" "$WORK/emblem-48.png" \
    "$WORK/emblem-256.png" "$RES_DIR/Quorvane.ico"

# 206: page list images, 48 x 48 each: 0 the emblem, 1 the search emblem
mask_green "$WORK/emblem-48.png" "$WORK/page0.png"
mask_green "$WORK/search-48.png" "$WORK/page1.png"
"$CONVERT" "$WORK/page0.png" "$WORK/page1.png" +append "$WORK/page-list.png"
write_bmp "$WORK/page-list.png" "$ART_DIR/page-list.bmp"

# The page list images for 125, 150 and 200 percent display scaling.
for size in 60 72 96; do
    emblem "$WORK/emblem-$size.png" "$size" 1 0
    emblem "$WORK/search-$size.png" "$size" 1 0 search
    mask_green "$WORK/emblem-$size.png" "$WORK/page0-$size.png"
    mask_green "$WORK/search-$size.png" "$WORK/page1-$size.png"
    "$CONVERT" "$WORK/page0-$size.png" "$WORK/page1-$size.png" +append "$WORK/page-list-$size.png"
    write_bmp "$WORK/page-list-$size.png" "$ART_DIR/page-list-$size.bmp"
done

# ---------------------------------------------------------------------------
# 203: header banner, 750 x 100. The program stretches it over the top of the
# main window, so everything that must stay readable sits on the left.

"$CONVERT" -size 750x100 -define gradient:vector=0,0,750,0 gradient:'#0A2140-#1E63B4' \
    \( -size 750x100 -define gradient:vector=0,0,0,100 gradient:'#FFFFFF1A-#00000026' \) \
    -compose over -composite "$WORK/banner-bg.png"

# Faint cube outlines on the right, echoing the emblem.
cube_outline() { # x y size(width)
    w=$3 h=$(($3 * 52 / 100)) d=$(($3 * 61 / 100))
    x=$1 y=$2
    echo "polygon $((x + w / 2)),$y $((x + w)),$((y + h / 2)) $((x + w)),$((y + h / 2 + d)) $((x + w / 2)),$((y + h + d)) $x,$((y + h / 2 + d)) $x,$((y + h / 2))"
    echo "line $x,$((y + h / 2)) $((x + w / 2)),$((y + h)) line $((x + w / 2)),$((y + h)) $((x + w)),$((y + h / 2))"
    echo "line $((x + w / 2)),$((y + h)) $((x + w / 2)),$((y + h + d))"
}
cubes="$(cube_outline 560 6 64) $(cube_outline 628 42 56) $(cube_outline 676 -18 60) $(cube_outline 504 58 44)"

"$CONVERT" "$WORK/banner-bg.png" \
    -fill '#FFFFFF0D' -stroke '#FFFFFF33' -strokewidth 1.5 -draw "$cubes" \
    \( "$WORK/emblem-80.png" \) -geometry +22+9 -compose over -composite \
    -stroke none -fill white -font "$FONT_BOLD" -pointsize 38 -annotate +118+54 'Quorvane' \
    -fill '#BFDBF7' -font "$FONT_BOOK" -pointsize 15 \
    -annotate +120+80 'Clean, search and back up your Windows registry' \
    \( -size 750x3 -define gradient:vector=0,0,750,0 gradient:'#34B356-#2F7FD8' \) \
    -geometry +0+97 -composite "$WORK/banner.png"
write_bmp "$WORK/banner.png" "$ART_DIR/banner.bmp"
# PREVIEW_DIR=<folder> keeps the intermediate pictures (PNG) for a look at them.
if [ -n "${PREVIEW_DIR:-}" ]; then cp "$WORK"/*.png "$PREVIEW_DIR"/; fi
