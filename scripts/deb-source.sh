# Sourced by the scripts that build libraries from Debian's source packages
# (web-deps.sh, windows-deps.sh). deb_source_init BUILD_DIR gives apt a private
# deb-src list and state folder under BUILD_DIR/apt, so the system's own apt
# configuration is left alone; deb_source NAME then unpacks a source package
# once into BUILD_DIR/src/NAME (with Debian's patches applied) and prints that
# folder. apt-get source names its folder after the package, an upstream
# tarball after the project (libpng-1.6.48/ for libpng1.6), so each is
# unpacked alone in a folder of its own and moved to the known name.

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
  local dir=$deb_src_dir/$name
  local work=$deb_src_dir/$name.fetch
  if [ ! -d "$dir" ]; then
    rm -rf "$work"
    mkdir -p "$work"
    (cd "$work" && apt-get "${deb_apt_opts[@]}" source -qq "$name" > /dev/null 2>&1) || {
      # lib3ds's Debian packaging file is not always there: take the upstream tarball alone.
      (cd "$work" && apt-get "${deb_apt_opts[@]}" source --download-only -qq "$name" > /dev/null 2>&1) || true
      local orig
      orig=$(find "$work" -maxdepth 1 -name "${name}_*.orig.tar.*" ! -name '*.asc' | head -1)
      [ -n "$orig" ] || { echo "deb-source: cannot fetch the source of $name" >&2; return 1; }
      mkdir "$work/upstream"
      tar -C "$work/upstream" --strip-components=1 -xf "$orig"
    }
    local unpacked
    unpacked=$(find "$work" -mindepth 1 -maxdepth 1 -type d)
    if [ -z "$unpacked" ] || [ "$(echo "$unpacked" | wc -l)" -ne 1 ]; then
      echo "deb-source: the source of $name unpacked into no single folder under $work" >&2
      return 1
    fi
    mv "$unpacked" "$dir"
    rm -rf "$work"
  fi
  echo "$dir"
}
