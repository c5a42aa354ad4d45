#!/usr/bin/env python3
"""The JSON Schemas agree with the readers: what plover writes validates, and what the
readers refuse for key or type reasons the schema refuses too.

    schema_test.py --plover PATH --schemas FOLDER --examples FOLDER
"""
import argparse
import json
import subprocess
import sys
import tempfile
from pathlib import Path

import jsonschema


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--plover", required=True)
    parser.add_argument("--schemas", required=True, type=Path)
    parser.add_argument("--examples", required=True, type=Path)
    args = parser.parse_args()
    failures = []

    def check(schema_name, document, should_pass, label):
        schema = json.loads((args.schemas / schema_name).read_text())
        validator = jsonschema.Draft202012Validator(schema)
        errors = list(validator.iter_errors(document))
        if should_pass and errors:
            failures.append(f"{label}: {errors[0].message}")
        if not should_pass and not errors:
            failures.append(f"{label}: accepted by {schema_name}")

    with tempfile.TemporaryDirectory() as tmp:
        settings = None
        for example in sorted(args.examples.glob("*.json")):
            out = Path(tmp) / f"{example.stem}.settings.json"
            flags = ["--expanded-search"] if "expanded-search" in example.name else []
            subprocess.run([args.plover, "stream-settings", str(example), "-o", str(out)] + flags, check=True,
                           capture_output=True)
            settings = json.loads(out.read_text())
            check("stream-settings.schema.json", settings, True, f"stream settings of {example.name}")
        for key, value, why in [("Tx1IntLo", 1, "a number for a flag"), ("Pll1LockWait", 70000, "a delay over 16 bits"),
                                ("Pll1LockWait", -1, "a negative delay"), ("Pll1LockWait", 1.5, "a fractional delay")]:
            bad = dict(settings, **{key: value})
            check("stream-settings.schema.json", bad, False, why)
        check("stream-settings.schema.json", dict(settings, Tx1IntLO=True), False, "a misspelled key")
        check("stream-settings.schema.json", {k: v for k, v in settings.items() if k != "Rx2A"}, False, "a missing key")

    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
