#!/usr/bin/env bash
# make install into a staging folder; the installed drawconv, torvanesub (with its sample settings) and the
# thumbnailer's Exec line run from there; the MIME types as a file manager tells them; then make uninstall
# leaves nothing. Arguments: the source folder and the build folder that `make test` built.
set -euo pipefail
src=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage="$work/stage"
prefix=/usr
# The make that runs the tests must not hand its job server to ours.
unset MAKEFLAGS MFLAGS MAKELEVEL
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

make -s -C "$src" install BUILD="$build" DESTDIR="$stage" PREFIX="$prefix" >"$work/install.log" ||
  fail "make install: $(cat "$work/install.log")"
root="$stage$prefix"
for f in bin/drawconv libexec/torvanesub/torvanesub libexec/torvanesub/Torvane.dat share/man/man1/drawconv.1 \
  share/man/man1/torvanesub.1 share/bash-completion/completions/drawconv \
  share/mime/packages/torvanesub-drawings.xml share/thumbnailers/drawconv.thumbnailer \
  share/doc/torvanesub/info.schema.json; do
  [ -f "$root/$f" ] || fail "not installed: $f"
done
[ -x "$root/bin/drawconv" ] && [ -x "$root/libexec/torvanesub/torvanesub" ] || fail "executables not executable"

# The installed executables, from where they were installed.
"$root/bin/drawconv" --version | grep -q '^drawconv ' || fail "drawconv --version"
"$root/libexec/torvanesub/torvanesub" --version | grep -q '^torvanesub ' || fail "torvanesub --version"
cp "$src/examples/jww_sampler.jww" "$src/examples/jwk_compass.jwk" "$work/"
"$root/libexec/torvanesub/torvanesub" parent 1 "$work/jww_sampler.jww" "$work/sub.png" ||
  fail "the installed sub-module with its sample Torvane.dat"
# The sample asks for 100 dpi: an A3 drawing is 1654 x 1169 pixels.
size=$(od -An -tu1 -j16 -N8 "$work/sub.png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
[ "$size" = 1654x1169 ] || fail "torvanesub with the sample settings wrote $size"
(cd "$work" && PATH="$root/bin:$PATH" drawconv -q --width 300 jww_sampler.jww jwk_compass.jwk -o many/) ||
  fail "installed drawconv on several files"
[ -f "$work/many/jww_sampler.png" ] && [ -f "$work/many/jwk_compass.png" ] || fail "drawconv outputs missing"

# The thumbnailer's Exec line as a file manager runs it: %s size, %i input, %o output (a name without .png).
exec_line=$(sed -n 's/^Exec=//p' "$root/share/thumbnailers/drawconv.thumbnailer")
cmd=${exec_line//%s/256}
cmd=${cmd//%i/$work/jww_sampler.jww}
cmd=${cmd//%o/$work/thumbnail}
PATH="$root/bin:$PATH" bash -c "$cmd" || fail "thumbnailer Exec: $cmd"
[ "$(head -c 8 "$work/thumbnail" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "thumbnail is no PNG"
size=$(od -An -tu1 -j16 -N8 "$work/thumbnail" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
[ "$size" = 256x181 ] || fail "thumbnail of $size"

# Every type the thumbnailer offers is the type a file manager gives the examples, by name and by content.
mimetypes=$(sed -n 's/^MimeType=//p' "$root/share/thumbnailers/drawconv.thumbnailer" | tr ';' ' ')
mkdir -p "$work/xdg/mime/packages" "$work/plain"
cp "$root/share/mime/packages/torvanesub-drawings.xml" "$work/xdg/mime/packages/"
update-mime-database "$work/xdg/mime" >/dev/null 2>&1
for example in "$src"/examples/*.{jww,jws,jwc,jwk,m7}; do
  name=$(basename "$example")
  cp "$example" "$work/plain/${name%.*}"
  for f in "$example" "$work/plain/${name%.*}"; do
    type=$(XDG_DATA_DIRS="$work/xdg:/usr/share" gio info -a standard::content-type "$f" |
      sed -n 's/.*standard::content-type: //p')
    case " $mimetypes " in
    *" $type "*) ;;
    *) fail "$f is $type, which the thumbnailer does not offer ($mimetypes)" ;;
    esac
  done
done

# The man pages render without warnings; the completion is valid bash.
for page in drawconv torvanesub; do
  warnings=$(groff -t -man -Tutf8 -ww -z "$root/share/man/man1/$page.1" 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done
bash -n "$root/share/bash-completion/completions/drawconv" || fail "completion"

make -s -C "$src" uninstall BUILD="$build" DESTDIR="$stage" PREFIX="$prefix" >"$work/uninstall.log" ||
  fail "make uninstall: $(cat "$work/uninstall.log")"
left=$(find "$stage" -mindepth 1)
[ -z "$left" ] || fail "left after make uninstall: $left"
