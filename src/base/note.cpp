#include "base/note.h"

namespace crv {

std::string_view NoteText(int id) {
    switch (id) {
    case kNoteExpectingName:
        return "Expecting a name";
    case kNoteNotExpectingChar:
        return "Not expecting the character: ";
    case kNoteExpectingMarker:
        return "Expecting a marker";
    case kNoteInMarker:
        return "in a marker";
    case kNoteInStyleName:
        return "in a style name";
    case kNoteMarkerExists:
        return "This marker already exists: ";
    case kNoteExpectingBackslash:
        return "Expecting a backslash at the beginning of the marker";
    case kNoteExpectingStyleName:
        return "Expecting a style name";
    case kNoteInLangEnc:
        return "In a language encoding: ";
    case kNoteNameUsed:
        return "This name has already been used: ";
    default:
        return {};
    }
}

CNote& CNote::Add(int id, std::string_view arg, int pos, int len) {
    m_items.push_back({id, std::string(NoteText(id)), std::string(arg), pos, len});
    return *this;
}

CNote& CNote::AddText(std::string_view text, std::string_view arg, int pos, int len) {
    m_items.push_back({0, std::string(text), std::string(arg), pos, len});
    return *this;
}

CNote& CNote::Wrap(std::string_view text, std::string_view arg) {
    m_items.insert(m_items.begin(), CNoteItem{0, std::string(text), std::string(arg), -1, 0});
    return *this;
}

const CNoteItem* CNote::Find(int id) const {
    for (const auto& item : m_items)
        if (item.id == id)
            return &item;
    return nullptr;
}

void CNote::ReplaceId(int from, int to) {
    for (auto& item : m_items)
        if (item.id == from) {
            item.id = to;
            item.text = std::string(NoteText(to));
        }
}

std::string CNote::Text() const {
    std::string out;
    for (const auto& item : m_items) {
        if (!out.empty() && out.back() != ' ' && out.back() != '\n')
            out += ' ';
        out += item.text;
        out += item.arg;
    }
    return out;
}

int CNote::Position() const {
    for (const auto& item : m_items)
        if (item.pos >= 0)
            return item.pos;
    return -1;
}

int CNote::Length() const {
    for (const auto& item : m_items)
        if (item.pos >= 0)
            return item.len;
    return 0;
}

void CNote::LineAndColumn(std::string_view source, int& line, int& column) const {
    line = 1;
    column = 1;
    int pos = Position();
    if (pos < 0)
        return;
    std::size_t end = std::min<std::size_t>(static_cast<std::size_t>(pos), source.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (source[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
}

} // namespace crv
