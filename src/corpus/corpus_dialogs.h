// What the corpus dialogs decide, apart from their drawing: Create Word List,
// Concordance, Text Corpora (add, copy, modify, delete) and Text Corpus Properties with
// its files list. Each starts from the project's corpora and last choices and, on OK,
// checks the entries (the refusal told) and stores them back.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "corpus/concordance.h"
#include "corpus/corpus.h"
#include "corpus/word_list.h"

namespace crv {

// A file chooser for the output of a run.
std::optional<std::string> ChooseOutputFile(const std::string& current);

// "Generates a word list from a body of text".
class CWordListDialog {
public:
    explicit CWordListDialog(CCorpusSet& set);

    std::vector<std::string> CorpusNames() const;
    // Choosing a corpus shows its output file.
    void ChooseCorpus(const std::string& name);

    std::string corpus;
    std::string output;
    bool counts;
    bool refs;
    bool limitRefs;
    int maxRefs;

    // OK: "Please select a text corpus from the list.", "Please provide a name for the
    // output file.", a limit that is not above zero; then the choices are stored (the
    // output into the corpus).
    bool Confirm();
    CWordListOptions Options() const;

private:
    CCorpusSet* m_set;
};

// "Performs a concordance-style lookup of a word or phrase".
class CConcordanceDialog {
public:
    explicit CConcordanceDialog(CCorpusSet& set);

    std::vector<std::string> CorpusNames() const;
    // The match kinds offered, in order, with their names.
    static const std::vector<std::pair<MatchKind, std::string>>& Kinds();

    std::string corpus;
    std::string search;
    MatchKind kind;
    bool matchCase;
    bool limitMatches;
    int maxMatches;
    std::string output;

    // OK: no corpus, no output name, an empty search (or one without a word), a limit of
    // zero are refused with their messages; then the choices are stored.
    bool Confirm();
    CConcordanceOptions Options() const;

private:
    CCorpusSet* m_set;
};

// Edit Files List: the files chosen with the file chooser go first, last, or before the
// selected one; Remove takes the selected one out, Clear all of them.
class CFilesListEditor {
public:
    explicit CFilesListEditor(std::vector<std::string> files) : m_files(std::move(files)) {}

    const std::vector<std::string>& Files() const { return m_files; }
    // The selected entry of the list (-1: none).
    int selected = -1;
    // Files chosen and not placed yet.
    std::vector<std::string> chosen;

    // The file chooser; the chosen file joins chosen. False when cancelled.
    bool Choose();
    void First() { Place(0); }
    void Last() { Place(m_files.size()); }
    void Insert() { Place(selected >= 0 ? static_cast<std::size_t>(selected) : m_files.size()); }
    void Remove();
    void Clear();

private:
    void Place(std::size_t at);
    std::vector<std::string> m_files;
};

// Text Corpus Properties: a copy of a corpus's properties, applied on OK.
class CCorpusPropertiesDialog {
public:
    // corpus null: a new corpus (Add, Copy), joined to the set on OK.
    CCorpusPropertiesDialog(CCorpusSet& set, CCorpus* corpus, std::string name,
                            CCorpusProperties props, std::vector<std::string> langEncNames);

    const std::vector<std::string>& LangEncNames() const { return m_langEncs; }
    std::string name;
    CCorpusProperties props;
    // Edits props.files.
    CFilesListEditor EditFiles() const { return CFilesListEditor(props.files); }
    void TakeFiles(const CFilesListEditor& editor) { props.files = editor.Files(); }

    // OK: a name that is empty or another corpus's, and an empty files list, are
    // refused; the markers are written each with its backslash. The corpus (the new
    // one, when there was none), or null when refused.
    CCorpus* Confirm();

private:
    CCorpusSet* m_set;
    CCorpus* m_corpus;
    std::vector<std::string> m_langEncs;
};

// Text Corpora: the list of corpora; each change goes through the properties dialog
// (editProperties shows it: false is Cancel).
class CCorpusListDialog {
public:
    using EditProperties = std::function<bool(CCorpusPropertiesDialog&)>;
    CCorpusListDialog(CCorpusSet& set, std::vector<std::string> langEncNames, EditProperties edit);

    std::vector<std::string> Names() const;
    // The new corpus, or null when cancelled.
    CCorpus* Add();
    CCorpus* Copy(const std::string& name);
    bool Modify(const std::string& name);
    // Asks first; false when the user said No.
    bool Delete(const std::string& name);

private:
    CCorpus* Edit(CCorpus* corpus, std::string name, CCorpusProperties props);
    CCorpusSet* m_set;
    std::vector<std::string> m_langEncs;
    EditProperties m_edit;
};

} // namespace crv
