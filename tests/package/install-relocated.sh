#!/usr/bin/env bash
# Installs the build into a temporary prefix, moves the prefix elsewhere and runs the installed kalvor-cli
# from there: its share folder must come along, its man page and completion must match its --help.
# Usage: install-relocated.sh BUILD_DIR SOURCE_DIR
source "$(dirname "$0")/prelude.sh"

cmake --install "$build" --prefix "$tmp/first" >/dev/null
mv "$tmp/first" "$tmp/moved"
prefix=$tmp/moved
cli=$prefix/bin/kalvor-cli
[ -x "$prefix/bin/kalvor" ] || fail "bin/kalvor is not installed"

# Everything in share/ but the desktop's own files is installed, also what was added there lately.
diff <(cd "$source/share" && find . -type f ! -path './applications/*' ! -path './icons/*' | sort) \
  <(cd "$prefix/share/kalvor" && find . -type f | sort) || fail "share/kalvor differs from share/"

# A file that only the moved install has reaches the new workspace: the seeds come from the install, not
# from the source or build tree.
echo "installed" >"$prefix/share/kalvor/doc/only-in-the-install.txt"
export HOME=$tmp/home
unset KALVOR_HOME
"$cli" demo "$tmp/work" >"$tmp/demo.out" || fail "kalvor-cli demo: $(cat "$tmp/demo.out")"
grep -q "Рабочая папка готова" "$tmp/demo.out" || fail "kalvor-cli demo said: $(cat "$tmp/demo.out")"
[ -f "$tmp/work/doc/only-in-the-install.txt" ] || fail "the workspace was not seeded from the moved install"
[ -f "$tmp/work/templates/xml/declaration.xml" ] || fail "the workspace has no templates"
"$cli" --home "$tmp/work" reconcile >/dev/null || fail "kalvor-cli reconcile on the demo workspace"

"$cli" --help >"$tmp/help.txt" || fail "kalvor-cli --help"
grep -q '^  dump ' "$tmp/help.txt" || fail "kalvor-cli --help lists no commands"

# The man page renders without warnings and holds every usage line and summary of --help.
page=$prefix/share/man/ru/man1/kalvor-cli.1.gz
cmp -s "$page" "$prefix/share/man/man1/kalvor-cli.1.gz" || fail "the two man pages differ"
MANWIDTH=1000 man --warnings -l --no-hyphenation --no-justification "$page" >"$tmp/man.txt" 2>"$tmp/man.err" \
  || fail "man -l: $(cat "$tmp/man.err")"
[ ! -s "$tmp/man.err" ] || fail "the man page has warnings: $(cat "$tmp/man.err")"
squeeze() { sed -e 's/^ *//' -e 's/  */ /g'; }
squeeze <"$tmp/man.txt" >"$tmp/man.flat"
while IFS= read -r line; do
  grep -qF -- "$line" "$tmp/man.flat" || fail "the man page lacks: $line"
done < <(grep '^  ' "$tmp/help.txt" | squeeze)

# The bash completion offers commands, a command's options and, for --home, folders.
source "$prefix/share/bash-completion/completions/kalvor-cli"
complete_words() {
  COMP_WORDS=("$@")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _kalvor_cli 2>/dev/null || true
  echo "${COMPREPLY[*]}"
}
[ "$(complete_words kalvor-cli carry)" = "carry-over" ] || fail "completion of a command: $(complete_words kalvor-cli carry)"
[ "$(complete_words kalvor-cli --home "$tmp/work" dump --c)" = "--count" ] || fail "completion of an option"
[ "$(complete_words kalvor-cli --home "$tmp/wo")" = "$tmp/work" ] || fail "completion of --home"
[ "$(complete_words kalvor-cli verify "$tmp/work/templ")" = "$tmp/work/templates" ] || fail "completion of a folder"
echo "installed, moved and run from $prefix"
