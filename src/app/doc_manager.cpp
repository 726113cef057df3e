#include "app/doc_manager.h"

#include <algorithm>
#include <filesystem>

#include "app/document_dates.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "corpus/corpus_messages.h"
#include "record/database_file.h"
#include "schema/database_type.h"

namespace crv {

namespace fs = std::filesystem;

CDocManager::CDocManager(CDatabaseTypeSet& types, CImportSettings& importSettings)
    : m_types(&types), m_importSettings(&importSettings) {}

CDocManager::~CDocManager() {
    // Documents go before the types they hold.
    m_docs.clear();
}

void CDocManager::SetDialogs(CDocumentDialogs* dialogs) {
    m_dialogs = dialogs ? dialogs : &m_platformDialogs;
}

CCrvDoc* CDocManager::Keep(std::unique_ptr<CCrvDoc> doc) {
    m_docs.push_back(std::move(doc));
    return m_docs.back().get();
}

CCrvDoc* CDocManager::OpenDocument(const std::string& path, bool readOnly, bool* alreadyOpen) {
    if (alreadyOpen)
        *alreadyOpen = false;
    if (CCrvDoc* open = FindDocument(path)) {
        if (alreadyOpen)
            *alreadyOpen = true;
        return open;
    }
    auto doc = std::make_unique<CCrvDoc>(*this);
    if (!doc->OnOpenDocument(path, readOnly))
        return nullptr;
    return Keep(std::move(doc));
}

CCrvDoc* CDocManager::NewDocument() {
    auto doc = std::make_unique<CCrvDoc>(*this);
    if (!doc->OnNewDocument())
        return nullptr;
    return Keep(std::move(doc));
}

CCrvDoc* CDocManager::ImportDocument(const std::string& path) {
    if (FindDocument(path)) {
        platform().ShowMessage(CannotOpenText(path));
        return nullptr;
    }
    auto doc = std::make_unique<CCrvDoc>(*this);
    doc->SetPathName(path);
    std::string message;
    if (!doc->ImportFile(path, ImportMode::NoHeader, {}, message)) {
        if (!message.empty())
            platform().ShowMessage(message);
        return nullptr;
    }
    return Keep(std::move(doc));
}

CCrvDoc* CDocManager::FindDocument(const std::string& path) const {
    for (const auto& doc : m_docs)
        if (SameFile(doc->Path(), path))
            return doc.get();
    return nullptr;
}

std::vector<CCrvDoc*> CDocManager::Documents() const {
    std::vector<CCrvDoc*> out;
    for (const auto& doc : m_docs)
        out.push_back(doc.get());
    return out;
}

bool CDocManager::CloseDocument(CCrvDoc* doc, bool ask) {
    auto it =
        std::find_if(m_docs.begin(), m_docs.end(), [doc](const auto& d) { return d.get() == doc; });
    if (it == m_docs.end())
        return false;
    if (ask && !doc->SaveModified())
        return false;
    doc->TellClosing();
    m_docs.erase(it);
    return true;
}

bool CDocManager::SaveAllModified() {
    for (const auto& doc : m_docs)
        if (!doc->SaveModified())
            return false;
    return true;
}

bool CDocManager::CloseAll() {
    if (!SaveAllModified())
        return false;
    for (const auto& doc : m_docs)
        doc->TellClosing();
    m_docs.clear();
    return true;
}

bool CDocManager::AnyDatesConverted() const {
    return std::any_of(m_docs.begin(), m_docs.end(),
                       [](const auto& doc) { return doc->DatesConverted(); });
}

bool CDocManager::DateStampMarkerChanged(const CDatabaseType& type) {
    bool any = false;
    for (const auto& doc : m_docs)
        if (doc->IsOpen() && &doc->Type() == &type && !doc->IsReadOnly())
            any = ConvertDocumentDates(*doc).changed > 0 || any;
    return any;
}

void CDocManager::AddNoticeListener(CRecordNoticeListener* listener) {
    if (std::find(m_noticeListeners.begin(), m_noticeListeners.end(), listener) ==
        m_noticeListeners.end())
        m_noticeListeners.push_back(listener);
}

void CDocManager::RemoveNoticeListener(CRecordNoticeListener* listener) {
    m_noticeListeners.erase(
        std::remove(m_noticeListeners.begin(), m_noticeListeners.end(), listener),
        m_noticeListeners.end());
}

void CDocManager::NotifyRecord(CCrvDoc& doc, const CRecordHint& hint) {
    for (CRecordNoticeListener* listener : std::vector<CRecordNoticeListener*>(m_noticeListeners))
        listener->OnRecordNotice(doc, hint);
}

bool SaveBeforeRun(CDocManager& docs) {
    std::vector<CCrvDoc*> modified;
    for (CCrvDoc* doc : docs.Documents())
        if (doc->IsModified())
            modified.push_back(doc);
    if (modified.empty() ||
        platform().Ask(kSaveBeforeRun, Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return true;
    for (CCrvDoc* doc : modified)
        if (!doc->Save())
            return false;
    return true;
}

CCrvDoc* ReopenReplacedFile(CDocManager& docs, const std::string& path) {
    if (CCrvDoc* open = docs.FindDocument(path))
        docs.CloseDocument(open, false);
    return docs.OpenDocument(path);
}

} // namespace crv
