# Sourced by the scripts that build libraries from Debian's source packages
# (web-deps.sh, windows-deps.sh). deb_source_init BUILD_DIR gives apt a private
# deb-src list and state folder under BUILD_DIR/apt, so the system's own apt
# configuration is left alone; deb_source NAME then unpacks a source package
# once under BUILD_DIR/src (with Debian's patches applied) and prints its folder.

deb_source_init() {
  deb_src_dir="$1/src"
  local apt_dir="$1/apt"
  mkdir -p "$deb_src_dir" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  . /etc/os-release
  cat > "$apt_dir/sources.list" <<LIST
deb-src http://deb.debian.org/debian ${VERSION_CODENAME} main
LIST
  deb_apt_opts=(-o "Dir::Etc::sourcelist=$apt_dir/sources.list" -o "Dir::Etc::sourceparts=-"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o "APT::Get::List-Cleanup=0")
  if [ ! -f "$apt_dir/updated.stamp" ]; then
    apt-get "${deb_apt_opts[@]}" update -qq
    touch "$apt_dir/updated.stamp"
  fi
}

deb_source() {
  local name=$1
  local dir
  dir=$(find "$deb_src_dir" -maxdepth 1 -type d -name "${name}-[0-9]*" | head -1)
  if [ -z "$dir" ]; then
    (cd "$deb_src_dir" && apt-get "${deb_apt_opts[@]}" source -qq "$name" > /dev/null 2>&1) || {
      # lib3ds's Debian packaging file is not always there: take the upstream tarball alone.
      (cd "$deb_src_dir" && apt-get "${deb_apt_opts[@]}" source --download-only -qq "$name" > /dev/null 2>&1) || true
      local orig
      orig=$(ls "$deb_src_dir/${name}"_*.orig.tar.* 2>/dev/null | head -1)
      [ -n "$orig" ] || { echo "deb-source: cannot fetch the source of $name" >&2; exit 1; }
      tar -C "$deb_src_dir" -xf "$orig"
    }
    dir=$(find "$deb_src_dir" -maxdepth 1 -type d -name "${name}-[0-9]*" | head -1)
  fi
  echo "$dir"
}
