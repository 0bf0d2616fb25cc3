// tools/nk_annotation_words.h -- the word list the annotation handler reads
// its arguments from (nk_annotation_commands.cpp, nk_label_commands.cpp).
// The argument text is split whole at blanks and tabs; word 0 is "PARAMS".
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

struct CommandTableEntry;

struct NKAnnotationWords {
    std::vector<std::string> words;
    std::string text;  // the argument text

    explicit NKAnnotationWords(const char *pszArguments);
    size_t Count() const { return words.size(); }
    bool Has(size_t i) const { return i < words.size(); }
    const char *Word(size_t i) const { return i < words.size() ? words[i].c_str() : ""; }
    // A word as a decimal number; a missing word or no number gives 0.
    float Float(size_t i) const { return float(std::atof(Word(i))); }
    int Int(size_t i) const { return std::atoi(Word(i)); }
    // True when each of the words iFirst to iLast that is there is a finite
    // number (NKWordToFloat); missing words pass, their defaults stand.
    bool NumbersOrMissing(size_t iFirst, size_t iLast) const;
    // The text after word i (blanks after it skipped); "" when none.
    std::string RestAfter(size_t i) const;
};

// The handler's two answers with a message: an information line and a
// redraw (0), or an error through the command (1).
int NKAnnotationDone(const std::string &info);
int NKAnnotationFail(const CommandTableEntry *pEntry, const char *pszText);

// The label and primitive rows (nk_label_commands.cpp); 3 for other ids.
int NKHandleLabelCommand(CommandTableEntry *pEntry, const NKAnnotationWords &w);
int NKHandlePrimitiveCommand(CommandTableEntry *pEntry, const char *pszArguments);
