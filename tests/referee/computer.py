"""The computer player by the rules: the shape of its hand (by suit and by
rank) picks the exchange it looks for; with none to make it passes, waits or
stops, and a table worth 31 or a rank is taken whole. The expert's moves are
not derived: the rules check the move it made and keep its bookkeeping."""

from cards import lowest_position, points_of, rank_of, suit_of, value_of_three

MOVE_PASS, MOVE_STOP, MOVE_ONE, MOVE_ALL = 20001, 20002, 20003, 20004

ONE_SUIT_STOPS_AT = 27.0  # a one-suit hand worth this much, with nothing better, stops
ONE_SUIT_COUNTS_PASS_TO = 25.0  # up to this much it counts a pass; in between it only waits
COUNTED_PASSES_TO_STOP = 3
TABLES_TAKEN_WHOLE = (31.0, 30.5, 91.5)
EXPERT_MOVES = (MOVE_ONE, MOVE_ALL, MOVE_PASS, MOVE_STOP)


def decide(game, seat):
    """The move of `seat`, with the selections that carry it out; records the
    seat's value and its pass, stop and finish flags as the rules do."""
    game.clear_selections()
    own = game.record_value(seat)
    table_value = value_of_three(game.table)
    found, counts_a_pass = look_for_exchange(game, seat, own, table_value)
    if counts_a_pass:
        count_pass(game, seat)
    move = choose_move(game, seat, found)
    if game.stop:
        game.finished[seat] = 1
    return select_cards(game, move, found, table_value)


def shape(values):
    """3 when all three are alike, 2 for a pair, 0 when all differ."""
    return 3 if values[0] == values[1] == values[2] else 2 if len(set(values)) == 2 else 0


def look_for_exchange(game, seat, own, table_value):
    """(hand position, table position) of the exchange the hand's shape looks
    for, or None; and whether finding none counts as a pass."""
    hand, table = game.hands[seat], game.table
    suit_shape = shape([suit_of(c) for c in hand])
    rank_shape = shape([rank_of(c) for c in hand])
    if suit_shape == 0 and rank_shape == 0:
        return mixed_hand_exchange(hand, table), False
    if suit_shape == 0 and rank_shape == 2:
        found = complete_the_pair(hand, table, rank_of, suit_of)
        return found, found is None
    if suit_shape == 0 and rank_shape == 3:
        keep_three_of_a_rank(game, seat, own, table_value)
        return None, False
    if suit_shape == 2 and rank_shape == 0:
        found = complete_the_pair(hand, table, suit_of, rank_of)
        return found, found is None
    if suit_shape == 2 and rank_shape == 2:
        found = two_pairs_exchange(hand, table)
        return found, found is None
    if suit_shape == 3:
        return one_suit_exchange(game, seat, own)
    return None, False


def mixed_hand_exchange(hand, table):
    """The best suit pair with a table card; else the last rank match. Either way
    the card given away is the one with the fewest points."""
    found = None
    best = 0
    for h in range(3):
        for t in range(3):
            total = points_of(hand[h]) + points_of(table[t])
            if suit_of(hand[h]) == suit_of(table[t]) and total > best:
                best = total
                found = (lowest_position(hand), t)
    if found is None:
        for h in range(3):
            for t in range(3):
                if rank_of(hand[h]) == rank_of(table[t]):
                    found = (lowest_position(hand), t)
    return found


def complete_the_pair(hand, table, pair_of, other_of):
    """A pair by `pair_of` (rank or suit) gives its odd card for the last table
    card that completes it; else for the last that matches a pair card by
    `other_of`."""
    values = [pair_of(c) for c in hand]
    pair = max(set(values), key=values.count)
    odd = next(p for p in range(3) if values[p] != pair)
    found = None
    for t in range(3):
        if pair_of(table[t]) == pair:
            found = (odd, t)
    if found is None:
        for t in range(3):
            if any(other_of(table[t]) == other_of(hand[h]) for h in range(3) if h != odd):
                found = (odd, t)
    return found


def two_pairs_exchange(hand, table):
    """A rank pair and a suit pair: the rank pair is completed first."""
    ranks = [rank_of(c) for c in hand]
    suits = [suit_of(c) for c in hand]
    pair_rank = max(set(ranks), key=ranks.count)
    group = max(set(suits), key=suits.count)
    rank_odd = next(p for p in range(3) if ranks[p] != pair_rank)
    suit_odd = next(p for p in range(3) if suits[p] != group)
    found = None
    for t in range(3):
        if rank_of(table[t]) == pair_rank:
            found = (rank_odd, t)
    if found is None:
        for t in range(3):
            if suit_of(table[t]) == group:
                found = (suit_odd, t)
    return found


def keep_three_of_a_rank(game, seat, own, table_value):
    """Three of a rank with no better table waits on the first move and stops after it."""
    if not table_value > own:
        if game.first:
            game.passed[seat] = 1
        else:
            game.finished[seat] = 1
            game.stop = 1


def one_suit_exchange(game, seat, own):
    """One suit gives its weakest card for the last table card of the suit that
    raises the value; with none, a strong hand stops and a weak one counts a pass."""
    hand, table = game.hands[seat], game.table
    give = lowest_position(hand)
    kept = sum(points_of(hand[p]) for p in range(3) if p != give)
    found = None
    for t in range(3):
        if suit_of(table[t]) == suit_of(hand[0]) and kept + points_of(table[t]) > own:
            found = (give, t)
    counts_a_pass = False
    if found is None:
        if own >= ONE_SUIT_STOPS_AT:
            game.finished[seat] = 1
        elif own <= ONE_SUIT_COUNTS_PASS_TO:
            counts_a_pass = True
    return found, counts_a_pass


def count_pass(game, seat):
    """A counted pass; the third one stops."""
    game.passed[seat] = 1
    game.pass_count[seat] += 1
    if game.pass_count[seat] >= COUNTED_PASSES_TO_STOP:
        game.finished[seat] = 1
        game.stop = 1


def choose_move(game, seat, found):
    """An exchange when one was found; else Stop for a finished seat, and Pass
    for a passing one unless the round is closing."""
    if found is not None:
        return MOVE_ONE
    move = MOVE_PASS
    if game.finished[seat]:
        move = MOVE_STOP
        game.stop = 1
        game.closing = 1
    if game.passed[seat]:
        move = MOVE_PASS
        if game.closing:
            move = MOVE_STOP
            game.stop = 1
    return move


def select_cards(game, move, found, table_value):
    """Marks the cards the move exchanges; a table worth 31 or a rank is taken
    whole, whatever the move was."""
    if table_value in TABLES_TAKEN_WHOLE:
        game.table_sel = [1, 1, 1]
        return MOVE_ALL
    if move == MOVE_ONE:
        game.hand_sel[found[0]] = 1
        game.table_sel[found[1]] = 1
    return move


def take_expert_move(game, seat, move, hand_card, table_card):
    """The expert's `move` after the same preparation as the classic player's,
    checked and with the selections that carry it out. A Stop closes the
    round, and after any Stop this move is the seat's last; its passes are
    counted when the Pass is carried out."""
    game.clear_selections()
    game.record_value(seat)
    if move not in EXPERT_MOVES:
        game.fail(f"{game.where()}the expert's move {move} is none of Pass, Stop or an exchange")
    if move == MOVE_STOP and game.first:
        game.fail(f"{game.where()}the expert calls Stop on the round's first turn")
    if move == MOVE_STOP and game.stop:
        game.fail(f"{game.where()}the expert calls Stop after a Stop was called")
    if move == MOVE_STOP:
        game.stop = 1
        game.closing = 1
    if game.stop:
        game.finished[seat] = 1
    if move == MOVE_ALL:
        game.table_sel = [1, 1, 1]
    elif move == MOVE_ONE:
        game.hand_sel[hand_card] = 1
        game.table_sel[table_card] = 1
    return move
