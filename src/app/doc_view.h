// What a document tells its views: the record change hint, the view interface that
// record and browse windows implement, and the application-wide record notice that
// other documents' views (and interlinear lexicon tries) listen to.
#pragma once

#include "record/rec_pos.h"

namespace crv {

class CCrvDoc;
class CIndex;
class CRecord;

// What happened to the record of a hint.
enum class RecordHintOp {
    Changed,  // edited in place (fields or text); pos is the changed field when known
    Inserted, // a new record (insert, copy, merge)
    Deleted,  // removed; the record is still alive while the hint is sent
    Redraw,   // everything may have changed (record null): redraw all
};

struct CRecordHint {
    CRecordHint() = default;
    CRecordHint(RecordHintOp op_, CRecord* record_ = nullptr) : op(op_), record(record_) {}

    RecordHintOp op = RecordHintOp::Changed;
    CRecord* record = nullptr;
    // The field position concerned, when the operation names one.
    CRecPos pos;
    bool hasPos = false;
    // A detail the sender and its views agree on (the kind of edit), 0 otherwise.
    int subOp = 0;
};

// A window on a document. Views register with their document and are told of every
// change; they also listen to the document's index set to move off entries that go.
class CDocView {
public:
    virtual ~CDocView() = default;
    // A record of the document changed (sender is the view that made the change, or null).
    virtual void OnUpdate(CCrvDoc& doc, const CRecordHint& hint, CDocView* sender) = 0;
    // The document was saved: the view's record undo state is reset.
    virtual void OnDocumentSaved(CCrvDoc& /*doc*/) {}
    // The document is being closed (by itself or with its project): the view lets go of
    // its indexes and records now. The records still exist during the call.
    virtual void OnDocumentClosing(CCrvDoc& /*doc*/) {}
    // The index the view shows its records in (merging copies in this order); null when
    // it has none.
    virtual CIndex* ViewIndex() { return nullptr; }
};

// Told of every record change in any open document.
class CRecordNoticeListener {
public:
    virtual ~CRecordNoticeListener() = default;
    virtual void OnRecordNotice(CCrvDoc& doc, const CRecordHint& hint) = 0;
};

} // namespace crv
