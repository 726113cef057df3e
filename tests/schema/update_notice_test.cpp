#include "schema/update_notice.h"

#include "support/test_support.h"

namespace crv {
namespace {

struct Log : CUpdateListener {
    Log(std::string n, std::string* out) : name(std::move(n)), out(out) {}
    void OnMarkerUpdate(const CMarkerUpdate&) override { *out += name + " "; }
    std::string name;
    std::string* out;
};

TEST(UpdateHub, RanksDecideOrderAndLeaversAreSkipped) {
    CUpdateHub hub;
    std::string out;
    Log doc("doc", &out), type("type", &out), enc("enc", &out);
    hub.Subscribe(&doc, ListenerRank::Documents);
    hub.Subscribe(&type, ListenerRank::Types);
    {
        CUpdateSubscription sub(hub, &enc, ListenerRank::LangEncs);
        hub.Broadcast(CMarkerUpdate{});
        EXPECT_EQ(out, "enc type doc ");
    }
    out.clear();
    hub.Broadcast(CMarkerUpdate{});
    EXPECT_EQ(out, "type doc ");

    struct Leaver : CUpdateListener {
        CUpdateHub* hub;
        CUpdateListener* other;
        void OnMarkerUpdate(const CMarkerUpdate&) override { hub->Unsubscribe(other); }
    } leaver;
    leaver.hub = &hub;
    leaver.other = &doc;
    hub.Subscribe(&leaver, ListenerRank::LangEncs);
    out.clear();
    hub.Broadcast(CMarkerUpdate{});
    EXPECT_EQ(out, "type ");
}

} // namespace
} // namespace crv
