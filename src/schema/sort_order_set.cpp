#include "schema/sort_order_set.h"

#include "base/message_text.h"
#include "base/object_stream.h"
#include "base/platform.h"
#include "schema/lang_enc.h"

namespace crv {

namespace {

constexpr std::string_view kSortOrderExists = "A sort order already exists with this name: ";
constexpr std::string_view kInSortOrder = "In sort order: ";
constexpr std::string_view kAskDelete = "Do you want to delete the sort order named \"%1\"?";
constexpr std::string_view kInUse = "The sort order %1 is in use and cannot be deleted.";
constexpr std::string_view kLastOne =
    "A language encoding needs at least one sort order; %1 cannot be deleted.";

} // namespace

std::string LetterPairLines() {
    std::string s;
    for (char c = 'A'; c <= 'Z'; ++c) {
        s += c;
        s += ' ';
        s += static_cast<char>(c - 'A' + 'a');
        if (c != 'Z')
            s += '\n';
    }
    return s;
}

CSortOrderDef DefaultSortOrderDef() {
    CSortOrderDef def;
    def.description = "Sort order with default properties.";
    def.primary = LetterPairLines();
    for (char d = '0'; d <= '9'; ++d) {
        def.primary += '\n';
        def.primary += d;
    }
    def.primary += "\n_";
    def.secPreceding = "`";
    def.secFollowing = "'";
    def.ignore = "-";
    return def;
}

CSortOrderSet::~CSortOrderSet() = default;

CSortOrder* CSortOrderSet::AddSortOrder(std::string_view name, const CSortOrderDef& def,
                                        CNote& error) {
    if (name.empty()) {
        error.Add(kNoteExpectingName);
        return nullptr;
    }
    if (Search(name)) {
        error.AddText(kSortOrderExists, name);
        return nullptr;
    }
    auto so = CSortOrder::Compile(*m_owner, std::string(name), def, error);
    if (!so) {
        error.Wrap(kInSortOrder, name);
        return nullptr;
    }
    CSortOrder* added = so.release();
    Add(added);
    if (!m_default)
        m_default = added;
    return added;
}

bool CSortOrderSet::CheckDeletable(const CSortOrder* so) const {
    if (so->RefCount() > 0 || Count() <= 1) {
        platform().ShowMessage(FormatMessage(so->RefCount() > 0 ? kInUse : kLastOne, {so->Name()}));
        return false;
    }
    return true;
}

bool CSortOrderSet::DeleteSortOrder(CSortOrder* so) {
    if (!so || !CheckDeletable(so))
        return false;
    if (platform().Ask(FormatMessage(kAskDelete, {so->Name()}), Buttons::YesNo) != Answer::Yes)
        return false;
    RemoveSortOrder(so);
    return true;
}

void CSortOrderSet::RemoveSortOrder(CSortOrder* so) {
    Remove(so);
    if (m_default == so)
        m_default = GetFirst();
    delete so;
}

void CSortOrderSet::RecomputeCaseFolding() {
    for (auto& so : *this)
        so.RecomputeCaseFolding();
}

void CSortOrderSet::AddDefaultSortOrder() {
    std::string name = m_owner->Name().empty() ? "Default" : m_owner->Name();
    name = MakeUniqueName(name);
    CNote ignored; // the default texts always compile (unless the encoding is full)
    if (CSortOrder* so = AddSortOrder(name, DefaultSortOrderDef(), ignored))
        m_default = so;
}

void CSortOrderSet::Read(ObjectStream& in, CNoteList& notes) {
    std::string defaultName;
    SettingsObjectReader reader(in, "srtset", m_kept, {"srt"});
    while (reader.Next()) {
        std::string name;
        if (in.ReadBeginMarker("srt", name)) {
            CSortOrderDef def;
            // The next sort order's begin line ends one whose end line is missing.
            SettingsObjectReader srt(in, "srt", def.kept);
            while (srt.Next()) {
                if (in.ReadString("desc", def.description) ||
                    in.ReadString("primary", def.primary) ||
                    in.ReadString("SecPreceding", def.secPreceding) ||
                    in.ReadString("SecFollowing", def.secFollowing) ||
                    in.ReadString("ignore", def.ignore) ||
                    in.ReadBool("SecAfterBase", def.secAfterBase) ||
                    in.ReadString("ztt", def.changeTable) || in.ReadString("dll", def.keyLibrary) ||
                    in.ReadBool("SkipSeq", def.binary))
                    continue;
                srt.Keep();
            }
            CNote error;
            if (!AddSortOrder(name, def, error))
                notes.push_back(std::move(error));
            continue;
        }
        if (in.ReadString("srtDefault", defaultName))
            continue;
        reader.Keep();
    }
    if (CSortOrder* so = Search(defaultName))
        m_default = so;
    else
        m_default = GetFirst();
}

void CSortOrderSet::Write(ObjectStream& out) const {
    out.WriteBeginMarker("srtset");
    SettingsObjectWriter keep(out, m_kept);
    out.WriteNewline();
    for (const auto& so : *this) {
        WriteSortOrder(out, so.Name(), so.Definition());
        out.WriteNewline();
    }
    if (m_default)
        out.WriteString("srtDefault", m_default->Name());
    out.WriteEndMarker("srtset");
}

void WriteSortOrder(ObjectStream& out, std::string_view name, const CSortOrderDef& def) {
    out.WriteBeginMarker("srt", name);
    SettingsObjectWriter keep(out, def.kept);
    out.WriteString("desc", def.description);
    out.WriteString("primary", def.primary);
    out.WriteString("SecPreceding", def.secPreceding);
    out.WriteString("SecFollowing", def.secFollowing);
    out.WriteString("ignore", def.ignore);
    out.WriteBool("SecAfterBase", def.secAfterBase);
    out.WriteString("ztt", def.changeTable);
    out.WriteString("dll", def.keyLibrary);
    out.WriteBool("SkipSeq", def.binary);
    out.WriteEndMarker("srt");
}

} // namespace crv
