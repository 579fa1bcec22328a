# The Debian package: cpack builds it from this build, and unpacked into a throw-away
# root it holds every file the program, its tools and the desktop need, under /usr only,
# with stripped programs, compressed manual pages, icons of the size their folder says,
# the recorder's unit (enabled by the maintainer scripts, not by a file of the package),
# the maintainer scripts themselves (tests/scripts/maintainer_scripts.sh runs them), and
# dependencies computed from the programs' libraries. lintian, when installed, reports
# no error, and systemd-analyze, when there, finds the unit sound.
source "$(dirname "$0")/lib.sh"
for needed in cpack dpkg-deb dpkg-shlibdeps readelf; do
    command -v "$needed" >/dev/null || skip "$needed is not installed (scripts/deps installs dpkg-dev)"
done
[[ -f $build/CPackConfig.cmake ]] || skip "this build has no package rules (NORVEX_CORE_ONLY)"

(cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1) ||
    { cat "$scratch/cpack.log"; fail "cpack could not build the package"; finish; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
deb="$scratch/out/norvex_${version}_amd64.deb"
[[ -f $deb ]] || { ls "$scratch/out"; fail "no $deb"; finish; }

expect_equal "package name" "$(dpkg-deb -f "$deb" Package)" norvex
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6 libqt6core6; do
    grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library: $depends"
done
expect_equal "maintainer scripts" "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sort | paste -sd ' ')" \
    "./control ./md5sums ./postinst ./postrm ./prerm"
grep -q "\badduser\b" <<<"$depends" || fail "Depends lacks adduser (the postinst calls addgroup): $depends"

root="$scratch/root"
dpkg -x "$deb" "$root"
files=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
outside=$(grep -v '^usr/' <<<"$files" || true)
[[ -z $outside ]] || fail "files outside /usr: $outside"

expected=(
    usr/bin/norvex usr/bin/norvex-cli usr/bin/norvex-recorder usr/bin/norvex-shadow
    usr/share/norvex/tips.txt
    usr/share/applications/norvex.desktop
    usr/share/icons/hicolor/scalable/apps/norvex.svg
    usr/share/metainfo/io.github.norvex.metainfo.xml
    usr/share/bash-completion/completions/norvex-cli
    usr/share/bash-completion/completions/norvex-recorder
    usr/share/bash-completion/completions/norvex-shadow
    usr/lib/systemd/system/norvex-recorder.service
    usr/share/doc/norvex/copyright usr/share/doc/norvex/changelog.gz
)
for program in norvex norvex-cli norvex-recorder norvex-shadow; do
    expected+=("usr/share/man/man1/$program.1.gz")
done
for page in "$source_dir"/src/resources/help/*.html; do
    expected+=("usr/share/doc/norvex/help/${page##*/}")
done
for size in 16 22 24 32 48 64 128 256 512; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/norvex.png")
done
for file in "${expected[@]}"; do
    grep -qx "$file" <<<"$files" || fail "the package lacks /$file"
done

for program in norvex norvex-cli norvex-recorder norvex-shadow; do
    binary="$root/usr/bin/$program"
    [[ -x $binary ]] || continue
    ! readelf -S "$binary" | grep -q '\.debug_info' || fail "/usr/bin/$program is not stripped"
done
expect_equal "installed norvex-cli" "$("$root/usr/bin/norvex-cli" --version)" "norvex-cli $version"
for page in "$root"/usr/share/man/man1/*.gz "$root/usr/share/doc/norvex/changelog.gz"; do
    gzip -t "$page" || fail "${page#"$root"} is no gzip file"
done
for size in 16 22 24 32 48 64 128 256 512; do
    png="$root/usr/share/icons/hicolor/${size}x${size}/apps/norvex.png"
    [[ -f $png ]] || continue
    # Width and height: big-endian 32-bit numbers at bytes 16 and 20 of a PNG.
    expect_equal "icon in ${size}x${size}" "$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')" \
        "${size}x${size}"
done
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.norvex.metainfo.xml" >"$scratch/appstream.log" 2>&1 ||
        fail "the AppStream metainfo does not validate: $(cat "$scratch/appstream.log")"
fi
[[ -z $(find "$root" -path '*/etc/systemd*') ]] || fail "the recorder's unit is enabled by a file of the package"
if command -v systemd-analyze >/dev/null; then
    # ExecStart's bare name would be looked up on this machine: point it into the root.
    # An unknown or misspelt setting is only warned about, so any output fails.
    sed "s|^ExecStart=norvex-recorder|ExecStart=$root/usr/bin/norvex-recorder|" \
        "$root/usr/lib/systemd/system/norvex-recorder.service" >"$scratch/norvex-recorder.service"
    systemd-analyze verify --man=no "$scratch/norvex-recorder.service" >"$scratch/verify.log" 2>&1 ||
        fail "systemd-analyze verify failed"
    [[ ! -s $scratch/verify.log ]] || fail "systemd-analyze verify: $(cat "$scratch/verify.log")"
fi

if command -v lintian >/dev/null; then
    lintian --tag-display-limit 0 --display-info "$deb" >"$scratch/lintian.log" 2>&1 || true
    echo "lintian:"
    sed 's/^/  /' "$scratch/lintian.log"
    ! grep -q '^E:' "$scratch/lintian.log" || fail "lintian reports errors"
else
    echo "lintian is not installed: its check is left out"
fi
finish
