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

[ "$(dpkg-deb -f "$deb" Package)" = zento ] || fail "el paquete no se llama zento"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libqt6network6; do
    echo "$depends" | grep -q "$library" || fail "Depends no nombra $library: $depends"
done
dpkg-deb -f "$deb" Recommends | grep -q "^jags," || fail "Recommends no empieza por jags"

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/lista"
for path in bin/zento bin/zento-cli share/zento/manual/Index.html \
    share/applications/zento.desktop share/mime/packages/zento.xml \
    share/doc/zento/copyright share/doc/zento/changelog.gz share/man/man1/zento.1.gz \
    share/man/man1/zento-cli.1.gz; do
    grep -qx "./usr/$path" "$work/lista" || fail "falta /usr/$path"
done
for size in 16 32 48 64 128 256; do
    for icon in apps/zento.png mimetypes/text-x-zento-document.png; do
        grep -qx "./usr/share/icons/hicolor/${size}x$size/$icon" "$work/lista" ||
            fail "falta el icono $size $icon"
    done
done

dpkg -x "$deb" "$work/raiz"
diff -r manual "$work/raiz/usr/share/zento/manual" >/dev/null || fail "el manual no es el de manual/"
grep -q "^License: Expat" "$work/raiz/usr/share/doc/zento/copyright" || fail "copyright sin licencia"
sed -n '/^Permission/,$p' LICENSE >"$work/licencia"
sed -n '/^ Permission/,$p' "$work/raiz/usr/share/doc/zento/copyright" | sed 's/^ //; s/^\.$//' |
    cmp -s - "$work/licencia" || fail "copyright no lleva el texto de LICENSE"

# Both programs run in folders of the same name, so that what they print can be compared too.
mkdir -p "$work/paquete" "$work/compilado"
run() { # folder program arguments...
    folder=$1 program=$2
    shift 2
    (cd "$work/$folder" && "$program" "$@" >salida 2>&1; echo "estado $?" >>salida)
}
for example in examples/*.txt; do
    for command in escanear verificar datos "datos --variables 2 --casos 5" "modelo logit" \
        "modelo standard" "jags cds --directorio jags"; do
        # shellcheck disable=SC2086 # the command's words are meant to split
        run paquete "$work/raiz/usr/bin/zento-cli" $command "$PWD/$example"
        # shellcheck disable=SC2086
        run compilado "$PWD/$build/src/cli/zento-cli" $command "$PWD/$example"
        diff -r "$work/paquete" "$work/compilado" >/dev/null ||
            fail "zento-cli $command $example: el del paquete escribe otra cosa"
        rm -rf "$work/paquete/jags" "$work/compilado/jags"
    done
done

lintian --fail-on error --display-level ">=warning" "$deb" || fail "lintian encontró errores"
echo "checkpackage: $(basename "$deb") bien"
