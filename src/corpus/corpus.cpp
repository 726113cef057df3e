// The settings form of corpora:
//   \+CorpusSet
//   \+Corpus NAME  \lng ENC  \+FilesList \File PATH ... \-FilesList  \WordMarkers ...
//     \BookMarker  \ChapMarker  \VerseMarker  \WordIndex  \WordListOutput  \-Corpus
//   \WordLstCorpus  \NoWordLstCounts  \NoWordLstRefs  \WordLstLimitCount  \WordLstMaxCount
//   \ConcordanceCorpus  \ConcordanceSearch  \ConcordanceSearchType  \ConcordanceLimitCount
//   \ConcordanceMaxCount  \ConcordanceMatchCase  \ConcordanceOutput
//   \-CorpusSet
// The two limit flags are on by default; their off state is written as NoWordLstLimitCount
// and NoConcordanceLimitCount, since a flag is written only when set. Choices at their
// defaults are not written.
#include "corpus/corpus.h"

#include <algorithm>

#include "base/platform.h"

namespace crv {

namespace {

constexpr std::string_view kCorpus = "Corpus";
constexpr std::string_view kFilesList = "FilesList";

// A value meant to be one line (a name, a path): what a damaged file put after a line
// break is not part of it.
std::string OneLine(std::string value) {
    value.erase(std::find(value.begin(), value.end(), '\n'), value.end());
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
        value.pop_back();
    return value;
}

// Whether the current entry is the end line of the object enclosing the set, whose own
// end line is missing: the reader stops without consuming it.
bool AtEnclosingEnd(ObjectStream& is, std::string_view name) {
    return !name.empty() && is.IsOtherEnd("") && is.PeekKey().substr(1) == name;
}

} // namespace

CCorpus::CCorpus(std::string name, CCorpusProperties props)
    : CSetEl(std::move(name)), m_props(std::move(props)) {}

void CCorpus::Read(ObjectStream& is) {
    CCorpusProperties& p = m_props;
    p.files.clear();
    while (!is.AtEnd()) {
        if (is.Overflow()) {
            is.SkipEntry();
            continue;
        }
        std::string value;
        if (is.ReadString("lng", value)) {
            p.langEnc = OneLine(value);
            continue;
        }
        if (is.ReadString("WordMarkers", p.wordMarkers) ||
            is.ReadString("BookMarker", p.bookMarker) ||
            is.ReadString("ChapMarker", p.chapMarker) ||
            is.ReadString("VerseMarker", p.verseMarker))
            continue;
        if (is.ReadString("WordIndex", value)) {
            p.wordIndex = OneLine(value);
            continue;
        }
        if (is.ReadString("WordListOutput", value)) {
            p.wordListOutput = OneLine(value);
            continue;
        }
        if (is.ReadBeginMarker(kFilesList)) {
            while (!is.AtEnd() && !is.Overflow()) {
                if (is.ReadString("File", value)) {
                    value = OneLine(value);
                    if (!value.empty())
                        p.files.push_back(value);
                    continue;
                }
                if (is.ReadMarker('-', kFilesList) || is.IsOtherEnd(kFilesList) ||
                    is.PeekBeginMarker(kCorpus))
                    break;
                m_carriedFiles.Capture(is, kFilesList);
            }
            continue;
        }
        if (is.ReadMarker('-', kCorpus))
            break;
        // The next corpus, or an enclosing end line, ends a corpus whose end line is missing.
        if (is.PeekBeginMarker(kCorpus) || is.IsOtherEnd(kCorpus))
            break;
        m_carried.Capture(is, kCorpus);
    }
}

void CCorpus::Write(ObjectStream& os) const {
    const CCorpusProperties& p = m_props;
    os.WriteBeginMarker(kCorpus, Name());
    os.WriteString("lng", p.langEnc);
    os.WriteBeginMarker(kFilesList);
    for (const std::string& file : p.files)
        os.WriteString("File", file);
    m_carriedFiles.Write(os);
    os.WriteEndMarker(kFilesList);
    os.WriteString("WordMarkers", p.wordMarkers);
    os.WriteString("BookMarker", p.bookMarker);
    os.WriteString("ChapMarker", p.chapMarker);
    os.WriteString("VerseMarker", p.verseMarker);
    os.WriteString("WordIndex", p.wordIndex);
    os.WriteString("WordListOutput", p.wordListOutput);
    m_carried.Write(os);
    os.WriteEndMarker(kCorpus);
}

CCorpus* CCorpusSet::Add(std::string_view name, CCorpusProperties props) {
    auto* corpus = new CCorpus(m_corpora.MakeUniqueName(name.empty() ? CCorpus::kNewName : name),
                               std::move(props));
    m_corpora.Add(corpus);
    return corpus;
}

void CCorpusSet::Rename(CCorpus* corpus, std::string_view name) {
    if (corpus->Name() == name)
        return;
    std::string old = corpus->Name();
    m_corpora.Rename(corpus, name);
    for (std::string* last : {&m_wordList.corpus, &m_concordance.corpus})
        if (*last == old)
            *last = std::string(name);
}

void CCorpusSet::Delete(CCorpus* corpus) { m_corpora.Delete(corpus); }

bool CCorpusSet::CheckName(std::string_view name, const CCorpus* except) const {
    if (except && except->Name() == name && !name.empty())
        return true;
    CNote error;
    if (m_corpora.CheckNewName(name, error))
        return true;
    platform().ShowMessage(error.Text());
    return false;
}

bool CCorpusSet::IsDefault() const {
    return m_corpora.IsEmpty() && m_wordList == CWordListChoices{} &&
           m_concordance == CConcordanceChoices{} && m_carried.IsEmpty();
}

bool CCorpusSet::Read(ObjectStream& is, std::string_view enclosingName) {
    if (!is.ReadBeginMarker(kObjectName))
        return false;
    CWordListChoices& w = m_wordList;
    CConcordanceChoices& c = m_concordance;
    while (!is.AtEnd()) {
        if (is.Overflow()) {
            is.SkipEntry();
            continue;
        }
        std::string value;
        if (is.ReadBeginMarker(kCorpus, value)) {
            // A corpus needs a name to be chosen by; a nameless one gets the new name.
            auto* corpus = new CCorpus(m_corpora.MakeUniqueName(
                OneLine(value).empty() ? std::string(CCorpus::kNewName) : OneLine(value)));
            corpus->Read(is);
            m_corpora.Add(corpus);
            continue;
        }
        bool flag = false;
        int n = 0;
        // Empty branches read straight into the settings.
        if (is.ReadString("WordLstCorpus", value)) {
            w.corpus = OneLine(value);
        } else if (is.ReadBool("NoWordLstCounts", flag)) {
            w.counts = false;
        } else if (is.ReadBool("NoWordLstRefs", flag)) {
            w.refs = false;
        } else if (is.ReadBool("WordLstLimitCount", flag)) {
            w.limitRefs = true;
        } else if (is.ReadBool("NoWordLstLimitCount", flag)) {
            w.limitRefs = false;
        } else if (is.ReadInteger("WordLstMaxCount", w.maxRefs)) { // NOLINT(bugprone-branch-clone)
        } else if (is.ReadString("ConcordanceCorpus", value)) {
            c.corpus = OneLine(value);
        } else if (is.ReadString("ConcordanceSearch", value)) {
            c.search = OneLine(value);
        } else if (is.ReadInteger("ConcordanceSearchType", n)) {
            c.kind = n >= 0 && n <= 3 ? static_cast<MatchKind>(n) : MatchKind::Whole;
        } else if (is.ReadBool("ConcordanceLimitCount", flag)) {
            c.limitMatches = true;
        } else if (is.ReadBool("NoConcordanceLimitCount", flag)) {
            c.limitMatches = false;
        } else if (is.ReadInteger("ConcordanceMaxCount", c.maxMatches)) {
        } else if (is.ReadBool("ConcordanceMatchCase", c.matchCase)) {
        } else if (is.ReadString("ConcordanceOutput", value)) {
            c.output = OneLine(value);
        } else if (is.ReadMarker('-', kObjectName) || AtEnclosingEnd(is, enclosingName)) {
            break;
        } else {
            m_carried.Capture(is, kObjectName);
        }
    }
    return true;
}

void CCorpusSet::Write(ObjectStream& os) const {
    // Choices at their defaults are left out: absent keys read as the defaults.
    const CWordListChoices& w = m_wordList;
    const CConcordanceChoices& c = m_concordance;
    const CWordListChoices dw;
    const CConcordanceChoices dc;
    os.WriteBeginMarker(kObjectName);
    for (const CCorpus& corpus : m_corpora)
        corpus.Write(os);
    os.WriteString("WordLstCorpus", w.corpus);
    os.WriteBool("NoWordLstCounts", !w.counts);
    os.WriteBool("NoWordLstRefs", !w.refs);
    os.WriteBool("NoWordLstLimitCount", !w.limitRefs);
    if (w.maxRefs != dw.maxRefs)
        os.WriteInteger("WordLstMaxCount", w.maxRefs);
    os.WriteString("ConcordanceCorpus", c.corpus);
    os.WriteString("ConcordanceSearch", c.search);
    if (c.kind != dc.kind)
        os.WriteInteger("ConcordanceSearchType", static_cast<int>(c.kind));
    os.WriteBool("NoConcordanceLimitCount", !c.limitMatches);
    if (c.maxMatches != dc.maxMatches)
        os.WriteInteger("ConcordanceMaxCount", c.maxMatches);
    os.WriteBool("ConcordanceMatchCase", c.matchCase);
    if (c.output != dc.output)
        os.WriteString("ConcordanceOutput", c.output);
    m_carried.Write(os);
    os.WriteEndMarker(kObjectName);
}

std::vector<std::string> MarkerNames(std::string_view text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    auto space = [](char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r'; };
    while (i < text.size()) {
        while (i < text.size() && space(text[i]))
            ++i;
        std::size_t start = i;
        while (i < text.size() && !space(text[i]))
            ++i;
        std::string_view token = text.substr(start, i - start);
        if (!token.empty() && token[0] == '\\')
            token.remove_prefix(1);
        if (!token.empty() && std::find(out.begin(), out.end(), token) == out.end())
            out.emplace_back(token);
    }
    return out;
}

std::string MarkerName(std::string_view text) {
    std::vector<std::string> names = MarkerNames(text);
    return names.empty() ? std::string() : names[0];
}

} // namespace crv
