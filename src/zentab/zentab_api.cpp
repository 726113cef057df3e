// The C interface: handle checks, routing of each handle's messages, and the rule that no
// exception leaves an entry point. The work itself is done by Session.
#include "zentab/zentab.h"

#include <cstring>
#include <memory>
#include <new>

#include "zentab/host_messages.h"
#include "zentab/session.h"

using crv::zt::FatalStop;
using crv::zt::Message;
using crv::zt::MessageArgs;
using crv::zt::Reporter;
using crv::zt::Session;

namespace {

constexpr std::uint64_t kAlive = 0x5A54484E444C4531ull;
constexpr std::size_t kMaxTableName = 251;

// What a ZTHANDLE points at. busy refuses calls made from inside a callback of the same
// handle, which would otherwise change the state under the running call.
struct Handle {
    std::uint64_t magic = kAlive;
    bool busy = false;
    ZTErrorCallback errorCallback = nullptr;
    std::unique_ptr<Session> session;
};

Handle* Resolve(ZTHANDLE h) {
    auto* p = reinterpret_cast<Handle*>(h);
    return p && p->magic == kAlive ? p : nullptr;
}

// Messages raised before a handle exists, or about a missing handle, go to the host.
void ReportToHost(int number, const MessageArgs& args = {}) {
    try {
        Reporter r;
        r.Report(number, args);
    } catch (...) {
    }
}

crv::zt::MessageSink SinkFor(Handle* h) {
    return [h](const Message& m) {
        if (h->errorCallback)
            return h->errorCallback(m.number, 0, m.text.c_str(), m.sourceLine) != 0;
        return crv::zt::SendToHost(m);
    };
}

// Runs one call on a live handle; every exception becomes -1 (and *zero, if given, 0).
template <class F> int Guard(Handle* h, int nullMessage, int* zero, F&& work) {
    if (!h) {
        if (zero)
            *zero = 0;
        ReportToHost(nullMessage);
        return -1;
    }
    if (h->busy)
        return -1;
    h->busy = true;
    int result;
    try {
        result = work(*h->session);
    } catch (const FatalStop&) {
        result = -1;
    } catch (const std::bad_alloc&) {
        try {
            h->session->GetReporter().Report(crv::zt::msg::MemoryAllocation);
        } catch (...) {
        }
        result = -1;
    } catch (...) {
        result = -1;
    }
    if (result < 0 && zero)
        *zero = 0;
    h->busy = false;
    return result;
}

int Load(const char* name, ZTHANDLE* handle, bool fromFile, ZTCompileErrorCallback callback) {
    if (!handle) {
        ReportToHost(98);
        return -1;
    }
    *handle = 0;
    if (!name || (fromFile && !*name)) {
        ReportToHost(69);
        return -1;
    }
    if (fromFile && std::strlen(name) >= kMaxTableName) {
        MessageArgs args;
        args.a = name;
        ReportToHost(135, args);
        return -1;
    }
    try {
        auto h = std::make_unique<Handle>();
        crv::zt::CompileErrorSink onError;
        if (callback)
            onError = [callback](const std::string& text, int line, int column) {
                callback(text.c_str(), line, column);
            };
        h->session = fromFile ? Session::FromFile(name, SinkFor(h.get()), onError)
                              : Session::FromText(name, SinkFor(h.get()), onError);
        if (!h->session) {
            ReportToHost(70);
            return -2;
        }
        int result = h->session->IsBinary() ? 1 : 0;
        *handle = reinterpret_cast<ZTHANDLE>(h.release());
        return result;
    } catch (...) {
        return -1;
    }
}

} // namespace

extern "C" {

int ZTAPI ZTLoadTable(const char* tableFile, ZTHANDLE* handle, intptr_t) {
    return Load(tableFile, handle, true, nullptr);
}

int ZTAPI ZTLoadTableFromBuffer(const char* tableText, ZTHANDLE* handle) {
    return Load(tableText, handle, false, nullptr);
}

int ZTAPI ZTLoadTableFromBufferWithErrorCallback(const char* tableText, ZTHANDLE* handle,
                                                 ZTCompileErrorCallback callback) {
    return Load(tableText, handle, false, callback);
}

int ZTAPI ZTReinitializeTable(ZTHANDLE handle) {
    Handle* h = Resolve(handle);
    int r = Guard(h, 71, nullptr, [](Session& s) { return s.Reinitialize(); });
    if (r < 0 && h && !h->busy)
        ReportToHost(72);
    return r;
}

int ZTAPI ZTUnloadTable(ZTHANDLE handle) {
    Handle* h = Resolve(handle);
    if (!h) {
        ReportToHost(73);
        return -1;
    }
    if (h->busy)
        return -1;
    h->magic = 0;
    delete h;
    return 0;
}

int ZTAPI ZTSetErrorCallBack(ZTHANDLE handle, ZTErrorCallback callback) {
    Handle* h = Resolve(handle);
    if (!h) {
        ReportToHost(76);
        return -1;
    }
    h->errorCallback = callback;
    return 0;
}

int ZTAPI ZTSetDebugCallbacks(ZTHANDLE handle, ZTDebugCallback lineTrace, ZTDebugCallback other) {
    return Guard(Resolve(handle), 76, nullptr, [&](Session& s) {
        crv::zt::DebugHook a, b;
        if (lineTrace)
            a = [lineTrace](int line, std::intptr_t v) { return lineTrace(line, v); };
        if (other)
            b = [other](int line, std::intptr_t v) { return other(line, v); };
        s.GetExecutor().SetDebugHooks(std::move(a), std::move(b));
        return 0;
    });
}

int ZTAPI ZTSetUpInputFilter(ZTHANDLE handle, ZTInputCallback callback, intptr_t user) {
    return Guard(Resolve(handle), 77, nullptr, [&](Session& s) {
        crv::zt::InputFunction f;
        if (callback)
            f = [callback, user](char* buffer, int size) { return callback(buffer, size, user); };
        return s.SetUpInputFilter(std::move(f));
    });
}

int ZTAPI ZTGetBuffer(ZTHANDLE handle, char* output, int* length) {
    return Guard(Resolve(handle), 80, length,
                 [&](Session& s) { return s.GetBuffer(output, length); });
}

int ZTAPI ZTSetUpOutputFilter(ZTHANDLE handle, ZTOutputCallback callback, intptr_t user) {
    return Guard(Resolve(handle), 87, nullptr, [&](Session& s) {
        crv::zt::OutputFunction f;
        if (callback)
            f = [callback, user](const char* buffer, int length) {
                return callback(buffer, length, user);
            };
        return s.SetUpOutputFilter(std::move(f));
    });
}

int ZTAPI ZTPutBuffer(ZTHANDLE handle, const char* input, int length, int lastCall) {
    return Guard(Resolve(handle), 90, nullptr,
                 [&](Session& s) { return s.PutBuffer(input, length, lastCall != 0); });
}

int ZTAPI ZTFlush(ZTHANDLE handle) {
    return Guard(Resolve(handle), 133, nullptr,
                 [&](Session& s) { return s.PutBuffer(nullptr, 0, true); });
}

int ZTAPI ZTProcessBuffer(ZTHANDLE handle, const char* input, int inputLength, char* output,
                          int* outputLength) {
    return Guard(Resolve(handle), 82, outputLength, [&](Session& s) {
        return s.ProcessBuffer(input, inputLength, output, outputLength);
    });
}

int ZTAPI ZTMultiProcessBuffer(ZTHANDLE handle, const char* input, int inputLength, int lastInput,
                               char* output, int* outputLength) {
    return Guard(Resolve(handle), 105, outputLength, [&](Session& s) {
        return s.MultiProcessBuffer(input, inputLength, lastInput != 0, output, outputLength);
    });
}

int ZTAPI ZTProcessFile(ZTHANDLE handle, const char* inputFile, const char* outputFile,
                        int append) {
    return Guard(Resolve(handle), 125, nullptr,
                 [&](Session& s) { return s.ProcessFile(inputFile, outputFile, append == 1); });
}

int ZTAPI ZTQueryStore(ZTHANDLE handle, const char* store, char* buffer, int size) {
    Handle* h = Resolve(handle);
    if (!h)
        return -1;
    return Guard(h, 0, nullptr, [&](Session& s) { return s.QueryStore(store, buffer, size); });
}

int ZTAPI ZTQuerySwitch(ZTHANDLE handle, const char* switchName) {
    Handle* h = Resolve(handle);
    if (!h)
        return 0;
    int r = Guard(h, 0, nullptr, [&](Session& s) { return s.QuerySwitch(switchName); });
    return r < 0 ? 0 : r;
}

int ZTAPI ZTGetActiveGroups(ZTHANDLE handle, char* buffer, int size) {
    Handle* h = Resolve(handle);
    if (!h)
        return -1;
    return Guard(h, 0, nullptr, [&](Session& s) { return s.GetActiveGroups(buffer, size); });
}

int ZTAPI ZTQueryInput(ZTHANDLE handle, char* buffer, int size) {
    Handle* h = Resolve(handle);
    if (!h)
        return -1;
    return Guard(h, 0, nullptr, [&](Session& s) { return s.QueryInput(buffer, size); });
}

int ZTAPI ZTQueryOutput(ZTHANDLE handle, char* buffer, int size) {
    Handle* h = Resolve(handle);
    if (!h)
        return -1;
    return Guard(h, 0, nullptr, [&](Session& s) { return s.QueryOutput(buffer, size); });
}

} // extern "C"
