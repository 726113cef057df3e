// The settings form of a filter set, inside its database type:
//   \+filset
//   \+fil NAME          one object per filter, its elements in the order entered:
//   \fel And            operators and parentheses (And Or Not ( ) With NonUnique)
//   \mkr ge  \txt walk  marker text
//   \mkr dt  \rel <  \dat 30/Jun/2001      marker date
//   \lng English (or \lngAny)  \txt walk   language text
//   \MatchWhole         when set
//   \match_char p       the match mask's letter
//   \-fil
//   \-filset
// Entries that make no element are kept and written back as they were read.
#include "engine/filter.h"

#include "base/object_stream.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv {

namespace {

constexpr std::string_view kSetObject = "filset";
constexpr std::string_view kFilterObject = "fil";

// The entries of a marker or language element read so far.
struct PendingElement {
    enum class Kind { None, Marker, Lang };
    Kind kind = Kind::None;
    std::string name; // the marker or encoding
    bool any = false; // any language
    bool hasRel = false;
    std::string rel;
    CFilterUnreadable::Entries entries;
};

} // namespace

bool CFilterSet::Read(ObjectStream& is, CNoteList& notes) {
    if (!is.ReadBeginMarker(kSetObject))
        return false;
    SettingsObjectReader reader(is, kSetObject, m_kept, {kFilterObject});
    while (reader.Next()) {
        std::string name;
        int line = is.EntryLine();
        if (is.ReadBeginMarker(kFilterObject, name)) {
            ReadFilter(is, name, line, notes);
            continue;
        }
        reader.Keep();
    }
    return true;
}

void CFilterSet::ReadFilter(ObjectStream& is, const std::string& name, int line, CNoteList& notes) {
    CFilterElementList elements;
    bool matchWhole = false;
    int mask = kMatchPrimary;
    CNoteList found;
    auto note = [&](CNote n) {
        n.SetFileLine(is.EntryLine());
        found.push_back(std::move(n));
    };

    PendingElement pending;
    // A marker or language element left without its text or date is kept unreadable.
    auto flush = [&] {
        if (pending.kind != PendingElement::Kind::None)
            elements.push_back(std::make_unique<CFilterUnreadable>(std::move(pending.entries)));
        pending = PendingElement();
    };
    auto textElement = [&](const std::string& text) {
        CNote error;
        std::optional<CTextPattern> pattern = CompileFilterPattern(text, VarNames(), error);
        if (!pattern)
            note(std::move(error));
        CFilterPattern p(text, std::move(pattern));
        if (pending.kind == PendingElement::Kind::Marker)
            elements.push_back(std::make_unique<CFilterMarkerText>(CFilterMarker(pending.name), p));
        else
            elements.push_back(std::make_unique<CFilterLangText>(pending.any, pending.name, p));
        pending = PendingElement();
    };

    KeptEntries kept;
    // The next filter's begin line ends one whose end line is missing.
    SettingsObjectReader reader(is, kFilterObject, kept);
    while (reader.Next()) {
        std::string value;
        bool flag = false;
        char c = 0;
        if (is.ReadString("mkr", value)) {
            flush();
            pending.kind = PendingElement::Kind::Marker;
            pending.name = value;
            pending.entries.emplace_back("mkr", value);
        } else if (is.ReadString("lng", value)) {
            flush();
            pending.kind = PendingElement::Kind::Lang;
            pending.name = value;
            pending.entries.emplace_back("lng", value);
        } else if (is.ReadBool("lngAny", flag)) {
            flush();
            pending.kind = PendingElement::Kind::Lang;
            pending.any = true;
            pending.entries.emplace_back("lngAny", "");
        } else if (is.ReadString("rel", value)) {
            pending.entries.emplace_back("rel", value);
            if (pending.kind == PendingElement::Kind::Marker && !pending.hasRel) {
                pending.hasRel = true;
                pending.rel = value;
            } else {
                pending.kind = PendingElement::Kind::Marker; // kept whole as unreadable
                flush();
            }
        } else if (is.ReadString("dat", value)) {
            if (pending.kind == PendingElement::Kind::Marker) {
                CDateCondition condition;
                condition.SetRel(CDateCondition::RelationOfCode(pending.rel));
                CNote error;
                if (!condition.SetStoredDate(value, error))
                    note(std::move(error));
                elements.push_back(std::make_unique<CFilterMarkerDate>(CFilterMarker(pending.name),
                                                                       std::move(condition)));
                pending = PendingElement();
            } else {
                pending.kind = PendingElement::Kind::Marker;
                pending.entries.emplace_back("dat", value);
                flush();
            }
        } else if (is.ReadString("txt", value)) {
            if ((pending.kind == PendingElement::Kind::Marker && !pending.hasRel) ||
                pending.kind == PendingElement::Kind::Lang) {
                textElement(value);
            } else {
                pending.kind = PendingElement::Kind::Marker;
                pending.entries.emplace_back("txt", value);
                flush();
            }
        } else if (is.ReadString("fel", value)) {
            flush();
            if (std::optional<FilterElementKind> kind = OperatorOfSettingsWord(value))
                elements.push_back(std::make_unique<CFilterOperator>(*kind));
            else
                elements.push_back(std::make_unique<CFilterUnreadable>(
                    CFilterUnreadable::Entries{{"fel", value}}));
        } else if (is.ReadBool("MatchWhole", flag)) {
            matchWhole = true;
        } else if (is.ReadChar("match_char", c)) {
            int m = MatchMaskOfCode(c);
            mask = m < 0 ? kMatchPrimary : m;
        } else if (is.ReadString("mkrRecord", value)) {
            // Written by older versions; the record marker comes from the type.
        } else {
            reader.Keep();
        }
    }
    flush();

    CNote nameError;
    if (!CheckName(name, nullptr, nameError)) {
        nameError.SetFileLine(line);
        found.insert(found.begin(), std::move(nameError));
    }
    auto* filter = new CFilter(this, name, std::move(elements), matchWhole, mask);
    filter->m_fileLine = line;
    filter->m_kept = std::move(kept);
    if (!filter->IsParsed()) {
        CNote error = filter->ParseError();
        error.SetFileLine(line);
        found.push_back(std::move(error));
    }
    CSet<CFilter>::Add(filter);
    for (CNote& n : found) {
        n.Wrap("In a filter: ", name);
        notes.push_back(std::move(n));
    }
}

void CFilterSet::FinishReading(CNoteList& notes) {
    for (CFilter& filter : *this) {
        for (auto& element : filter.m_elements) {
            CNote error;
            CFilterMarker* marker = ElementMarker(*element);
            if (marker && !marker->Resolve(m_markers))
                CheckMarker(marker->Name(), error);
            auto* lang = dynamic_cast<CFilterLangText*>(element.get());
            if (lang && !lang->AnyLang())
                CheckLangEnc(lang->LangName(), error);
            if (!error.IsEmpty()) {
                error.SetFileLine(filter.m_fileLine);
                error.Wrap("In a filter: ", filter.Name());
                notes.push_back(std::move(error));
            }
        }
    }
}

void CFilterSet::Write(ObjectStream& os) const {
    if (IsEmpty() && m_kept.Empty())
        return;
    os.WriteBeginMarker(kSetObject);
    SettingsObjectWriter keep(os, m_kept);
    for (const CFilter& filter : *this) {
        os.WriteBeginMarker(kFilterObject, filter.Name());
        SettingsObjectWriter keepFilter(os, filter.m_kept);
        for (const auto& element : filter.Elements())
            element->Write(os);
        os.WriteBool("MatchWhole", filter.MatchWhole());
        os.WriteChar("match_char", MatchCodeOfMask(filter.MatchMask()));
        os.WriteEndMarker(kFilterObject);
    }
    os.WriteEndMarker(kSetObject);
}

} // namespace crv
