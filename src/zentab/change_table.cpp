// The change-table object over a Session, collecting messages instead of showing them.
#include "zentab/change_table.h"

#include "zentab/session.h"

namespace crv {

std::string ChangeTableResult::Text() const {
    std::string out;
    for (const ChangeTableMessage& m : messages)
        out += m.text;
    return out;
}

CChangeTable::CChangeTable() : m_messages(std::make_shared<std::vector<ChangeTableMessage>>()) {}
CChangeTable::~CChangeTable() = default;
CChangeTable::CChangeTable(CChangeTable&&) noexcept = default;
CChangeTable& CChangeTable::operator=(CChangeTable&&) noexcept = default;

namespace {

zt::MessageSink Collector(const std::shared_ptr<std::vector<ChangeTableMessage>>& messages) {
    return [messages](const zt::Message& m) {
        messages->push_back({m.number, m.stop, m.text});
        return true;
    };
}

} // namespace

std::vector<ChangeTableMessage> CChangeTable::TakeMessages() {
    std::vector<ChangeTableMessage> out;
    out.swap(*m_messages);
    return out;
}

ChangeTableResult CChangeTable::Finish(bool ok) {
    ChangeTableResult r;
    r.ok = ok;
    r.messages = TakeMessages();
    return r;
}

ChangeTableResult CChangeTable::LoadFile(const std::string& path) {
    Unload();
    try {
        m_session = zt::Session::FromFile(path, Collector(m_messages));
    } catch (...) {
        m_session.reset();
    }
    return Finish(m_session != nullptr);
}

ChangeTableResult CChangeTable::LoadText(std::string_view text) {
    Unload();
    try {
        m_session = zt::Session::FromText(text, Collector(m_messages));
    } catch (...) {
        m_session.reset();
    }
    return Finish(m_session != nullptr);
}

void CChangeTable::Unload() {
    m_session.reset();
    m_messages->clear();
}

bool CChangeTable::IsBinary() const { return m_session && m_session->IsBinary(); }

ChangeTableResult CChangeTable::Process(std::string_view input, std::string& output) {
    output.clear();
    if (!m_session)
        return Finish(false);
    bool ok = false;
    try {
        ok = m_session->ProcessAll(input, output);
    } catch (...) {
        ok = false;
    }
    return Finish(ok);
}

} // namespace crv
