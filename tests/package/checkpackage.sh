#!/bin/sh
# Checks the Debian package that `make package` made: its fields, every file installed, no error
# from lintian, the license where Debian keeps it, and the zento-cli inside it writing, on the
# three examples, the same bytes as the build's own.
# Usage: tests/package/checkpackage.sh BUILD_DIR
set -eu
cd "$(dirname "$0")/../.."
build=$1
deb=$(ls -t "$build"/zento_*.deb | head -n 1)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "checkpackage: $*" >&2
    exit 1
}

fields=$(dpkg-deb -f "$deb" Package Depends Recommends)
for expected in "Package: zento" "Recommends: jags," libc6 libstdc++6 libqt6core6 libqt6gui6 \
    libqt6widgets6 libqt6printsupport6 libqt6network6; do
    echo "$fields" | grep -q "$expected" || fail "los campos no dicen $expected: $fields"
done

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/lista"
for path in bin/zento bin/zento-cli share/zento/manual/Index.html share/doc/zento/copyright \
    share/doc/zento/changelog.gz share/man/man1/zento.1.gz share/man/man1/zento-cli.1.gz \
    share/applications/zento.desktop share/mime/packages/zento.xml; do
    grep -qx "./usr/$path" "$work/lista" || fail "falta /usr/$path"
done
[ "$(grep -c '^./usr/share/icons/hicolor/.*\.png$' "$work/lista")" = 12 ] ||
    fail "no están los iconos de los seis tamaños"

dpkg -x "$deb" "$work/raiz"
diff -r manual "$work/raiz/usr/share/zento/manual" >/dev/null || fail "el manual no es el de manual/"
sed -n '/^Permission/,$p' LICENSE >"$work/licencia"
sed -n '/^ Permission/,$ { s/^ //; s/^\.$//; p }' "$work/raiz/usr/share/doc/zento/copyright" |
    cmp -s - "$work/licencia" || fail "copyright no lleva el texto de LICENSE"

# Both programs run in folders of the same name, so that what they print can be compared too.
mkdir "$work/paquete" "$work/compilado"
for example in examples/*.txt; do
    for command in escanear verificar datos "datos --variables 2 --casos 5" "modelo logit" \
        "modelo standard" "jags cds --directorio jags"; do
        for run in "paquete $work/raiz/usr/bin/zento-cli" "compilado $PWD/$build/src/cli/zento-cli"; do
            set -- $run
            # shellcheck disable=SC2086 # the command's words are meant to split
            (cd "$work/$1" && "$2" $command "$OLDPWD/$example" >salida 2>&1; echo "estado $?" >>salida)
        done
        diff -r "$work/paquete" "$work/compilado" >/dev/null ||
            fail "zento-cli $command $example: el del paquete escribe otra cosa"
        rm -rf "$work/paquete/jags" "$work/compilado/jags"
    done
done

lintian --fail-on error --display-level ">=warning" "$deb" || fail "lintian encontró errores"
echo "checkpackage: $(basename "$deb") bien"
