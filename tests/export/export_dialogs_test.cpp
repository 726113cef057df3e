// The Export dialog, the process properties dialogs and the page setup, as the forms
// drive them.
#include "export/export_dialogs.h"

#include "export/export_process_set.h"
#include "export_test_support.h"
#include "schema/marker.h"

namespace crv::test {
namespace {

class ExportDialogsTest : public ExportSettingsTest {
protected:
    ExportDialogsTest() : set(Exports(Load(LexiconTypeText()))) {}
    CExportProcessSet& set;
};

TEST_F(ExportDialogsTest, ExportDialogChoicesAndOk) {
    set.Options().currentWindow = true;
    set.SetDefaultProcess(set.Find("Rich Text Format"));
    ExportDialog dialog(set, true, true);
    EXPECT_EQ(dialog.ProcessNames(),
              (std::vector<std::string>{"Rich Text Format", "Standard Format"}));
    EXPECT_EQ(dialog.SelectedProcess()->Name(), "Rich Text Format");
    EXPECT_EQ(dialog.records, ExportRecords::CurrentWindow);
    EXPECT_TRUE(dialog.AutoOpenEnabled());
    // Without a window the whole file is chosen.
    EXPECT_EQ(ExportDialog(set, false, true).records, ExportRecords::EntireFile);

    // Add: the kind, then the properties; Cancel leaves the set as it was.
    set.SetModified(false);
    rec.choices = {1, 0};
    EXPECT_FALSE(dialog.Add([](CExportProcess&) { return false; }));
    EXPECT_EQ(set.Processes().Count(), 2u);
    EXPECT_FALSE(set.IsModified());
    EXPECT_TRUE(dialog.Add([](CExportProcess& p) {
        ExportProcessDialog d(p);
        d.name = "Subset";
        return d.Ok();
    }));
    EXPECT_EQ(rec.events[0].text, "Export Process Type");
    EXPECT_EQ(dialog.SelectedProcess()->Name(), "Subset");
    EXPECT_EQ(dialog.SelectedProcess()->GetKind(), CExportProcess::Kind::StandardFormat);
    EXPECT_FALSE(dialog.AutoOpenEnabled());
    ASSERT_TRUE(dialog.Copy());
    EXPECT_EQ(dialog.SelectedProcess()->Name(), "Subset2");
    rec.answers = {Answer::Yes};
    ASSERT_TRUE(dialog.Delete());
    EXPECT_EQ(set.Processes().Count(), 3u);

    dialog.Select(2);
    dialog.records = ExportRecords::CurrentRecord;
    dialog.autoOpen = true;
    dialog.showProperties = false;
    EXPECT_EQ(dialog.Ok()->Name(), "Subset");
    EXPECT_EQ(set.DefaultProcess()->Name(), "Subset");
    EXPECT_TRUE(set.Options().currentRecord && !set.Options().currentWindow &&
                set.Options().autoOpen && !set.Options().showProperties);
}

TEST_F(ExportDialogsTest, PropertiesDialogsCheckAndStore) {
    CExportProcess& rtf = *set.Find("Rich Text Format");
    ExportProcessDialog d(rtf);
    EXPECT_EQ(d.Title(), "RTF Export Process Properties");
    EXPECT_EQ(ExportProcessDialog(*set.Find("Standard Format")).Title(),
              "SF Export Process Properties");
    d.name = "";
    EXPECT_FALSE(d.Ok());
    d.name = "Standard Format";
    EXPECT_FALSE(d.Ok());
    EXPECT_EQ(rec.Messages(),
              (std::vector<std::string>{"Please give this export process a name.",
                                        "Standard Format\nAnother export process already has "
                                        "this name.\n\nPlease give this export process a "
                                        "different name."}));
    d.name = "Pages";
    for (auto& [name, included] : d.fields)
        if (name == "dt")
            included = false;
    d.tabAligned = true;
    d.spacing = 10;
    d.markerFont = true;
    ASSERT_TRUE(d.Ok());
    auto& stored = dynamic_cast<CExportProcessRTF&>(*set.Find("Pages"));
    EXPECT_FALSE(stored.Fields().IncludesMarker(set.Markers().Search("dt")));
    EXPECT_EQ(stored.spacing, 120);
    EXPECT_TRUE(stored.markerFont);

    // The dictionary formatter's settings are edited on a copy until OK.
    set.SetDictionaryFormatter(true);
    auto& plx = dynamic_cast<CExportProcessPLX&>(*set.Find("Polylex Formatter"));
    ExportProcessDialog p(plx);
    p.dictionary->audience = PlxAudience::National;
    p.dictionary->format = PlxFormat::Triglot;
    p.pageSetup->SetText("columns", "1");
    EXPECT_EQ(plx.audience, PlxAudience::English);
    ASSERT_TRUE(p.Ok());
    EXPECT_EQ(plx.audience, PlxAudience::National);
    EXPECT_EQ(plx.format, PlxFormat::Triglot);
    EXPECT_EQ(plx.pageSetup.columns, 1);
    FileRequest r = ExportProcessDialog::AudienceFileRequest(PlxAudience::National, false, "n.dot");
    EXPECT_EQ(r.title, "Document Template for National Audience");
    EXPECT_EQ(r.filter.substr(0, 32), "Document Templates (*.dot)|*.dot");
}

TEST_F(ExportDialogsTest, PageSetupUnitsLabelsAndChecks) {
    CRtfPageSetup setup;
    PageSetupDialog d(setup);
    EXPECT_EQ(d.UnitLabel(), "Measurement unit: inches");
    EXPECT_EQ(d.LeftLabel(), "&Left:");
    d.Edit().mirrorMargins = true;
    EXPECT_EQ(d.LeftLabel(), "&Inside:");
    EXPECT_EQ(d.RightLabel(), "&Outside:");
    d.SetText("topMargin", "2");
    d.SetPaper(PaperSize::A4);
    EXPECT_EQ(d.UnitLabel(), "Measurement unit: centimeters");
    EXPECT_EQ(d.Text("topMargin"), "5.080");
    EXPECT_EQ(d.Text("paperWidth"), "21");
    d.SetText("leftMargin", "60");
    std::string bad;
    EXPECT_FALSE(d.Ok(&bad));
    EXPECT_EQ(bad, "leftMargin");
    EXPECT_EQ(rec.Messages().back(), "Please enter a measurement from 0 to 55.880 centimeters.");
    d.SetText("leftMargin", "2.5");
    d.SetText("columns", "two");
    EXPECT_FALSE(d.Ok(&bad));
    EXPECT_EQ(bad, "columns");
    d.SetText("columns", "2");
    ASSERT_TRUE(d.Ok());
    EXPECT_EQ(d.Setup().paper, PaperSize::A4);
    EXPECT_EQ(d.Setup().leftMargin, 2.5);
    EXPECT_EQ(d.Setup().topMargin, 5.08);
    EXPECT_EQ(d.Setup().columns, 2);
}

} // namespace
} // namespace crv::test
