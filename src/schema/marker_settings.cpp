// The settings form of a marker set, inside its database type's file:
//   \+mkrset
//   \lngDefault NAME   \mkrRecord NAME   \Subfields        (header keys, any order)
//   (blank line)
//   \+mkr NAME ... \-mkr                                   (one per marker, name order)
//   \-mkrset
// Marker keys are written in a fixed order and read in any order.
#include "schema/marker.h"

#include <algorithm>

#include "schema/marker_name.h"

namespace crv {

namespace {

// A range set line must stay one settings entry: an entry over the stream's limit would
// throw the reader into its overflow state and lose the rest of the type file.
constexpr std::size_t kRangeSetKeyLength = sizeof("\\rngset ") - 1;
constexpr std::size_t kMaxRangeSetWritten = ObjectStream::kMaxEntry - kRangeSetKeyLength;

// The keys of one "\+mkr" object as read, applied only when the marker is accepted.
struct MarkerEntries {
    std::string fieldName, description, langEnc, rangeSet, parentName, followingName;
    bool rangeSetCharacters = false, rangeSetNoSpace = false, noWordWrap = false;
    bool charStyle = false, hidden = false, subfield = false, hasFont = false;
    int section = 0;
    CFontDef font;
};

void ReadEntries(ObjectStream& is, MarkerEntries& e) {
    while (!is.AtEnd()) {
        if (is.ReadString("nam", e.fieldName) || is.ReadString("desc", e.description) ||
            is.ReadString("lng", e.langEnc) ||
            is.ReadBool("rngsetCharacter", e.rangeSetCharacters) ||
            is.ReadBool("rngsetNoSpace", e.rangeSetNoSpace) ||
            is.ReadString("rngset", e.rangeSet) || is.ReadBool("NoWordWrap", e.noWordWrap) ||
            is.ReadString("mkrOverThis", e.parentName) ||
            is.ReadString("mkrFollowingThis", e.followingName) ||
            is.ReadBool("CharStyle", e.charStyle) || is.ReadInteger("sect", e.section) ||
            is.ReadBool("Hidden", e.hidden) || is.ReadBool("Subfield", e.subfield))
            continue;
        if (is.ReadFont("", e.font)) {
            e.hasFont = true;
            continue;
        }
        // An object this version does not know (from a newer one) is passed over whole;
        // the next marker's begin line ends a marker whose end line is missing.
        std::string_view key = is.PeekKey();
        if (key.size() > 1 && key[0] == '+' && key != "+mkr") {
            is.SkipObject();
            continue;
        }
        if (is.IsOtherEnd("mkr") || is.ReadEnd("mkr"))
            break;
    }
}

} // namespace

bool CMarkerSet::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker("mkrset"))
        return false;
    int line = is.EntryLine();
    bool sawDefault = false;
    std::vector<CMarker*> defined, withoutLangEnc;
    while (!is.AtEnd()) {
        std::string value;
        if (is.ReadStringWithPrefix("lng", "Default", value)) {
            CLangEnc* enc =
                value.empty() || !m_langEncSet ? nullptr : m_langEncSet->FindOrCreate(value);
            if (enc) {
                m_defaultLangEnc = enc;
                sawDefault = true;
            }
            continue;
        }
        if (is.ReadString("mkrRecord", m_recordMarkerName) || is.ReadBool("Subfields", m_subfields))
            continue;
        if (is.PeekBeginMarker("mkr")) {
            ReadMarker(is, defined, withoutLangEnc);
            continue;
        }
        if (is.IsOtherEnd("mkrset") || is.ReadEnd("mkrset"))
            break;
    }
    if (!sawDefault) {
        // Every marker needs an encoding: a set without one (a damaged or hand-edited
        // file) takes the project's "Default" and says so.
        if (m_langEncSet)
            m_defaultLangEnc = m_langEncSet->Default();
        CNote note;
        note.AddText("The marker set names no default language encoding; using ",
                     DefaultLangEnc() ? DefaultLangEnc()->Name() : std::string("Default"));
        note.SetFileLine(line);
        is.Notes().push_back(std::move(note));
    }
    // Markers without "\lng" take the set's default, wherever "\lngDefault" stood.
    for (CMarker* m : withoutLangEnc)
        m->m_langEnc = DefaultLangEnc();
    m_namesPending = true;
    if (m_recordMarker)
        ResolveNames();
    return true;
}

void CMarkerSet::ReadMarker(ObjectStream& is, std::vector<CMarker*>& defined,
                            std::vector<CMarker*>& withoutLangEnc) {
    int line = is.EntryLine();
    std::string name;
    if (!is.ReadBeginMarker("mkr", name))
        return;
    MarkerEntries e;
    ReadEntries(is, e);

    CNote error;
    CMarker* m = nullptr;
    if (CheckMarkerName(name, error)) {
        m = Search(name);
        // A marker met earlier by name only (a filter naming it, say) gets its
        // definition now; a second definition is refused.
        if (m && std::find(defined.begin(), defined.end(), m) != defined.end()) {
            error.Add(kNoteMarkerExists, name);
            m = nullptr;
        } else if (!m) {
            m = new CMarker(this, name);
            Add(m);
        }
    }
    if (!m) {
        error.SetFileLine(line);
        is.Notes().push_back(std::move(error));
        return;
    }
    defined.push_back(m);
    // A field name that breaks the style-name rule is refused, as a marker name is.
    CNote nameError;
    if (e.fieldName.empty() || CheckFieldName(e.fieldName, nameError)) {
        m->m_fieldName = std::move(e.fieldName);
    } else {
        nameError.SetFileLine(line);
        is.Notes().push_back(std::move(nameError));
    }
    m->m_description = std::move(e.description);
    CLangEnc* enc =
        e.langEnc.empty() || !m_langEncSet ? nullptr : m_langEncSet->FindOrCreate(e.langEnc);
    if (enc)
        m->m_langEnc = enc;
    else
        withoutLangEnc.push_back(m);
    m->m_rangeSetCharacters = e.rangeSetCharacters;
    m->m_rangeSetAllowsSpaces = !e.rangeSetNoSpace;
    m->m_rangeSet.Parse(e.rangeSet);
    if (e.hasFont)
        m->SetFont(e.font);
    else
        m->ClearFont();
    m->m_noWordWrap = e.noWordWrap;
    m->m_parentName = std::move(e.parentName);
    m->m_followingName = std::move(e.followingName);
    m->m_namesRead = true;
    m->m_charStyle = e.charStyle;
    m->m_section = e.section;
    m->m_hidden = e.hidden;
    m->m_subfield = e.subfield;
}

void CMarkerSet::Write(ObjectStream& os) const {
    os.WriteBeginMarker("mkrset");
    if (DefaultLangEnc())
        os.WriteString("lng", "Default", DefaultLangEnc()->Name());
    os.WriteString("mkrRecord", m_recordMarker ? m_recordMarker->Name() : m_recordMarkerName);
    os.WriteBool("Subfields", m_subfields);
    os.WriteNewline();
    for (const auto& m : *this)
        WriteMarker(os, m);
    os.WriteEndMarker("mkrset");
}

void CMarkerSet::WriteMarker(ObjectStream& os, const CMarker& m) const {
    os.WriteBeginMarker("mkr", m.Name());
    os.WriteString("nam", m.m_fieldName);
    os.WriteString("desc", m.m_description);
    if (m.LangEnc())
        os.WriteString("lng", m.LangEnc()->Name());
    os.WriteBool("rngsetCharacter", m.m_rangeSetCharacters);
    os.WriteBool("rngsetNoSpace", !m.m_rangeSetAllowsSpaces);
    os.WriteString("rngset", m.m_rangeSet.Text(kMaxRangeSetWritten));
    if (!m.m_useLangEncFont)
        os.WriteFont("", m.m_font);
    os.WriteBool("NoWordWrap", m.m_noWordWrap);
    os.WriteString("mkrOverThis", m.ParentName());
    os.WriteString("mkrFollowingThis", m.FollowingName());
    os.WriteBool("CharStyle", m.m_charStyle);
    if (m.m_section != 0)
        os.WriteInteger("sect", m.m_section);
    os.WriteBool("Hidden", m.m_hidden);
    os.WriteBool("Subfield", m.m_subfield);
    os.WriteEndMarker("mkr");
}

} // namespace crv
