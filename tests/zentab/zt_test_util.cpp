#include "zt_test_util.h"

#include <algorithm>
#include <mutex>

#include <gtest/gtest.h>

#include "zentab/host_messages.h"

namespace crv::zt::test {

namespace {

thread_local Collected* t_current = nullptr;

int ZTAPI Callback(int message, int, const char* text, intptr_t) {
    if (t_current) {
        t_current->numbers.push_back(message);
        t_current->texts.push_back(text);
    }
    return 1;
}

struct PushState {
    std::string out;
};

int ZTAPI Push(const char* buffer, int length, intptr_t user) {
    EXPECT_LE(length, 1024);
    reinterpret_cast<PushState*>(user)->out.append(buffer, static_cast<std::size_t>(length));
    return length;
}

struct PullState {
    const std::string* input;
    std::size_t pos, piece;
};

int ZTAPI Pull(char* buffer, int size, intptr_t user) {
    auto* s = reinterpret_cast<PullState*>(user);
    std::size_t n = std::min({s->piece, static_cast<std::size_t>(size), s->input->size() - s->pos});
    std::copy_n(s->input->data() + s->pos, n, buffer);
    s->pos += n;
    return static_cast<int>(n);
}

} // namespace

bool Collected::Has(int number) const {
    return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

ZTHANDLE LoadWithMessages(const std::string& table, Collected& messages, int* result) {
    t_current = &messages;
    SetHostMessageHandler([&messages](const Message& m) {
        messages.numbers.push_back(m.number);
        messages.texts.push_back(m.text);
        return true;
    });
    ZTHANDLE h = 0;
    int r = ZTLoadTableFromBuffer(table.c_str(), &h);
    SetHostMessageHandler({});
    if (result)
        *result = r;
    if (h)
        ZTSetErrorCallBack(h, Callback);
    return h;
}

std::string ProcessWhole(ZTHANDLE h, const std::string& input, int* result) {
    std::string out(input.size() * 8 + 65536, '\0');
    int length = static_cast<int>(out.size());
    int r = ZTProcessBuffer(h, input.data(), static_cast<int>(input.size()), out.data(), &length);
    if (result)
        *result = r;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

std::string ProcessPushed(ZTHANDLE h, const std::string& input, std::size_t piece) {
    PushState state;
    ZTReinitializeTable(h);
    ZTSetUpOutputFilter(h, Push, reinterpret_cast<intptr_t>(&state));
    for (std::size_t pos = 0; pos < input.size(); pos += piece) {
        std::size_t n = std::min(piece, input.size() - pos);
        EXPECT_EQ(ZTPutBuffer(h, input.data() + pos, static_cast<int>(n), 0), 0);
    }
    EXPECT_EQ(ZTFlush(h), 0);
    return state.out;
}

std::string ProcessPulled(ZTHANDLE h, const std::string& input, std::size_t inPiece, int outSize) {
    PullState state{&input, 0, inPiece};
    ZTReinitializeTable(h);
    ZTSetUpInputFilter(h, Pull, reinterpret_cast<intptr_t>(&state));
    std::string out;
    std::vector<char> buffer(static_cast<std::size_t>(outSize));
    for (int guard = 0; guard < 10000000; ++guard) {
        int length = outSize;
        int r = ZTGetBuffer(h, buffer.data(), &length);
        EXPECT_GE(r, 0);
        EXPECT_LE(length, outSize);
        out.append(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
        if (r != 0)
            break;
    }
    return out;
}

std::string ProcessMulti(ZTHANDLE h, const std::string& input,
                         const std::vector<std::size_t>& pieces, int outSize) {
    ZTReinitializeTable(h);
    std::string out;
    std::vector<char> buffer(static_cast<std::size_t>(outSize));
    std::size_t pos = 0, k = 0;
    for (int guard = 0; guard < 10000000; ++guard) {
        std::size_t n =
            pos < input.size() ? std::min(pieces[k++ % pieces.size()], input.size() - pos) : 0;
        bool last = pos + n >= input.size();
        int length = outSize;
        int r = ZTMultiProcessBuffer(h, input.data() + pos, static_cast<int>(n), last ? 1 : 0,
                                     buffer.data(), &length);
        pos += n;
        EXPECT_GE(r, 0);
        out.append(buffer.data(), static_cast<std::size_t>(std::max(length, 0)));
        if (r != 0)
            break;
    }
    return out;
}

std::string RunTable(const std::string& table, const std::string& input, Collected& messages) {
    int r = 0;
    ZTHANDLE h = LoadWithMessages(table, messages, &r);
    EXPECT_NE(h, 0u) << "table failed to load: " << table;
    if (!h)
        return "<no table>";
    std::string out = ProcessWhole(h, input);
    ZTUnloadTable(h);
    t_current = nullptr;
    return out;
}

std::string RunTable(const std::string& table, const std::string& input) {
    Collected messages;
    return RunTable(table, input, messages);
}

} // namespace crv::zt::test
