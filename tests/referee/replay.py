"""The trace replayer: plays the games of a `zarta-sim` trace by the rules from
its inputs and shuffle seconds, and compares every snapshot, shuffle, box and
game result the trace holds with what the rules give. The expert seats'
choices are read from the snapshots that follow them."""

import json

from cards import CATALOGUE, shuffled_deck
from computer import MOVE_ONE
from rules import CLOSE, EXIT, NEW, SEAT_NAMES, SEATS, Difference, Rules


class Referee(Rules):
    def __init__(self, events, name):
        super().__init__()
        self.events = events
        self.name = name
        self.cursor = 0
        self.games_so_far = 0
        self.game_start_line = 0
        self.shuffled = False

    # ---- Reading the trace ----

    def next_event(self, what):
        if self.cursor >= len(self.events):
            self.fail(f"the trace ends where the rules expect {what}")
        event = self.events[self.cursor]
        self.cursor += 1
        return event

    def expect_state(self, at, extra=None):
        line = self.cursor + 1
        event = self.next_event(f"a '{at}' snapshot")
        if event.get("ev") != "state" or event.get("at") != at:
            self.fail(f"line {line}: the rules expect a '{at}' snapshot here, the trace has {json.dumps(event)[:200]}")
        expected = {
            "current": self.current, "dealer": self.dealer, "running": self.running,
            "pending": self.pending, "first": self.first, "stop": self.stop,
            "closing": self.closing, "aces": self.aces,
            "lives": [self.lives[s] for s in SEATS], "values": [self.value[s] for s in SEATS],
            "finished": [self.finished[s] for s in SEATS], "passed": [self.passed[s] for s in SEATS],
            "passCount": [self.pass_count[s] for s in SEATS], "winners": [self.winners[s] for s in SEATS],
            "losers": [self.losers[s] for s in SEATS], "hands": [list(self.hands[s]) for s in SEATS],
            "table": list(self.table), "handSel": list(self.hand_sel), "tableSel": list(self.table_sel),
        }
        expected.update(extra or {})
        for field, want in expected.items():
            have = event.get(field)
            if not same(have, want):
                self.fail(f"line {line}: '{at}' snapshot, field '{field}': the trace has {shown(have)}, "
                          f"the rules give {shown(want)}")

    def expect_shuffle(self):
        line = self.cursor + 1
        event = self.next_event("a shuffle")
        if event.get("ev") != "shuffle":
            self.fail(f"line {line}: the rules shuffle here, the trace has {json.dumps(event)[:200]}")
        if self.shuffled:
            # A shuffled deal is drawn from the game's own seed: the trace holds
            # the deck, and it must be the 32 cards once each.
            deck = event.get("deck")
            if not isinstance(deck, list) or sorted(map(str, deck)) != sorted(CATALOGUE):
                self.fail(f"line {line}: the shuffled deck {deck} is not the 32 cards once each")
            self.deck = list(deck)
            return
        self.deck = shuffled_deck(event["seconds"])
        if event.get("deck") != self.deck:
            self.fail(f"line {line}: shuffle with seconds {event['seconds']}: the trace's deck is {event.get('deck')}, "
                      f"the rules give {self.deck}")

    def expect_answer(self, text, caption):
        line = self.cursor + 1
        event = self.next_event(f"an answer to \"{text}\"")
        if event.get("ev") != "input" or event.get("kind") != "answer" or event.get("text") != text \
                or event.get("caption") != caption:
            self.fail(f"line {line}: the rules show the box \"{text}\" / \"{caption}\" here, "
                      f"the trace has {json.dumps(event)[:200]}")
        return event.get("result")

    def expect_game_end(self, result):
        line = self.cursor + 1
        event = self.next_event("the game's end")
        want = {"ev": "game", "result": result, "rounds": self.rounds_this_game}
        if event != want:
            self.fail(f"line {line}: the game ends: the trace has {json.dumps(event)}, "
                      f"the rules give {json.dumps(want)}")

    # ---- The expert's choices, read ahead ----

    def where(self):
        return f"line {self.cursor + 1}: "

    def coming(self, at, what):
        """The next event, left unread, which must be an `at` snapshot."""
        event = self.events[self.cursor] if self.cursor < len(self.events) else None
        if event is None or event.get("ev") != "state" or event.get("at") != at:
            self.fail(f"{self.where()}the rules expect {what} here, the trace has "
                      f"{json.dumps(event)[:200] if event else 'nothing'}")
        return event

    def expert_keeps(self, seat, second_hand):
        # The deal's snapshot shows which hand the dealer took; a hand that is neither is
        # reported by the comparison of that snapshot.
        dealt = self.coming("deal", "the deal")
        hands = dealt.get("hands")
        return not (isinstance(hands, list) and len(hands) == 4 and hands[seat - 1] == second_hand)

    def expert_choice(self, seat):
        moved = self.coming("move", f"{SEAT_NAMES[seat]}'s move")
        if moved.get("seat") != seat:
            self.fail(f"{self.where()}the rules expect {SEAT_NAMES[seat]}'s move here, the trace has the move "
                      f"of seat {moved.get('seat')}")
        move = moved.get("move")
        if move != MOVE_ONE:
            return move, None, None
        # The card given away lies where the one taken lay.
        try:
            hand, table = moved["hands"][seat - 1], moved["table"]
            swaps = [(h, t) for h in range(3) for t in range(3)
                     if table[t] == self.hands[seat][h] and hand[h] == self.table[t]]
        except (KeyError, IndexError, TypeError):
            swaps = []
        if len(swaps) != 1:
            self.fail(f"{self.where()}{SEAT_NAMES[seat]} exchanges one card, yet the trace's hands and table "
                      f"show no single card exchanged")
        return (move, *swaps[0])

    # ---- The whole trace ----

    def replay(self):
        """Replays every input; returns the number of games played to their end."""
        if self.events and self.events[0].get("ev") == "table":
            self.cursor = 1
            table = self.events[0]
            if table.get("computer") not in ("classic", "expert") or table.get("deal", "described") not in \
                    ("described", "shuffled") or (table.get("computer") == "classic" and "deal" not in table):
                self.fail(f"line 1: the trace's table is {json.dumps(table)}, the rules know the classic player "
                          f"and the expert, and the described and the shuffled deal")
            self.expert = table.get("computer") == "expert"
            self.shuffled = table.get("deal") == "shuffled"
        self.expect_state("start")
        finished_games = 0
        while self.cursor < len(self.events):
            line = self.cursor + 1
            event = self.next_event("an input")
            if event.get("ev") != "input" or event.get("kind") not in ("tap", "command"):
                self.fail(f"line {line}: the rules wait for an input here, the trace has {json.dumps(event)[:200]}")
            was_running = self.running
            if event["kind"] == "tap":
                self.tap(event["id"])
            elif event["id"] == NEW:
                self.games_so_far += 1
                self.game_start_line = self.cursor
                self.new_game()
            elif event["id"] in (EXIT, CLOSE):
                if self.cursor != len(self.events):
                    self.fail(f"line {line}: the program has ended, yet the trace goes on")
                return finished_games
            if was_running and not self.running:
                finished_games += 1
            self.expect_state("input")
        return finished_games

    def tap(self, control):
        """The human's tap; one that hits a control the rules keep hidden is a difference."""
        if not self.is_shown(control) and 11111 <= control <= 11133:
            self.fail(f"line {self.cursor}: a tap hit control {control}, which the rules keep hidden now")
        self.human_tap(control)

    def game_so_far(self):
        lines = []
        for event in self.events[self.game_start_line:self.cursor]:
            if event.get("ev") == "input":
                lines.append(f"{event['kind']} {event.get('id', event.get('result'))}")
            elif event.get("ev") == "state" and event.get("at") in ("deal", "move", "settle"):
                mover = f" {SEAT_NAMES.get(event.get('seat'), '')} {event.get('move', '')}".rstrip()
                lines.append(f"{event['at']}{mover}: hands {event['hands']} table {event['table']} "
                             f"values {event['values']}")
        return lines[-30:]


def shown(value):
    """JSON as the trace writes it: whole values without a fraction."""
    if isinstance(value, float) and value.is_integer():
        return json.dumps(int(value))
    if isinstance(value, list):
        return "[" + ",".join(shown(v) for v in value) + "]"
    return json.dumps(value)


def same(have, want):
    if isinstance(want, list):
        return isinstance(have, list) and len(have) == len(want) and all(same(h, w) for h, w in zip(have, want))
    if isinstance(want, float) or isinstance(have, float):
        return isinstance(have, (int, float)) and float(have) == float(want)
    return have == want


def replay_file(path):
    """Returns (games played to the end, None) or (games, the report of the first difference)."""
    with open(path, encoding="utf-8") as trace:
        events = [json.loads(line) for line in trace if line.strip()]
    referee = Referee(events, path)
    try:
        return referee.replay(), None
    except Difference as difference:
        report = [f"{path}: game {referee.games_so_far}: {difference}", "  the game so far (last 30 events):"]
        report += ["    " + line for line in referee.game_so_far()]
        return referee.games_so_far, "\n".join(report)
