// The passes of the dictionary formatter. Temporary files are made beside the output
// under unused names and removed whatever happens; the output replaces an earlier one
// only when the whole document was written.
#include "export/plx_formatter.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unordered_set>

#include "base/file_names.h"
#include "base/file_source.h"
#include "base/message_text.h"
#include "base/safe_file.h"
#include "base/same_file.h"
#include "engine/index.h"
#include "engine/index_set.h"
#include "export/export_process_set.h"
#include "export/export_support.h"
#include "export/rtf_template.h"
#include "export/rtf_writer.h"
#include "record/sf_reader.h"
#include "schema/database_type.h"
#include "schema/database_type_set.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"
#include "schema/settings_version.h"
#include "schema/sort_order.h"
#include "zentab/change_table_stream.h"

namespace crv {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCopyAdvice =
    "\n\nYou may need to copy it from the PLX folder (that's in the Corvane folder) to your "
    "project's folder:\n%2";
constexpr std::string_view kNotLx =
    "This database's record marker is \\%1, but PLX expects it to be \\lx.\n\nIf this database "
    "doesn't use PLX's set of markers for lexical data, choose Database, Properties and uncheck "
    "the Polylex Formatter box on the Options tab.";
constexpr std::string_view kNoRtfType =
    "%1\nPLX cannot find this database type. It contains some markers that are used only for "
    "formatting.\n\nYou may need to copy the plx_rtf.typ file from the PLX folder (that's in "
    "the Corvane folder) to your project's folder:\n%2";
constexpr std::string_view kOldSettings =
    "PLX in Corvane %1 requires new versions of its settings files. For detailed instructions, "
    "see the PLXNOTES.TXT file in the PLX folder\n\nYou need to exit Corvane and copy "
    "PLX_RTF.TYP, PLX*.ZTT, and PLX*.DOT from the PLX folder to your project folder:\n%2";
constexpr std::string_view kNoTable1 = "%1\nPLX cannot find the first change table file.";
constexpr std::string_view kNoTable2 = "%1\nPLX cannot find the second change table file.";
constexpr std::string_view kNoTable3 = "%1\nPLX cannot find the third change table file.";
constexpr std::string_view kTableErrors =
    "%1\nThere are one or more syntax errors in this Zentab table file that PLX uses.";
constexpr std::string_view kTemp1WriteFailed =
    "%1\nPLX failed to write the first temporary file.\n\nPlease check whether there's enough "
    "disk space.";
constexpr std::string_view kTemp1OpenFailed =
    "%1\nPLX cannot open the first temporary file.\n\nPlease check whether it's already open in "
    "another program.";
constexpr std::string_view kTemp1RemoveFailed =
    "%1\nPLX failed to remove the first temporary file.";
constexpr std::string_view kDifferentEncodings =
    "PLX can't sort a reversed index (finderlist) when the \\%1 Reversal and \\%2 Gloss markers "
    "have different language encodings.\n\nChoose Database, Properties and Modify these markers "
    "to select the same language encoding for both of them.";
constexpr std::string_view kSortMarkerMissing =
    "PLX sorts the entries for this audience and format by the \\%1 field, but that marker is "
    "not defined in the database type:\n%2";
constexpr std::string_view kWriteFailed =
    "%1\nPLX failed to write this file.\n\nIs it already open in another program?\nIs there "
    "enough disk space?";
constexpr std::string_view kTemp2OpenFailed =
    "%1\nPLX cannot open the second temporary file.\n\nPlease check whether it's already open "
    "in another program.";
constexpr std::string_view kNoTemplate =
    "%1\nPLX cannot find the document template file.\n\nTo select a different template, choose "
    "Audience Setup in the PLX dialog box. You may need to copy the file from the PLX folder "
    "(that's in the Corvane folder) to your project's folder:\n%2";
constexpr std::string_view kOverDatabase =
    "%1\nThis is the database being exported. Please choose another file for the export.";

// The markers of lexical data the formatter knows.
constexpr std::string_view kPlxMarkers[] = {
    "lx", "hm", "lc", "ph", "se", "ps", "pn", "sn", "ge", "gn", "gr", "gv", "de", "dn", "dr",
    "dv", "re", "rn", "rr", "we", "wn", "wr", "xv", "xe", "xn", "xr", "rf", "uv", "ue", "un",
    "ur", "ee", "en", "er", "ov", "sy", "an", "mr", "cf", "ce", "cn", "cr", "mn", "va", "ve",
    "vn", "vr", "bw", "et", "eg", "es", "ec", "pd", "sg", "pl", "tb", "sc", "so", "st", "sd",
    "is", "th", "bb", "pc", "nt", "np", "ng", "nd", "na", "ns", "nq"};
constexpr std::string_view kExampleMarkers[] = {"xv", "xe", "xn", "xr", "rf"};
constexpr std::string_view kNoteMarkers[] = {"nt", "np", "ng", "nd", "na", "ns", "nq"};
constexpr std::string_view kPartOfSpeechMarkers[] = {"ps", "pn"};
constexpr std::string_view kRegionalMarkers[] = {"gr", "dr", "rr", "wr", "xr",
                                                 "ur", "er", "cr", "vr", "lr"};

template <std::size_t N> bool In(const std::string_view (&list)[N], std::string_view s) {
    return std::find(std::begin(list), std::end(list), s) != std::end(list);
}

// Removes a temporary file when the run ends, however it ends.
struct TempFile {
    std::string path;
    ~TempFile() {
        if (!path.empty())
            std::remove(path.c_str());
    }
};

// The subset the first pass writes: the process's fields, the formatter's markers
// (unless IncludeNonPLX), and the options for examples, notes, parts of speech and the
// regional language.
class PassOneFields : public CMarkerSubSet {
public:
    explicit PassOneFields(const CExportProcessPLX& p)
        : CMarkerSubSet(p.Fields().MarkerSet()), m_p(p) {}
    bool IncludesMarker(const CMarker* m) const override {
        if (!m)
            return false;
        if (m == MarkerSet()->RecordMarker())
            return true;
        const std::string& n = m->Name();
        if (!m_p.Fields().IncludesMarker(m) || (!m_p.includeNonPlx && !IsPlxMarker(n)) ||
            (!m_p.includeExamples && In(kExampleMarkers, n)) ||
            (!m_p.includeNotes && In(kNoteMarkers, n)) ||
            (!m_p.includePartOfSpeech && In(kPartOfSpeechMarkers, n)))
            return false;
        if (In(kRegionalMarkers, n))
            return m_p.audience == PlxAudience::National && m_p.includeRegionalWithNational;
        return true;
    }

private:
    const CExportProcessPLX& m_p;
};

// The markers of the third pass: the formatting type's, with the language encodings
// of the lexicon's markers of the same names, and the lexicon's other markers. Heads
// and letter headings are written in the language of the markers they come from
// (borrowed: formatting marker, lexical marker).
std::unique_ptr<CMarkerSet>
FormattingMarkers(const CMarkerSet& formatting, const CMarkerSet& lexicon,
                  const std::vector<std::pair<std::string, std::string>>& borrowed) {
    std::unique_ptr<CMarkerSet> merged = CopyMarkerSet(formatting);
    for (const auto& [to, from] : borrowed) {
        CMarker* m = merged->Search(to);
        const CMarker* source = lexicon.Search(from);
        if (m && source && source->LangEnc() && m->UsesLangEncFont())
            m->SetLangEnc(source->LangEnc());
    }
    for (const CMarker& m : lexicon) {
        if (CMarker* c = merged->Search(m.Name())) {
            if (c->UsesLangEncFont() && m.LangEnc())
                c->SetLangEnc(m.LangEnc());
            continue;
        }
        CMarkerProperties p = m.Properties();
        p.parent = nullptr;
        p.following = nullptr;
        CNote error;
        if (!merged->Add(p, error)) {
            p.fieldName.clear();
            merged->Add(p, error);
        }
    }
    return merged;
}

// Writes a pass's temporary file as standard format through table: each item written
// by write, the progress stepped once per item. Done, Cancelled, or Failed after the
// table's messages or writeFailed (path in %1).
ExportResult WritePassFile(const std::string& path, CChangeTable& table,
                           const std::string& tablePath, std::string_view writeFailed,
                           std::string_view progressText, std::size_t count,
                           const std::function<void(SFStreamWriter&, std::size_t)>& write,
                           const std::function<void(SFStreamWriter&)>& head = {}) {
    auto progress = platform().BeginProgress(progressText, static_cast<std::int64_t>(count), true);
    bool cancelled = false;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    std::string tableError;
    bool ok = file && WriteThroughTable(
                          file, &table,
                          [&](SFStreamWriter& writer) {
                              if (head)
                                  head(writer);
                              for (std::size_t i = 0; i < count; ++i) {
                                  write(writer, i);
                                  progress->Step();
                                  if (progress->Cancelled()) {
                                      cancelled = true;
                                      return false;
                                  }
                              }
                              return true;
                          },
                          tableError);
    file.close();
    if (cancelled)
        return ExportResult::Cancelled;
    if (ok && file)
        return ExportResult::Done;
    if (!tableError.empty())
        platform().ShowMessage(tablePath + "\n" + tableError);
    else
        ShowExportMessage(writeFailed, {path});
    return ExportResult::Failed;
}

} // namespace

bool IsPlxMarker(std::string_view name) { return In(kPlxMarkers, name); }

PlxSortSequence SortSequenceOf(const CDatabaseType& type) {
    const CMarkerSet& set = type.MarkerSet();
    const CMarker* ps = set.Search("ps");
    const CMarker* se = set.Search("se");
    const CMarker* sn = set.Search("sn");
    struct Order {
        const CMarker *a, *b, *c;
        std::array<std::string_view, 3> names;
    };
    if (ps && se && sn) {
        const std::array<Order, 5> chains = {{
            {se, sn, ps, {"se", "sn", "ps"}},
            {sn, se, ps, {"sn", "se", "ps"}},
            {sn, ps, se, {"sn", "ps", "se"}},
            {ps, se, sn, {"ps", "se", "sn"}},
            {ps, sn, se, {"ps", "sn", "se"}},
        }};
        for (const Order& o : chains)
            if (o.a->IsOver(o.b) && o.b->IsOver(o.c))
                return {{std::string(o.names[0]), std::string(o.names[1]), std::string(o.names[2])},
                        std::string(o.names[0]) + "_" + std::string(o.names[1]) + "_" +
                            std::string(o.names[2])};
    }
    // Subentry over part of speech over sense, and any arrangement that is no chain.
    return {{"se", "ps", "sn"}, "se_ps_sn"};
}

std::string LetterHeading(const CSortOrder& order, std::string_view key, int& letter) {
    letter = 0;
    std::size_t end = key.find('\x01');
    if (end != std::string_view::npos)
        key = key.substr(0, end);
    const CLangEnc& enc = order.Owner();
    if (order.IsBinary()) {
        if (key.empty())
            return {};
        // Bytes: the first character (a whole UTF-8 sequence) is the letter.
        std::size_t n = 1;
        while (n < key.size() && (static_cast<unsigned char>(key[n]) & 0xC0) == 0x80)
            ++n;
        letter = static_cast<unsigned char>(key[0]) + 1;
        return std::string(key.substr(0, n));
    }
    for (char c : key) {
        auto code = static_cast<unsigned char>(c);
        if (code == CLangEnc::kSpaceCode || !(order.Weight(code).kind & kSortPrimary))
            continue;
        letter = order.Weight(code).primary;
        break;
    }
    if (letter == 0)
        return {};
    // The first unit of the letter's line of the primary order names it.
    std::string_view primary = order.Definition().primary;
    std::size_t pos = 0;
    while (pos < primary.size()) {
        std::size_t eol = primary.find('\n', pos);
        if (eol == std::string_view::npos)
            eol = primary.size();
        std::string_view line = primary.substr(pos, eol - pos);
        pos = eol + 1;
        std::size_t a = line.find_first_not_of(" \t\r");
        if (a == std::string_view::npos)
            continue;
        std::size_t b = line.find_first_of(" \t\r", a);
        std::string_view token =
            line.substr(a, b == std::string_view::npos ? line.size() - a : b - a);
        CLangChar* unit = enc.FindUnit(token);
        if (!unit || order.Weight(unit->Code()).primary != letter)
            continue;
        CLangChar* upper = unit->IsUpper() ? unit : unit->UpperForm();
        CLangChar* lower = unit->IsUpper() ? unit->LowerForm() : unit;
        if (upper && lower)
            return upper->Text() + "  -  " + lower->Text();
        return std::string(token);
    }
    return {};
}

ExportResult RunDictionaryFormatter(CExportProcessPLX& p, const ExportRequest& request,
                                    ExportDialogs& dialogs) {
    CExportProcessSet& set = p.Owner();
    CIndexSet& database = *request.database;
    CDatabaseType* type = database.Type();
    const std::string& folder = request.settingsFolder;
    if (set.Options().showProperties && !dialogs.EditProperties(p))
        return ExportResult::Cancelled;
    bool finderlist = p.format == PlxFormat::Finderlist;
    bool national = p.audience == PlxAudience::National;

    // --- checks, before any file is written ---
    CMarker* recordMarker = database.RecordMarker();
    if (!type || !recordMarker || recordMarker->Name() != "lx") {
        ShowExportMessage(kNotLx, {recordMarker ? recordMarker->Name() : std::string()});
        return ExportResult::Failed;
    }
    CDatabaseTypeSet* types = type->Proxy() ? &type->Proxy()->Owner() : nullptr;
    CDatabaseTypeProxy* rtfProxy = types ? types->FindProxy(p.rtfType) : nullptr;
    CDatabaseType* rtfType = rtfProxy ? rtfProxy->GetType() : nullptr;
    if (!rtfType) {
        ShowExportMessage(kNoRtfType, {p.rtfType, folder});
        return ExportResult::Failed;
    }
    if (rtfProxy->Version() < kSettingsVersion) {
        ShowExportMessage(kOldSettings, {kSettingsVersion, folder});
        return ExportResult::Failed;
    }
    std::string table1 = SettingsPath(folder, finderlist ? "plxlist1.ztt" : "plxdict1.ztt");
    std::string table2 = SettingsPath(folder, finderlist ? "plxlist2.ztt" : "plxdict2.ztt");
    std::string table3 = SettingsPath(folder, p.LabelsTable());
    std::string templatePath = SettingsPath(folder, p.Template());
    for (auto [path, message] :
         {std::pair{table1, kNoTable1}, std::pair{table2, kNoTable2}, std::pair{table3, kNoTable3}})
        if (!TableFileExists(path)) {
            ShowExportMessage(std::string(message) + std::string(kCopyAdvice), {path, folder});
            return ExportResult::Failed;
        }
    std::string templateText;
    std::error_code ec;
    if (!fs::is_regular_file(templatePath, ec) || !ReadWholeFile(templatePath, templateText)) {
        ShowExportMessage(kNoTemplate, {templatePath, folder});
        return ExportResult::Failed;
    }
    // The index keys, each of which the type must define.
    const CMarkerSet& markers = type->MarkerSet();
    std::vector<std::string> keys;
    PlxSortSequence sequence = SortSequenceOf(*type);
    const char* reversal = national ? "rn" : "re";
    const char* gloss = national ? "gn" : "ge";
    if (finderlist) {
        keys = {reversal, "lx"};
    } else {
        keys = {p.includeLexemeWithCitationForm ? "lc" : "lx", "hm"};
        if (p.sortAlsoBySenses)
            keys.insert(keys.end(), sequence.markers.begin(), sequence.markers.end());
    }
    std::vector<std::string> needed = keys;
    if (finderlist)
        needed.push_back(gloss);
    for (const std::string& k : needed)
        if (!markers.Search(k)) {
            ShowExportMessage(kSortMarkerMissing, {k, type->Name()});
            return ExportResult::Failed;
        }
    if (finderlist && markers.Search(reversal)->LangEnc() != markers.Search(gloss)->LangEnc()) {
        ShowExportMessage(kDifferentEncodings, {reversal, gloss});
        return ExportResult::Failed;
    }

    // --- the output ---
    FileRequest fileRequest;
    fileRequest.title = "Export";
    fileRequest.initialPath = p.Exported().empty()
                                  ? (fs::path(request.databasePath).parent_path() /
                                     (fs::path(request.databasePath).stem().string() + ".rtf"))
                                        .string()
                                  : p.Exported();
    fileRequest.filter = "Rich Text Format (*.rtf)|*.rtf||";
    fileRequest.save = true;
    fileRequest.mustExist = false;
    std::optional<std::string> chosen = dialogs.ChooseOutput(fileRequest);
    if (!chosen || chosen->empty())
        return ExportResult::Cancelled;
    std::string output = *chosen;
    if (!fs::path(output).has_extension())
        output += ".rtf";
    if (!request.databasePath.empty() && SameFile(output, request.databasePath)) {
        ShowExportMessage(kOverDatabase, {output});
        return ExportResult::Failed;
    }
    if (p.Exported() != output) {
        p.Exported() = output;
        set.Touch();
    }

    // --- pass one: selecting fields ---
    CChangeTable changes;
    if (!changes.LoadFile(table1)) {
        ShowExportMessage(kTableErrors, {table1});
        return ExportResult::Failed;
    }
    std::vector<ExportItem> items;
    {
        const ExportRequest& all = request;
        if (all.records == ExportRecords::CurrentWindow && all.window) {
            // The window's records, each once: the formatter sorts them itself.
            std::unordered_set<const CRecord*> seen;
            for (std::size_t i = 0; i < all.window->Count(); ++i) {
                const CRecord* r = all.window->EntryAt(i)->Record();
                if (seen.insert(r).second)
                    items.push_back({r, nullptr});
            }
        } else if (all.records == ExportRecords::CurrentRecord && all.record) {
            items.push_back({all.record, nullptr});
        } else {
            for (CRecord* r : database.RecordsInDefaultOrder())
                items.push_back({r, nullptr});
        }
    }
    TempFile temp1{UnusedSiblingName(output, ".tmp")};
    PassOneFields passOne(p);
    ExportResult passed = WritePassFile(
        temp1.path, changes, table1, kTemp1WriteFailed,
        FormatMessage("Selecting fields from %1", {request.databasePath}), items.size(),
        [&](SFStreamWriter& writer, std::size_t i) { WriteExportItem(writer, items[i], passOne); });
    if (passed != ExportResult::Done)
        return passed;

    // --- the sort: the first temporary file read into a working database ---
    std::unique_ptr<CMarkerSet> workMarkers = CopyMarkerSet(markers);
    auto work = std::make_unique<CIndexSet>(*workMarkers);
    work->SetRecordWidth(300);
    struct DropWork {
        std::unique_ptr<CIndexSet>& set;
        ~DropWork() { set.reset(); } // records let go of their markers first
    } dropWork{work};
    {
        auto progress = platform().BeginProgress("Sorting lexical entries", 0, false);
        FileSource source;
        if (!source.Open(temp1.path)) {
            ShowExportMessage(kTemp1OpenFailed, {temp1.path});
            return ExportResult::Failed;
        }
        CRecordList records;
        std::size_t count = 0;
        SFStream reader(source, *workMarkers, workMarkers->RecordMarker(), true, false);
        std::unique_ptr<CRecord> record;
        while (reader.MoreRecords() && reader.ReadRecord(record)) {
            records.Add(record.release());
            ++count;
        }
        if (reader.TooLarge() || reader.ReadFailed()) {
            records.DeleteAll();
            if (reader.TooLarge())
                ShowExportMessage(kTempTooLarge, {temp1.path});
            else
                ShowExportMessage(kTemp1OpenFailed, {temp1.path});
            return ExportResult::Failed;
        }
        source.Close();
        if (std::remove(temp1.path.c_str()) != 0) {
            records.DeleteAll();
            ShowExportMessage(kTemp1RemoveFailed, {temp1.path});
            return ExportResult::Failed;
        }
        temp1.path.clear();
        // Sorted by citation form: an entry without one sorts by its lexeme.
        if (!finderlist && p.includeLexemeWithCitationForm) {
            CMarker* lc = workMarkers->Search("lc");
            CMarker* lx = workMarkers->Search("lx");
            for (CRecord& r : records)
                if (!r.FindField(lc))
                    if (const CField* f = r.FindField(lx))
                        r.Add(new CField(lc, f->Text()));
        }
        work->AddRecords(records, count);
    }
    if (finderlist)
        work->SetLeaveUndefinedOut(true);
    CIndexKeys indexKeys;
    indexKeys.priMarker = workMarkers->Search(keys[0]);
    for (std::size_t i = 1; i < keys.size(); ++i)
        if (CMarker* m = workMarkers->Search(keys[i]))
            indexKeys.secMarkers.push_back(m);
    CIndexRef index = work->GetIndex(indexKeys);
    const CSortOrder* order = index->SortOrder();

    // --- pass two: formatting the sorted entries ---
    if (!changes.LoadFile(table2)) {
        ShowExportMessage(kTableErrors, {table2});
        return ExportResult::Failed;
    }
    TempFile temp2{UnusedSiblingName(output, ".tmp")};
    CMarker* letterMarker = workMarkers->SearchOrAddFromData("LP");
    int lastLetter = -1;
    passed = WritePassFile(
        temp2.path, changes, table2, kTempWriteFailed, "Formatting lexical entries", index->Count(),
        [&](SFStreamWriter& writer, std::size_t i) {
            const CIndexEntry* e = index->EntryAt(i);
            if (finderlist && !e->HasField())
                return;
            int letter = 0;
            std::string heading = order ? LetterHeading(*order, e->Key(), letter) : "";
            if (letter != 0 && letter != lastLetter) {
                CField lp(letterMarker, heading);
                writer.WriteField(lp, true);
                lastLetter = letter;
            }
            // A finderlist entry: its reversal first, the record's other reversals left
            // out.
            bool first = true;
            if (finderlist) {
                writer.WriteField(*e->Field(), true);
                first = false;
            }
            for (const CField& f : *e->Record()) {
                if (finderlist && f.Marker() == indexKeys.priMarker)
                    continue;
                writer.WriteField(f, first);
                first = false;
            }
        },
        [&](SFStreamWriter& writer) {
            // The options, one line each, for the table to test.
            auto option = [&](bool on, std::string_view name) {
                if (on)
                    writer.WriteControlLine(name, {});
            };
            option(national, "National");
            option(!finderlist && p.format == PlxFormat::Triglot, "Triglot");
            option(!finderlist && !p.sortAlsoBySenses, "SortOnlyByLexeme");
            option(!finderlist && p.includeLexemeWithCitationForm, "IncludeLexemeWithCitationForm");
            option(true, sequence.name);
            option(p.pageSetup.columns == 1, "SingleColumn");
            option(!p.showTotal, "NoTotal");
        });
    if (passed != ExportResult::Done)
        return passed;
    index = CIndexRef();
    work.reset();

    // --- pass three: labels, then the RTF writer ---
    if (!changes.LoadFile(table3)) {
        ShowExportMessage(kTableErrors, {table3});
        return ExportResult::Failed;
    }
    std::unique_ptr<CMarkerSet> rtfMarkers = FormattingMarkers(
        rtfType->MarkerSet(), markers, {{"HE", "re"}, {"HN", "rn"}, {"VE", "lx"}, {"LP", keys[0]}});
    RtfStyleSheet styles;
    bool hasStyles = styles.Parse(templateText);
    RtfDocumentSettings settings;
    settings.markerFonts = true;
    settings.page = p.pageSetup;
    settings.templatePath = templatePath;
    settings.linkStyles = set.Options().autoUpdateStyles;
    settings.templateStyles = hasStyles ? &styles : nullptr;
    settings.footerText = p.Title();
    settings.showDate = p.showDate;
    std::ifstream in(temp2.path, std::ios::binary);
    if (!in) {
        ShowExportMessage(kTemp2OpenFailed, {temp2.path});
        return ExportResult::Failed;
    }
    enum class Failure { None, Cancelled, Open, TooLarge, Table, Write } failure = Failure::None;
    std::string tableError;
    std::int64_t length = static_cast<std::int64_t>(fs::file_size(temp2.path, ec));
    auto progress =
        platform().BeginProgress(FormatMessage("Exporting as %1", {output}), ec ? 0 : length, true);
    SafeWriteResult written = WriteFileSafely(output, [&](std::ostream& out) {
        OstreamSink sink(out);
        RtfWriter writer(sink, *rtfMarkers, settings);
        if (p.showHeader) {
            // Running heads: the first and the last entry of each page.
            const CMarker* head = rtfMarkers->Search(finderlist ? (national ? "HN" : "HE") : "lx");
            if (head) {
                std::string style = writer.StyleNameOf(head);
                writer.SetHeaders("{STYLEREF \"" + style + "\"}",
                                  "{STYLEREF \"" + style + "\" \\l}");
            }
        }
        CChangeTableInputBuf labels(changes, in.rdbuf());
        std::istream through(&labels);
        IstreamSource source(through);
        SFStream reader(source, *rtfMarkers, nullptr, false, false);
        std::unique_ptr<CField> field;
        std::size_t fields = 0;
        try {
            while (reader.ReadField(field)) {
                writer.WriteField(*field, field->Marker() == rtfMarkers->RecordMarker());
                field.reset();
                // The file position costs a system call: asked now and then.
                if (++fields % 1024 == 0) {
                    std::int64_t at = in.tellg();
                    progress->SetPosition(at < 0 ? length : at);
                    if (progress->Cancelled()) {
                        failure = Failure::Cancelled;
                        return false;
                    }
                }
            }
        } catch (const std::ios_base::failure&) {
        }
        if (labels.Failed() || reader.ReadFailed()) {
            for (const ChangeTableMessage& m : changes.TakeMessages())
                if (m.stop)
                    tableError += m.text;
            failure = tableError.empty() ? Failure::Open : Failure::Table;
            return false;
        }
        if (reader.TooLarge()) {
            failure = Failure::TooLarge;
            return false;
        }
        if (!writer.Finish()) {
            failure = Failure::Write;
            return false;
        }
        return true;
    });
    progress.reset();
    if (!written) {
        switch (failure) {
        case Failure::Cancelled:
            return ExportResult::Cancelled;
        case Failure::Open:
            ShowExportMessage(kTemp2OpenFailed, {temp2.path});
            break;
        case Failure::TooLarge:
            ShowExportMessage(kTempTooLarge, {temp2.path});
            break;
        case Failure::Table:
            platform().ShowMessage(table3 + "\n" + tableError);
            break;
        case Failure::None:
        case Failure::Write:
            ShowExportMessage(kWriteFailed, {output});
            break;
        }
        return ExportResult::Failed;
    }
    // The document is complete as written: no reminder to finish it in a word processor.
    if (set.Options().autoOpen && !dialogs.OpenDocument(output))
        ShowExportMessage(
            "%1\nFailed to automatically open this exported Rich Text Format file.\n\nIs its "
            "type associated with a word processing program?\nIs it already open?",
            {output});
    return ExportResult::Done;
}

} // namespace crv
