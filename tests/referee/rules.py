"""The rules of Zarta as the referee states them: the board's ids, the turn
order, the dealer draw and the deal with its keep rule, exchanges, the human's
taps, settlement and the game's end. What the program must show on the way
(snapshots, shuffles, boxes, the game's result) goes to the expect_ methods,
which the replayer checks against a trace."""

import computer
from cards import BACK, EMPTY, rank_of, value_of_three
from computer import MOVE_ALL, MOVE_ONE, MOVE_STOP

# ---- The board's ids and the seats ------------------------------------------------

TABLE_CONTROLS = (11111, 11112, 11113)
SOUTH_CONTROLS = (11114, 11115, 11116)
STOP, PASS = 11132, 11133
NEW, ABOUT, EXIT, CLOSE = 40005, 40003, 40004, 1
SOUTH, WEST, NORTH, EAST = 1, 2, 3, 4
SEATS = (1, 2, 3, 4)
SEAT_NAMES = {1: "south", 2: "west", 3: "north", 4: "east"}


class Difference(Exception):
    """The program and the rules part ways."""


class Rules:
    """The game's record and board by the rules, and the sequences that change them."""

    def __init__(self):
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
        # The computer seats: the classic player the rules decide for, or the expert, whose
        # choices the rules only check.
        self.expert = False
        # What the board shows: the fifteen card controls by id, and the two buttons.
        self.shown = {control: False for control in range(11111, 11126)}
        self.shown[STOP] = self.shown[PASS] = False

    # ---- What the program must show ----

    def expect_state(self, at, extra=None):
        """A snapshot `at` here, with the rules' state and the `extra` fields."""
        raise NotImplementedError

    def expect_shuffle(self):
        """A shuffle here; sets the deck."""
        raise NotImplementedError

    def expect_answer(self, text, caption):
        """The box `text` / `caption` here; returns the answer given."""
        raise NotImplementedError

    def expect_game_end(self, result):
        """The game's result here."""
        raise NotImplementedError

    def expert_keeps(self, seat, second_hand):
        """Whether the expert dealer `seat` keeps its first hand rather than take `second_hand`."""
        raise NotImplementedError

    def expert_choice(self, seat):
        """The expert seat's move: (move, hand position, table position), the positions for an
        exchange of one card only."""
        raise NotImplementedError

    def where(self):
        """Where a violation of the rules lies, for its report."""
        return ""

    def fail(self, message):
        raise Difference(message)

    def is_shown(self, control):
        return self.shown.get(control, False)

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
                    value = self.record_value(seat)
                    if self.expert:
                        keeps = self.expert_keeps(seat, self.deck[cursor:cursor + 3])
                    else:
                        keeps = value >= 15.0
                    answer = 6 if keeps else 7
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

    def computer_decision(self, seat):
        if self.expert:
            return computer.take_expert_move(self, seat, *self.expert_choice(seat))
        return computer.decide(self, seat)

    # ---- The human's sequences ----

    def human_tap(self, control):
        if control == 0:
            return
        if not self.is_shown(control):
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
