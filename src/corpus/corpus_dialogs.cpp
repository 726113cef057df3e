#include "corpus/corpus_dialogs.h"

#include <algorithm>

#include "base/message_text.h"
#include "base/platform.h"
#include "corpus/corpus_messages.h"

namespace crv {

namespace {

std::vector<std::string> NamesOf(const CCorpusSet& set) {
    std::vector<std::string> out;
    for (const CCorpus& c : set.Corpora())
        out.push_back(c.Name());
    return out;
}

bool IsBlank(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; });
}

// A marker list as the settings keep it: each name with its backslash, one space apart.
std::string MarkerListText(std::string_view text) {
    std::string out;
    for (const std::string& name : MarkerNames(text)) {
        if (!out.empty())
            out += ' ';
        out += "\\" + name;
    }
    return out;
}

constexpr std::string_view kDatabaseFilter = "Database files (*.db)|*.db|All files (*.*)|*.*||";

} // namespace

std::optional<std::string> ChooseOutputFile(const std::string& current) {
    FileRequest request;
    request.title = "Output File";
    request.initialPath = current;
    request.filter = std::string(kDatabaseFilter);
    request.save = true;
    request.mustExist = false;
    return platform().ChooseFile(request);
}

CWordListDialog::CWordListDialog(CCorpusSet& set) : m_set(&set) {
    const CWordListChoices& w = set.WordList();
    counts = w.counts;
    refs = w.refs;
    limitRefs = w.limitRefs;
    maxRefs = w.maxRefs;
    if (set.Find(w.corpus))
        ChooseCorpus(w.corpus);
}

std::vector<std::string> CWordListDialog::CorpusNames() const { return NamesOf(*m_set); }

void CWordListDialog::ChooseCorpus(const std::string& name) {
    corpus = name;
    if (const CCorpus* c = m_set->Find(name))
        output = c->Properties().wordListOutput;
}

bool CWordListDialog::Confirm() {
    CCorpus* c = m_set->Find(corpus);
    if (corpus.empty() || !c) {
        platform().ShowMessage(kSelectCorpus);
        return false;
    }
    if (IsBlank(output)) {
        platform().ShowMessage(kNameOutput);
        return false;
    }
    if (refs && limitRefs && maxRefs <= 0) {
        platform().ShowMessage(kReferencesAboveZero);
        return false;
    }
    CWordListChoices& w = m_set->WordList();
    w.corpus = corpus;
    w.counts = counts;
    w.refs = refs;
    w.limitRefs = limitRefs;
    w.maxRefs = maxRefs;
    c->Properties().wordListOutput = output;
    return true;
}

CWordListOptions CWordListDialog::Options() const {
    return {counts, refs, limitRefs ? maxRefs : 0};
}

CConcordanceDialog::CConcordanceDialog(CCorpusSet& set) : m_set(&set) {
    const CConcordanceChoices& c = set.Concordance();
    corpus = set.Find(c.corpus) ? c.corpus : std::string();
    search = c.search;
    kind = c.kind;
    matchCase = c.matchCase;
    limitMatches = c.limitMatches;
    maxMatches = c.maxMatches;
    output = c.output;
}

std::vector<std::string> CConcordanceDialog::CorpusNames() const { return NamesOf(*m_set); }

const std::vector<std::pair<MatchKind, std::string>>& CConcordanceDialog::Kinds() {
    static const std::vector<std::pair<MatchKind, std::string>> kinds = {
        {MatchKind::Whole, "Whole"},
        {MatchKind::Start, "Start"},
        {MatchKind::End, "End"},
        {MatchKind::Middle, "Middle"},
    };
    return kinds;
}

bool CConcordanceDialog::Confirm() {
    if (corpus.empty() || !m_set->Find(corpus)) {
        platform().ShowMessage(kSelectCorpus);
        return false;
    }
    if (IsBlank(output)) {
        platform().ShowMessage(kNameOutput);
        return false;
    }
    if (IsBlank(search)) {
        platform().ShowMessage(kEnterSearch);
        return false;
    }
    if (limitMatches && maxMatches <= 0) {
        platform().ShowMessage(kMatchesAboveZero);
        return false;
    }
    CConcordanceChoices& c = m_set->Concordance();
    c.corpus = corpus;
    c.search = search;
    c.kind = kind;
    c.matchCase = matchCase;
    c.limitMatches = limitMatches;
    c.maxMatches = maxMatches;
    c.output = output;
    return true;
}

CConcordanceOptions CConcordanceDialog::Options() const {
    return {search, kind, matchCase, limitMatches ? maxMatches : 0};
}

bool CFilesListEditor::Choose() {
    FileRequest request;
    request.title = "Choose a File to Process";
    request.filter = "All files (*.*)|*.*||";
    request.initialPath =
        chosen.empty() ? (m_files.empty() ? std::string() : m_files.back()) : chosen.back();
    std::optional<std::string> file = platform().ChooseFile(request);
    if (!file)
        return false;
    chosen.push_back(*file);
    return true;
}

void CFilesListEditor::Place(std::size_t at) {
    at = std::min(at, m_files.size());
    for (const std::string& file : chosen) {
        // A file is listed once: placing it again moves it.
        auto old = std::find(m_files.begin(), m_files.end(), file);
        if (old != m_files.end()) {
            std::size_t i = static_cast<std::size_t>(old - m_files.begin());
            m_files.erase(old);
            if (i < at)
                --at;
        }
        m_files.insert(m_files.begin() + static_cast<std::ptrdiff_t>(at), file);
        selected = static_cast<int>(at);
        ++at;
    }
    chosen.clear();
}

void CFilesListEditor::Remove() {
    if (selected < 0 || static_cast<std::size_t>(selected) >= m_files.size())
        return;
    m_files.erase(m_files.begin() + selected);
    if (static_cast<std::size_t>(selected) >= m_files.size())
        selected = static_cast<int>(m_files.size()) - 1;
}

void CFilesListEditor::Clear() {
    m_files.clear();
    selected = -1;
}

CCorpusPropertiesDialog::CCorpusPropertiesDialog(CCorpusSet& set, CCorpus* corpus,
                                                 std::string corpusName, CCorpusProperties p,
                                                 std::vector<std::string> langEncNames)
    : name(std::move(corpusName)), props(std::move(p)), m_set(&set), m_corpus(corpus),
      m_langEncs(std::move(langEncNames)) {}

CCorpus* CCorpusPropertiesDialog::Confirm() {
    if (!m_set->CheckName(name, m_corpus))
        return nullptr;
    if (props.files.empty()) {
        platform().ShowMessage(kNeedFiles);
        return nullptr;
    }
    props.wordMarkers = MarkerListText(props.wordMarkers);
    for (std::string* marker : {&props.bookMarker, &props.chapMarker, &props.verseMarker}) {
        std::string first = MarkerName(*marker);
        *marker = first.empty() ? std::string() : "\\" + first;
    }
    if (!m_corpus)
        return m_set->Add(name, props);
    m_set->Rename(m_corpus, name);
    m_corpus->Properties() = props;
    return m_corpus;
}

CCorpusListDialog::CCorpusListDialog(CCorpusSet& set, std::vector<std::string> langEncNames,
                                     EditProperties edit)
    : m_set(&set), m_langEncs(std::move(langEncNames)), m_edit(std::move(edit)) {}

std::vector<std::string> CCorpusListDialog::Names() const { return NamesOf(*m_set); }

CCorpus* CCorpusListDialog::Edit(CCorpus* corpus, std::string name, CCorpusProperties props) {
    CCorpusPropertiesDialog dialog(*m_set, corpus, std::move(name), std::move(props), m_langEncs);
    // The sheet stays open until its entries are accepted or it is cancelled.
    while (m_edit && m_edit(dialog))
        if (CCorpus* done = dialog.Confirm())
            return done;
    return nullptr;
}

CCorpus* CCorpusListDialog::Add() {
    return Edit(nullptr, m_set->Corpora().MakeUniqueName(CCorpus::kNewName), CCorpusProperties{});
}

CCorpus* CCorpusListDialog::Copy(const std::string& name) {
    const CCorpus* source = m_set->Find(name);
    if (!source)
        return nullptr;
    CCorpusProperties props = source->Properties();
    props.wordIndex.clear(); // two corpora sharing one index would make it again each time
    return Edit(nullptr, m_set->Corpora().MakeUniqueName(name), std::move(props));
}

bool CCorpusListDialog::Modify(const std::string& name) {
    CCorpus* corpus = m_set->Find(name);
    return corpus && Edit(corpus, corpus->Name(), corpus->Properties());
}

bool CCorpusListDialog::Delete(const std::string& name) {
    CCorpus* corpus = m_set->Find(name);
    if (!corpus || platform().Ask(FormatMessage(kDeleteCorpus, {name}), Buttons::YesNo,
                                  Answer::No) != Answer::Yes)
        return false;
    m_set->Delete(corpus);
    return true;
}

} // namespace crv
