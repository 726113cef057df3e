// Language encodings: the units (characters and multigraphs) of one language, how text
// splits into them, their case pairs, the language's sort orders and variables, and its
// display properties. The project's set of encodings is in lang_enc_set.h.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/note.h"
#include "base/platform.h"
#include "base/set.h"
#include "schema/lang_char.h"
#include "schema/sort_order_set.h"
#include "schema/var.h"

namespace crv {

class CLangEncSet;
class CLangEncProxy;
class CRenderer;
class ObjectStream;

class CLangEnc : public CIndexedSet<CLangChar> {
public:
    // Code of the unit that stands for any byte no other unit matches (the byte 0x1A).
    static constexpr unsigned char kUnknownCode = 2;
    static constexpr unsigned char kSpaceCode = 3;
    // Codes are one byte from 2 to 255.
    static constexpr int kMaxUnits = 254;

    // A new encoding with the four initial units: 0x1A, space, tab and LF (codes 2 to 5).
    CLangEnc(CLangEncSet& set, std::string name, CLangEncProxy* proxy = nullptr);
    ~CLangEnc() override;
    CLangEnc(const CLangEnc&) = delete;
    CLangEnc& operator=(const CLangEnc&) = delete;

    const std::string& Name() const { return m_name; }
    CLangEncSet& Owner() const { return *m_set; }
    CLangEncSet* OwnerSet() const { return m_set; }
    CLangEncProxy* Proxy() const { return m_proxy; }
    // Counted references (markers, sort orders held by indexes) are kept by the proxy.
    void AddRef();
    void Release();
    int RefCount() const;

    // --- Units
    CLangChar* UnitOfCode(unsigned char code) const { return m_byCode[code]; }
    CLangChar* FindUnit(std::string_view text) const { return Search(text); }
    // The unit of that text, created with the next free code when missing. Null when the
    // text is empty or the encoding already has 254 units; error (if given) says why.
    CLangChar* FindOrAddUnit(std::string_view text, CNote* error = nullptr);

    // The code of the unit at p (the longest unit text that is a prefix of [p, end), the
    // 0x1A unit for a byte no unit begins) and moves p past it. p must be before end.
    unsigned char NextUnitCode(const char*& p, const char* end) const {
        auto b = static_cast<unsigned char>(*p);
        if (m_multiFirst[b] != m_multiFirst[b + 1])
            return NextMultigraphCode(p, end);
        ++p;
        return m_singleCode[b];
    }
    // The unit at pos; pos moves past it. pos must be before the end of text.
    CLangChar* NextUnit(std::string_view text, std::size_t& pos) const;
    // Every unit of text, in order.
    std::vector<CLangChar*> Units(std::string_view text) const;
    // Byte length of each unit of text, in order (the pieces text splits into).
    std::vector<std::string_view> UnitTexts(std::string_view text) const;
    // A position inside a word: not at the end, not a space, and its unit defined in the
    // default sort order.
    bool IsWordChar(std::string_view text, std::size_t pos) const;

    // --- Case
    const std::string& CaseText() const { return m_caseText; }
    // Replaces the case associations: each line is an upper-case unit followed by its
    // lower-case forms. Errors are added to notes (wrapped with context by the caller);
    // the valid lines still count. Sort orders recompute their case-folded weights.
    void SetCaseText(std::string text, CNoteList& notes);

    // --- Sort orders and variables
    CSortOrderSet& SortOrders() { return m_sortOrders; }
    const CSortOrderSet& SortOrders() const { return m_sortOrders; }
    CSortOrder* DefaultSortOrder() const { return m_sortOrders.Default(); }
    // The named sort order, or the default for an empty name; null when not found.
    CSortOrder* FindSortOrder(std::string_view name) const;
    CVarSet& Vars() { return m_vars; }
    const CVarSet& Vars() const { return m_vars; }

    // --- Properties
    const std::string& Description() const { return m_description; }
    void SetDescription(std::string s) { m_description = std::move(s); }
    const FontSpec& Font() const { return m_font; }
    void SetFont(const FontSpec& font);
    const FontMetrics& FontMeasures() const { return m_fontMetrics; }
    // The font of language controls: the display font limited to the control height.
    FontSpec ControlFont(int controlHeight) const;
    const std::string& KeyboardName() const { return m_keyboard; }
    void SetKeyboardName(std::string s) { m_keyboard = std::move(s); }
    bool RightToLeft() const { return m_rightToLeft; }
    void SetRightToLeft(bool b) { m_rightToLeft = b; }
    const std::string& RenderLibraryName() const { return m_renderDll; }
    const std::string& RenderTableName() const { return m_renderTable; }
    // Sets the rendering library and table and (re)loads them; warnings on failure.
    void SetRendering(std::string library, std::string table);
    CRenderer* Renderer() const { return m_renderer.get(); }
    bool MultiChar() const { return m_multiChar; }
    void SetMultiChar(bool b) { m_multiChar = b; }
    bool Dbcs() const { return m_dbcs; }
    void SetDbcs(bool b) { m_dbcs = b; }
    // The text of this language is UTF-8: shown and typed as UTF-8 whatever its bytes.
    // Unset, bytes are shown as UTF-8 only where they are valid UTF-8.
    bool Utf8() const { return m_utf8; }
    void SetUtf8(bool b) { m_utf8 = b; }
    const std::string& Version() const { return m_version; }

    // --- Settings
    // Reads the LanguageEncoding object (its begin line already read); problems become
    // notes in notes, each wrapped with context ("In language encoding file: " and the
    // file when fileName is given), and the rest is still read. A missing sort order set
    // gets a sort order with default properties.
    void Read(ObjectStream& in, CNoteList& notes, std::string_view fileName = {});
    // Writes the whole LanguageEncoding object.
    void Write(ObjectStream& out) const;
    // The settings text of a new encoding with default properties.
    static std::string DefaultSettingsText(std::string_view name);

private:
    struct Multigraph {
        // The first eight bytes (zero-padded) and a mask of those that count, so that one
        // word comparison tests most units.
        std::uint64_t prefix;
        std::uint64_t mask;
        const char* text; // the unit's own bytes
        std::uint32_t length;
        unsigned char code;
    };
    unsigned char NextMultigraphCode(const char*& p, const char* end) const;
    void RebuildSplitTable();
    void ClearCase();
    CNote WrapNote(CNote note, std::string_view fileName) const;

    CLangEncSet* m_set;
    CLangEncProxy* m_proxy;
    std::string m_name;
    int m_ownRefs = 0; // used when there is no proxy

    std::array<CLangChar*, 256> m_byCode{};
    // Splitting: one-byte units by byte; longer units grouped by first byte, longest first.
    std::array<unsigned char, 256> m_singleCode{};
    std::array<std::uint16_t, 257> m_multiFirst{};
    std::vector<Multigraph> m_multis;

    std::string m_caseText;
    std::string m_description;
    std::string m_version;
    FontSpec m_font;
    FontMetrics m_fontMetrics;
    std::string m_keyboard;
    bool m_rightToLeft = false;
    std::string m_renderDll;
    std::string m_renderTable;
    std::unique_ptr<CRenderer> m_renderer;
    bool m_multiChar = false;
    bool m_dbcs = false;
    bool m_utf8 = false;

    CSortOrderSet m_sortOrders;
    CVarSet m_vars;
};

// Splits settings text into white-space-separated tokens (space, tab, CR, LF), calling
// fn(token, offset) for each.
template <class Fn> void ForEachToken(std::string_view text, Fn fn) {
    std::size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (i < text.size()) {
        while (i < text.size() && isSpace(text[i]))
            ++i;
        std::size_t start = i;
        while (i < text.size() && !isSpace(text[i]))
            ++i;
        if (i > start)
            fn(text.substr(start, i - start), start);
    }
}

} // namespace crv
