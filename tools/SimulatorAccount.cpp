#include "tools/SimulatorAccount.h"

#include "app/TableAccount.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

std::FILE* account = nullptr;

void writeAccountLine(const std::string& line, const std::string&)
{
    std::fputs(line.c_str(), account);
    std::fputc('\n', account);
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
    return true;
}

void markNewGame(long number)
{
    if (account)
        std::fprintf(account, "== game %ld ==\n", number);
}

bool closeAccount()
{
    if (!account)
        return true;
    tellTableNews(nullptr);
    bool written = std::fflush(account) == 0 && !std::ferror(account);
    if (account != stdout)
        written = std::fclose(account) == 0 && written;
    account = nullptr;
    return written;
}

}  // namespace sim
