#!/usr/bin/env python3
"""The referee's own rules against cases worked out by hand."""

import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import referee  # noqa: E402
from referee import MOVE_ALL, MOVE_ONE, MOVE_PASS, MOVE_STOP, value_of_three  # noqa: E402


class Table(referee.Referee):
    """A referee at a table set by hand: snapshots, shuffles and boxes are not read from a trace."""

    def __init__(self):
        super().__init__([], "by hand")
        self.lives = {s: 4 for s in referee.SEATS}
        self.running = 1
        self.first = 0
        self.pending = 0
        self.snapshots = []
        self.choices = []  # the expert's moves, in turn
        self.dealer_keeps = True

    def expert_choice(self, seat):
        return self.choices.pop(0)

    def expert_keeps(self, seat, second_hand):
        return self.dealer_keeps

    def expect_state(self, at, extra=None):
        self.snapshots.append((at, extra))

    def expect_shuffle(self):
        self.deck = referee.shuffled_deck(0)

    def expect_answer(self, text, caption):
        self.snapshots.append((text, caption))
        return 1

    def expect_game_end(self, result):
        self.snapshots.append(("game", result))


class HandValues(unittest.TestCase):
    def test_values_of_every_shape(self):
        cases = [
            (["Kc", "Kd", "Ks"], 30.5), (["Ac", "Ad", "Ah"], 91.5), (["Ah", "Kh", "Qh"], 31.0),
            (["Ac", "Tc", "9c"], 30.0), (["7s", "8s", "9s"], 24.0), (["7c", "8c", "Ah"], 15.0),
            (["Ac", "Td", "9h"], 11.0), (["7c", "Ah", "8c"], 15.0), (["Jd", "7c", "Qd"], 20.0),
            (["--", "--", "--"], 30.5),
        ]
        for cards, value in cases:
            self.assertEqual(value_of_three(cards), value, cards)

    def test_the_shuffle_deals_every_card_once_and_repeats_for_the_same_seconds(self):
        for seconds in (0, 1, 59):
            deck = referee.shuffled_deck(seconds)
            self.assertEqual(sorted(deck), sorted(referee.CATALOGUE))
            self.assertEqual(deck, referee.shuffled_deck(seconds))
        self.assertNotEqual(referee.shuffled_deck(1), referee.shuffled_deck(2))


def decide(hand, table, **state):
    game = Table()
    game.hands[2] = hand
    game.table = table
    for name, value in state.items():
        if isinstance(getattr(game, name), dict):
            getattr(game, name)[2] = value
        else:
            setattr(game, name, value)
    move = game.computer_decision(2)
    return game, move


class ComputerPlayer(unittest.TestCase):
    def test_mixed_hands_give_away_the_weakest_card(self):
        game, move = decide(["7c", "Td", "Ah"], ["Kc", "8s", "9s"])
        self.assertEqual((move, game.hand_sel, game.table_sel), (MOVE_ONE, [1, 0, 0], [1, 0, 0]))
        game, move = decide(["9c", "Td", "8h"], ["Tc", "9d", "7s"])  # two pairs worth 19: the first found
        self.assertEqual((game.hand_sel, game.table_sel), ([0, 0, 1], [1, 0, 0]))
        game, move = decide(["7c", "8d", "9h"], ["9s", "7s", "Qs"])  # rank matches: the last found
        self.assertEqual((game.hand_sel, game.table_sel), ([1, 0, 0], [1, 0, 0]))

    def test_pairs_are_completed_from_the_highest_table_position(self):
        game, move = decide(["Ac", "8d", "8h"], ["8s", "Kd", "8c"])
        self.assertEqual((move, game.hand_sel, game.table_sel), (MOVE_ONE, [1, 0, 0], [0, 0, 1]))
        game, move = decide(["7c", "7d", "Kc"], ["9h", "Ac", "8c"])
        self.assertEqual((game.hand_sel, game.table_sel), ([0, 1, 0], [0, 0, 1]))

    def test_one_suit_hands_improve_stop_or_wait(self):
        game, move = decide(["7c", "9c", "Tc"], ["8c", "Ac", "Qs"])
        self.assertEqual((move, game.hand_sel, game.table_sel), (MOVE_ONE, [1, 0, 0], [0, 1, 0]))
        game, move = decide(["Tc", "9c", "7c"], ["8c", "8d", "Qs"])
        self.assertEqual((game.hand_sel, game.table_sel), ([0, 0, 1], [1, 0, 0]))
        game, move = decide(["7c", "9c", "Tc"], ["8d", "Ad", "Qs"])  # 26: neither pass step nor finish
        self.assertEqual((move, game.passed[2], game.pass_count[2], game.finished[2]), (MOVE_PASS, 0, 0, 0))
        game, move = decide(["8c", "9c", "Tc"], ["8d", "Ad", "Qs"])  # 27 with nothing better: Stop
        self.assertEqual((move, game.finished[2], game.stop, game.closing), (MOVE_STOP, 1, 1, 1))
        game, move = decide(["7c", "8c", "Tc"], ["8d", "Ad", "Qs"])  # 25: the pass step counts
        self.assertEqual((move, game.passed[2], game.pass_count[2]), (MOVE_PASS, 1, 1))

    def test_the_third_counted_pass_says_stop(self):
        game, move = decide(["7c", "8c", "Ah"], ["9d", "Ts", "Kd"], pass_count=2)
        self.assertEqual((move, game.pass_count[2], game.finished[2], game.stop), (MOVE_STOP, 3, 1, 1))

    def test_a_table_worth_31_or_a_rank_is_taken_whole(self):
        for table in (["Ah", "Kh", "Qh"], ["9c", "9d", "9s"]):
            game, move = decide(["7c", "9c", "Tc"], table)
            self.assertEqual((move, game.table_sel), (MOVE_ALL, [1, 1, 1]), table)

    def test_after_a_stop_every_computer_move_is_its_last(self):
        game, move = decide(["7c", "8d", "Ah"], ["9s", "Ts", "Ks"], stop=1)
        self.assertEqual((move, game.finished[2]), (MOVE_PASS, 1))
        game, move = decide(["7c", "8d", "Ah"], ["9s", "Ts", "Ks"], closing=1)
        self.assertEqual(move, MOVE_PASS)
        game, move = decide(["7c", "8d", "Ah"], ["9s", "Ts", "Ks"], closing=1, passed=1)
        self.assertEqual((move, game.stop), (MOVE_STOP, 1))

    def test_three_of_a_rank_waits_on_the_first_move_only(self):
        game, move = decide(["Kc", "Kd", "Ks"], ["7h", "8h", "Th"], first=1)
        self.assertEqual((move, game.passed[2], game.pass_count[2]), (MOVE_PASS, 1, 0))
        game, move = decide(["Kc", "Kd", "Ks"], ["7h", "8h", "Th"])
        self.assertEqual(move, MOVE_STOP)
        game, move = decide(["Kc", "Kd", "Ks"], ["7c", "7d", "7h"])  # a table worth as much: still Stop,
        self.assertEqual((move, game.finished[2]), (MOVE_ALL, 1))  # but the table's rank is taken whole
        game, move = decide(["Ac", "Ad", "As"], ["7h", "8h", "Th"], first=1)
        self.assertEqual(move, MOVE_STOP)


class ExpertSeats(unittest.TestCase):
    """The expert's moves are taken as given; the rules check them and carry them out."""

    def table(self, *choices, **state):
        game = Table()
        game.expert = True
        game.hands = {1: ["7c", "8d", "Ah"], 2: ["9s", "Ts", "Ks"], 3: ["7h", "8h", "Th"], 4: ["Jc", "Qd", "Kh"]}
        game.table = ["9c", "Ad", "Qs"]
        game.current = 2
        game.choices = list(choices)
        for name, value in state.items():
            setattr(game, name, value)
        return game

    def test_a_stop_closes_the_round_and_makes_every_later_move_the_last(self):
        game = self.table((MOVE_STOP, None, None), (MOVE_PASS, None, None), (MOVE_ONE, 0, 2))
        game.computer_turn()
        self.assertEqual((game.stop, game.closing, game.finished[2], game.pass_count[2], game.current), (1, 1, 1, 0, 3))
        game.computer_turn()
        self.assertEqual((game.passed[3], game.pass_count[3], game.finished[3]), (1, 1, 1))
        game.computer_turn()
        self.assertEqual((game.hands[4], game.table, game.finished[4], game.current), (["Qs", "Qd", "Kh"],
                         ["9c", "Ad", "Jc"], 1, 1))

    def test_before_a_stop_a_pass_counts_once_and_an_exchange_finishes_nothing(self):
        game = self.table((MOVE_PASS, None, None), (MOVE_ALL, None, None))
        game.computer_turn()
        self.assertEqual((game.passed[2], game.pass_count[2], game.finished[2], game.stop), (1, 1, 0, 0))
        game.computer_turn()
        self.assertEqual((game.hands[3], game.table, game.finished[3]), (["9c", "Ad", "Qs"], ["7h", "8h", "Th"], 0))

    def test_no_stop_on_the_first_turn_nor_after_a_stop_and_no_unknown_move(self):
        for state, choice, why in [({"first": 1}, MOVE_STOP, "first turn"), ({"stop": 1}, MOVE_STOP, "after a Stop"),
                                   ({}, 0, "none of")]:
            with self.assertRaisesRegex(referee.Difference, why):
                self.table((choice, None, None), **state).computer_turn()

    def test_the_dealer_keeps_or_takes_the_second_hand_as_it_chose(self):
        for keeps, hand in ((True, slice(0, 3)), (False, slice(3, 6))):
            game = self.table(pending=1, dealer_keeps=keeps)
            game.expect_shuffle()
            game.deal_round(2)
            self.assertEqual(game.hands[2], game.deck[hand])
            self.assertEqual(game.table, game.deck[15:18] if not keeps else game.deck[12:15])


def settle(values, lives=(4, 4, 4, 4), aces=0):
    game = Table()
    for seat, value in zip(referee.SEATS, values):
        game.value[seat] = float(value)
    for seat, count in zip(referee.SEATS, lives):
        game.lives[seat] = count
    game.aces = aces
    game.settle()
    return game


class Settlement(unittest.TestCase):
    def test_the_lowest_live_hands_lose_a_life(self):
        self.assertEqual(settle([20, 25, 25, 18]).lives, {1: 4, 2: 4, 3: 4, 4: 3})
        self.assertEqual(settle([21, 15, 30, 15]).lives, {1: 4, 2: 3, 3: 4, 4: 3})
        self.assertEqual(settle([26, 18, 0, 18], lives=(4, 4, 0, 4)).lives, {1: 4, 2: 3, 3: 0, 4: 3})

    def test_after_three_aces_everyone_without_the_best_hand_loses(self):
        self.assertEqual(settle([31, 91.5, 20, 15], aces=1).lives, {1: 3, 2: 4, 3: 3, 4: 3})

    def test_four_equal_hands_are_dealt_again_with_no_life_lost(self):
        game = settle([24, 24, 24, 24])
        self.assertEqual(game.lives, {1: 4, 2: 4, 3: 4, 4: 4})
        self.assertEqual(game.snapshots[0], ("settle", {"scoring": 0}))

    def test_the_game_ends_with_the_human_or_the_last_computer_seat(self):
        game = settle([15, 20, 20, 20], lives=(1, 1, 1, 1))
        self.assertIn(("You Lose...", "Game Over"), game.snapshots)
        game = settle([15, 15, 0, 0], lives=(1, 1, 0, 0))
        self.assertIn(("You Lose...", "Game Over"), game.snapshots)  # the human is out in the same round
        game = settle([20, 15, 0, 0], lives=(1, 1, 0, 0))
        self.assertIn(("You Win...", "Game Over"), game.snapshots)


class Replay(unittest.TestCase):
    """A trace handed in by the build: one difference planted in it must be reported."""

    trace = None

    def test_a_planted_difference_is_reported_with_its_line_and_field(self):
        if not self.trace:
            self.skipTest("no trace given")
        with open(self.trace, encoding="utf-8") as source:
            lines = source.read().splitlines()
        self.assertEqual(referee.replay_file(self.trace)[1], None)
        planted = [("values", lambda v: [v[0] + 1] + v[1:]), ("lives", lambda v: [v[0] - 1] + v[1:]),
                   ("passCount", lambda v: v[:1] + [v[1] + 1] + v[2:])]
        for field, change in planted:
            number = next(i for i, line in enumerate(lines) if '"at":"move"' in line)
            event = json.loads(lines[number])
            event[field] = change(event[field])
            with tempfile.NamedTemporaryFile("w", suffix=".jsonl", delete=False) as planted_trace:
                planted_trace.write("\n".join(lines[:number] + [json.dumps(event)] + lines[number + 1:]) + "\n")
            try:
                games, report = referee.replay_file(planted_trace.name)
            finally:
                os.unlink(planted_trace.name)
            self.assertIsNotNone(report, field)
            self.assertIn(f"line {number + 1}: 'move' snapshot, field '{field}'", report)

    def test_an_expert_stop_where_none_may_be_made_is_reported(self):
        if not self.trace:
            self.skipTest("no trace given")
        with open(self.trace, encoding="utf-8") as source:
            lines = source.read().splitlines()
        if json.loads(lines[0]) != {"ev": "table", "computer": "expert"}:
            self.skipTest("the trace is no expert game")
        events = [json.loads(line) for line in lines]
        opening = next(i for i, e in enumerate(events) if e.get("at") == "move" and events[i - 1].get("at") == "deal")
        later = next(i for i, e in enumerate(events) if e.get("at") == "move" and e["move"] != MOVE_STOP
                     and events[i - 1].get("stop") == 1)
        for number, why in ((opening, "Stop on the round's first turn"), (later, "Stop after a Stop was called")):
            event = dict(events[number], move=MOVE_STOP)
            with tempfile.NamedTemporaryFile("w", suffix=".jsonl", delete=False) as planted_trace:
                planted_trace.write("\n".join(lines[:number] + [json.dumps(event)] + lines[number + 1:]) + "\n")
            try:
                games, report = referee.replay_file(planted_trace.name)
            finally:
                os.unlink(planted_trace.name)
            self.assertIn(f"line {number + 1}: the expert calls {why}", report or "")


if __name__ == "__main__":
    if len(sys.argv) > 1 and sys.argv[1].endswith(".jsonl"):
        Replay.trace = sys.argv.pop(1)
    unittest.main()
