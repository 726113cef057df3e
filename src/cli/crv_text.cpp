// crv text find, text replace and reshape: find and replace over a database in the order
// of a window's index, and Reshape, through the record view's own code; replace and
// reshape save with the .bak copy.
#include <algorithm>
#include <cstdio>

#include "app/crv_doc.h"
#include "app/find_replace.h"
#include "app/record_view.h"
#include "base/platform.h"
#include "cli/crv_command_list.h"
#include "cli/crv_doc_session.h"
#include "cli/crv_index_options.h"
#include "schema/lang_enc.h"
#include "schema/lang_enc_set.h"
#include "schema/marker.h"
#include "schema/sort_order.h"

namespace crv::cli {

namespace {

// What text find and text replace share: the database, the settings of the search and
// the index and record it starts from.
struct TextSearch {
    DocSession session;
    CCrvDoc* doc = nullptr;
    CFindSettings settings;
    CIndexRef index;
    CFindStart start;
    std::unique_ptr<CFindScope> scope;
    bool backward = false;
};

bool Refuse(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "crv: %s%s\n", what, detail.c_str());
    return false;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// Reads the options and opens the database; false after a message when the input is
// bad (the file is then untouched).
bool PrepareSearch(CrvContext& ctx, TextSearch& t, std::size_t operands,
                   std::vector<std::string>& words) {
    IndexOptions indexOptions;
    indexOptions.Take(ctx.args, IndexOptions::kByAndFilter);
    auto field = ctx.args.Value("--field");
    auto lang = ctx.args.Value("--lang");
    if (field && lang)
        throw UsageError("--field and --lang cannot be given together");
    t.settings.mask = MatchLevelOption(ctx.args, kMatchPrimary);
    t.settings.matchWhole = ctx.args.Flag("--whole-word");
    t.backward = ctx.args.Flag("--backward");
    auto recordOnly = ctx.args.Value("--record-only");
    words = ctx.args.Operands(operands, operands);
    const std::string& text = words[1];
    if (text.empty())
        return Refuse("the text to find is empty");
    if (HasLineBreak(text))
        return Refuse("the text to find cannot hold a line break");
    if (operands > 2 && HasLineBreak(words[2]))
        return Refuse("the replacement cannot hold a line break");
    t.doc = OpenDocumentAt(ctx, t.session, words[0]);
    if (!t.doc)
        return false;
    CIndexSet& set = t.doc->Records();
    std::string langName;
    if (field) {
        CMarker* m = NamedMarker(set, *field, "--field");
        if (!m)
            return false;
        t.settings.singleField = true;
        t.settings.field = m->Name();
    } else if (lang) {
        CLangEncSet* encodings = set.Markers().LangEncSet();
        CLangEnc* enc = encodings ? encodings->Find(*lang) : nullptr;
        bool used = false;
        for (const CMarker& m : set.Markers())
            used |= (m.LangEnc() ? m.LangEnc() : set.Markers().DefaultLangEnc()) == enc;
        if (!enc || !used)
            return Refuse("--lang: the database type has no marker in the language ", *lang);
        langName = enc->Name();
    } else {
        // As the dialog starts: the language of the field the caret is in, the first.
        CMarker* rm = set.RecordMarker();
        CLangEnc* enc = rm && rm->LangEnc() ? rm->LangEnc() : set.Markers().DefaultLangEnc();
        langName = enc ? enc->Name() : std::string();
    }
    t.settings.AddToHistory(text, langName);
    t.index = ChosenIndex(indexOptions, set);
    if (!t.index)
        return false;
    CIndexPos first = t.index->First();
    if (recordOnly) {
        t.settings.singleRecord = true;
        first = CIndexPos();
        for (std::size_t i = 0; i < t.index->Count() && !first.IsValid(); ++i)
            if (t.index->EntryAt(i)->Record()->GetKey() == *recordOnly)
                first = t.index->PosAt(i);
        if (!first.IsValid())
            return Refuse("--record-only: no record of the index has the key ", *recordOnly);
    }
    t.start =
        CFindStart{first.Record(), first.Record() ? first.Record()->GetFirst() : nullptr, 0, first};
    t.scope = std::make_unique<CFindScope>(t.settings, set, t.index.Get());
    if (!t.scope->Problem().empty())
        return Refuse(t.scope->Problem().c_str());
    return true;
}

// The line of the field that holds offset.
std::string_view LineAt(std::string_view text, std::size_t offset) {
    std::size_t b = offset == 0 ? 0 : text.rfind('\n', offset - 1);
    b = (b == std::string_view::npos || offset == 0) ? 0 : b + 1;
    std::size_t e = text.find('\n', offset);
    return text.substr(b, (e == std::string_view::npos ? text.size() : e) - b);
}

} // namespace

int CmdTextFind(CrvContext& ctx) {
    TextSearch t;
    std::vector<std::string> words;
    if (!PrepareSearch(ctx, t, 2, words))
        return kExitFailed;
    std::vector<std::string> lines;
    if (t.start.record) {
        t.scope->ForEachHit(t.start, [&](const CFindHit& h) {
            std::string_view text = h.field->Text();
            lines.push_back(PrintableText(h.record->GetKey()) + "\t\\" + h.field->Marker()->Name() +
                            "\t" + std::to_string(h.begin) + "\t" +
                            std::string(LineAt(text, h.begin)) + "\n");
            return true;
        });
    }
    // Backward from the same start, the hits come in the reverse order.
    if (t.backward)
        std::reverse(lines.begin(), lines.end());
    for (const std::string& l : lines)
        std::fwrite(l.data(), 1, l.size(), ctx.out);
    if (lines.empty()) {
        platform().ShowMessage("Not found: " + words[1], MessageKind::Information);
        return kExitFailed;
    }
    return kExitOk;
}

int CmdTextReplace(CrvContext& ctx) {
    TextSearch t;
    std::vector<std::string> words;
    if (!PrepareSearch(ctx, t, 3, words))
        return kExitFailed;
    CReplaceResult result;
    if (t.start.record)
        result = ReplaceAll(*t.doc, *t.scope, t.start, words[2]);
    ShowReplaceAllMessages(result);
    for (const CFindHit& h : result.skipped)
        std::fprintf(stderr,
                     "crv: left as it was in %s \\%s: the field would pass 32000 "
                     "characters\n",
                     PrintableText(h.record->GetKey()).c_str(), h.field->Marker()->Name().c_str());
    if (result.replaced == 0)
        return kExitFailed;
    return t.doc->OnSaveDocument(t.doc->Path()) ? kExitOk : kExitFailed;
}

int CmdReshape(CrvContext& ctx) {
    auto margin = ctx.args.Number("--margin");
    if (margin && (*margin < 1 || *margin > 9999))
        throw UsageError("--margin must be a number of pixels from 1 to 9999");
    DocSession session;
    CCrvDoc* doc = OpenOperand(ctx, session);
    if (!doc)
        return session.Failed();
    int pixels = margin ? static_cast<int>(*margin) : doc->Records().HeaderRecordWidth();
    if (!ReshapeDatabase(*doc, pixels))
        return kExitFailed;
    if (!doc->IsModified())
        return kExitOk;
    return doc->OnSaveDocument(doc->Path()) ? kExitOk : kExitFailed;
}

} // namespace crv::cli
