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
    parser.add_argument("--malformed", required=True, type=Path)
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

    def tool_refuses(document, tmp):
        """Exit 2 from the tool's blueprint check (the reason classes the schema covers)."""
        path = Path(tmp) / "hostile.json"
        path.write_text(json.dumps(document))
        return subprocess.run([args.plover, "inspect", str(path)], capture_output=True).returncode == 2

    examples = sorted(args.examples.glob("*.json"))
    for example in examples:
        check("blueprint.schema.json", json.loads(example.read_text()), True, example.name)

    # Hostile blueprints: the malformed corpus and single-field mutations of an example. Each the
    # tool refuses for a key, type or range reason, the schema refuses too; each it takes, the schema takes.
    base = json.loads((args.examples / "lte-20mhz-2t2r-tdd.json").read_text())
    hostile = []
    for path in sorted(args.malformed.glob("*.json")):
        try:
            hostile.append((path.name, json.loads(path.read_text())))
        except ValueError:
            pass  # not JSON at all: no schema question
    for key, value in [("Duplex", 0), ("duplex", 7), ("duplex", True), ("deviceClock_kHz", -1),
                       ("deviceClock_kHz", 4294967296), ("deviceClock_kHz", 1.5), ("ssiType", 7),
                       ("rxChannel1", []), ("warmBootEnable", "yes")]:
        hostile.append((f"{key}={value!r}", dict(base, **{key: value})))
    channel = dict(base["rxChannel1"], samplingRate_Hz=4325687296)
    hostile.append(("rxChannel1.samplingRate_Hz out of range", dict(base, rxChannel1=channel)))
    channel = dict(base["rxChannel1"], dataPath=base["rxChannel1"].get("dataPath", [])[:-1] or [0])
    hostile.append(("rxChannel1.dataPath short", dict(base, rxChannel1=channel)))
    with tempfile.TemporaryDirectory() as tmp:
        for label, document in hostile:
            schema_errors = list(jsonschema.Draft202012Validator(
                json.loads((args.schemas / "blueprint.schema.json").read_text())).iter_errors(document))
            if tool_refuses(document, tmp) != bool(schema_errors):
                failures.append(f"{label}: tool and schema disagree (schema: "
                                f"{schema_errors[0].message if schema_errors else 'valid'})")

    with tempfile.TemporaryDirectory() as tmp:
        settings = None
        for example in examples:
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
