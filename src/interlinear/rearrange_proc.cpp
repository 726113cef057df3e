// Rearrange and Generate: the rule file, matching rules against the words of a column
// (and the part-of-speech line beside them), and rewriting.
#include "interlinear/rearrange_proc.h"

#include <algorithm>

#include "base/message_text.h"
#include "base/object_stream.h"
#include "base/platform.h"
#include "engine/db_ref.h"
#include "interlinear/interlinearizer.h"
#include "record/record.h"
#include "schema/database_type.h"
#include "schema/lang_enc.h"

namespace crv {

namespace {

constexpr int kMaxNesting = 10;
constexpr int kMaxRepeat = 20;
// A Generate rule applied this often to one text is taken to loop.
constexpr int kMaxRewrites = 1000;

std::vector<std::string> SplitSpaces(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        std::size_t j = i;
        while (j < s.size() && s[j] != ' ' && s[j] != '\t')
            ++j;
        if (j > i)
            out.emplace_back(s.substr(i, j - i));
        i = j;
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i <= s.size()) {
        std::size_t j = s.find('\n', i);
        if (j == std::string_view::npos)
            j = s.size();
        out.emplace_back(s.substr(i, j - i));
        i = j + 1;
    }
    return out;
}

// "[name]" or "[name*]": the name and whether it repeats; false for a literal.
bool ParseRef(std::string_view item, std::string& name, bool& star) {
    if (item.size() < 3 || item.front() != '[' || item.back() != ']')
        return false;
    name = std::string(item.substr(1, item.size() - 2));
    star = !name.empty() && name.back() == '*';
    if (star)
        name.pop_back();
    return !name.empty();
}

// The pieces of a rule line: literal text and references, in order.
struct Piece {
    bool ref = false;
    bool star = false;
    std::string text; // literal text or the name
};
std::vector<Piece> Pieces(std::string_view line) {
    std::vector<Piece> out;
    std::size_t i = 0;
    while (i < line.size()) {
        std::size_t open = line.find('[', i);
        std::size_t close = open == std::string_view::npos ? open : line.find(']', open);
        if (open == std::string_view::npos || close == std::string_view::npos) {
            out.push_back({false, false, std::string(line.substr(i))});
            break;
        }
        if (open > i)
            out.push_back({false, false, std::string(line.substr(i, open - i))});
        Piece p;
        if (ParseRef(line.substr(open, close + 1 - open), p.text, p.star))
            p.ref = true;
        else
            p.text = std::string(line.substr(open, close + 1 - open));
        out.push_back(p);
        i = close + 1;
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------- the rule file

void CRearrangeRules::Load(const CRecord& record, const CMarker* ru, const CMarker* def) {
    m_rules.clear();
    m_defs.clear();
    m_messages.clear();
    m_reported.clear();
    for (const CField& f : record) {
        if (def && f.Marker() == def) {
            std::vector<std::string> lines = SplitLines(f.Text());
            std::vector<std::string> head = SplitSpaces(lines.empty() ? "" : lines[0]);
            if (head.empty())
                continue;
            auto& alts = m_defs[head[0]];
            // Alternatives may also follow the name on its own line.
            if (head.size() > 1)
                alts.emplace_back(head.begin() + 1, head.end());
            for (std::size_t i = 1; i < lines.size(); ++i) {
                std::vector<std::string> items = SplitSpaces(lines[i]);
                if (!items.empty())
                    alts.push_back(std::move(items));
            }
        } else if (ru && f.Marker() == ru) {
            std::vector<std::string> lines = SplitLines(f.Text());
            std::string pattern = lines.empty() ? std::string() : lines[0];
            std::string output = lines.size() > 1 ? lines[1] : std::string();
            while (!pattern.empty() && pattern.back() == ' ')
                pattern.pop_back();
            while (!output.empty() && output.back() == ' ')
                output.pop_back();
            if (!pattern.empty())
                m_rules.push_back({pattern, output});
        }
    }
}

const std::vector<std::vector<std::string>>*
CRearrangeRules::Definition(const std::string& name) const {
    auto it = m_defs.find(name);
    return it == m_defs.end() ? nullptr : &it->second;
}

void CRearrangeRules::Report(std::string text) const {
    if (m_reported.insert(text).second) {
        platform().ShowMessage(text);
        m_messages.push_back(std::move(text));
    }
}

std::vector<std::size_t> CRearrangeRules::MatchItem(const std::string& item,
                                                    const std::vector<Token>& tokens,
                                                    std::size_t at, int depth) const {
    std::vector<std::size_t> ends;
    std::string name = item;
    bool optional = false;
    if (!name.empty() && name.front() == '(') {
        optional = true;
        name.erase(0, 1);
        while (!name.empty() && name.back() == ')')
            name.pop_back();
        ends.push_back(at);
    }
    if (name.empty())
        return ends;
    const auto* alts = Definition(name);
    if (!alts) {
        if (at < tokens.size() && (tokens[at].text == name || tokens[at].pos == name))
            ends.push_back(at + 1);
        return ends;
    }
    if (alts->empty()) {
        Report(FormatMessage("Definition %1 has no content.", {name}));
        return ends;
    }
    if (depth >= kMaxNesting) {
        Report(FormatMessage("%1 is left recursive, and will not match.", {name}));
        return optional ? ends : std::vector<std::size_t>();
    }
    for (const auto& alt : *alts) {
        // Each item of the alternative in turn, over every way the earlier ones matched.
        std::vector<std::size_t> here{at};
        for (const std::string& sub : alt) {
            std::vector<std::size_t> next;
            for (std::size_t p : here)
                for (std::size_t e : MatchItem(sub, tokens, p, depth + 1))
                    if (std::find(next.begin(), next.end(), e) == next.end())
                        next.push_back(e);
            here = std::move(next);
            if (here.empty())
                break;
        }
        for (std::size_t e : here)
            if (std::find(ends.begin(), ends.end(), e) == ends.end())
                ends.push_back(e);
    }
    std::sort(ends.rbegin(), ends.rend());
    return ends;
}

bool CRearrangeRules::MatchPattern(const std::vector<std::string>& items, std::size_t i,
                                   const std::vector<Token>& tokens, std::size_t at,
                                   std::vector<Capture>& caps, std::size_t& end) const {
    if (i == items.size()) {
        end = at;
        return true;
    }
    std::string name;
    bool star = false;
    if (!ParseRef(items[i], name, star)) {
        if (at < tokens.size() && (tokens[at].text == items[i] || tokens[at].pos == items[i]))
            return MatchPattern(items, i + 1, tokens, at + 1, caps, end);
        return false;
    }
    auto join = [&](std::size_t from, std::size_t to) {
        std::string text;
        for (std::size_t k = from; k < to; ++k) {
            if (!text.empty())
                text += ' ';
            text += tokens[k].text;
        }
        return text;
    };
    // Every end the reference can reach (a starred one repeated up to 20 times), longest
    // first.
    std::vector<std::size_t> reach = MatchItem(name, tokens, at, 0);
    if (star) {
        std::vector<std::size_t> frontier = reach;
        for (int n = 1; n < kMaxRepeat && !frontier.empty(); ++n) {
            std::vector<std::size_t> next;
            for (std::size_t p : frontier)
                for (std::size_t e : MatchItem(name, tokens, p, 0))
                    if (e > p && std::find(reach.begin(), reach.end(), e) == reach.end()) {
                        next.push_back(e);
                        reach.push_back(e);
                    }
            frontier = std::move(next);
        }
        std::sort(reach.rbegin(), reach.rend());
    }
    for (std::size_t e : reach) {
        caps.push_back({name, join(at, e)});
        if (MatchPattern(items, i + 1, tokens, e, caps, end))
            return true;
        caps.pop_back();
    }
    return false;
}

std::string CRearrangeRules::Rearrange(const std::vector<Token>& tokens, std::size_t at,
                                       std::size_t& consumed) const {
    consumed = 0;
    for (const Rule& rule : m_rules) {
        std::vector<Capture> caps;
        std::size_t end = at;
        if (!MatchPattern(SplitSpaces(rule.pattern), 0, tokens, at, caps, end) || end == at)
            continue;
        consumed = end - at;
        std::string out;
        std::map<std::string, int> used;
        for (const Piece& p : Pieces(rule.output)) {
            if (!p.ref) {
                out += p.text;
                continue;
            }
            int n = used[p.text]++;
            for (const Capture& c : caps)
                if (c.name == p.text && n-- == 0) {
                    out += c.text;
                    break;
                }
        }
        return out;
    }
    return {};
}

std::vector<std::string> CRearrangeRules::Texts(const std::string& name, int depth) const {
    const auto* alts = Definition(name);
    if (!alts)
        return {name};
    if (alts->empty()) {
        Report(FormatMessage("Definition %1 has no content.", {name}));
        return {};
    }
    if (depth >= kMaxNesting) {
        Report(FormatMessage("%1 is left recursive, and will not match.", {name}));
        return {};
    }
    std::vector<std::string> out;
    for (const auto& alt : *alts) {
        std::vector<std::string> texts{""};
        for (const std::string& item : alt) {
            std::vector<std::string> next;
            for (const std::string& sub : Texts(item, depth + 1))
                for (const std::string& t : texts)
                    next.push_back(t.empty() ? sub : t + " " + sub);
            texts = std::move(next);
            if (texts.size() > 4096)
                break; // a definition that multiplies beyond use
        }
        out.insert(out.end(), texts.begin(), texts.end());
    }
    return out;
}

namespace {

// Matches pieces against text from at; end is where the match stops.
bool MatchText(const std::vector<Piece>& pieces, std::size_t i, std::string_view text,
               std::size_t at, const std::vector<std::vector<std::string>>& alts,
               std::size_t& end) {
    if (i == pieces.size()) {
        end = at;
        return true;
    }
    const Piece& p = pieces[i];
    if (!p.ref) {
        if (text.substr(at, p.text.size()) != p.text)
            return false;
        return MatchText(pieces, i + 1, text, at + p.text.size(), alts, end);
    }
    std::vector<std::size_t> reach;
    std::vector<std::size_t> frontier{at};
    for (int n = 0; n < (p.star ? kMaxRepeat : 1) && !frontier.empty(); ++n) {
        std::vector<std::size_t> next;
        for (std::size_t pos : frontier)
            for (const std::string& t : alts[i])
                if (!t.empty() && text.substr(pos, t.size()) == t &&
                    std::find(reach.begin(), reach.end(), pos + t.size()) == reach.end()) {
                    reach.push_back(pos + t.size());
                    next.push_back(pos + t.size());
                }
        frontier = std::move(next);
    }
    std::sort(reach.rbegin(), reach.rend());
    for (std::size_t e : reach)
        if (MatchText(pieces, i + 1, text, e, alts, end))
            return true;
    return false;
}

} // namespace

std::string CRearrangeRules::Generate(std::string text) const {
    for (const Rule& rule : m_rules) {
        std::vector<Piece> pieces = Pieces(rule.pattern);
        std::vector<std::vector<std::string>> alts(pieces.size());
        for (std::size_t i = 0; i < pieces.size(); ++i)
            if (pieces[i].ref)
                alts[i] = Texts(pieces[i].text, 0);
        std::vector<Piece> outPieces = Pieces(rule.output);
        for (int n = 0; n < kMaxRewrites; ++n) {
            std::size_t start = 0, end = 0;
            bool found = false;
            for (; start < text.size() && !found; ++start)
                found = MatchText(pieces, 0, text, start, alts, end) && end > start;
            if (!found)
                break;
            --start;
            // The n-th reference of the output stands for what the n-th reference of
            // the same name matched: matched again piece by piece to learn it.
            std::string matched = text.substr(start, end - start);
            std::vector<std::pair<std::string, std::string>> caps;
            std::size_t pos = 0;
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                if (!pieces[i].ref) {
                    pos += pieces[i].text.size();
                    continue;
                }
                std::size_t best = pos;
                for (const std::string& t : alts[i]) {
                    std::size_t e = 0;
                    std::vector<Piece> rest(pieces.begin() + static_cast<long>(i) + 1,
                                            pieces.end());
                    std::vector<std::vector<std::string>> restAlts(
                        alts.begin() + static_cast<long>(i) + 1, alts.end());
                    if (matched.compare(pos, t.size(), t) == 0 &&
                        MatchText(rest, 0, matched, pos + t.size(), restAlts, e) &&
                        e == matched.size() && pos + t.size() > best)
                        best = pos + t.size();
                }
                caps.emplace_back(pieces[i].text, matched.substr(pos, best - pos));
                pos = best;
            }
            std::string replacement;
            std::map<std::string, int> used;
            for (const Piece& p : outPieces) {
                if (!p.ref) {
                    replacement += p.text;
                    continue;
                }
                int k = used[p.text]++;
                for (const auto& c : caps)
                    if (c.first == p.text && k-- == 0) {
                        replacement += c.second;
                        break;
                    }
            }
            std::string before = text.substr(0, start), after = text.substr(end);
            if (!before.empty() && before.back() == ' ' && !replacement.empty() &&
                replacement.front() == ' ')
                replacement.erase(0, 1);
            if (!after.empty() && after.front() == ' ' && !replacement.empty() &&
                replacement.back() == ' ')
                replacement.pop_back();
            if (!before.empty() && before.back() == ' ' && replacement.empty() && !after.empty() &&
                after.front() == ' ')
                after.erase(0, 1);
            std::string next = before + replacement + after;
            if (next == text)
                break;
            text = std::move(next);
        }
    }
    return text;
}

// ---------------------------------------------------------------- the process

CRearrangeProc::CRearrangeProc(CInterlinearProcList* owner, bool generate)
    : CInterlinearProc(owner), m_generate(generate) {}

CRearrangeProc::CRearrangeProc(const CRearrangeProc& other)
    : CInterlinearProc(other), keepMorphemeBreaks(other.keepMorphemeBreaks),
      boundary(other.boundary), m_generate(other.m_generate), m_pos(other.m_pos),
      m_punc(other.m_punc), m_ruleFile(other.m_ruleFile) {}

std::unique_ptr<CInterlinearProc> CRearrangeProc::Clone() const {
    return std::make_unique<CRearrangeProc>(*this);
}

void CRearrangeProc::MarkerDeleting(const CMarker* marker) {
    if (marker && m_pos.Marker() == marker)
        m_pos = CMarkerRef();
    if (marker && m_punc.Marker() == marker)
        m_punc = CMarkerRef();
}

void CRearrangeProc::OnMarkerUpdate(const CMarkerUpdate& update) {
    CInterlinearProc::OnMarkerUpdate(update);
    m_pos.Follow(update);
    m_punc.Follow(update);
}

void CRearrangeProc::WriteProperties(ObjectStream& os) const {
    os.WriteBool("bGenerateProc", m_generate);
    WriteFromTo(os);
    os.WriteString("PSFrom", m_pos.Name());
    os.WriteString("Punc", m_punc.Name());
    m_ruleFile.Write(os, "drflst");
    os.WriteBool("bAdapt", m_adapt);
    os.WriteBool("bKeepMorphemeBreaks", keepMorphemeBreaks);
}

bool CRearrangeProc::ReadProperty(ObjectStream& is, CDatabaseType& type) {
    std::string name;
    if (is.ReadString("PSFrom", name)) {
        m_pos = name.empty() ? CMarkerRef() : CMarkerRef(type.MarkerSet().SearchOrAdd(name));
        return true;
    }
    if (is.ReadString("Punc", name)) {
        m_punc = name.empty() ? CMarkerRef() : CMarkerRef(type.MarkerSet().SearchOrAdd(name));
        return true;
    }
    if (is.PeekBeginMarker("drflst")) {
        m_ruleFile.Read(is, "drflst", type.SettingsFolder(),
                        m_owner ? m_owner->Locator() : CFileLocator());
        return true;
    }
    return is.ReadBool("bGenerateProc", m_generate) ||
           is.ReadBool("bKeepMorphemeBreaks", keepMorphemeBreaks) ||
           CInterlinearProc::ReadProperty(is, type);
}

const CRearrangeRules* CRearrangeProc::Rules(COpenDatabases* dbs) {
    if (m_loaded)
        return m_usable ? &m_rules : nullptr;
    m_loaded = true;
    m_usable = false;
    CDbRef* ref = m_ruleFile.GetFirst();
    if (!ref)
        return nullptr;
    const std::string path = ref->FullPath(m_owner ? m_owner->Base() : std::string());
    CIndexSet* set = dbs ? dbs->Open(path) : nullptr;
    if (!set) {
        platform().ShowMessage(FormatMessage("Rearrangement rule file %1 not found.", {path}));
        return nullptr;
    }
    std::vector<CRecord*> records = set->RecordsInDefaultOrder();
    if (set->Records().IsEmpty()) {
        platform().ShowMessage(FormatMessage("Rearrangement rule file %1 is empty.", {path}));
        return nullptr;
    }
    // The first record of the file.
    const CRecord* first = set->Records().GetFirst();
    m_rules.Load(*first, set->Markers().Search("ru"), set->Markers().Search("def"));
    m_usable = true;
    return &m_rules;
}

std::string CRearrangeProc::GenerateText(std::string_view source,
                                         const CRearrangeRules& rules) const {
    std::string text;
    for (char c : source) {
        if (c == '\n')
            c = ' ';
        if (c == ' ' && !text.empty() && text.back() == ' ')
            continue;
        text += c;
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    while (!text.empty() && text.front() == ' ')
        text.erase(0, 1);
    std::string work = boundary + text + boundary;
    work = rules.Generate(std::move(work));
    std::string out;
    for (std::size_t i = 0; i < work.size();) {
        if (!boundary.empty() && work.compare(i, boundary.size(), boundary) == 0) {
            out += ' ';
            i += boundary.size();
            continue;
        }
        out += work[i++];
    }
    std::string trimmed;
    for (char c : out) {
        if (!keepMorphemeBreaks && m_owner && m_owner->IsBreak(c))
            continue;
        if (c == ' ' && (trimmed.empty() || trimmed.back() == ' '))
            continue;
        trimmed += c;
    }
    while (!trimmed.empty() && trimmed.back() == ' ')
        trimmed.pop_back();
    return trimmed.empty() ? text : trimmed;
}

ProcStatus CRearrangeProc::Interlinearize(CInterlinearRun& run, CColumn& column) {
    CBundle& bundle = run.Bundle();
    CField* from = bundle.Find(From());
    if (!from || !To())
        return ProcStatus::Ok;
    const CRearrangeRules* rules = Rules(run.Host().Databases());
    if (!rules)
        return ProcStatus::Ok;
    CField* to = bundle.FindOrAdd(To());
    const std::string line = from->Text();
    const bool toEnd = column.width >= kToLineEnd || column.ran == 0;
    std::size_t limit =
        toEnd ? line.size() : std::min(line.size(), ByteOfColumn(line, column.col + column.width));
    if (column.ran == 0 && !m_adapt) {
        // The first process of a column takes its width from its own line.
        std::size_t ws = ByteOfColumn(line, column.col);
        while (ws < line.size() && line[ws] == ' ')
            ++ws;
        std::size_t e = ws;
        while (e < line.size() && line[e] != ' ')
            ++e;
        std::size_t next = NextWordStart(line, e);
        column.width = next >= kToLineEnd ? kToLineEnd : ColumnOfByte(line, next) - column.col;
        limit = std::min(line.size(), e);
    } else if (column.ran == 0) {
        column.width = kToLineEnd;
    }
    // The words of the column (in columns) and the part-of-speech words at their columns.
    struct Word {
        std::size_t start, end;
    };
    std::vector<Word> words;
    std::vector<CRearrangeRules::Token> tokens;
    const CField* posLine = m_pos.Marker() ? bundle.Find(m_pos.Marker()) : nullptr;
    const std::string posText = posLine ? posLine->Text() : line;
    for (std::size_t p = ByteOfColumn(line, column.col); p < limit;) {
        while (p < limit && line[p] == ' ')
            ++p;
        if (p >= limit)
            break;
        std::size_t e = p;
        while (e < line.size() && line[e] != ' ')
            ++e;
        words.push_back({ColumnOfByte(line, p), ColumnOfByte(line, e)});
        CRearrangeRules::Token t;
        t.text = line.substr(p, e - p);
        std::size_t ps = ByteOfColumn(posText, words.back().start);
        std::size_t pe = ps;
        while (pe < posText.size() && posText[pe] != ' ')
            ++pe;
        if (ps < posText.size() && posText[ps] != ' ')
            t.pos = posText.substr(ps, pe - ps);
        tokens.push_back(std::move(t));
        p = e;
    }
    if (words.empty())
        return ProcStatus::Ok;
    const CField* puncLine = m_punc.Marker() ? bundle.Find(m_punc.Marker()) : nullptr;
    const CLangEnc* enc = From() ? From()->LangEnc() : nullptr;
    auto nextAfter = [&](std::size_t endCol) {
        std::size_t nb = NextWordStart(line, ByteOfColumn(line, endCol));
        std::size_t next = nb >= kToLineEnd ? kToLineEnd : ColumnOfByte(line, nb);
        if (column.width < kToLineEnd)
            next = std::min(next, column.col + column.width);
        return next;
    };
    if (m_generate) {
        const std::size_t b0 = ByteOfColumn(line, words.front().start);
        const std::size_t b1 = ByteOfColumn(line, words.back().end);
        std::string out = GenerateText(line.substr(b0, b1 - b0), *rules);
        // Capitals follow the text line's word; punctuation comes from its own line.
        const std::string& textLine = bundle.TextLine()->Text();
        std::size_t tb = ByteOfColumn(textLine, words.front().start);
        if (enc && tb < textLine.size() && !out.empty()) {
            std::size_t p = tb, q = 0;
            const CLangChar* first = enc->NextUnit(textLine, p);
            const CLangChar* o = enc->NextUnit(out, q);
            if (first && first->IsUpper() && o && !o->IsUpper() && o->UpperForm())
                out = o->UpperForm()->Text() + out.substr(q);
        }
        if (puncLine) {
            const std::string& pl = puncLine->Text();
            std::size_t ps = ByteOfColumn(pl, words.front().start);
            if (ps < pl.size() && pl[ps] != ' ') {
                std::size_t pe = ps;
                while (pe < pl.size() && pl[pe] != ' ')
                    ++pe;
                out += pl.substr(ps, pe - ps);
            }
        }
        return run.WriteOutput(to, words.front().start, out, nextAfter(words.back().end), column)
                   ? ProcStatus::Ok
                   : ProcStatus::Stop;
    }
    for (std::size_t i = 0; i < tokens.size();) {
        std::size_t consumed = 0;
        std::string out = rules->Rearrange(tokens, i, consumed);
        if (consumed == 0) {
            out = tokens[i].text;
            consumed = 1;
        }
        const std::size_t last = std::min(i + consumed, tokens.size()) - 1;
        std::size_t next =
            last + 1 < words.size() ? words[last + 1].start : nextAfter(words[last].end);
        if (column.width < kToLineEnd)
            next = std::min(next, column.col + column.width);
        if (!run.WriteOutput(to, words[i].start, out, next, column))
            return ProcStatus::Stop;
        // A widening moved the words after it.
        auto [at, by] = run.LastWidening();
        for (Word& w : words)
            if (by > 0 && w.start >= at) {
                w.start += by;
                w.end += by;
            }
        i += consumed;
    }
    return ProcStatus::Ok;
}

} // namespace crv
