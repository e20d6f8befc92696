#pragma once
// Facts about patterns whose every match begins at a word start, which the engine searches for
// the non-word character before the start (see translateAfterNonWord).

#include "runner/engine/syntaxtree.h"
#include "runner/engine/translator.h"

namespace engine::detail {

// True when boundary is a \b and next begins with a word character, so that the two amount to
// "no word character before".
bool boundaryBeforeWordChar(const SyntaxTree &tree, int boundary, int next, CaseMode caseMode);

// True when every match of the tree begins at a word start that its translation tests with a
// lookbehind: each top-level alternative opens with \b and then a word character.
bool startsAtWordStart(const SyntaxTree &tree, CaseMode caseMode);

// True when the tree is one alternative whose item after the leading \b is a greedy run of one
// set of word characters (maybe as a group) that the item after it cannot continue: a try that
// fails after the longest run fails after every shorter one, and no match begins inside the run.
bool firstRunDecides(const SyntaxTree &tree, CaseMode caseMode);

// True when the tree startsAtWordStart and is better searched for the non-word character before
// the start (translateAfterNonWord): its first run does not decide a try, and the first item of
// each alternative may begin with any lowercase letter, so that PCRE2 would otherwise try nearly
// every position inside the words.
bool searchAfterNonWord(const SyntaxTree &tree, CaseMode caseMode);

} // namespace engine::detail
