#!/usr/bin/env bash
# Makes share/templates/tamrel_oo.xls, the template of the Calc export, from the sources of the spreadsheet
# template (src/sheets/templates/tamrel): the packed tamrel.xlsx saved by LibreOffice's "MS Excel 97"
# filter, so both exports lay out the same rows. Run it after changing those sources:
#   bash src/sheets/calc/make-calc-template.sh [BUILD_DIR]
# (or cmake --build BUILD_DIR --target update-calc-template); a test checks that the two still agree.
set -euo pipefail
cd "$(dirname "$0")/../../.."
build=${1:-build}
cmake --build "$build" --target sheet_templates
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
soffice "-env:UserInstallation=file://$work/profile" --headless --norestore \
  --convert-to 'xls:MS Excel 97' --outdir "$work" "$build/templates/tamrel.xlsx" >/dev/null
cp "$work/tamrel.xls" share/templates/tamrel_oo.xls
echo "share/templates/tamrel_oo.xls"
