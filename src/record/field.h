// One field of a record: the text under one marker, and the 32000-character limit on
// field texts.
#pragma once

#include <cstdint>
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

// A field's text has no marker, no separating space and no final line end; lines are
// separated by LF. The field holds its marker counted (IncUse/DecUse), so the marker set
// knows which markers are in use.
class CField : public CDblListEl {
public:
    // marker must not be null: a field is never without a marker.
    explicit CField(CMarker* marker, std::string text = {});
    // A copy has the same marker (counted again) and text, and starts unlinked.
    CField(const CField& other);
    CField& operator=(const CField&) = delete;
    ~CField() override;

    CMarker* Marker() const { return m_marker; }
    void SetMarker(CMarker* marker);

    const std::string& Text() const { return m_text; }
    std::string& Text() { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }
    std::size_t Length() const { return m_text.size(); }

private:
    CMarker* m_marker;
    std::string m_text;
};

} // namespace crv
