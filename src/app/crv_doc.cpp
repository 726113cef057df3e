#include "app/crv_doc.h"

#include <algorithm>
#include <filesystem>

#include "app/doc_manager.h"
#include "app/document_dates.h"
#include "base/file_names.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "record/database_file.h"
#include "schema/database_type.h"
#include "schema/database_type_set.h"

namespace crv {

namespace {

constexpr const char* kOpenReadOnly =
    "%1\nThis file is read-only.\nIf you make changes, you will have to save them to a "
    "different file.\n\nDo you want to open this file?";
constexpr const char* kImportWarning =
    "Warning Regarding Import:\nChoosing an inappropriate database type can clutter that type's "
    "settings with extraneous field markers.\nIf you're unsure,   Add a new type   (or Cancel)   "
    "from the Import dialog box.";

bool IsRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

} // namespace

CCrvDoc::CCrvDoc(CDocManager& manager) : m_manager(&manager) {}

CCrvDoc::~CCrvDoc() = default;

void CCrvDoc::TellClosing() {
    // A view may leave the list while it is told.
    for (CDocView* view : std::vector<CDocView*>(m_views))
        if (std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnDocumentClosing(*this);
}

void CCrvDoc::SetPathName(const std::string& path) {
    m_path = path;
    m_title = std::filesystem::path(path).filename().string();
}

void CCrvDoc::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    if (m_set)
        m_set->SetReadOnly(readOnly);
}

CDatabaseType& CCrvDoc::Type() const { return *m_set->Type(); }

void CCrvDoc::Adopt(std::unique_ptr<CIndexSet> set, const std::string& path) {
    m_set = std::move(set);
    m_set->SetReadOnly(m_readOnly);
    SetPathName(path);
    m_fileTime = FileModificationTime(path);
}

bool CCrvDoc::OnOpenDocument(const std::string& path, bool readOnly) {
    SetPathName(path);
    m_readOnly = readOnly;
    std::string message;
    if (ReadDatabase(path, message))
        return true;
    if (!message.empty())
        platform().ShowMessage(message);
    return false;
}

bool CCrvDoc::ReadDatabase(const std::string& path, std::string& message) {
    if (!IsRegularFile(path)) {
        message = CannotOpenText(path);
        return false;
    }
    bool writable = FileIsWritable(path);
    m_readOnly = m_readOnly || !writable;

    DatabaseTypeOfFile found = FindDatabaseTypeOfFile(path, m_manager->Types());
    using Status = DatabaseTypeOfFile::Status;
    switch (found.status) {
    case Status::CannotOpen:
        message = CannotOpenText(path);
        return false;
    case Status::TooLarge:
        message = TooLargeText(path);
        return false;
    case Status::NoHeader:
        return ImportFile(path, ImportMode::NoHeader, {}, message);
    case Status::TypeMissing:
        platform().Beep();
        if (!m_manager->Dialogs().TypeNotFound(
                DatabaseTypeNotFoundText(path, found.header.typeName)))
            return false;
        platform().ShowMessage(kImportWarning);
        return ImportFile(path, ImportMode::TypeMissing, found.header.typeName, message);
    case Status::TypeNotLoaded:
        return false; // the type set showed why
    case Status::Found:
        break;
    }

    if (!writable && platform().Ask(FormatMessage(kOpenReadOnly, {path}), Buttons::YesNo,
                                    Answer::No, true) != Answer::Yes)
        return false;
    auto set = std::make_unique<CIndexSet>(*found.type);
    set->SetRecordWidth(found.header.number);
    DatabaseReadResult read = set->ReadFile(path);
    if (!read.Ok())
        return false; // the reading loop showed its message
    Adopt(std::move(set), path);
    m_fourDigitYears = found.header.fourDigitYear;
    m_modified = read.skippedMaterial;
    if (!m_readOnly && !m_fourDigitYears && found.type->DateStampMarker())
        ConvertDocumentDates(*this);
    return true;
}

bool CCrvDoc::OnSaveDocument(const std::string& path) {
    std::string message;
    if (!SaveDatabase(path, message)) {
        if (!message.empty())
            platform().ShowMessage(message);
        return false;
    }
    if (!SameFile(path, m_path)) {
        SetPathName(path);
        SetReadOnly(false);
        // Lexicon indexes and references that found the database follow its new name.
        if (m_set)
            m_set->TellRenamed(path);
    }
    for (CDocView* view : std::vector<CDocView*>(m_views))
        view->OnDocumentSaved(*this);
    return true;
}

bool CCrvDoc::Save() {
    if (!m_readOnly)
        return OnSaveDocument(m_path);
    auto path = m_manager->Dialogs().SaveAsPath(*this);
    return path && OnSaveDocument(*path);
}

bool CCrvDoc::SaveModified() {
    if (!m_modified)
        return true;
    Question q;
    q.text = FormatMessage("Save changes to %1?", {m_title});
    q.buttons = Buttons::YesNoCancel;
    q.defaultAnswer = Answer::Yes;
    switch (platform().Ask(q)) {
    case Answer::Yes:
    case Answer::Ok:
        return Save();
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

bool CCrvDoc::OnNewDocument() {
    CDocumentDialogs& dialogs = m_manager->Dialogs();
    auto path = dialogs.NewDatabasePath();
    if (!path)
        return false;
    CDatabaseType* type = dialogs.ChooseNewDatabaseType(m_manager->Types());
    if (!type)
        return false;
    // Two documents on one file would each save over the other's records.
    if (m_manager->FindDocument(*path)) {
        platform().ShowMessage(FormatMessage(
            "%1\nThis database is open. Close it before you make a new database in its place.",
            {*path}));
        return false;
    }
    std::string message;
    if (CreateNewDatabase(*path, *type, message))
        return true;
    platform().ShowMessage(message);
    return false;
}

// --- records ---

bool CCrvDoc::StampIfAsked(CRecord* record, bool stampDate) {
    CMarker* stamp = stampDate ? Type().DateStampMarker() : nullptr;
    if (!stamp)
        return true;
    bool hadField = record->FindField(stamp) != nullptr;
    m_manager->Clock().StampRecord(*record, stamp);
    return hadField;
}

void CCrvDoc::RecordChanged(CRecord* record, bool stampDate, CDocView* sender) {
    StampIfAsked(record, stampDate);
    m_set->RecordChanged(record);
    UpdateAllViews(CRecordHint{RecordHintOp::Changed, record}, sender);
    m_modified = true;
}

void CCrvDoc::RecordTextChanged(CRecord* record, bool stampDate, CDocView* sender) {
    if (StampIfAsked(record, stampDate))
        m_set->RecordTextChanged(record);
    else
        m_set->RecordChanged(record);
    UpdateAllViews(CRecordHint{RecordHintOp::Changed, record}, sender);
    m_modified = true;
}

CIndexPos CCrvDoc::InsertNewRecord(std::string_view key, CIndex& calling, CDocView* sender) {
    CIndexPos pos = m_set->AddNewRecord(key, calling);
    if (pos.IsValid())
        UpdateAllViews(CRecordHint{RecordHintOp::Inserted, pos.Record()}, sender);
    m_modified = true;
    return pos;
}

CRecord* CCrvDoc::CopyRecord(const CRecord& source) {
    CMarkerSet& markers = m_set->Markers();
    CMarker* recordMarker = m_set->RecordMarker();
    CRecord* copy = nullptr;
    auto append = [&copy](CField* field) {
        if (copy)
            copy->Add(field);
        else
            copy = new CRecord(field);
    };
    // A record of another type whose first marker is not this database's record marker
    // would not begin a record here (it would join the record before it when the file is
    // read again), so it gets a record-marker field with its key in front.
    if (source.GetFirst()->Marker()->Name() != recordMarker->Name())
        append(new CField(recordMarker, source.GetKey()));
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks): the record owns its fields
    for (const CField& field : source) {
        CMarker* marker = field.Marker()->Name() == recordMarker->Name()
                              ? recordMarker
                              : markers.SearchOrAddFromData(field.Marker()->Name());
        append(new CField(marker, field.Text()));
    }
    return copy;
}

CRecord* CCrvDoc::AddRecordCopy(const CRecord& source, CDocView* sender) {
    CRecord* copy = CopyRecord(source);
    m_set->AddRecord(copy);
    UpdateAllViews(CRecordHint{RecordHintOp::Inserted, copy}, sender);
    m_modified = true;
    return copy;
}

void CCrvDoc::AddRecordCopies(const std::vector<const CRecord*>& sources, CDocView* sender) {
    CRecordList copies;
    std::vector<CRecord*> added;
    for (const CRecord* source : sources) {
        added.push_back(CopyRecord(*source));
        copies.Add(added.back());
    }
    m_set->AddRecords(copies);
    for (CRecord* record : added)
        UpdateAllViews(CRecordHint{RecordHintOp::Inserted, record}, sender);
    if (!added.empty())
        m_modified = true;
}

void CCrvDoc::DeleteRecord(CRecord* record, CDocView* sender) {
    UpdateAllViews(CRecordHint{RecordHintOp::Deleted, record}, sender);
    m_set->DeleteRecord(record);
    m_modified = true;
}

// --- views ---

void CCrvDoc::AddView(CDocView* view) {
    if (std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void CCrvDoc::RemoveView(CDocView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void CCrvDoc::UpdateAllViews(const CRecordHint& hint, CDocView* sender) {
    // A view may close itself while it is told; tell the ones registered when we began.
    for (CDocView* view : std::vector<CDocView*>(m_views))
        if (view != sender && std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate(*this, hint, sender);
    m_manager->NotifyRecord(*this, hint);
}

} // namespace crv
