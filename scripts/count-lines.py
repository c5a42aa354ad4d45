#!/usr/bin/env python3
"""Counts non-blank, non-comment lines of test code and of product code and prints the ratio.

Product: src/, engine/, streams/, host/, tools/, web/, python/. Tests: tests/. Generated files
(those that say "do not edit" near the top) count on neither side; JSON data, golden files and
fuzz corpora are data, not code.
    python3 scripts/count-lines.py [--by-folder]
"""
import re, sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
PRODUCT = ["src", "engine", "streams", "host", "tools", "web", "python"]
TESTS = ["tests"]
SUFFIXES = {".cpp", ".h", ".py", ".pyi", ".js", ".html", ".css"}


def code_lines(path):
    text = path.read_text(errors="replace")
    if "do not edit" in "\n".join(text.splitlines()[:5]).lower():
        return 0
    hash_comments = path.suffix in {".py", ".pyi"}
    slash_comments = path.suffix in {".cpp", ".h", ".js", ".css"}
    html = path.suffix == ".html"
    n, in_block, in_doc = 0, False, None
    for raw in text.splitlines():
        line = raw.strip()
        if not line:
            continue
        if in_block:
            if "*/" in line or (html and "-->" in line):
                in_block = False
            continue
        if in_doc:
            if in_doc in line:
                in_doc = None
            continue
        if slash_comments and line.startswith("//"):
            continue
        if (slash_comments and line.startswith("/*")) or (html and line.startswith("<!--")):
            end = "*/" if line.startswith("/*") else "-->"
            if end not in line[2:]:
                in_block = True
            continue
        if hash_comments:
            if line.startswith("#"):
                continue
            m = re.match(r'^[rRbBuU]?("""|\'\'\')', line)
            if m:  # a docstring is documentation, not code
                if line.count(m.group(1)) < 2:
                    in_doc = m.group(1)
                continue
        n += 1
    return n


def count(folders):
    per = {}
    for folder in folders:
        for p in sorted((ROOT / folder).rglob("*")):
            if p.is_file() and p.suffix in SUFFIXES and "corpus" not in p.parts \
                    and "__pycache__" not in p.parts:
                per[p.relative_to(ROOT)] = code_lines(p)
    return per


def main():
    product, tests = count(PRODUCT), count(TESTS)
    p, t = sum(product.values()), sum(tests.values())
    if "--by-folder" in sys.argv:
        folders = {}
        for path, n in tests.items():
            key = "/".join(path.parts[:3]) if path.parts[1] == "plover" else "/".join(path.parts[:2])
            folders[key] = folders.get(key, 0) + n
        for key, n in sorted(folders.items()):
            print(f"{n:7d}  {key}")
    print(f"product {p}  tests {t}  tests/product {100.0 * t / p:.1f} %")


main()
