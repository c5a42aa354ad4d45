"""python3 -m plover plot BLUEPRINT.json --port rx --channel 1 -o rx1.png

Draws a designed channel's response without writing code. Exit status: 0 on
success, 1 when the design fails (the report lines go to standard error),
2 for bad usage or an unreadable blueprint.
"""

import argparse
import os
import sys
import tempfile
from typing import List, Optional


def _parser() -> argparse.ArgumentParser:
    parser = argparse.ArgumentParser(prog="python3 -m plover", description="plover from the command line")
    commands = parser.add_subparsers(dest="command", required=True)
    plot = commands.add_parser("plot", help="draw the response of a designed channel to an image file")
    plot.add_argument("blueprint", help="blueprint file (JSON)")
    plot.add_argument("--port", choices=["rx", "tx"], required=True)
    plot.add_argument("--channel", type=int, choices=[1, 2], required=True)
    plot.add_argument("-o", "--output", required=True, help="image file to write (.png, .svg, .pdf)")
    plot.add_argument("--span", nargs=2, type=float, metavar=("START_HZ", "STOP_HZ"),
                      help="frequency span of the main plot")
    plot.add_argument("--stages", action="store_true", help="draw each stage of the chain as well")
    plot.add_argument("--expanded-search", action="store_true",
                      help="let the design retry from a 150 MHz system clock")
    return parser


def _save_atomically(figure, path: str) -> None:
    # Through a temporary file in the same folder, renamed over the target: a
    # failed run never leaves a half-written picture.
    folder, name = os.path.split(os.path.abspath(path))
    extension = os.path.splitext(name)[1].lstrip(".") or "png"
    handle, temporary = tempfile.mkstemp(prefix="." + name + ".", dir=folder)
    try:
        with os.fdopen(handle, "wb") as stream:
            figure.savefig(stream, format=extension, dpi=120)
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main(argv: Optional[List[str]] = None) -> int:
    arguments = _parser().parse_args(argv)
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as pyplot

    import plover
    import plover.plot

    try:
        blueprint = plover.Blueprint.load(arguments.blueprint)
    except (OSError, ValueError) as error:
        print("python3 -m plover: error: %s" % error, file=sys.stderr)
        return 2
    try:
        profile = plover.develop(blueprint, expanded_search=arguments.expanded_search)
        if arguments.stages:
            ax = plover.plot.chain(profile, arguments.port, arguments.channel)
        else:
            ax = plover.plot.response(profile, arguments.port, arguments.channel, span=arguments.span)
    except plover.DesignError as error:
        for line in error.reports or [error.message]:
            print(line, file=sys.stderr)
        return 1
    try:
        _save_atomically(ax.figure, arguments.output)
    except (OSError, ValueError) as error:
        print("python3 -m plover: error: %s" % error, file=sys.stderr)
        return 2
    finally:
        pyplot.close(ax.figure)
    print(arguments.output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
