#!/usr/bin/env python3
"""The installed man pages and bash completion cover every subcommand the tool has.

    cli_docs_test.py --build BUILD_DIR
Installs the build into a scratch prefix, then checks what a user's system would get.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", required=True)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as prefix:
        subprocess.run(["cmake", "--install", args.build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        root = Path(prefix)
        plover = root / "bin" / "plover"
        help_text = subprocess.run([plover, "--help"], check=True, capture_output=True, text=True).stdout
        commands = re.findall(r"^  (\S+)\s", help_text.split("Subcommands:", 1)[1], re.M)
        assert commands, "no subcommands in plover --help"
        failures = []

        man = root / "share" / "man" / "man1"
        if (man / "plover.1").exists():
            # roff writes a hyphen as \-
            main_page = (man / "plover.1").read_text().replace("\\-", "-")
            for command in commands:
                page = man / f"plover-{command}.1"
                if command not in main_page:
                    failures.append(f"plover.1 does not mention {command}")
                if not page.exists() or f"plover-{command}" not in page.read_text().replace("\\-", "-"):
                    failures.append(f"{page.name} missing or not about plover {command}")
        elif subprocess.run(["sh", "-c", "command -v help2man"], capture_output=True).returncode == 0:
            failures.append("man pages not installed although help2man is present")

        script = root / "share" / "bash-completion" / "completions" / "plover"
        text = script.read_text()
        for command in commands:
            if not re.search(rf"^    {re.escape(command)}\)$", text, re.M):
                failures.append(f"completion has no case for {command}")
        # Complete the way bash would: subcommand names, then an option's listed choices.
        probe = f"""
            source /usr/share/bash-completion/bash_completion 2>/dev/null || _init_completion() {{
                cur=${{COMP_WORDS[COMP_CWORD]}}; prev=${{COMP_WORDS[COMP_CWORD-1]}}; words=("${{COMP_WORDS[@]}}"); cword=$COMP_CWORD; }}
            source {script}
            t() {{ COMP_LINE="$*"; COMP_POINT=${{#COMP_LINE}}; read -ra COMP_WORDS <<<"$*"
                  [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
                  COMP_CWORD=$((${{#COMP_WORDS[@]}}-1)); COMPREPLY=(); _plover; echo "${{COMPREPLY[*]}}"; }}
            t "plover "
            t "plover response --port "
            t "plover design x.json --feature F"
        """
        out = subprocess.run(["bash", "-c", probe], capture_output=True, text=True).stdout.splitlines()
        if len(out) != 3 or set(commands) - set(out[0].split()) or out[1].split() != ["rx", "tx"] \
                or "FH" not in out[2].split():
            failures.append(f"completion answers {out!r}")
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
