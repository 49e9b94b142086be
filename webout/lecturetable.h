#pragma once

#include "webout/presentation.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* ChaptersName = "chapters.vtt";

// What the lecture markers of one page put after their lines: the data block (its head,
// the page's row number, its tail) and the row's words. Views into the LectureTable,
// which outlives the page being written. An empty one puts nothing in.
struct LectureInserts {
    std::string_view dataHead;
    std::string page;
    std::string_view dataTail;
    std::string_view words; // empty in index.htm
};

// The lecture as every page carries it, made once per command: the table of rows (page,
// image, title, start and stop in whole seconds, deck number, the slide's text and notes)
// as one line of JSON in a script data block, and each row's words as HTML. A Start or
// Stop that is not a time (the schedule never holds one) counts as 0 here.
class LectureTable {
  public:
    explicit LectureTable(const PresentationOutput& out);
    // Page i of the rows (1-based); 0 for index.htm, which has no words of its own.
    LectureInserts insertsFor(int page) const;
    // chapters.vtt: one cue per row whose Start is not its Stop, titled as the index.
    std::string chapters() const;

  private:
    struct Row {
        long long start = 0;
        long long stop = 0;
        std::string title; // as the index shows it, unescaped
    };
    std::vector<Row> m_rows;
    std::string m_dataHead;
    std::string m_dataTail;
    std::vector<std::string> m_words;
};

// The words block of a row: its title, its slide's text as a list and its notes.
std::string wordsBlock(std::string_view shownTitleHtml, const std::vector<std::string>& text,
                       const std::vector<std::string>& notes);
