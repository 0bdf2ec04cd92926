#!/usr/bin/env python3
"""Runs one real-window scenario (tests/e2e/scenarios.py) in its own private X server, on
the harness in tools/harness, within a time limit.

    PYTHONPATH=tools driver.py --ravela build/ravela SCENARIO      exit status 0 when it passed
"""

import argparse
import os
import signal
import sys
import time

sys.dont_write_bytecode = True  # the harness leaves no __pycache__ in the source tree
import scenarios  # noqa: E402
from harness.xsession import Failure, x_session  # noqa: E402
from harness.steps import PretendPads  # noqa: E402


def on_deadline(_signum, _frame):
    raise Failure("the scenario ran past its time limit")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--ravela", required=True, help="the ravela program to play")
    parser.add_argument("--pretend-pads", help="the preloaded library that makes up pads")
    parser.add_argument("--time-limit", type=int, default=150, help="seconds before the driver gives up")
    parser.add_argument("scenario", choices=sorted(scenarios.SCENARIOS))
    args = parser.parse_args()
    PretendPads.library = args.pretend_pads and os.path.abspath(args.pretend_pads)
    signal.signal(signal.SIGALRM, on_deadline)
    signal.signal(signal.SIGTERM, on_deadline)
    signal.alarm(args.time_limit)
    started = time.monotonic()
    try:
        with x_session("ravela-e2e-") as (x, workdir):
            scenarios.SCENARIOS[args.scenario](x, os.path.abspath(args.ravela), workdir)
    except Failure as failure:
        print(f"FAILED {args.scenario}: {failure}", file=sys.stderr)
        return 1
    finally:
        signal.alarm(0)
    print(f"passed {args.scenario} in {time.monotonic() - started:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
