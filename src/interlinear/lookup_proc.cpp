// The Lookup and Parse process: settings, cutting words out of a line, lookup, the
// recursive morpheme parser and the failure outputs.
#include "interlinear/lookup_proc.h"

#include <algorithm>

#include "base/message_text.h"
#include "base/object_stream.h"
#include "base/platform.h"
#include "engine/db_ref.h"
#include "interlinear/interlinearizer.h"
#include "schema/database_type.h"
#include "schema/lang_enc.h"

namespace crv {

namespace {

constexpr const char* kTrieNames[] = {"triLook", "triPref", "triRoot"};
constexpr int kMaxParseCalls = 2000;
constexpr int kMaxDepth = 50;

bool StartsWithDigit(std::string_view s) {
    return !s.empty() && static_cast<unsigned char>(s[0]) >= '0' &&
           static_cast<unsigned char>(s[0]) <= '9';
}

std::string Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\n' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n' || s.back() == '\t'))
        s.remove_suffix(1);
    return std::string(s);
}

} // namespace

CLookupProc::CLookupProc(CInterlinearProcList* owner, bool parse)
    : CInterlinearProc(owner), m_parse(parse) {
    for (int k = 0; k < 5; ++k)
        m_tries[static_cast<std::size_t>(k)] =
            std::make_unique<CLexiconTrie>(static_cast<CLexiconTrie::Kind>(k));
}

CLookupProc::CLookupProc(const CLookupProc& other)
    : CInterlinearProc(other), applyZT(other.applyZT), ztt(other.ztt), cr2Parse(other.cr2Parse),
      keepCap(other.keepCap), keepPunc(other.keepPunc), stopAtSemicolon(other.stopAtSemicolon),
      glossSeparator(other.glossSeparator), failMark(other.failMark),
      showFailMark(other.showFailMark), insertFail(other.insertFail), showWord(other.showWord),
      showRootGuess(other.showRootGuess), infixBefore(other.infixBefore),
      preferPrefix(other.preferPrefix), preferSuffix(other.preferSuffix),
      noCompRoot(other.noCompRoot), m_parse(other.m_parse),
      m_multipleAnalysis(other.m_multipleAnalysis) {
    for (std::size_t k = 0; k < 5; ++k)
        m_tries[k] = std::make_unique<CLexiconTrie>(*other.m_tries[k]);
}

CLookupProc::~CLookupProc() = default;

std::unique_ptr<CInterlinearProc> CLookupProc::Clone() const {
    return std::make_unique<CLookupProc>(*this);
}

void CLookupProc::CopyAffixDatabases() {
    for (std::size_t k : {3u, 4u}) {
        CLexiconTrie& t = *m_tries[k];
        t.Invalidate();
        const CLexiconTrie& p = Trie(CLexiconTrie::kPrefix);
        t.Databases() = p.Databases();
        t.dbType = p.dbType;
        t.matchMarkers = p.matchMarkers;
        t.outMarker = p.outMarker;
    }
}

void CLookupProc::InvalidateIndexes() {
    for (auto& t : m_tries)
        t->Invalidate();
}

void CLookupProc::OnMarkerUpdate(const CMarkerUpdate& update) {
    CInterlinearProc::OnMarkerUpdate(update);
    // Lexicon markers are names of another type's markers: a rename there follows when
    // that type is the one the index names.
    if (!update.marker || !update.nameChanged || update.oldName.empty())
        return;
    for (auto& t : m_tries)
        t->RenameMarker(update.oldName, update.marker->Name());
}

// ---------------------------------------------------------------- settings

void CLookupProc::WriteProperties(ObjectStream& os) const {
    os.WriteBool("bParseProc", m_parse);
    WriteFromTo(os);
    Trie(0).Write(os, kTrieNames[0]);
    if (m_parse) {
        Trie(1).Write(os, kTrieNames[1]);
        Trie(2).Write(os, kTrieNames[2]);
    }
    os.WriteBool("bApplyZT", applyZT);
    os.WriteString("ZTT", ztt);
    os.WriteBool("bCR2Parse", cr2Parse);
    os.WriteBool("bKeepCap", keepCap);
    os.WriteBool("bKeepPunc", keepPunc);
    os.WriteBool("bStopAtSemicolon", stopAtSemicolon);
    if (glossSeparator != ";")
        os.WriteStringAlways("GlossSeparator", glossSeparator);
    if (failMark != "***")
        os.WriteStringAlways("FailMark", failMark);
    os.WriteBool("bShowFailMark", showFailMark);
    os.WriteBool("bInsertFail", insertFail);
    os.WriteBool("bShowWord", showWord);
    os.WriteBool("bShowRootGuess", showRootGuess);
    os.WriteBool("bInfixBefore", infixBefore);
    os.WriteBool("bPreferPrefix", preferPrefix);
    os.WriteBool("bPreferSuffix", preferSuffix);
    os.WriteBool("bNoCompRoot", noCompRoot);
    os.WriteBool("bAdapt", m_adapt);
}

bool CLookupProc::ReadProperty(ObjectStream& is, CDatabaseType& type) {
    if (is.ReadBool("bParseProc", m_parse))
        return true;
    for (int k = 0; k < 3; ++k)
        if (is.PeekBeginMarker(kTrieNames[k])) {
            Trie(k).Read(is, kTrieNames[k], type.SettingsFolder(),
                         m_owner ? m_owner->Locator() : CFileLocator());
            return true;
        }
    return is.ReadBool("bApplyZT", applyZT) || is.ReadString("ZTT", ztt) ||
           is.ReadBool("bCR2Parse", cr2Parse) || is.ReadBool("bKeepCap", keepCap) ||
           is.ReadBool("bKeepPunc", keepPunc) || is.ReadBool("bStopAtSemicolon", stopAtSemicolon) ||
           is.ReadString("GlossSeparator", glossSeparator) || is.ReadString("FailMark", failMark) ||
           is.ReadBool("bShowFailMark", showFailMark) || is.ReadBool("bInsertFail", insertFail) ||
           is.ReadBool("bShowWord", showWord) || is.ReadBool("bShowRootGuess", showRootGuess) ||
           is.ReadBool("bInfixBefore", infixBefore) || is.ReadBool("bPreferPrefix", preferPrefix) ||
           is.ReadBool("bPreferSuffix", preferSuffix) || is.ReadBool("bNoCompRoot", noCompRoot) ||
           CInterlinearProc::ReadProperty(is, type);
}

void CLookupProc::PropertiesConfirmed() {
    CopyAffixDatabases();
    InvalidateIndexes();
    m_table.Unload();
    m_tableTried = false;
    if (applyZT && !ztt.empty()) {
        std::string path = ztt;
        CDbRef ref(ztt);
        if (m_owner)
            path = ref.FullPath(m_owner->Base());
        m_tableTried = true;
        ChangeTableResult r = m_table.LoadFile(path);
        if (!r)
            platform().ShowMessage(
                r.Text().empty() ? FormatMessage("Change table %1 not found.", {ztt}) : r.Text());
    }
}

// ---------------------------------------------------------------- indexes

const CLangEnc* CLookupProc::SourceEnc() const { return From() ? From()->LangEnc() : nullptr; }

CTrieSettings CLookupProc::Settings() const {
    CTrieSettings s;
    s.breaks = m_owner ? m_owner->MorphemeBreaks() : std::string("-");
    s.enc = SourceEnc();
    s.stopAtSeparator = stopAtSemicolon;
    s.separator = glossSeparator;
    return s;
}

void CLookupProc::EnsureBuilt(COpenDatabases& dbs) {
    m_dbs = &dbs;
    const std::string base = m_owner ? m_owner->Base() : std::string();
    const int kinds = m_parse ? 5 : 1;
    // A lexicon opened after the index was built is taken in then.
    for (int k = 0; k < kinds; ++k)
        if (!Trie(k).IsBuilt() || Trie(k).MissesOpenedDatabase(dbs, base))
            Trie(k).Build(dbs, base, Settings());
}

std::vector<std::string> CLookupProc::LookupWord(std::string_view text, std::size_t& matched) {
    std::vector<std::string> results;
    matched = 0;
    Trie(CLexiconTrie::kLookup)
        .Lookup(text, results, matched,
                CLexiconTrie::kWordEnd | CLexiconTrie::kLowerRetry | CLexiconTrie::kLongest);
    return results;
}

// ---------------------------------------------------------------- the parser

std::vector<std::string> CLookupProc::ParseWord(std::string_view word, bool rootGuess,
                                                bool& cyclic) {
    platform().Trace().Write("Parse______________\n");
    std::vector<std::string> results;
    ParseState state;
    state.rootGuess = rootGuess;
    state.room = word.empty() ? 0 : word.size() - 1;
    Parse(word, results, preferPrefix ? 2 : 1, state);
    cyclic = state.cyclic;
    // The same analysis found along two orders of stripping is one.
    std::vector<std::string> distinct;
    for (std::string& r : results)
        if (std::find(distinct.begin(), distinct.end(), r) == distinct.end())
            distinct.push_back(std::move(r));
    return distinct;
}

bool CLookupProc::Parse(std::string_view word, std::vector<std::string>& results, int depth,
                        ParseState& st) {
    if (++st.calls > kMaxParseCalls || word.empty())
        return false;
    std::string w(word);
    platform().Trace().Write("%s %d\n", w.c_str(), depth);
    bool found = false;
    for (const auto& m :
         Trie(CLexiconTrie::kRoot).Find(word, CLexiconTrie::kWordEnd | CLexiconTrie::kLowerRetry)) {
        if (m.length != word.size())
            continue;
        results.push_back(m.entry->value.empty() ? w : m.entry->value);
        found = true;
    }
    const bool stopEarly = m_multipleAnalysis && !cr2Parse;
    if (found && stopEarly)
        return true;
    if (st.rootGuess && word.size() <= st.room) {
        std::string guess =
            (showFailMark ? failMark : std::string()) + (showRootGuess ? w : std::string());
        results.push_back(guess);
        return true;
    }
    if (depth > kMaxDepth) {
        if (!st.cyclic) {
            platform().ShowMessage(
                FormatMessage("Morphophonemic form gives cyclical pattern %1", {w}));
            st.cyclic = true;
        }
        return found;
    }
    if (depth == 0)
        return found;
    for (int pass = 0; pass < 2; ++pass) {
        const int childDepth = pass == 0 ? 0 : depth;
        for (int turn = 0; turn < 2; ++turn) {
            if ((depth + turn) % 2 == 0)
                found |= StripPrefixes(word, results, childDepth, st);
            else
                found |= StripSuffixes(word, results, childDepth, st);
        }
        if (found && stopEarly)
            return true;
    }
    if (!st.rootGuess && (!found || !stopEarly))
        found |= StripInfixes(word, results, st);
    return found;
}

bool CLookupProc::StripPrefixes(std::string_view word, std::vector<std::string>& results, int depth,
                                ParseState& st) {
    const std::string breakText(1, m_owner ? m_owner->FirstBreak() : '-');
    const char mbnd = m_owner ? m_owner->MorphophonemicBoundary() : '+';
    bool found = false;
    std::size_t successLength = 0;
    for (const auto& m : Trie(CLexiconTrie::kPrefix).Find(word, 0)) {
        if (found && m_multipleAnalysis && !cr2Parse && m.length != successLength)
            break;
        if (m.length == 0 || m.length >= word.size())
            continue;
        std::string value = m.entry->value.empty()
                                ? std::string(word.substr(0, m.length)) + breakText
                                : m.entry->value;
        std::string stem(word.substr(m.length));
        std::size_t b = value.find(mbnd);
        if (b != std::string::npos) {
            std::string after = value.substr(b + 1);
            value.resize(b);
            if (value.empty() || value.back() != ' ')
                value += breakText;
            stem = after + stem;
        }
        if (!stem.empty() && m_owner && m_owner->IsBreak(stem.front()))
            stem.erase(0, 1);
        std::vector<std::string> sub;
        const int childDepth = depth == 0 ? 0 : depth + (preferPrefix ? 2 : 1);
        if (!Parse(stem, sub, childDepth, st))
            continue;
        for (const std::string& r : sub)
            results.push_back(value + " " + r);
        found = true;
        successLength = m.length;
    }
    return found;
}

bool CLookupProc::StripSuffixes(std::string_view word, std::vector<std::string>& results, int depth,
                                ParseState& st) {
    const std::string breakText(1, m_owner ? m_owner->FirstBreak() : '-');
    const char mbnd = m_owner ? m_owner->MorphophonemicBoundary() : '+';
    bool found = false;
    std::size_t successLength = 0;
    for (const auto& m : Trie(CLexiconTrie::kSuffix).Find(word, CLexiconTrie::kLowerRetry)) {
        if (found && m_multipleAnalysis && !cr2Parse && m.length != successLength)
            break;
        if (m.length == 0 || m.length >= word.size())
            continue;
        std::string value = m.entry->value.empty()
                                ? breakText + std::string(word.substr(word.size() - m.length))
                                : m.entry->value;
        std::string stem(word.substr(0, word.size() - m.length));
        std::size_t b = value.find(mbnd);
        if (b != std::string::npos) {
            std::string before = value.substr(0, b);
            value.erase(0, b + 1);
            if (value.empty() || value.front() != ' ')
                value = breakText + value;
            stem += before;
        }
        if (!stem.empty() && m_owner && m_owner->IsBreak(stem.back()))
            stem.pop_back();
        std::vector<std::string> sub;
        const int childDepth = depth == 0 ? 0 : depth + (preferSuffix ? 2 : 1);
        if (!Parse(stem, sub, childDepth, st))
            continue;
        for (const std::string& r : sub)
            results.push_back(r + " " + value);
        found = true;
        successLength = m.length;
    }
    return found;
}

bool CLookupProc::StripInfixes(std::string_view word, std::vector<std::string>& results,
                               ParseState& st) {
    const CLexiconTrie& infixes = Trie(CLexiconTrie::kInfix);
    if (infixes.IsEmpty())
        return false;
    bool found = false;
    for (std::size_t at = 1; at + 1 < word.size(); ++at) {
        for (const auto& m : infixes.Find(word.substr(at), 0)) {
            if (at + m.length >= word.size())
                continue;
            std::string rest =
                std::string(word.substr(0, at)) + std::string(word.substr(at + m.length));
            const std::string breakText(1, m_owner ? m_owner->FirstBreak() : '-');
            std::string value = m.entry->value.empty()
                                    ? breakText + std::string(word.substr(at, m.length)) + breakText
                                    : m.entry->value;
            std::vector<std::string> sub;
            if (!Parse(rest, sub, 1, st))
                continue;
            for (const std::string& r : sub)
                results.push_back(infixBefore ? value + " " + r : r + " " + value);
            found = true;
        }
    }
    return found;
}

bool CLookupProc::CompoundRoots(std::string_view word, std::vector<std::string>& results,
                                ParseState& st) {
    // Allowed multiple roots: a root at the start of the word followed by a parse of
    // the rest, which may hold further roots.
    bool found = false;
    for (const auto& m : Trie(CLexiconTrie::kRoot).Find(word, CLexiconTrie::kLowerRetry)) {
        if (m.length == 0 || m.length >= word.size())
            continue;
        std::string rest(word.substr(m.length));
        if (m_owner && m_owner->IsBreak(rest.front()))
            rest.erase(0, 1);
        std::vector<std::string> sub;
        if (!Parse(rest, sub, preferPrefix ? 2 : 1, st) && !CompoundRoots(rest, sub, st))
            continue;
        const std::string value =
            m.entry->value.empty() ? std::string(word.substr(0, m.length)) : m.entry->value;
        for (const std::string& r : sub)
            results.push_back(value + " " + r);
        found = true;
    }
    return found;
}

// ---------------------------------------------------------------- one word

CSourceWord CLookupProc::CutWord(std::string_view line, std::size_t pos) const {
    CSourceWord sw;
    const char fgStart = m_owner ? m_owner->ForcedGlossStart() : '{';
    const char fgEnd = m_owner ? m_owner->ForcedGlossEnd() : '}';
    auto isBreak = [&](char c) { return m_owner ? m_owner->IsBreak(c) : c == '-'; };
    const CLangEnc* enc = SourceEnc();
    std::size_t p = std::min(pos, line.size());
    while (p < line.size() && (line[p] == ' ' || line[p] == '\n'))
        ++p;
    sw.start = p;
    std::size_t e = p;
    while (e < line.size() && line[e] != ' ' && line[e] != '\n')
        ++e;
    sw.end = e;
    std::size_t coreEnd = e;
    std::size_t fg = line.find(fgStart, p);
    if (fg != std::string_view::npos && fg < e) {
        std::size_t close = line.find(fgEnd, fg + 1);
        if (close != std::string_view::npos) {
            // A forced value may hold spaces: the token runs on to its end.
            sw.hasForced = true;
            sw.forced = std::string(line.substr(fg + 1, close - fg - 1));
            sw.forcedEnd = close + 1;
            std::size_t after = close + 1;
            while (after < line.size() && line[after] != ' ' && line[after] != '\n')
                ++after;
            sw.trailPunc = std::string(line.substr(close + 1, after - close - 1));
            sw.end = after;
            coreEnd = fg;
        }
    }
    auto isWord = [&](std::size_t i) { return isBreak(line[i]) || IsWordCharacter(enc, line, i); };
    std::size_t cs = p;
    while (cs < coreEnd && !isWord(cs)) {
        std::size_t q = cs;
        if (enc)
            enc->NextUnit(line, q);
        else
            ++q;
        cs = std::max(q, cs + 1);
    }
    // Trailing punctuation: the units after the last word character.
    std::size_t lastWordEnd = cs;
    for (std::size_t i = cs; i < coreEnd;) {
        std::size_t q = i;
        if (enc)
            enc->NextUnit(line, q);
        q = std::max(q, i + 1);
        if (isWord(i))
            lastWordEnd = std::min(q, coreEnd);
        i = q;
    }
    sw.leadPunc = std::string(line.substr(p, cs - p));
    sw.trailPunc = std::string(line.substr(lastWordEnd, coreEnd - lastWordEnd)) + sw.trailPunc;
    std::size_t ce = lastWordEnd;
    if (cs < ce && isBreak(line[cs])) {
        sw.leadBreak = line[cs];
        ++cs;
    }
    if (cs < ce && isBreak(line[ce - 1])) {
        sw.trailBreak = line[ce - 1];
        --ce;
    }
    sw.coreStart = cs;
    sw.coreEnd = ce;
    return sw;
}

std::string CLookupProc::CleanUp(std::string_view output) const {
    const char fgStart = m_owner ? m_owner->ForcedGlossStart() : '{';
    const char fgEnd = m_owner ? m_owner->ForcedGlossEnd() : '}';
    std::string out;
    bool inForced = false;
    for (char c : output) {
        if (inForced) {
            inForced = c != fgEnd;
            continue;
        }
        if (c == fgStart) {
            inForced = true;
            continue;
        }
        const bool isBreak = m_owner ? m_owner->IsBreak(c) : c == '-';
        if (isBreak && !out.empty() && m_owner && m_owner->IsBreak(out.back()))
            continue;
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string CLookupProc::Finish(const CSourceWord& sw, std::string output,
                                std::string_view line) const {
    const std::string core(line.substr(sw.coreStart, sw.coreEnd - sw.coreStart));
    if (output.empty())
        output = core;
    if (sw.leadBreak && (output.empty() || output.front() != sw.leadBreak))
        output.insert(output.begin(), sw.leadBreak);
    if (sw.trailBreak && (output.empty() || output.back() != sw.trailBreak))
        output += sw.trailBreak;
    if (cr2Parse)
        output = CleanUp(output);
    const CLangEnc* enc = SourceEnc();
    if (keepCap && enc && !core.empty() && !output.empty()) {
        std::size_t p = 0;
        const CLangChar* first = enc->NextUnit(core, p);
        std::size_t q = 0;
        const CLangChar* out = enc->NextUnit(output, q);
        if (first && first->IsUpper() && out && !out->IsUpper() && out->UpperForm())
            output = out->UpperForm()->Text() + output.substr(q);
    }
    if (keepPunc)
        output = sw.leadPunc + output + sw.trailPunc;
    return output;
}

std::string CLookupProc::FailureOutput(CInterlinearRun& run, const std::string& word, bool parsed,
                                       bool& stop, const CSourceWord& sw) {
    (void)sw;
    stop = false;
    platform().Trace().Write("Failure_________\n");
    if (insertFail) {
        CRecPos none;
        Answer a = run.Host().AskInsertOnFailure(word, none, none);
        if (a == Answer::Yes) {
            run.Host().JumpInsert(word);
            stop = true;
            return {};
        }
        if (a == Answer::Cancel) {
            stop = true;
            return {};
        }
    }
    const std::string mark = showFailMark ? failMark : std::string();
    std::string output;
    if (!parsed || !m_parse) {
        output = mark + (showWord ? word : std::string());
    } else if (showWord) {
        output = mark + word;
    } else {
        output = mark;
        const bool guessable = !word.empty() && !m_owner->IsBreak(word.front()) &&
                               !m_owner->IsBreak(word.back()) && !StartsWithDigit(word) &&
                               !(!failMark.empty() && word.starts_with(failMark));
        if (guessable) {
            std::vector<std::string> compound;
            ParseState st;
            st.room = word.size();
            if (!noCompRoot && CompoundRoots(word, compound, st)) {
                return compound.front();
            }
            bool cyclic = false;
            std::vector<std::string> guesses = ParseWord(word, true, cyclic);
            if (!guesses.empty())
                return guesses.front();
        }
    }
    if (applyZT && m_table.IsLoaded()) {
        std::string out;
        ChangeTableResult r = m_table.Process(" " + word + " ", out);
        if (r)
            output = Trimmed(out.size() > 1000 ? std::string_view(out).substr(0, 1000) : out);
    }
    return output;
}

ProcStatus CLookupProc::ProcessWord(CInterlinearRun& run, std::string_view line, std::size_t pos,
                                    std::string& output, std::size_t& extent) {
    CSourceWord sw = CutWord(line, pos);
    extent = sw.end;
    const std::string core(line.substr(sw.coreStart, sw.coreEnd - sw.coreStart));
    std::string word = core;
    if (sw.leadBreak)
        word.insert(word.begin(), sw.leadBreak);
    if (sw.trailBreak)
        word += sw.trailBreak;
    std::vector<std::string> results;
    bool found = false;
    if (!core.empty()) {
        auto lookup = [&] {
            // The word itself, then the rest of the line after its token, so that a phrase
            // can match across the space and an edge break does not hide the word's end.
            std::string text = core + std::string(line.substr(std::min(sw.end, line.size())));
            std::size_t matched = 0;
            results = LookupWord(text, matched);
            if (results.empty())
                return false;
            if (matched > core.size()) {
                // A phrase: the source runs on over the words it matched.
                std::size_t end = sw.end + (matched - core.size());
                CSourceWord last = CutWord(line, end);
                sw.coreEnd = end;
                sw.trailBreak = 0;
                sw.trailPunc.clear();
                sw.end = std::max(end, end < line.size() && line[end] != ' ' ? last.end : end);
                sw.hasForced = last.hasForced && last.start == end;
                sw.forced = last.forced;
                extent = sw.end;
            }
            return true;
        };
        if (!m_parse) {
            found = lookup();
        } else {
            const bool wholeFirst = cr2Parse && !Trie(CLexiconTrie::kLookup).IsEmpty();
            if (wholeFirst)
                found = lookup();
            if (!found && !Trie(CLexiconTrie::kRoot).IsEmpty()) {
                bool cyclic = false;
                results = ParseWord(core, false, cyclic);
                found = !results.empty();
            }
            if (!found && !cr2Parse)
                found = lookup();
        }
    }
    const char fgStart = run.Procs().ForcedGlossStart();
    if (found) {
        for (std::string& r : results) {
            std::size_t at = r.find(fgStart);
            if (at != std::string::npos)
                r.resize(at);
        }
        if (sw.hasForced) {
            std::vector<std::string> kept;
            for (const std::string& r : results)
                if (Trimmed(r) == Trimmed(sw.forced))
                    kept.push_back(r);
            if (kept.empty()) {
                platform().ShowMessage(
                    FormatMessage("Forced value not in lexicon: %1", {sw.forced}));
                output = Finish(sw, showFailMark ? failMark : std::string(), line);
                return ProcStatus::Ok;
            }
            results = std::move(kept);
        }
        std::vector<std::string> distinct;
        for (const std::string& r : results)
            if (std::find(distinct.begin(), distinct.end(), r) == distinct.end())
                distinct.push_back(r);
        std::size_t chosen = 0;
        if (distinct.size() > 1) {
            auto pick = run.Host().ChooseAmbiguity(distinct);
            if (!pick || *pick >= distinct.size())
                return ProcStatus::Stop;
            chosen = *pick;
            run.Host().AmbiguityChosen(distinct, chosen);
        }
        output = Finish(sw, distinct[chosen], line);
        return ProcStatus::Ok;
    }
    // Numbers, failure marks already written and lone break characters pass unchanged.
    if (StartsWithDigit(core) || (!failMark.empty() && word.starts_with(failMark)) ||
        (word.size() == 1 && run.Procs().IsBreak(word[0])) || core.empty()) {
        output = Finish(sw, core, line);
        return ProcStatus::Ok;
    }
    bool stop = false;
    std::string failure = FailureOutput(run, word, true, stop, sw);
    if (stop)
        return ProcStatus::Stop;
    // The failure output stands as it is: an empty one is the word itself.
    CSourceWord plain = sw;
    if (failure.empty()) {
        output = Finish(sw, core, line);
    } else {
        plain.leadBreak = plain.trailBreak = 0;
        output = Finish(plain, failure, line);
        if (sw.leadBreak && output.find(sw.leadBreak) != 0 &&
            failure.find(word) == std::string::npos)
            output.insert(output.begin(), sw.leadBreak);
    }
    return ProcStatus::Ok;
}

ProcStatus CLookupProc::Interlinearize(CInterlinearRun& run, CColumn& column) {
    CBundle& bundle = run.Bundle();
    CField* from = bundle.Find(From());
    if (!from || !To())
        return ProcStatus::Ok;
    if (COpenDatabases* dbs = run.Host().Databases())
        EnsureBuilt(*dbs);
    CField* to = bundle.FindOrAdd(To());
    const bool first = column.ran == 0;
    std::size_t pos = column.col; // columns from here on; bytes only inside a line
    if (!first)
        run.ClearColumn(to, column.col, column.width);
    for (;;) {
        const std::string& line = from->Text();
        const std::size_t limitCol =
            first || column.width >= kToLineEnd ? ColumnCount(line) : column.col + column.width;
        const std::size_t limit = std::min(line.size(), ByteOfColumn(line, limitCol));
        std::size_t ws = ByteOfColumn(line, pos);
        while (ws < line.size() && (line[ws] == ' ' || line[ws] == '\n'))
            ++ws;
        if (ws >= limit) {
            if (first)
                column.width = kToLineEnd;
            return ProcStatus::Ok;
        }
        std::string output;
        std::size_t extent = ws;
        if (ProcessWord(run, line, ws, output, extent) == ProcStatus::Stop)
            return ProcStatus::Stop;
        const std::string& after = from->Text();
        const std::size_t wsCol = ColumnOfByte(after, ws);
        const std::size_t extentCol = ColumnOfByte(after, extent);
        const std::size_t nextByte = NextWordStart(after, extent);
        std::size_t next = nextByte >= kToLineEnd ? kToLineEnd : ColumnOfByte(after, nextByte);
        if (first && pos == column.col) {
            column.width = next >= kToLineEnd ? kToLineEnd : next - column.col;
            run.ClearColumn(to, column.col, m_adapt ? kToLineEnd : column.width);
        }
        if (!first && column.width < kToLineEnd && next > column.col + column.width)
            next = column.col + column.width;
        if (!run.WriteOutput(to, wsCol, output, next, column))
            return ProcStatus::Stop;
        // The first process of a column does one word; an adaptation process goes on to
        // the end of the line.
        pos = std::max(extentCol, wsCol + 1);
        if (first && !m_adapt)
            return ProcStatus::Ok;
        if (first)
            column.width = kToLineEnd;
    }
}

bool CLookupProc::SpellCheckFails(CInterlinearRun& run, std::string_view token) {
    if (COpenDatabases* dbs = run.Host().Databases())
        EnsureBuilt(*dbs);
    CSourceWord sw = CutWord(token, 0);
    std::string_view word = token.substr(sw.coreStart, sw.coreEnd - sw.coreStart);
    if (word.empty() || StartsWithDigit(word))
        return false;
    std::size_t matched = 0;
    if (!LookupWord(word, matched).empty())
        return false;
    if (m_parse) {
        bool cyclic = false;
        if (!ParseWord(word, false, cyclic).empty())
            return false;
    }
    return true;
}

} // namespace crv
