#!/usr/bin/env bash
# Removes what the last install wrote, as its manifest lists it, and then the folders of our own that it made;
# in a staged tree (DESTDIR) every folder it leaves empty, since nothing else lives there.
set -euo pipefail
manifest=${1:?usage: uninstall.sh install_manifest.txt}
if [ ! -f "$manifest" ]; then
  echo "nothing to uninstall: $manifest not found (run make install first)" >&2
  exit 1
fi
dest=${DESTDIR:-}
folders=()
while IFS= read -r file || [ -n "$file" ]; do
  [ -n "$file" ] || continue
  path="$dest$file"
  if [ -e "$path" ] || [ -L "$path" ]; then
    rm -f -- "$path"
    echo "removed $path"
  fi
  folders+=("$(dirname -- "$path")")
done < "$manifest"
for dir in "${folders[@]}"; do
  if [ -n "$dest" ]; then
    # Up to the staging folder itself, while empty.
    while [ "$dir" != "$dest" ] && [ "${dir#"$dest"/}" != "$dir" ] && rmdir -- "$dir" 2>/dev/null; do
      dir=$(dirname -- "$dir")
    done
  elif [ "$(basename -- "$dir")" = torvanesub ]; then
    rmdir -- "$dir" 2>/dev/null || true
  fi
done
if [ -z "$dest" ] && command -v update-mime-database >/dev/null; then
  for file in $(grep '/mime/packages/' "$manifest" || true); do
    update-mime-database "$(dirname -- "$(dirname -- "$file")")"
  done
fi
