#include "record/record.h"

#include <utility>

#include "base/platform.h"
#include "base/sf_syntax.h"
#include "record/rec_pos.h"
#include "record/record_arena.h"
#include "schema/marker.h"

namespace crv {

CRecord::CRecord(CField* first) {
    CRV_ASSERT(first != nullptr);
    if (first)
        Add(first);
}

void CRecord::operator delete(CRecord* record, std::destroying_delete_t) {
    if (!record->m_inBlock) {
        record->~CRecord();
        ::operator delete(record);
        return;
    }
    // The arena makes plain records only.
    record->CRecord::~CRecord();
    RecordArena::Release(record, sizeof(CRecord));
}

FieldText CRecord::GetKey() const {
    const CField* first = GetFirst();
    CRV_ASSERT(first != nullptr);
    return first ? first->Text() : FieldText();
}

CField* CRecord::FindField(const CMarker* m) const {
    for (CField* f = GetFirst(); f; f = GetNext(f))
        if (f->Marker() == m)
            return f;
    return nullptr;
}

CField* CRecord::FindRelatedField(const CMarker* m, const CField* from) const {
    if (!from)
        return FindField(m);
    const CMarker* f = from->Marker();
    if (f == m)
        return const_cast<CField*>(from);
    if (!m || !f || !m->Parent() || !f->Parent())
        return FindField(m);

    if (m->IsUnder(f)) {
        // m is inside from's group: look forward while the group lasts.
        for (CField* fld = GetNext(from); fld; fld = GetNext(fld)) {
            if (!fld->Marker()->IsUnder(f))
                return nullptr;
            if (fld->Marker() == m)
                return fld;
        }
        return nullptr;
    }
    if (f->IsUnder(m)) {
        // from is inside a group of m: look back to the group's head.
        for (CField* fld = GetPrev(from); fld; fld = GetPrev(fld)) {
            if (fld->Marker()->Level() < m->Level())
                return nullptr;
            if (fld->Marker() == m)
                return fld;
        }
        return nullptr;
    }
    const CMarker* c = f->NearestCommonAncestor(m);
    if (!c)
        return FindField(m);
    // Back to the head of the group that holds both, then forward through that group.
    CField* anchor = GetPrev(from);
    while (anchor && anchor->Marker() != c && !c->IsUnder(anchor->Marker()))
        anchor = GetPrev(anchor);
    if (!anchor)
        anchor = GetFirst(); // only a broken hierarchy gets here
    int anchorLevel = anchor->Marker()->Level();
    for (CField* fld = GetNext(anchor); fld; fld = GetNext(fld)) {
        // A field at the anchor's level or above begins the next group (the next sense).
        if (fld->Marker()->Level() <= anchorLevel)
            return nullptr;
        if (fld->Marker() == m)
            return fld;
    }
    return nullptr;
}

bool CRecord::StampDate(CMarker* m, std::string_view today) {
    if (today.empty() || !m)
        return false;
    CField* f = FindField(m);
    if (!f) {
        Add(new CField(m, std::string(today)));
        return true; // NOLINT(clang-analyzer-cplusplus.NewDeleteLeaks): the record owns it
    }
    FieldText text = std::as_const(*f).Text();
    std::size_t nl = text.find('\n');
    std::size_t firstLine = nl == std::string::npos ? text.size() : nl;
    if (text.size() - firstLine + today.size() > static_cast<std::size_t>(kMaxFieldLength))
        return false;
    f->Text().replace(0, firstLine, today);
    return true;
}

namespace {

// The next line of pasted text: up to CR LF or LF; the line end is not part of it.
std::string_view NextPastedLine(std::string_view text, std::size_t& pos, bool& more) {
    std::size_t nl = text.find('\n', pos);
    std::size_t end = nl == std::string_view::npos ? text.size() : nl;
    std::string_view line = text.substr(pos, end - pos);
    if (nl != std::string_view::npos && !line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    more = nl != std::string_view::npos;
    pos = more ? nl + 1 : text.size();
    return line;
}

} // namespace

void CRecord::InsertText(CRecPos& pos, std::string_view text) {
    CField* cur = pos.Field();
    CRV_ASSERT(cur != nullptr && pos.Record() == this);
    if (!cur)
        return;
    CMarkerSet* markers = cur->Marker()->Owner();
    const CMarker* recordMarker = GetFirst()->Marker();

    std::string& start = cur->Text();
    std::size_t cut = static_cast<std::size_t>(pos.Offset());
    if (cut > start.size())
        cut = start.size();
    std::string tail = start.substr(cut);
    start.resize(cut);

    // Every length check counts the tail too, so that the user's own text after the
    // caret always fits back in.
    auto fits = [&](std::size_t adding) {
        return FieldLengthOK(static_cast<std::int64_t>(cur->Length() + adding + tail.size()));
    };

    bool markersAdded = false;
    bool afterBreak = !text.empty() && text[0] == '\\';
    std::size_t at = 0;
    bool more = true;
    while (more) {
        std::string_view line = NextPastedLine(text, at, more);
        if (afterBreak) {
            SFLine parsed = ClassifyLine(line);
            if (parsed.kind == SFLineKind::Marker) {
                bool added = false;
                CMarker* mkr =
                    markers ? markers->SearchOrAddFromData(parsed.name, &added) : nullptr;
                markersAdded |= added;
                if (mkr && mkr != recordMarker) {
                    if (!FieldLengthOK(static_cast<std::int64_t>(parsed.text.size() + tail.size())))
                        break;
                    auto* fresh = new CField(mkr);
                    InsertAfter(cur, fresh);
                    cur = fresh;
                    cur->Text().append(parsed.text);
                } else {
                    // A record marker never starts a record inside a record: the line
                    // stays text of the current field (with the space in front that
                    // saving would give it).
                    if (!fits(2 + 1 + parsed.name.size() + 1 + parsed.text.size()))
                        break;
                    std::string& t = cur->Text();
                    t += "\n \\";
                    t.append(parsed.name);
                    t += ' ';
                    t.append(parsed.text);
                    platform().Beep();
                }
            } else {
                // A line that begins with a backslash but starts no field is text; it
                // gets the space in front that saving would give it, so that the text
                // kept is the text written and read back.
                bool escape = !line.empty() && line[0] == '\\';
                if (!fits(1 + (escape ? 1 : 0) + line.size()))
                    break;
                cur->Text() += escape ? "\n " : "\n";
                cur->Text().append(line);
            }
        } else {
            if (!fits(line.size()))
                break;
            cur->Text().append(line);
        }
        afterBreak = true;
    }

    if (markersAdded)
        TellNewMarkersAdded();
    int end = static_cast<int>(cur->Length());
    cur->Text().append(tail);
    pos.SetField(cur, end);
}

std::string TemplateFromRecord(const CRecord& record, bool includeContents) {
    std::string out;
    for (const CField& field : record) {
        if (!out.empty())
            out += '\n';
        out += '\\';
        out += field.Marker() ? field.Marker()->Name() : std::string();
        if (includeContents && !field.Text().empty()) {
            out += ' ';
            out += field.Text();
        }
    }
    return out;
}

} // namespace crv
