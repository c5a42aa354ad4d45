#!/usr/bin/env python3
"""Man pages and bash completion for the plover tool, read off the tool's own help.

    python3 tools/gen/cli_docs.py --plover build/tools/plover --out build/cli-docs

Writes OUT/man1/plover.1 and OUT/man1/plover-<subcommand>.1 (with help2man, from each
`--help`) and OUT/completion/plover (a bash completion script). Reading the help at build time
keeps both in step with the command definitions: nothing here lists an option by hand.
"""
import argparse
import json
import os
import re
import shlex
import stat
import subprocess
import sys
import tempfile
from pathlib import Path


def run(args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def subcommands(plover):
    """(name, description) of each subcommand in `plover --help`."""
    text = run([plover, "--help"])
    body = text.split("Subcommands:", 1)[1] if "Subcommands:" in text else ""
    found = []
    for line in body.splitlines():
        m = re.match(r"^  (\S+)\s+(.*)$", line)
        if m:
            found.append((m.group(1), m.group(2).strip()))
    return found


def options(help_text):
    """Each option of a subcommand's help: its names and its choices when they are listed."""
    found = []
    for line in help_text.splitlines():
        m = re.match(r"^  (-[^\s]+)(?:\s+(\S+))?", line)
        if not m:
            continue
        names = [n for n in m.group(1).split(",") if n.startswith("-")]
        kind = m.group(2) or ""
        choices = re.search(r":\{([^}]*)\}", kind)
        takes_value = bool(kind) and kind not in ("Excludes:", "Needs:") and not kind.startswith("Excludes")
        found.append({
            "names": names,
            "value": takes_value and kind.split(":")[0].isupper(),
            "file": kind.split(":")[0] == "TEXT",
            "choices": choices.group(1).split(",") if choices else [],
        })
    return found


def features_from_help(plover):
    """Feature IDs and fields as `--feature` lists them in a subcommand's help:
    "  FH: mode (a whole number in 0..4), minFrameDuration_us (...)"."""
    table = {}
    text = run([plover, "design", "--help"])
    listing = text.split("IDs and fields:", 1)[1] if "IDs and fields:" in text else ""
    for line in listing.splitlines()[1:]:
        m = re.match(r"^\s{8,}(\w+)(?::\s*(.*))?$", line)
        if not m:
            break
        table[m.group(1)] = re.findall(r"(\w+) \(", m.group(2) or "")
    return table


def features(plover):
    """Feature IDs and their fields, from `plover features --json` when the tool has it,
    else from the `--feature` option's help."""
    try:
        listing = json.loads(run([plover, "features", "--json"]))
    except (subprocess.CalledProcessError, json.JSONDecodeError, OSError):
        return features_from_help(plover)
    items = listing.get("features", listing) if isinstance(listing, dict) else listing
    table = {}
    for item in items if isinstance(items, list) else []:
        if not isinstance(item, dict):
            continue
        fields = [f.get("name", "") for f in item.get("fields", []) if isinstance(f, dict)]
        for key in ("id", "alias", "aliases"):
            ids = item.get(key)
            for ident in ids if isinstance(ids, list) else [ids]:
                if isinstance(ident, str) and ident:
                    table[ident] = [f for f in fields if f]
    return table


def man_pages(plover, version, commands, out):
    out.mkdir(parents=True, exist_ok=True)
    base = ["help2man", "--no-info", "--no-discard-stderr", f"--version-string={version}"]
    number = version.split()[1] if len(version.split()) > 1 else version
    subprocess.run(base + ["--name=designs device profiles for the Marlin RF transceiver",
                           "--section=1", "--output", str(out / "plover.1"), plover], check=True)
    with tempfile.TemporaryDirectory() as tmp:
        for name, description in commands:
            # help2man names a page after the program it runs.
            wrapper = Path(tmp) / f"plover-{name}"
            wrapper.write_text(f"#!/bin/sh\nexec {shlex.quote(os.path.abspath(plover))} {name} \"$@\"\n")
            wrapper.chmod(wrapper.stat().st_mode | stat.S_IXUSR)
            subprocess.run(base[:-1] + [f"--version-string=plover-{name} {number}", f"--name={description}", "--section=1",
                                   "--output", str(out / f"plover-{name}.1"), str(wrapper)], check=True)


def completion(commands, per_command, feature_table):
    """A bash completion script: subcommands, their options and choices, feature IDs and
    fields after --feature, and file names everywhere else."""
    lines = [
        "# bash completion for plover; generated from the tool's own help by tools/gen/cli_docs.py",
        "_plover()",
        "{",
        "    local cur prev words cword",
        "    _init_completion -n = || return",
        f"    local commands={shlex.quote(' '.join(n for n, _ in commands))}",
        "    local sub= i",
        "    for ((i = 1; i < cword; i++)); do",
        "        case \" $commands \" in *\" ${words[i]} \"*) sub=${words[i]}; break ;; esac",
        "    done",
        "    if [[ -z $sub ]]; then",
        "        COMPREPLY=($(compgen -W \"$commands --help --version\" -- \"$cur\"))",
        "        return",
        "    fi",
    ]
    ids = sorted(feature_table)
    lines += [
        "    if [[ $prev == --feature ]]; then",
        "        if [[ $cur == *:* ]]; then",
        "            local id=${cur%%:*} rest=${cur#*:} fields=",
        "            case $id in",
    ]
    for ident in ids:
        lines.append(f"                {shlex.quote(ident)}) fields={shlex.quote(' '.join(feature_table[ident]))} ;;")
    lines += [
        "            esac",
        "            local head=${rest%,*}; [[ $head == \"$rest\" ]] && head= || head=\"$head,\"",
        "            local f; COMPREPLY=()",
        "            for f in $fields; do [[ $f= == ${rest##*,}* ]] && COMPREPLY+=(\"$id:$head$f=\"); done",
        "            compopt -o nospace",
        "        else",
        f"            COMPREPLY=($(compgen -W {shlex.quote(' '.join(ids))} -- \"$cur\"))",
        "        fi",
        "        return",
        "    fi",
        "    case $sub in",
    ]
    for name, _ in commands:
        opts = per_command.get(name, [])
        words = " ".join(n for o in opts for n in o["names"])
        lines.append(f"    {name})")
        lines.append("        case $prev in")
        for o in opts:
            if o["choices"]:
                lines.append(f"            {'|'.join(o['names'])}) COMPREPLY=($(compgen -W "
                             f"{shlex.quote(' '.join(o['choices']))} -- \"$cur\")); return ;;")
            elif o["value"] and "--feature" not in o["names"]:
                action = "_filedir" if o["file"] else "COMPREPLY=()"
                lines.append(f"            {'|'.join(o['names'])}) {action}; return ;;")
        lines.append("        esac")
        lines.append(f"        if [[ $cur == -* ]]; then COMPREPLY=($(compgen -W {shlex.quote(words)} -- \"$cur\")); "
                     "else _filedir; fi")
        lines.append("        ;;")
    lines += ["    esac", "}", "complete -F _plover plover", ""]
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--plover", required=True)
    parser.add_argument("--out", required=True, type=Path)
    parser.add_argument("--no-man", action="store_true", help="skip the man pages (no help2man)")
    args = parser.parse_args()
    commands = subcommands(args.plover)
    if not commands:
        sys.exit("cli_docs.py: no subcommands in the tool's --help")
    per_command = {name: options(run([args.plover, name, "--help"])) for name, _ in commands}
    if not args.no_man:
        version = run([args.plover, "--version"]).strip()
        man_pages(args.plover, version, commands, args.out / "man1")
    (args.out / "completion").mkdir(parents=True, exist_ok=True)
    (args.out / "completion" / "plover").write_text(completion(commands, per_command, features(args.plover)))


if __name__ == "__main__":
    main()
