#!/usr/bin/env python3
"""A second, independent statement of Zarta's rules that replays simulator traces.

It reads a JSON Lines trace of `zarta-sim` (or of the node simulator), plays
the same games from the trace's inputs and shuffle seconds with its own
card values, hand evaluation, dealer draw, keep rule, turn order, computer
player, settlement and game end, and compares every snapshot the trace holds.
The first difference stops the replay with the snapshot, the field, both
values and the game so far. It shares no code with the program and needs
nothing but the Python standard library.

Usage: referee.py TRACE.jsonl...      exit status 0 when every game agrees, 1 otherwise
"""

import json
import sys

# ---- Cards ------------------------------------------------------------------------

SUITS = "cdhs"  # clubs 1, diamonds 2, hearts 3, spades 4
RANKS = "789TJQKA"  # 7 .. 14
BACK = "--"  # a card back: no points, suit or rank
EMPTY = "00"  # a record never filled


def rank_of(card):
    return 0 if card in (BACK, EMPTY) else RANKS.index(card[0]) + 7


def suit_of(card):
    return 0 if card in (BACK, EMPTY) else SUITS.index(card[1]) + 1


def points_of(card):
    rank = rank_of(card)
    if rank == 14:
        return 11
    return min(rank, 10)


# The order the shuffle draws from: suit by suit, and in each suit the ace
# first, then 7 up to queen, then the king.
CATALOGUE = [r + s for s in SUITS for r in "A789TJQK"]


def shuffled_deck(seconds):
    """The deck for a shuffle seeded with `seconds`: draws of a Lehmer generator
    (multiplier 48271, modulus 2^31 - 1) modulo 32, a repeated card drawn again."""
    modulus = 2147483647
    state = seconds % modulus or 1
    deck = []
    while len(deck) < 32:
        state = state * 48271 % modulus
        card = CATALOGUE[state % 32]
        if card not in deck:
            deck.append(card)
    return deck


def value_of_three(cards):
    """A hand's value: the best suit's points, the highest card with three suits,
    30.5 for three of a rank and 91.5 for three aces."""
    a, b, c = cards
    if rank_of(a) == rank_of(b) == rank_of(c):
        return 91.5 if points_of(a) == 11 else 30.5
    if suit_of(a) == suit_of(b) == suit_of(c):
        return float(points_of(a) + points_of(b) + points_of(c))
    for x, y in ((a, b), (a, c), (b, c)):
        if suit_of(x) == suit_of(y):
            return float(points_of(x) + points_of(y))
    return float(max(points_of(a), points_of(b), points_of(c)))


def lowest_position(cards):
    """The position of the card with the fewest points, the first of equal ones."""
    best = 0
    for position in (1, 2):
        if points_of(cards[position]) < points_of(cards[best]):
            best = position
    return best


# ---- Ids -----------------------------------------------------------------------------

TABLE_CONTROLS = (11111, 11112, 11113)
SOUTH_CONTROLS = (11114, 11115, 11116)
STOP, PASS = 11132, 11133
NEW, ABOUT, EXIT, CLOSE = 40005, 40003, 40004, 1
MOVE_PASS, MOVE_STOP, MOVE_ONE, MOVE_ALL = 20001, 20002, 20003, 20004
SOUTH, WEST, NORTH, EAST = 1, 2, 3, 4
SEATS = (1, 2, 3, 4)
SEAT_NAMES = {1: "south", 2: "west", 3: "north", 4: "east"}


class Difference(Exception):
    """The program and the rules part ways."""


class Referee:
    def __init__(self, events, name):
        self.events = events
        self.name = name
        self.cursor = 0
        self.games_so_far = 0
        self.game_start_line = 0
        # The record at start-up: backs in every hand, nothing on the table, no lives.
        self.hands = {s: [BACK] * 3 for s in SEATS}
        self.table = [EMPTY] * 3
        self.deck = [EMPTY] * 32
        self.lives = {s: 0 for s in SEATS}
        self.value = {s: 0.0 for s in SEATS}
        self.finished = {s: 0 for s in SEATS}
        self.passed = {s: 0 for s in SEATS}
        self.pass_count = {s: 0 for s in SEATS}
        self.winners = {s: 0 for s in SEATS}
        self.losers = {s: 0 for s in SEATS}
        self.hand_sel = [0, 0, 0]
        self.table_sel = [0, 0, 0]
        self.current = SOUTH
        self.dealer = 0
        self.running = 0
        self.pending = 1
        self.first = 1
        self.stop = 0
        self.closing = 0
        self.aces = 0
        self.rounds_this_game = 0
        # What the board shows: the fifteen card controls by id, and the two buttons.
        self.shown = {control: False for control in range(11111, 11126)}
        self.shown[STOP] = self.shown[PASS] = False

    # ---- Reading the trace ----

    def next_event(self, what):
        if self.cursor >= len(self.events):
            self.fail(f"the trace ends where the rules expect {what}")
        event = self.events[self.cursor]
        self.cursor += 1
        return event

    def fail(self, message):
        raise Difference(message)

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

    # ---- Seats ----

    def next_live_seat(self, seat):
        for _ in SEATS:
            seat = 1 if seat == 4 else seat + 1
            if self.lives[seat] != 0:
                return seat
        self.fail("no seat has lives: the turn cannot pass on")

    def record_value(self, seat):
        """Values a seat's hand and records it; 31 or three aces close the round."""
        value = value_of_three(self.hands[seat])
        if value == 91.5:
            self.aces = 1
            self.closing = 1
        if value == 31.0:
            self.closing = 1
        self.value[seat] = value
        return value

    def show_cards(self, table_and_south, others):
        for control in range(11111, 11117):
            self.shown[control] = table_and_south
        for control in range(11117, 11126):
            self.shown[control] = others

    def reset_hands(self, refill_lives):
        for seat in SEATS:
            self.hands[seat] = [BACK] * 3
            self.finished[seat] = 0
            self.passed[seat] = 0
            if refill_lives:
                self.lives[seat] = 4
        self.show_cards(False, False)

    def clear_selections(self):
        self.hand_sel = [0, 0, 0]
        self.table_sel = [0, 0, 0]

    # ---- A new game and the deal ----

    def new_game(self):
        self.games_so_far += 1
        self.game_start_line = self.cursor
        self.rounds_this_game = 0
        self.reset_hands(True)
        self.clear_selections()
        self.expect_shuffle()
        # The dealer draw: each seat's middle card, the highest rank deals, later seats win ties.
        best_rank = 0
        for seat in SEATS:
            self.hands[seat][1] = self.deck[seat - 1]
            self.shown[11112 + 3 * seat] = True  # the seat's middle card control
            if rank_of(self.deck[seat - 1]) >= best_rank:
                best_rank = rank_of(self.deck[seat - 1])
                self.dealer = seat
        self.current = self.dealer
        self.running = 1
        self.pending = 1
        self.first = 1
        self.stop = 0
        self.closing = 0
        self.aces = 0
        self.expect_shuffle()
        self.shown[STOP] = self.shown[PASS] = False
        self.show_cards(False, False)
        self.deal_round(self.current)
        self.show_cards(True, False)
        self.current = self.next_live_seat(self.dealer)
        self.run_turns()

    def deal_round(self, seat):
        self.reset_hands(False)
        cursor = 0
        to_deal = {s: self.lives[s] > 0 for s in SEATS}
        for s in SEATS:
            if self.lives[s] == 0:
                self.finished[s] = 1
        while True:
            if self.pending:
                self.hands[seat] = self.deck[cursor:cursor + 3]
                cursor += 3
                if seat == SOUTH:
                    for control in SOUTH_CONTROLS:
                        self.shown[control] = True
                    answer = self.expect_answer("Keep this cards?", "Player choice:")
                else:
                    answer = 7 if self.record_value(seat) < 15.0 else 6
                if answer == 7:
                    self.hands[seat] = self.deck[cursor:cursor + 3]
                    cursor += 3
            else:
                self.hands[seat] = self.deck[cursor:cursor + 3]
                cursor += 3
            self.pending = 0
            to_deal[seat] = False
            self.record_value(seat)
            if not any(to_deal.values()):
                break
            seat = self.next_live_seat(seat)
        self.table = self.deck[cursor:cursor + 3]
        self.rounds_this_game += 1
        self.expect_state("deal")

    # ---- Turns ----

    def all_finished(self):
        return all(self.finished[s] for s in SEATS)

    def run_turns(self):
        while self.running:
            if self.all_finished():
                self.closing = 1
                self.settle()
                if not self.running:
                    break
            if self.current == SOUTH:
                if self.first:
                    self.shown[STOP], self.shown[PASS] = False, True
                elif self.closing:
                    self.shown[STOP], self.shown[PASS] = True, False
                else:
                    self.shown[STOP], self.shown[PASS] = True, True
                return
            self.computer_turn()
        self.show_cards(False, False)

    def computer_turn(self):
        seat = self.current
        self.shown[STOP] = self.shown[PASS] = False
        move = self.computer_decision(seat)
        if move in (MOVE_ONE, MOVE_ALL):
            self.exchange(seat)
            self.clear_selections()
        elif move == MOVE_STOP:
            self.finished[seat] = 1
            self.stop = 1
            self.current = self.next_live_seat(seat)
        else:
            self.passed[seat] = 1
            self.pass_count[seat] += 1
            self.current = self.next_live_seat(seat)
        self.first = 0
        self.expect_state("move", {"seat": seat, "move": move})

    def toggle(self, control):
        if control in TABLE_CONTROLS:
            position = control - 11111
            self.table_sel[position] ^= 1
        elif 11114 <= control <= 11125:
            position = (control - 11114) % 3
            self.hand_sel[position] ^= 1

    def exchange(self, seat):
        """Carries out the exchange the selections describe; the mover is `seat`."""
        hand = self.hands[seat]
        exchanged = False
        if all(self.table_sel) or all(self.hand_sel):
            hand[:], self.table[:] = list(self.table), list(hand)
            self.after_move(seat)
            exchanged = True
        if any(self.hand_sel) and any(self.table_sel):
            h = max(p for p in range(3) if self.hand_sel[p])
            t = max(p for p in range(3) if self.table_sel[p])
            hand[h], self.table[t] = self.table[t], hand[h]
            self.after_move(seat)
            exchanged = True
        if not exchanged:
            return
        value = value_of_three(hand)
        if value == 91.5 or value == 31.0:
            for s in SEATS:
                self.finished[s] = 1
        if value == 91.5:
            self.aces = 1
        self.value[seat] = value

    def after_move(self, seat):
        self.clear_selections()
        self.record_value(self.current)
        if seat == SOUTH and self.stop:
            self.finished[SOUTH] = 1
        self.current = self.next_live_seat(self.current)

    # ---- The computer player ----

    def computer_decision(self, seat):
        self.clear_selections()
        hand = self.hands[seat]
        suits = [suit_of(c) for c in hand]
        ranks = [rank_of(c) for c in hand]
        own = self.record_value(seat)
        table_value = value_of_three(self.table)
        table = self.table
        found = None  # (hand position, table position) of the exchange found
        pass_step = False

        suit_shape = 3 if suits[0] == suits[1] == suits[2] else 2 if len(set(suits)) == 2 else 0
        rank_shape = 3 if ranks[0] == ranks[1] == ranks[2] else 2 if len(set(ranks)) == 2 else 0

        if suit_shape == 0 and rank_shape == 0:
            # The best suit pair with a table card; else the last rank match. Either way
            # the card given away is the one with the fewest points.
            best = 0
            for h in range(3):
                for t in range(3):
                    total = points_of(hand[h]) + points_of(table[t])
                    if suits[h] == suit_of(table[t]) and total > best:
                        best = total
                        found = (lowest_position(hand), t)
            if found is None:
                for h in range(3):
                    for t in range(3):
                        if ranks[h] == rank_of(table[t]):
                            found = (lowest_position(hand), t)
        elif suit_shape == 0 and rank_shape == 2:
            pair_rank = max(set(ranks), key=ranks.count)
            odd = next(p for p in range(3) if ranks[p] != pair_rank)
            for t in range(3):
                if rank_of(table[t]) == pair_rank:
                    found = (odd, t)
            if found is None:
                for t in range(3):
                    if any(suit_of(table[t]) == suits[h] for h in range(3) if h != odd):
                        found = (odd, t)
            pass_step = found is None
        elif suit_shape == 0 and rank_shape == 3:
            if not table_value > own:
                if self.first:
                    self.passed[seat] = 1
                else:
                    self.finished[seat] = 1
                    self.stop = 1
        elif suit_shape == 2 and rank_shape == 0:
            group = max(set(suits), key=suits.count)
            odd = next(p for p in range(3) if suits[p] != group)
            for t in range(3):
                if suit_of(table[t]) == group:
                    found = (odd, t)
            if found is None:
                for t in range(3):
                    if any(rank_of(table[t]) == ranks[h] for h in range(3) if h != odd):
                        found = (odd, t)
            pass_step = found is None
        elif suit_shape == 2 and rank_shape == 2:
            pair_rank = max(set(ranks), key=ranks.count)
            group = max(set(suits), key=suits.count)
            rank_odd = next(p for p in range(3) if ranks[p] != pair_rank)
            suit_odd = next(p for p in range(3) if suits[p] != group)
            for t in range(3):
                if rank_of(table[t]) == pair_rank:
                    found = (rank_odd, t)
            if found is None:
                for t in range(3):
                    if suit_of(table[t]) == group:
                        found = (suit_odd, t)
            pass_step = found is None
        elif suit_shape == 3:
            give = lowest_position(hand)
            kept = sum(points_of(hand[p]) for p in range(3) if p != give)
            for t in range(3):
                if suit_of(table[t]) == suits[0] and kept + points_of(table[t]) > own:
                    found = (give, t)
            if found is None:
                if own >= 27.0:
                    self.finished[seat] = 1
                elif own <= 25.0:
                    pass_step = True

        if pass_step:
            self.passed[seat] = 1
            self.pass_count[seat] += 1
            if self.pass_count[seat] >= 3:
                self.finished[seat] = 1
                self.stop = 1

        move = MOVE_PASS
        if found is not None:
            move = MOVE_ONE
        else:
            if self.finished[seat]:
                move = MOVE_STOP
                self.stop = 1
                self.closing = 1
            if self.passed[seat]:
                move = MOVE_PASS
                if self.closing:
                    move = MOVE_STOP
                    self.stop = 1
        if self.stop:
            self.finished[seat] = 1
        if table_value in (31.0, 30.5, 91.5):
            move = MOVE_ALL
            self.table_sel = [1, 1, 1]
        elif move == MOVE_ONE:
            self.hand_sel[found[0]] = 1
            self.table_sel[found[1]] = 1
        return move

    # ---- The human's sequences ----

    def human_tap(self, control):
        if control == 0:
            return
        if control not in self.shown or not self.shown[control]:
            if 11111 <= control <= 11133:
                self.fail(f"line {self.cursor}: a tap hit control {control}, which the rules keep hidden now")
            return
        if control in TABLE_CONTROLS or control in SOUTH_CONTROLS:
            self.toggle(control)
            self.exchange(self.current)
            self.run_turns()
        elif control == STOP:
            self.stop = 1
            self.finished[SOUTH] = 1
            self.record_value(self.current)
            self.shown[STOP] = self.shown[PASS] = False
            self.clear_selections()
            self.current = self.next_live_seat(self.current)
            self.run_turns()
        elif control == PASS:
            if self.stop:
                self.finished[self.current] = 1
            self.shown[STOP] = self.shown[PASS] = False
            self.record_value(self.current)
            self.clear_selections()
            self.current = self.next_live_seat(self.current)
            self.run_turns()

    # ---- Settlement ----

    def settle(self):
        values = [self.value[s] for s in SEATS]
        for s in SEATS:
            self.winners[s] = int(all(self.value[s] >= self.value[o] for o in SEATS if o != s))
            self.losers[s] = 0
        all_equal = len(set(values)) == 1
        self.shown[STOP] = self.shown[PASS] = False
        if all_equal:
            self.expect_state("settle", {"scoring": 0})
        else:
            in_play = [s for s in SEATS if self.lives[s] > 0 and self.value[s] > 0.0]
            lowest = min(self.value[s] for s in in_play) if in_play else 99.0
            for s in in_play:
                if self.value[s] == lowest:
                    self.losers[s] = 1
            if self.aces:
                for s in SEATS:
                    if not self.winners[s]:
                        self.losers[s] = 1
            self.show_cards(True, True)
            for s in SEATS:
                if self.lives[s] <= 0:
                    self.value[s] = 0.0
                    self.lives[s] = 0
            for s in SEATS:
                if self.losers[s] and self.lives[s] > 0:
                    self.lives[s] -= 1
            self.expect_state("settle", {"scoring": 1})
            lost = self.lives[SOUTH] == 0
            won = not lost and all(self.lives[s] == 0 for s in (WEST, NORTH, EAST))
            if lost or won:
                self.expect_answer("You Lose..." if lost else "You Win...", "Game Over")
                self.expect_game_end("lose" if lost else "win")
                self.running = 0
                return
        # The next round, dealt by the next seat with lives.
        self.reset_hands(False)
        self.aces = 0
        self.first = 1
        self.pending = 1
        self.closing = 0
        self.stop = 0
        for s in SEATS:
            self.losers[s] = 0
            self.value[s] = 0.0
        self.dealer = self.next_live_seat(self.dealer)
        self.current = self.dealer
        self.expect_shuffle()
        self.deal_round(self.current)
        self.show_cards(True, False)
        self.current = self.next_live_seat(self.current)

    # ---- The whole trace ----

    def replay(self):
        """Replays every input; returns the number of games played to their end."""
        self.expect_state("start")
        finished_games = 0
        while self.cursor < len(self.events):
            line = self.cursor + 1
            event = self.next_event("an input")
            if event.get("ev") != "input" or event.get("kind") not in ("tap", "command"):
                self.fail(f"line {line}: the rules wait for an input here, the trace has {json.dumps(event)[:200]}")
            was_running = self.running
            if event["kind"] == "tap":
                self.human_tap(event["id"])
            elif event["id"] == NEW:
                self.new_game()
            elif event["id"] in (EXIT, CLOSE):
                if self.cursor != len(self.events):
                    self.fail(f"line {line}: the program has ended, yet the trace goes on")
                return finished_games
            if was_running and not self.running:
                finished_games += 1
            self.expect_state("input")
        return finished_games

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
