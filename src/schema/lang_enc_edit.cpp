#include "schema/lang_enc_edit.h"

#include <algorithm>
#include <sstream>

#include "base/object_stream.h"
#include "base/platform.h"

namespace crv {

namespace {

constexpr std::string_view kUnitExists = "This character is already defined: ";
constexpr std::string_view kNameSpaces =
    "A name cannot begin or end with a space or hold a line break: ";

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The preview runs on every keystroke: a rendering or key library that cannot be loaded
// is reported when the sheet opens and on OK, not once per key.
class QuietPlatform : public Platform {
public:
    QuietPlatform() : m_outer(&platform()), m_scope(*this) {}
    void ShowMessage(std::string_view, MessageKind, bool) override {}
    Answer Ask(const Question& q) override { return m_outer->Ask(q); }
    std::optional<std::size_t> ChooseItem(std::string_view prompt,
                                          const std::vector<std::string>& items,
                                          std::size_t defaultItem) override {
        return m_outer->ChooseItem(prompt, items, defaultItem);
    }
    std::optional<std::string> ChooseFile(const FileRequest& r) override {
        return m_outer->ChooseFile(r);
    }
    std::optional<std::string> InputText(const TextRequest& r) override {
        return m_outer->InputText(r);
    }
    void Beep() override {}
    std::unique_ptr<Progress> BeginProgress(std::string_view text, std::int64_t range,
                                            bool cancellable) override {
        return m_outer->BeginProgress(text, range, cancellable);
    }
    void InternalError(const char* file, int line, std::string_view detail) override {
        m_outer->InternalError(file, line, detail);
    }
    int TextWidth(const FontSpec& font, std::string_view text) override {
        return m_outer->TextWidth(font, text);
    }
    FontMetrics MeasureFont(const FontSpec& font) override { return m_outer->MeasureFont(font); }

private:
    Platform* m_outer;
    ScopedPlatform m_scope;
};

void ShowNotes(const CNoteList& notes) {
    for (const auto& note : notes)
        platform().ShowMessage(note.Text());
}

} // namespace

std::unique_ptr<CLangEnc> CopyLangEnc(const CLangEnc& source, CLangEncSet& set) {
    std::ostringstream written;
    {
        ObjectStream out(static_cast<std::ostream&>(written));
        source.Write(out);
    }
    auto copy = std::make_unique<CLangEnc>(set, source.Name());
    std::istringstream text(written.str());
    ObjectStream in(static_cast<std::istream&>(text));
    in.ReadBeginMarker("LanguageEncoding");
    CNoteList notes; // the source read them already
    copy->Read(in, notes);
    copy->SetUtf8(source.Utf8());
    return copy;
}

bool CheckSettingsName(std::string_view name, CNote& error) {
    if (name.empty()) {
        error.Add(kNoteExpectingName);
        return false;
    }
    if (IsSpace(name.front()) || IsSpace(name.back()) ||
        name.find_first_of("\r\n") != std::string_view::npos) {
        error.AddText(kNameSpaces, name);
        return false;
    }
    return true;
}

CLangEncEdit::CLangEncEdit(CLangEnc& real)
    : m_real(&real), m_scratch(real.Owner().SettingsFolder()),
      m_working(CopyLangEnc(real, m_scratch)) {}

CLangEncEdit::~CLangEncEdit() = default;

CSortOrder* CLangEncEdit::AddSortOrder(std::string_view name, const CSortOrderDef& def,
                                       CNote& error) {
    if (!CheckSettingsName(name, error))
        return nullptr;
    return m_working->SortOrders().AddSortOrder(name, def, error);
}

bool CLangEncEdit::DeleteSortOrder(CSortOrder* so) {
    if (!so)
        return false;
    // The working copy's orders are held by nothing; the encoding's own one may be.
    if (CSortOrder* real = m_real->SortOrders().Search(so->Name()))
        if (real->RefCount() > 0 && !m_real->SortOrders().CheckDeletable(real))
            return false;
    return m_working->SortOrders().DeleteSortOrder(so);
}

CLangChar* CLangEncEdit::AddUnit(std::string_view text, CNote& error) {
    if (text.empty()) {
        error.Add(kNoteExpectingName);
        return nullptr;
    }
    for (std::size_t i = 0; i < text.size(); ++i)
        if (IsSpace(text[i])) {
            error.Add(kNoteNotExpectingChar, text.substr(i, 1), static_cast<int>(i), 1);
            return nullptr;
        }
    if (m_working->FindUnit(text)) {
        error.AddText(kUnitExists, text);
        return nullptr;
    }
    return m_working->FindOrAddUnit(text, &error);
}

bool CLangEncEdit::Apply() {
    CLangEnc& real = *m_real;
    const CLangEnc& work = *m_working;
    CNoteList notes;
    real.SetDescription(work.Description());
    real.SetFont(work.Font());
    real.SetKeyboardName(work.KeyboardName());
    real.SetRightToLeft(work.RightToLeft());
    if (real.RenderLibraryName() != work.RenderLibraryName() ||
        real.RenderTableName() != work.RenderTableName())
        real.SetRendering(work.RenderLibraryName(), work.RenderTableName());
    real.SetMultiChar(work.MultiChar());
    real.SetDbcs(work.Dbcs());
    real.SetUtf8(work.Utf8());

    // Units in the order they were made, so that codes follow the same order.
    for (int code = 0; code < 256; ++code)
        if (const CLangChar* unit = work.UnitOfCode(static_cast<unsigned char>(code)))
            if (!real.FindUnit(unit->Text())) {
                CNote error;
                if (!real.FindOrAddUnit(unit->Text(), &error))
                    notes.push_back(std::move(error));
            }
    if (real.CaseText() != work.CaseText())
        real.SetCaseText(work.CaseText(), notes);

    CSortOrderSet& realOrders = real.SortOrders();
    std::vector<CSortOrder*> gone;
    for (CSortOrder& so : realOrders)
        if (!work.SortOrders().Search(so.Name()))
            gone.push_back(&so);
    for (const CSortOrder& so : work.SortOrders()) {
        CNote error;
        if (CSortOrder* existing = realOrders.Search(so.Name())) {
            if (!(existing->Definition() == so.Definition()) &&
                !existing->Modify(so.Definition(), error))
                notes.push_back(std::move(error));
        } else if (!realOrders.AddSortOrder(so.Name(), so.Definition(), error)) {
            notes.push_back(std::move(error));
        }
    }
    for (CSortOrder* so : gone)
        if (so->RefCount() == 0 && realOrders.Count() > 1)
            realOrders.RemoveSortOrder(so);
    if (work.DefaultSortOrder())
        if (CSortOrder* def = realOrders.Search(work.DefaultSortOrder()->Name()))
            realOrders.SetDefault(def);

    CVarSet& realVars = real.Vars();
    std::vector<CVar*> goneVars;
    for (CVar& var : realVars)
        if (!work.Vars().Search(var.Name()))
            goneVars.push_back(&var);
    for (CVar* var : goneVars)
        realVars.DeleteVar(var);
    for (const CVar& var : work.Vars()) {
        CNote error;
        CVar* existing = realVars.Search(var.Name());
        bool ok = existing ? (existing->Chars() == var.Chars() ||
                              realVars.ModifyVar(existing, var.Name(), var.Chars(), error))
                           : realVars.AddVar(var.Name(), var.Chars(), error) != nullptr;
        if (!ok)
            notes.push_back(std::move(error));
    }
    for (CNote& note : notes)
        note.Wrap("In language encoding: ", real.Name());
    ShowNotes(notes);

    real.Owner().NotifyChanged(&real);
    return real.Owner().Write(&real);
}

bool PreviewSort(const CLangEnc& enc, const CSortOrderDef& def, std::vector<std::string>& lines,
                 CNote& error) {
    QuietPlatform quiet;
    CLangEncSet scratch(enc.Owner().SettingsFolder());
    std::unique_ptr<CLangEnc> copy = CopyLangEnc(enc, scratch);
    auto so = CSortOrder::Compile(*copy, "Preview", def, error);
    if (!so)
        return false;
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(lines.size());
    for (std::string& line : lines) {
        std::string key;
        so->MakeKey(line, key, 255, false);
        keyed.emplace_back(std::move(key), std::move(line));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return so->CompareKeys(a.first, b.first, kMatchAll, true) < 0;
    });
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] = std::move(keyed[i].second);
    return true;
}

} // namespace crv
