// One field of a record: the text under one marker, and the 32000-character limit on
// field texts.
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "base/dbl_list.h"

namespace crv {

class CMarker;

// The most characters a field's text may hold.
inline constexpr int kMaxFieldLength = 32000;

// Accepts 0 <= n <= 32000; otherwise beeps, shows "Fields are limited to 32000
// characters in size." and refuses. Asked before any operation that lengthens a field.
bool FieldLengthOK(std::int64_t n);

// A field's text read where it lies. It is a string_view that is always followed by a
// NUL (c_str), converts to std::string where one is asked for, and whose substr gives a
// string, so that code written for the text as a string reads it unchanged. It stays
// valid until the field's text changes or the field goes.
class FieldText : public std::string_view {
public:
    // Never a null data(): callers hand it to C functions.
    constexpr FieldText() : std::string_view("", 0) {} // NOLINT(bugprone-string-constructor)
    constexpr FieldText(const char* data, std::size_t size) : std::string_view(data, size) {}
    // So that `found ? record->GetKey() : "-"` reads as it did with a string.
    constexpr FieldText(const char* text) : std::string_view(text) {}

    const char* c_str() const { return data(); }
    operator std::string() const { return std::string(data(), size()); }
    std::string substr(size_type pos = 0, size_type n = npos) const {
        return std::string(std::string_view::substr(pos, n));
    }
};

std::string operator+(const std::string& a, FieldText b);
std::string operator+(std::string&& a, FieldText b);
std::string operator+(FieldText a, const std::string& b);
std::string operator+(const char* a, FieldText b);
std::string operator+(FieldText a, const char* b);
std::string operator+(char a, FieldText b);
std::string operator+(FieldText a, char b);
std::string operator+(FieldText a, FieldText b);

// A field's text has no marker, no separating space and no final line end; lines are
// separated by LF. The field holds its marker counted (IncUse/DecUse), so the marker set
// knows which markers are in use.
//
// Fields read from a file lie in the blocks of a RecordArena with their text right
// behind them; a field made with new holds its text in a string. Reading a field
// (Text() const, Length) never moves its text; the first Text() for editing moves a
// text out of its block into a string of the field's own. delete works on both kinds.
class CField : public CDblListEl {
public:
    // marker must not be null: a field is never without a marker.
    explicit CField(CMarker* marker, std::string text = {});
    // A copy has the same marker (counted again) and text, and starts unlinked.
    CField(const CField& other);
    CField& operator=(const CField&) = delete;
    ~CField() override;
    // A field in a block goes back to its block, any other to the heap.
    static void operator delete(CField* field, std::destroying_delete_t);

    CMarker* Marker() const { return m_marker; }
    void SetMarker(CMarker* marker);

    // The text, read in place.
    FieldText Text() const;
    // The text to change. Code that only reads should read through a const field: this
    // gives the field a string of its own.
    std::string& Text();
    void SetText(std::string text);
    std::size_t Length() const;

private:
    friend class RecordArena;
    struct InBlock {};
    // A field placed by a RecordArena: its length bytes of text follow it.
    CField(CMarker* marker, std::size_t length, InBlock);
    const char* InlineText() const { return reinterpret_cast<const char*>(this + 1); }
    char* InlineText() { return reinterpret_cast<char*>(this + 1); }
    std::string* Owned() const { return reinterpret_cast<std::string*>(m_text & ~kFlags); }

    // m_text: (length << 2) | kInline | kInBlock while the text lies behind the field;
    // otherwise a std::string* (null: empty text), with kInBlock when the field itself
    // lies in a block.
    static constexpr std::uintptr_t kInline = 1;
    static constexpr std::uintptr_t kInBlock = 2;
    static constexpr std::uintptr_t kFlags = 3;
    CMarker* m_marker;
    std::uintptr_t m_text = 0;
};

} // namespace crv
