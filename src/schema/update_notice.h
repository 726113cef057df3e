// Change notices: a marker, language encoding or sort order that changes tells the
// project's language encodings, then the database types, then the open documents, so
// that each re-keys what depends on it.
#pragma once

#include <string>
#include <vector>

namespace crv {

class CMarker;
class CLangEnc;
class CSortOrder;

struct CMarkerUpdate {
    CMarker* marker = nullptr;
    bool nameChanged = false;
    std::string oldName;
    bool langEncChanged = false;
    // For a merge: the marker that survives; every reference to marker moves to it.
    CMarker* mergedInto = nullptr;
    // marker became the record marker of its set (the old one now stands under it).
    bool recordMarkerChanged = false;
};

struct CLangEncUpdate {
    CLangEnc* langEnc = nullptr;
    bool nameChanged = false;
    std::string oldName;
    // The sort order that changed, or null when the change concerns the whole encoding.
    CSortOrder* sortOrder = nullptr;
    bool deleted = false;
};

class CUpdateListener {
public:
    virtual ~CUpdateListener() = default;
    virtual void OnMarkerUpdate(const CMarkerUpdate&) {}
    virtual void OnLangEncUpdate(const CLangEncUpdate&) {}
};

// The order in which listeners hear a notice.
enum class ListenerRank { LangEncs = 0, Types = 1, Documents = 2 };

class CUpdateHub {
public:
    void Subscribe(CUpdateListener* listener, ListenerRank rank);
    void Unsubscribe(CUpdateListener* listener);
    void Broadcast(const CMarkerUpdate& update);
    void Broadcast(const CLangEncUpdate& update);

private:
    template <class Update> void Send(const Update& update);
    struct Entry {
        CUpdateListener* listener;
        ListenerRank rank;
    };
    std::vector<Entry> m_listeners; // in rank order, then subscription order
};

// Subscribes for its lifetime.
class CUpdateSubscription {
public:
    CUpdateSubscription(CUpdateHub& hub, CUpdateListener* listener, ListenerRank rank)
        : m_hub(&hub), m_listener(listener) {
        hub.Subscribe(listener, rank);
    }
    ~CUpdateSubscription() { m_hub->Unsubscribe(m_listener); }
    CUpdateSubscription(const CUpdateSubscription&) = delete;
    CUpdateSubscription& operator=(const CUpdateSubscription&) = delete;

private:
    CUpdateHub* m_hub;
    CUpdateListener* m_listener;
};

} // namespace crv
