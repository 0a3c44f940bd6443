#include "app/CommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Whether argv[i] is option `name`, as "NAME VALUE" or "NAME=VALUE"; then
// `value` is its value (null when none follows) and i has moved past it.
bool readOption(const char* name, int argc, const char* const* argv, int& i, const char*& value)
{
    const std::size_t length = std::strlen(name);
    if (std::strncmp(argv[i], name, length) != 0 || (argv[i][length] != '\0' && argv[i][length] != '='))
        return false;
    value = argv[i][length] == '=' ? argv[i] + length + 1 : (i + 1 < argc ? argv[++i] : nullptr);
    return true;
}

// Whole decimal digits only, so "40ms", "4e1" or " 40" are refused rather than
// half-read.
bool readPace(const char* text, int& milliseconds)
{
    if (!text || *text == '\0')
        return false;
    for (const char* p = text; *p; ++p)
        if (*p < '0' || *p > '9')
            return false;
    errno = 0;
    const long value = std::strtol(text, nullptr, 10);
    if (errno != 0 || value < paceMinimum || value > paceMaximum)
        return false;
    milliseconds = static_cast<int>(value);
    return true;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv)
{
    CommandLine result;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            result.action = CommandLine::Action::help;
            return result;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            result.action = CommandLine::Action::version;
            return result;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const char* value = nullptr;
        const char* name = nullptr;
        if (readOption("--computer", argc, argv, i, name)) {
            const auto level = name ? tableLevelNamed(name) : std::nullopt;
            if (!level) {
                result.action = CommandLine::Action::error;
                result.error = "--computer takes classic or expert";
                return result;
            }
            result.computer = *level;
            continue;
        }
        if (readOption("--deal", argc, argv, i, name)) {
            const auto kind = name ? dealKindNamed(name) : std::nullopt;
            if (!kind) {
                result.action = CommandLine::Action::error;
                result.error = "--deal takes described or shuffled";
                return result;
            }
            result.deal = *kind;
            continue;
        }
        if (std::strcmp(argv[i], "--mute") == 0) {
            result.mute = true;
            continue;
        }
        if (std::strncmp(argv[i], "--mute=", 7) == 0) {
            result.action = CommandLine::Action::error;
            result.error = "--mute takes no value";
            return result;
        }
        if (std::strcmp(argv[i], "--pace") == 0) {
            value = i + 1 < argc ? argv[i + 1] : nullptr;
            ++i;
        } else if (std::strncmp(argv[i], "--pace=", 7) == 0) {
            value = argv[i] + 7;
        } else {
            // A mistyped option must not start a game that quietly ignores it.
            result.action = CommandLine::Action::error;
            result.error =
                std::string(argv[i][0] == '-' ? "unknown option '" : "unexpected argument '") + argv[i] + "'";
            return result;
        }
        if (!readPace(value, result.paceMilliseconds)) {
            result.action = CommandLine::Action::error;
            result.error = "--pace needs a whole number of milliseconds from 10 to 200";
            return result;
        }
    }
    return result;
}
