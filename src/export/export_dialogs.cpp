#include "export/export_dialogs.h"

#include <charconv>
#include <cmath>

#include "base/message_text.h"
#include "base/platform.h"
#include "export/export_process_set.h"
#include "schema/marker.h"

namespace crv {

namespace {

constexpr std::string_view kLengthKeys[] = {
    "paperWidth",  "paperHeight", "topMargin",    "bottomMargin", "leftMargin",
    "rightMargin", "gutter",      "headerToEdge", "footerToEdge", "columnSpacing"};

double* Length(CRtfPageSetup& p, std::string_view key) {
    double* values[] = {&p.paperWidth,   &p.paperHeight,  &p.topMargin, &p.bottomMargin,
                        &p.leftMargin,   &p.rightMargin,  &p.gutter,    &p.headerToEdge,
                        &p.footerToEdge, &p.columnSpacing};
    for (std::size_t i = 0; i < std::size(kLengthKeys); ++i)
        if (kLengthKeys[i] == key)
            return values[i];
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- page setup

PageSetupDialog::PageSetupDialog(const CRtfPageSetup& setup) : m_setup(setup) {
    SetPaper(setup.paper);
}

std::string PageSetupDialog::UnitLabel() const {
    return m_setup.InInches() ? "Measurement unit: inches" : "Measurement unit: centimeters";
}

std::string PageSetupDialog::LeftLabel() const {
    return m_setup.mirrorMargins ? "&Inside:" : "&Left:";
}

std::string PageSetupDialog::RightLabel() const {
    return m_setup.mirrorMargins ? "&Outside:" : "&Right:";
}

void PageSetupDialog::SetPaper(PaperSize size) {
    // What was typed and can be read goes along into the new unit.
    for (const auto& [key, text] : m_texts)
        if (double* v = Length(m_setup, key))
            if (auto n = ParseDecimal(text))
                *v = *n;
    m_setup.SetPaper(size);
    m_texts.clear();
    for (std::string_view key : kLengthKeys) {
        double value = *Length(m_setup, key);
        if (key == "paperWidth")
            value = m_setup.PaperWidth();
        if (key == "paperHeight")
            value = m_setup.PaperHeight();
        m_texts.emplace_back(key, FormatMeasurement(value));
    }
    m_texts.emplace_back("columns", std::to_string(m_setup.columns));
}

std::string PageSetupDialog::Text(std::string_view key) const {
    for (const auto& [k, text] : m_texts)
        if (k == key)
            return text;
    return {};
}

void PageSetupDialog::SetText(std::string_view key, std::string text) {
    for (auto& [k, t] : m_texts)
        if (k == key) {
            t = std::move(text);
            return;
        }
}

bool PageSetupDialog::Ok(std::string* badKey) {
    CRtfPageSetup checked = m_setup;
    bool custom = checked.paper == PaperSize::CustomInches || checked.paper == PaperSize::CustomCm;
    for (const auto& [key, text] : m_texts) {
        if (key == "columns") {
            auto n = ParseDecimal(text);
            if (!n || *n < 1 || *n > 99 || *n != std::floor(*n)) {
                platform().ShowMessage("Please enter a number of columns from 1 to 99.");
                if (badKey)
                    *badKey = key;
                return false;
            }
            checked.columns = static_cast<int>(*n);
            continue;
        }
        if (!custom && (key == "paperWidth" || key == "paperHeight"))
            continue;
        auto n = ParseDecimal(text);
        if (!n || !checked.IsValidMeasurement(*n)) {
            platform().ShowMessage(FormatMessage("Please enter a measurement from 0 to %1 %2.",
                                                 {FormatMeasurement(checked.MaxMeasurement()),
                                                  checked.InInches() ? "inches" : "centimeters"}));
            if (badKey)
                *badKey = key;
            return false;
        }
        *Length(checked, key) = *n;
    }
    m_setup = checked;
    return true;
}

// ---------------------------------------------------------------- process properties

ExportProcessDialog::ExportProcessDialog(CExportProcess& process)
    : name(process.Name()), changeTable(process.changeTable), m_process(process) {
    for (const CMarker& m : process.Owner().Markers())
        fields.emplace_back(m.Name(), process.Fields().IncludesMarker(&m));
    if (auto* rtf = dynamic_cast<CExportProcessRTF*>(&process)) {
        documentTemplate = rtf->documentTemplate;
        markerFont = rtf->markerFont;
        tabAligned = rtf->tabAligned;
        spacing = rtf->spacing;
        pageSetup.emplace(rtf->pageSetup);
    }
    if (auto* plx = dynamic_cast<CExportProcessPLX*>(&process)) {
        dictionary = std::make_unique<CExportProcessPLX>(process.Owner(), process.Name());
        dictionary->AssignSettings(*plx);
        pageSetup.emplace(plx->pageSetup);
    }
}

std::string ExportProcessDialog::Title() const {
    switch (Kind()) {
    case CExportProcess::Kind::StandardFormat:
        return "SF Export Process Properties";
    case CExportProcess::Kind::RichText:
        return "RTF Export Process Properties";
    case CExportProcess::Kind::Dictionary:
        return "Polylex Formatter Properties";
    }
    return {};
}

FileRequest ExportProcessDialog::AudienceFileRequest(PlxAudience audience, bool labels,
                                                     const std::string& current) {
    FileRequest r;
    bool english = audience == PlxAudience::English;
    r.title = labels ? (english ? "Change Table for English Audience Labels"
                                : "Change Table for National Audience Labels")
                     : (english ? "Document Template for English Audience"
                                : "Document Template for National Audience");
    r.filter = labels ? "Change Tables (*.ztt)|*.ztt||"
                      : "Document Templates (*.dot)|*.dot|Rich Text Format (*.rtf)|*.rtf||";
    r.initialPath = current;
    return r;
}

bool ExportProcessDialog::Ok() {
    CExportProcessSet& set = m_process.Owner();
    std::string message;
    if (!set.CheckName(name, &m_process, message)) {
        platform().ShowMessage(message);
        return false;
    }
    if (pageSetup && !pageSetup->Ok())
        return false;
    set.Rename(&m_process, name, message);
    m_process.changeTable = changeTable;
    const CMarkerSet& markers = set.Markers();
    for (const auto& [markerName, included] : fields)
        if (const CMarker* m = markers.Search(markerName))
            m_process.Fields().SetIncluded(m, included);
    if (auto* rtf = dynamic_cast<CExportProcessRTF*>(&m_process)) {
        rtf->documentTemplate = documentTemplate;
        rtf->markerFont = markerFont;
        rtf->tabAligned = tabAligned;
        rtf->spacing = spacing;
        rtf->NormalizeSpacing();
        rtf->pageSetup = pageSetup->Setup();
    }
    if (auto* plx = dynamic_cast<CExportProcessPLX*>(&m_process)) {
        plx->AssignSettings(*dictionary);
        plx->pageSetup = pageSetup->Setup();
    }
    set.Touch();
    return true;
}

// ---------------------------------------------------------------- the Export dialog

ExportDialog::ExportDialog(CExportProcessSet& set, bool hasWindow, bool hasRecord)
    : m_set(set), m_hasWindow(hasWindow), m_hasRecord(hasRecord) {
    const ExportOptions& o = set.Options();
    if (o.currentRecord && hasRecord)
        records = ExportRecords::CurrentRecord;
    else if (o.currentWindow && hasWindow)
        records = ExportRecords::CurrentWindow;
    autoOpen = o.autoOpen;
    showProperties = o.showProperties;
    SelectProcess(set.DefaultProcess());
}

void ExportDialog::SelectProcess(const CExportProcess* process) {
    std::size_t i = 0;
    for (const CExportProcess& p : m_set.Processes()) {
        if (&p == process)
            m_selected = i;
        ++i;
    }
}

std::vector<std::string> ExportDialog::ProcessNames() const {
    std::vector<std::string> names;
    for (const CExportProcess& p : m_set.Processes())
        names.push_back(p.Name());
    return names;
}

void ExportDialog::Select(std::size_t index) {
    if (index < m_set.Processes().Count())
        m_selected = index;
}

CExportProcess* ExportDialog::SelectedProcess() const {
    std::size_t i = 0;
    for (CExportProcess& p : m_set.Processes())
        if (i++ == m_selected)
            return &p;
    return nullptr;
}

bool ExportDialog::AutoOpenEnabled() const {
    const CExportProcess* p = SelectedProcess();
    return p && p->GetKind() != CExportProcess::Kind::StandardFormat;
}

bool ExportDialog::Add(const EditFunction& edit) {
    static const std::vector<std::string> kinds = {std::string(CExportProcessSet::kStandardFormat),
                                                   std::string(CExportProcessSet::kRichText),
                                                   std::string(CExportProcessPLX::kDefaultName)};
    std::optional<std::size_t> kind = platform().ChooseItem("Export Process Type", kinds, 0);
    if (!kind)
        return false;
    auto process = MakeExportProcess(static_cast<CExportProcess::Kind>(*kind), m_set,
                                     m_set.Processes().MakeUniqueName(kinds[*kind]));
    if (auto* plx = dynamic_cast<CExportProcessPLX*>(process.get()))
        plx->ExcludeDefaultFields();
    // The new process joins the set while its properties are edited, so that its name
    // is checked against the others; Cancel takes it out again.
    bool wasModified = m_set.IsModified();
    CExportProcess* added = m_set.Add(std::move(process));
    if (!edit(*added)) {
        m_set.Discard(added);
        m_set.SetModified(wasModified);
        return false;
    }
    SelectProcess(added);
    return true;
}

bool ExportDialog::Copy() {
    CExportProcess* p = SelectedProcess();
    if (!p)
        return false;
    SelectProcess(m_set.Copy(*p));
    return true;
}

bool ExportDialog::Modify(const EditFunction& edit) {
    CExportProcess* p = SelectedProcess();
    return p && edit(*p);
}

bool ExportDialog::Delete() {
    CExportProcess* p = SelectedProcess();
    if (!p || !m_set.Delete(p))
        return false;
    m_selected = 0;
    return true;
}

CExportProcess* ExportDialog::Ok() {
    ExportOptions o = m_set.Options();
    o.currentRecord = records == ExportRecords::CurrentRecord;
    o.currentWindow = records == ExportRecords::CurrentWindow;
    o.autoOpen = autoOpen;
    o.showProperties = showProperties;
    m_set.SetOptions(o);
    CExportProcess* p = SelectedProcess();
    m_set.SetDefaultProcess(p);
    return p;
}

} // namespace crv
