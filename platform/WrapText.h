// Text broken into lines that fit a width, for message boxes and dialogs:
// at spaces and newlines, a word wider than a line cut. The lines are views
// into the text, so wrapping allocates nothing.
#pragma once

#include "platform/PixelFont.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace platform::core {

// Longest start of `word` that fits in maxWidth, at least one character.
inline std::size_t fittingPrefix(std::string_view word, int maxWidth)
{
    std::size_t count = 1;
    while (count < word.size() && font::textWidth(word.substr(0, count + 1)) <= maxWidth)
        ++count;
    return count;
}

// Breaks text into lines no wider than maxWidth, at spaces and newlines; a
// word wider than a line is cut. Each line is handed to `eachLine` as a view
// into `text`: the words it holds and the spaces between them.
template <class EachLine>
void wrapText(std::string_view text, int maxWidth, EachLine eachLine)
{
    constexpr std::size_t none = std::string_view::npos;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view paragraph = text.substr(start, end - start);
        std::size_t lineStart = none;  // the line is paragraph[lineStart, lineEnd); none while it is empty
        std::size_t lineEnd = 0;
        auto line = [&] {
            return lineStart == none ? std::string_view{} : paragraph.substr(lineStart, lineEnd - lineStart);
        };
        std::size_t position = 0;
        while (position < paragraph.size()) {
            const std::size_t wordEnd = std::min(paragraph.find(' ', position), paragraph.size());
            std::size_t wordStart = position;
            position = wordEnd + 1;
            while (font::textWidth(paragraph.substr(wordStart, wordEnd - wordStart)) > maxWidth) {
                if (lineStart != none)
                    eachLine(line());
                const std::size_t cut = fittingPrefix(paragraph.substr(wordStart, wordEnd - wordStart), maxWidth);
                eachLine(paragraph.substr(wordStart, cut));
                lineStart = none;
                wordStart += cut;
            }
            const bool emptyWord = wordStart == wordEnd;
            if (lineStart == none) {
                if (!emptyWord) {
                    lineStart = wordStart;
                    lineEnd = wordEnd;
                }
            } else if (font::textWidth(paragraph.substr(lineStart, wordEnd - lineStart)) <= maxWidth) {
                lineEnd = wordEnd;
            } else {
                eachLine(line());
                lineStart = emptyWord ? none : wordStart;
                lineEnd = wordEnd;
            }
        }
        eachLine(line());
        start = end + 1;
    }
}

}  // namespace platform::core
