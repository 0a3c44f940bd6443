#include "tools/SimulatorAccount.h"

#include "app/Review.h"
#include "app/TableAccount.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

std::FILE* account = nullptr;
int roundReviewed = 0;  // of this game

void writeAccountLine(const std::string& line, const std::string&)
{
    std::fputs(line.c_str(), account);
    std::fputc('\n', account);
}

// Once a game is over, its review, as R then tells it.
void reviewTheGame()
{
    bool ofTheGame = false;
    const ReviewedDecision* decision = decisionToReview(ofTheGame);
    if (account && decision && ofTheGame)
        tellReview(reviewLine(decision, true));
}

}  // namespace

bool openAccount(const std::string& path)
{
    if (path.empty())
        return true;
    account = path == "-" ? stdout : std::fopen(path.c_str(), "w");
    if (!account) {
        std::fprintf(stderr, "zarta-sim: cannot write the account to '%s': %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    tellTableNews(writeAccountLine);
    keepReview();
    return true;
}

void reviewLastRound()
{
    bool ofTheGame = false;
    const ReviewedDecision* decision = decisionToReview(ofTheGame);
    if (!account || !decision || ofTheGame || decision->round == roundReviewed)
        return;
    roundReviewed = decision->round;
    tellReview(reviewLine(decision, false));
}

void markNewGame(long number)
{
    reviewTheGame();
    roundReviewed = 0;
    if (account)
        std::fprintf(account, "== game %ld ==\n", number);
}

bool closeAccount()
{
    if (!account)
        return true;
    reviewTheGame();
    tellTableNews(nullptr);
    bool written = std::fflush(account) == 0 && !std::ferror(account);
    if (account != stdout)
        written = std::fclose(account) == 0 && written;
    account = nullptr;
    return written;
}

}  // namespace sim
