#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into tests/fuzz/corpus/<target>/.

Run again after changing the edge cases below; libFuzzer grows its own working corpus elsewhere
(build-fuzz/corpus), so the committed seeds stay small and readable.
"""
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
EXAMPLES = HERE.parent.parent / "examples"

# Data files at the edges of the format.
FILES = {
    "empty": b"",
    "worked_example_crlf": b"y\tx1\tx2\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n",
    "worked_example_lf_no_final_end": b"y\tx1\tx2\n1\t0.5\t2\n0\t1.5\t3",
    "header_only": b"y\tx1\tx2\r\n",
    "header_no_line_end": b"a\tb",
    "trailing_tab": b"y\tx1\tx2\t\r\n1\t0.5\t2\r\n0\t1.5\t3\r\n",
    "leading_and_double_tabs": b"\ty\t\tx\r\n1 2 3\r\n",
    "space_separated_header": b"y x1 x2\r\n1\t0.5\t2\r\n",
    "cr_only": b"y\tx\r1\t2\r0\t3\r",
    "only_whitespace": b" \t\r\n\v\f\r\n",
    "nul_bytes": b"y\x00\tx\x00\x00\n1\t\x00\n0\t1\n",
    "binary": bytes(range(256)) * 2,
    "high_bytes_latin1": "año\tpeña\n1\t2\n".encode("latin-1"),
    "high_bytes_utf8": "año\tpeña\n1\t2\n".encode("utf-8"),
    "long_token": b"y\t" + b"n" * 5000 + b"\n1\t2\n",
    "long_header": b"\t".join(b"v%d" % i for i in range(700)) + b"\n" + b"1 " * 700 + b"\n",
    "ragged_rows": b"y\tx1\tx2\n1 2 3\n4 5 6 7\n8\n",
    "blank_lines": b"y\tx\r\n\r\n\r\n1\t2\r\n\r\n0\t3",
    "values_to_judge": b"y\tx1\tbeta\tx1\n1\t0,5\t1e-3\tNA\n2\tNA\tabc\t7\n0\t7.0\t1E+2\t7\n",
}


def count(value):
    """The byte the fuzz decoder turns into value (small values, or an edge of 32 bits)."""
    edges = {-(2**31): 0xE0, -(2**31) + 1: 0xE1, 2**31 - 1: 0xE2, 2**31 - 2: 0xE3}
    if value in edges:
        return bytes([edges[value]])
    assert -4 <= value < 20
    return bytes([value + 4])


def main():
    files = dict(FILES)
    for example in sorted(EXAMPLES.glob("*.txt")):
        files["example_" + example.stem] = example.read_bytes()
    # Parameters in front of a file: (K, V, M) for the rectangular data, (k, n) for the models,
    # flags and (V, M) for the checker. Each file gets the plain choice and one at the edges.
    for name, data in files.items():
        write("tokens", name, data)
        write("rectangular", name, count(3) + count(3) + count(2) + b"\x01" + data)
        write("models", name, count(3) + count(2) + data)
        write("verificar", name, b"\x03" + count(3) + count(2) + data)
    for name, data in (("worked_example_crlf", FILES["worked_example_crlf"]),
                       ("empty", b"")):
        for label, k, v, m in (("int_max_cases", 3, 2, 2**31 - 1),
                               ("int_min_counts", 3, -(2**31), -(2**31)),
                               ("int_max_variables", 3, 2**31 - 1, 1),
                               ("zero_variables", 3, 0, 2),
                               ("more_variables_than_k", 2, 5, 0)):
            write("rectangular", name + "_" + label, count(k) + count(v) + count(m) + b"\x00" + data)
            write("models", name + "_" + label, count(v) + count(m) + data)
            write("verificar", name + "_" + label, b"\x03" + count(v) + count(m) + data)
    for name, args in CLI_ARGS.items():
        write("cliargs", name, b"\x00".join(a.encode("utf-8") if isinstance(a, str) else a
                                            for a in args))


CLI_ARGS = {
    "escanear": ["escanear", "datos.txt"],
    "datos_all_options": ["datos", "d.txt", "--variables", "3", "--casos=2", "--salida", "o.txt"],
    "modelo_link_spelling": ["modelo", "Skew-Probit_CDS", "d.txt", "--variables=-2147483648"],
    "modelo_int_max": ["modelo", "logit", "d.txt", "--casos", "2147483647"],
    "count_too_large": ["datos", "d.txt", "--casos", "2147483648"],
    "count_not_a_number": ["datos", "d.txt", "--casos", "1e3"],
    "verificar": ["verificar", "d.txt", "--casos", "+5"],
    "jags": ["jags", "bbb", "d.txt", "--directorio", "dir", "--cadenas", "100",
             "--calentamiento=0", "--iteraciones", "1"],
    "jags_without_directory": ["jags", "logit", "d.txt"],
    "double_dash": ["--", "datos", "--casos"],
    "help": ["datos", "--help"],
    "version": ["--version"],
    "unknown_option": ["datos", "d.txt", "--todo"],
    "missing_value": ["datos", "d.txt", "--casos"],
    "repeated_option": ["datos", "d.txt", "--casos=1", "--casos=2"],
    "empty": [],
    "high_bytes": ["modelo", "logit", "a\u00f1o.txt", "--salida", b"\xf1\xff.txt"],
}


def write(target, name, data):
    directory = HERE / "corpus" / target
    directory.mkdir(parents=True, exist_ok=True)
    (directory / name).write_bytes(data)


if __name__ == "__main__":
    main()
