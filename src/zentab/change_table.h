// Corvane's C++ face of the engine: a change-table object that loads a table and runs
// text through it, with errors and warnings returned as results, never thrown.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace crv {

namespace zt {
class Session;
}

struct ChangeTableMessage {
    int number = 0;    // in the engine's message table
    bool stop = false; // an error rather than a warning
    std::string text;
};

struct [[nodiscard]] ChangeTableResult {
    bool ok = false;
    std::vector<ChangeTableMessage> messages; // everything the engine raised meanwhile
    explicit operator bool() const { return ok; }
    // The messages' texts, one after another.
    std::string Text() const;
};

class CChangeTable {
public:
    CChangeTable();
    ~CChangeTable();
    CChangeTable(CChangeTable&&) noexcept;
    CChangeTable& operator=(CChangeTable&&) noexcept;

    // Loads a table file (".ztt" appended when the name has none), unloading any previous.
    ChangeTableResult LoadFile(const std::string& path);
    // Loads a table from its text.
    ChangeTableResult LoadText(std::string_view text);
    void Unload();
    bool IsLoaded() const { return m_session != nullptr; }
    // The table sets binary: input and output are bytes with no line-end conversion.
    bool IsBinary() const;

    // Runs the whole input through a fresh run of the table.
    ChangeTableResult Process(std::string_view input, std::string& output);

    // For the stream buffers: the loaded session and the messages collected since Take.
    zt::Session* GetSession() { return m_session.get(); }
    std::vector<ChangeTableMessage> TakeMessages();

private:
    ChangeTableResult Finish(bool ok);

    std::unique_ptr<zt::Session> m_session;
    std::shared_ptr<std::vector<ChangeTableMessage>> m_messages;
};

} // namespace crv
