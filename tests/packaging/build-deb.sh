#!/bin/sh
# Builds the Debian packages into $DEB_DIR with cpack, for the tests that read
# and install them, and unpacks them all into $DEB_DIR/root: the files as the
# packages install them, among them the tool that the end-to-end and packaging
# tests run. Reports itself skipped (77) without the Debian tools.
# cpack first brings the build tree up to date (its preinstall step); after
# a full build that is only a check.
set -eu
rm -rf "$DEB_DIR"
for tool in dpkg-deb dpkg-shlibdeps "$CPACK"; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool not found"
        exit 77
    fi
done
mkdir -p "$DEB_DIR/root"
"$CPACK" -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$DEB_DIR"
for deb in "$DEB_DIR"/*.deb; do
    ls -l "$deb"
    dpkg-deb -x "$deb" "$DEB_DIR/root"
done
