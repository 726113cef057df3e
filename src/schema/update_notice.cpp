#include "schema/update_notice.h"

#include <algorithm>

namespace crv {

void CUpdateHub::Subscribe(CUpdateListener* listener, ListenerRank rank) {
    auto pos = std::find_if(m_listeners.begin(), m_listeners.end(),
                            [rank](const Entry& e) { return e.rank > rank; });
    m_listeners.insert(pos, Entry{listener, rank});
}

void CUpdateHub::Unsubscribe(CUpdateListener* listener) {
    std::erase_if(m_listeners, [listener](const Entry& e) { return e.listener == listener; });
}

template <class Update> void CUpdateHub::Send(const Update& update) {
    // A listener may unsubscribe (a document closing) while the notice travels: walk a
    // copy and skip whoever left.
    std::vector<Entry> copy = m_listeners;
    for (const Entry& e : copy) {
        bool still = std::any_of(m_listeners.begin(), m_listeners.end(),
                                 [&](const Entry& x) { return x.listener == e.listener; });
        if (!still)
            continue;
        if constexpr (std::is_same_v<Update, CMarkerUpdate>)
            e.listener->OnMarkerUpdate(update);
        else
            e.listener->OnLangEncUpdate(update);
    }
}

void CUpdateHub::Broadcast(const CMarkerUpdate& update) { Send(update); }
void CUpdateHub::Broadcast(const CLangEncUpdate& update) { Send(update); }

} // namespace crv
