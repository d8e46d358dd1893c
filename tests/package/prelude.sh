# Sourced by the scripts here: strict mode, the build and source folders from the arguments, a temporary
# folder removed at exit, and fail().
set -euo pipefail
build=$1
source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
