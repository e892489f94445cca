"""Named checks for the scripts that try the real program: each prints "ok" or
"FAILED" with what it saw, and the script's status says whether all held."""


class Checks:
    def __init__(self):
        self.failed = []

    def __call__(self, condition, message):
        print(("ok      " if condition else "FAILED  ") + message, flush=True)
        if not condition:
            self.failed.append(message)

    def status(self):
        return 1 if self.failed else 0
