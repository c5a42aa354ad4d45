"""The package's own exception."""

from typing import List, Optional, Sequence


class DesignError(Exception):
    """The library could not do what was asked.

    ``reports`` holds the library's report lines of the failed call, each
    ``<LEVEL>: In <unit> on line <n>: <text>`` exactly as stored (the lines the
    command-line tool prints on standard error); the message shows them too.
    ``status`` is the library's status code of the failed step.
    """

    def __init__(self, message: str, reports: Sequence[str] = (), status: Optional[int] = None) -> None:
        self.message = message
        self.reports: List[str] = list(reports)
        self.status = status
        super().__init__("\n".join([message] + self.reports))

    def __reduce__(self):
        return (DesignError, (self.message, self.reports, self.status))
