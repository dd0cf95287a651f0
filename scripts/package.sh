#!/usr/bin/env bash
# Builds Quorvane for 64-bit Windows and packs the program folder, as it must
# lie on a Windows disk, into build/package/Quorvane-<version>-win64.zip:
#
#   Quorvane\Quorvane.exe
#   Quorvane\Quorvane.language
#   Quorvane\config.xml
#   Quorvane\Quorvane.chm
#   Quorvane\Tools\Regedit.exe
#
# The language file and config.xml come from resources/, as installed: the
# copies in the build's program folder may carry what test runs left there
# (their settings, backups and logs), which must not travel. The script ends
# by listing the archive and fails unless it holds exactly these files.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh

version=$(sed -n 's/^project(Quorvane VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
    echo "package.sh: no project VERSION in CMakeLists.txt" >&2
    exit 1
fi

cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target Quorvane

built=build/win64/Quorvane
package_dir=build/package
stage="$package_dir/stage"
archive="$package_dir/Quorvane-$version-win64.zip"

# Where each file of the program folder comes from.
files=(Quorvane.exe Quorvane.language config.xml Quorvane.chm Tools/Regedit.exe)
source_of() {
    case "$1" in
        Quorvane.language|config.xml) echo "resources/$1" ;;
        *) echo "$built/$1" ;;
    esac
}

rm -rf "$stage" "$archive"
mkdir -p "$stage/Quorvane/Tools"
for file in "${files[@]}"; do
    source=$(source_of "$file")
    if [ ! -s "$source" ]; then
        echo "package.sh: $source is missing or empty (is chmcmd installed for the help file?)" >&2
        exit 1
    fi
    cp "$source" "$stage/Quorvane/$file"
done

(cd "$stage" && zip -X -r -q "../$(basename "$archive")" Quorvane)
rm -rf "$stage"

# The check: the archive lists exactly the program folder, and each file has
# the size of what went in.
listed=$(zip -sf "$archive" | sed -n 's/^  //p' | grep -v '/$' | sort)
expected=$(printf 'Quorvane/%s\n' "${files[@]}" | sort)
if [ "$listed" != "$expected" ]; then
    echo "package.sh: $archive does not hold the program folder:" >&2
    diff <(echo "$expected") <(echo "$listed") >&2 || true
    exit 1
fi
if command -v unzip >/dev/null; then
    for file in "${files[@]}"; do
        size=$(unzip -Z -l "$archive" "Quorvane/$file" | awk 'NR==1 {print $4}')
        want=$(stat -c %s "$(source_of "$file")")
        if [ "$size" != "$want" ]; then
            echo "package.sh: Quorvane/$file holds $size bytes in the archive, $want expected" >&2
            exit 1
        fi
    done
fi
echo "$archive"
printf '  %s\n' $expected
