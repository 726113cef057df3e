#include "schema/settings_library.h"

#include <filesystem>

#include "schema/lang_enc_set.h"
#include "schema/render_library.h"
#include "support/test_support.h"

namespace crv {
namespace {

namespace fs = std::filesystem;

class SettingsLibraryTest : public test::PlatformTest {
protected:
    SettingsLibraryTest() {
        fs::create_directories(settings);
        fs::copy_file(TEST_RENDER_LIB, settings / "render.so");
        fs::copy_file(TEST_RENDER_PARTIAL_LIB, settings / "partial.so");
        fs::copy_file(TEST_SORT_KEY_LIB, settings / "keys.so");
        test::WriteFileBytes((settings / "table.txt").string(), "reverse\n");
        test::WriteFileBytes((settings / "bad.txt").string(), "forward\n");
    }
    test::ScratchDir dir;
    fs::path settings = dir.Path() / "settings";
};

TEST_F(SettingsLibraryTest, LibrariesLoadOnlyFromTheSettingsFolder) {
    std::string folder = settings.string();
    EXPECT_NE(CSettingsLibrary::Open(folder, "render.so"), nullptr);
    // A Windows name finds this platform's library of the same base name.
    EXPECT_NE(CSettingsLibrary::Open(folder, "render.dll"), nullptr);
    fs::copy_file(TEST_RENDER_LIB, dir.Path() / "outside.so");
    std::string reason;
    EXPECT_EQ(CSettingsLibrary::Open(folder, "../outside.so", &reason), nullptr);
    EXPECT_EQ(reason, "not found in the settings folder");
    EXPECT_EQ(CSettingsLibrary::Open(folder, (dir.Path() / "outside.so").string()), nullptr);
    EXPECT_EQ(CSettingsLibrary::Open(folder, "sub/../../outside.so"), nullptr);
    EXPECT_EQ(CSettingsLibrary::Open(folder, ""), nullptr);
    fs::create_symlink(dir.Path() / "outside.so", settings / "link.so");
    EXPECT_EQ(CSettingsLibrary::Open(folder, "link.so"), nullptr);
    fs::create_symlink(settings / "render.so", settings / "inside.so");
    EXPECT_NE(CSettingsLibrary::Open(folder, "inside.so"), nullptr);
    // Not a library at all.
    EXPECT_EQ(CSettingsLibrary::Open(folder, "table.txt", &reason), nullptr);
    EXPECT_FALSE(reason.empty());
}

TEST_F(SettingsLibraryTest, RenderingLibraryEncodesAndMapsPositions) {
    CLangEncSet set(settings.string());
    CLangEnc e(set, "R");
    e.SetRendering("render.dll", "table.txt");
    ASSERT_NE(e.Renderer(), nullptr);
    EXPECT_TRUE(rec.Messages().empty());
    EXPECT_EQ(e.Renderer()->Encode("abc"), "cba");
    EXPECT_EQ(e.Renderer()->UnderPos("abc", 1), 2);
    EXPECT_EQ(e.Renderer()->SurfacePos("abc", 0), 3);
}

TEST_F(SettingsLibraryTest, RenderingFailuresWarnAndLeaveRenderingOff) {
    CLangEncSet set(settings.string());
    CLangEnc e(set, "R");
    e.SetRendering("missing.dll", "table.txt");
    EXPECT_EQ(e.Renderer(), nullptr);
    e.SetRendering("partial.so", "table.txt");
    EXPECT_EQ(e.Renderer(), nullptr);
    e.SetRendering("render.so", "bad.txt");
    EXPECT_EQ(e.Renderer(), nullptr);
    e.SetRendering("render.so", "../settings/table.txt");
    EXPECT_EQ(e.Renderer(), nullptr);
    e.SetRendering("render.so", ""); // a library without a table is not used
    EXPECT_EQ(e.Renderer(), nullptr);
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{
                  "Warning: Render DLL missing.dll not found or not valid.",
                  "Warning: Render DLL partial.so not valid.",
                  "Warning: Render table bad.txt not found or not valid.",
                  "Warning: Render table ../settings/table.txt not found or not valid.",
              }));
}

TEST_F(SettingsLibraryTest, KeyLibraryRewritesKeyText) {
    CLangEncSet set(settings.string());
    CLangEnc* e = set.FindOrCreate("K");
    CSortOrderDef def = e->DefaultSortOrder()->Definition();
    def.keyLibrary = "keys.dll";
    CNote error;
    CSortOrder* so = e->SortOrders().AddSortOrder("skeleton", def, error);
    ASSERT_NE(so, nullptr);
    std::string a, b;
    so->MakeKey("banana", a, 100, false);
    e->DefaultSortOrder()->MakeKey("bnn", b, 100, false);
    EXPECT_EQ(a, b);
    EXPECT_EQ(so->CompareKeys(a, b, kMatchAll, true), 0);
    // A text longer than the library takes is cut to 255 bytes before it goes in.
    std::string longText(400, 'b');
    EXPECT_FALSE(so->MakeKey(longText, a, 300, false) && a.size() != 255);
    EXPECT_EQ(a.size(), 255u);

    def.keyLibrary = "missing.dll";
    CSortOrder* broken = e->SortOrders().AddSortOrder("broken", def, error);
    ASSERT_NE(broken, nullptr);
    EXPECT_EQ(rec.Messages(),
              std::vector<std::string>{"DLL file missing.dll could not be loaded."});
    broken->MakeKey("banana", a, 100, false);
    e->DefaultSortOrder()->MakeKey("banana", b, 100, false);
    EXPECT_EQ(a, b); // works without it
}

TEST_F(SettingsLibraryTest, ChangeTableRewritesKeyText) {
    test::WriteFileBytes((settings / "keys.ztt").string(), "\"ph\" > \"f\"\n\"-\" > \"\"\n");
    test::WriteFileBytes((settings / "broken.ztt").string(), "\"a\" > nosuchcommand(\n");
    CLangEncSet set(settings.string());
    CLangEnc* e = set.FindOrCreate("T");
    CSortOrderDef def = e->DefaultSortOrder()->Definition();
    def.changeTable = "keys.ztt";
    def.keyLibrary = "keys.dll"; // not used: a change table takes precedence
    CNote error;
    CSortOrder* so = e->SortOrders().AddSortOrder("spelling", def, error);
    ASSERT_NE(so, nullptr);
    std::string a, b;
    EXPECT_TRUE(so->MakeKey("phone-book", a, 100, false));
    e->DefaultSortOrder()->MakeKey("fonebook", b, 100, false);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(so->MakeKey("ph", a, 100, true)) << "a second run starts afresh";
    e->DefaultSortOrder()->MakeKey("f", b, 100, true);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(rec.Messages().empty());

    def.changeTable = "../outside.ztt";
    EXPECT_NE(e->SortOrders().AddSortOrder("outside", def, error), nullptr);
    def.changeTable = "broken.ztt";
    EXPECT_NE(e->SortOrders().AddSortOrder("broken", def, error), nullptr);
    auto messages = rec.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Change table ../outside.ztt not found.");
    EXPECT_EQ(messages[1].rfind("Change table broken.ztt could not be loaded.\n", 0), 0u);
}

} // namespace
} // namespace crv
