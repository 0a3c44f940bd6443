"""Cards by the rules: their codes, points, suits and ranks, the value of a
hand of three, and the shuffle."""

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
