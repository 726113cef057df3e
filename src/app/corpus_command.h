// The word list and concordance commands after their dialogs: the modified databases
// saved first when the user wants, the run over the project's corpus, and the result made
// a document with the browse settings of the window that shows it.
#pragma once

#include <string>
#include <vector>

#include "corpus/corpus_run.h"

namespace crv {

class CCrvDoc;
class CDocManager;
class CProject;

struct CResultColumn {
    std::string marker;
    int width = 10;
    bool rightJustify = false;
};

// How the window of a result shows it: in browse view, these columns, sorted by a marker
// in its language's default sort order.
struct CResultWindow {
    std::string sortMarker;
    std::vector<CResultColumn> columns;
    // The window object as the project file keeps it ("\+wnd" ... "\-wnd").
    std::string SettingsText() const;
};

// The word list's columns: w (75), c (50, right-justified) with counts, r (600) with
// references; sorted by w.
CResultWindow WordListWindow(const CWordListOptions& options);
// concref (75), concbef (200, right-justified), conctar (75), concaft (200), sorted by
// concref; right to left: concref, concaft and conctar right-justified, concbef last.
CResultWindow ConcordanceWindow(bool rightToLeft);

struct CCorpusCommandResult {
    CCorpusResult run;
    CCrvDoc* doc = nullptr; // the results, opened (when asked)
    CResultWindow window;
};

// The runs over the project's corpus of that name; output relative to the project folder.
// False when the run did not go through (told) or the user stopped it.
bool RunWordListCommand(CProject& project, const std::string& corpus,
                        const CWordListOptions& options, const std::string& output,
                        CCorpusCommandResult& result, bool openResult = true);
bool RunConcordanceCommand(CProject& project, const std::string& corpus,
                           const CConcordanceOptions& options, const std::string& output,
                           CCorpusCommandResult& result, bool openResult = true);

} // namespace crv
