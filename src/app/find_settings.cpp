#include "app/find_settings.h"

#include <algorithm>

#include "app/settings_unknown.h"
#include "schema/sort_order.h"

namespace crv {

namespace {

constexpr std::string_view kFind = "Find";
constexpr std::string_view kHistory = "ftxlst";
constexpr std::string_view kEntry = "ftx";

const std::string kNone;

void ReadEntry(ObjectStream& is, CFindHistoryEntry& entry) {
    is.ReadBeginMarker(kEntry);
    while (!is.AtEnd()) {
        if (is.ReadString("text", entry.text) || is.ReadString("lng", entry.lang))
            continue;
        if (ReadEndKeepingUnknown(is, kEntry, entry.unknown))
            break;
    }
}

} // namespace

const std::string& CFindSettings::Text() const {
    return history.empty() ? kNone : history.front().text;
}

const std::string& CFindSettings::Lang() const {
    return history.empty() ? kNone : history.front().lang;
}

void CFindSettings::AddToHistory(std::string text, std::string lang) {
    CFindHistoryEntry entry{std::move(text), std::move(lang), {}};
    auto same = std::find_if(history.begin(), history.end(), [&](const CFindHistoryEntry& e) {
        return e.text == entry.text && e.lang == entry.lang;
    });
    if (same != history.end()) {
        entry.unknown = std::move(same->unknown);
        history.erase(same);
    }
    history.insert(history.begin(), std::move(entry));
    if (history.size() > kMaxHistory)
        history.resize(kMaxHistory);
}

void CFindSettings::Write(ObjectStream& os) const {
    os.WriteBeginMarker(kFind);
    os.WriteBool("MatchWhole", matchWhole);
    os.WriteBool("SingleRecord", singleRecord);
    os.WriteBool("SingleField", singleField);
    os.WriteString("Field", field);
    os.WriteChar("match_char", MatchCodeOfMask(mask));
    os.WriteBeginMarker(kHistory);
    for (const CFindHistoryEntry& e : history) {
        os.WriteBeginMarker(kEntry);
        os.WriteStringAlways("text", e.text);
        os.WriteString("lng", e.lang);
        os.WriteVerbatim(e.unknown);
        os.WriteEndMarker(kEntry);
    }
    os.WriteVerbatim(m_unknownHistory);
    os.WriteEndMarker(kHistory);
    os.WriteString("Replace", replace);
    os.WriteVerbatim(m_unknown);
    os.WriteEndMarker(kFind);
}

bool CFindSettings::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker(kFind))
        return false;
    *this = CFindSettings();
    while (!is.AtEnd()) {
        char level = 0;
        if (is.ReadBool("MatchWhole", matchWhole) || is.ReadBool("SingleRecord", singleRecord) ||
            is.ReadBool("SingleField", singleField) || is.ReadString("Field", field) ||
            is.ReadString("Replace", replace))
            continue;
        if (is.ReadChar("match_char", level)) {
            int m = MatchMaskOfCode(level);
            mask = m < 0 ? kMatchPrimary : m;
            continue;
        }
        if (is.ReadBeginMarker(kHistory)) {
            while (!is.AtEnd()) {
                if (is.PeekBeginMarker(kEntry)) {
                    CFindHistoryEntry entry;
                    ReadEntry(is, entry);
                    if (history.size() < kMaxHistory)
                        history.push_back(std::move(entry));
                    continue;
                }
                if (ReadEndKeepingUnknown(is, kHistory, m_unknownHistory))
                    break;
            }
            continue;
        }
        if (ReadEndKeepingUnknown(is, kFind, m_unknown))
            break;
    }
    return true;
}

} // namespace crv
