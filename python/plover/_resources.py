"""Where the bundled stream resources are."""

import os

from . import _plover


def top_level_folder() -> str:
    """The stream top-level folder of the bundled resources.

    Beside an installed package first, then the source tree the module was built from.
    """
    relative, source = _plover.resource_candidates()
    here = os.path.dirname(os.path.abspath(__file__))
    for root in (os.path.normpath(os.path.join(here, relative)), source):
        folder = os.path.join(root, "asm", "marlin", "top_level")
        if os.path.isdir(folder):
            return folder
    raise OSError("the bundled stream resources are missing (looked in %s and %s)"
                  % (os.path.normpath(os.path.join(here, relative)), source))
