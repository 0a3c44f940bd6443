#!/usr/bin/env python3
"""A second, independent statement of Zarta's rules that replays simulator traces.

It reads a JSON Lines trace of `zarta-sim` (or of the node simulator), plays
the same games from the trace's inputs and shuffle seconds with its own
card values, hand evaluation, dealer draw, keep rule, turn order, computer
player, settlement and game end, and compares every snapshot the trace holds.
The first difference stops the replay with the snapshot, the field, both
values and the game so far. At an expert table (the trace's first line says
so) the computer seats' moves and the dealer's keep or exchange are read from
the snapshots that show them, and checked. It shares no code with the program and needs
nothing but the Python standard library: cards.py holds the card and hand
values and the shuffle, computer.py the computer player's decision, rules.py
the deal, the turn order and the settlement, replay.py the trace replayer.

Usage: referee.py TRACE.jsonl...      exit status 0 when every game agrees, 1 otherwise
"""

import sys

from cards import CATALOGUE, shuffled_deck, value_of_three  # noqa: F401
from computer import MOVE_ALL, MOVE_ONE, MOVE_PASS, MOVE_STOP  # noqa: F401
from replay import Referee, replay_file  # noqa: F401
from rules import SEATS, Difference  # noqa: F401


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    games = 0
    for path in paths:
        played, report = replay_file(path)
        games += played
        if report:
            print(report, file=sys.stderr)
            return 1
    print(f"referee: {games} games in {len(paths)} traces replayed, no difference")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
