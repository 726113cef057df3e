#include "schema/print_properties.h"

namespace crv {

namespace {
constexpr std::string_view kObject = "PrintProperties";
} // namespace

bool CPrintProperties::Read(ObjectStream& is) {
    if (!is.ReadBeginMarker(kObject))
        return false;
    breakRecordsWithSpace = false;
    printCurrentRecord = false;
    SettingsObjectReader reader(is, kObject, kept);
    while (reader.Next()) {
        if (is.ReadString("header", header) || is.ReadString("footer", footer) ||
            is.ReadString("topmargin", topMargin) || is.ReadString("leftmargin", leftMargin) ||
            is.ReadString("bottommargin", bottomMargin) ||
            is.ReadString("rightmargin", rightMargin) ||
            is.ReadBool("breakrecordswithspace", breakRecordsWithSpace) ||
            is.ReadBool("printcurrentrecord", printCurrentRecord) ||
            is.ReadInteger("recordsspace", recordsSpace))
            continue;
        reader.Keep();
    }
    return true;
}

void CPrintProperties::Write(ObjectStream& os) const {
    os.WriteBeginMarker(kObject);
    SettingsObjectWriter keep(os, kept);
    // Always written: an empty header or footer is a choice, not the default.
    os.WriteStringAlways("header", FitEntryValue("header", header));
    os.WriteStringAlways("footer", FitEntryValue("footer", footer));
    os.WriteString("topmargin", FitEntryValue("topmargin", topMargin));
    os.WriteString("leftmargin", FitEntryValue("leftmargin", leftMargin));
    os.WriteString("bottommargin", FitEntryValue("bottommargin", bottomMargin));
    os.WriteString("rightmargin", FitEntryValue("rightmargin", rightMargin));
    os.WriteBool("breakrecordswithspace", breakRecordsWithSpace);
    os.WriteBool("printcurrentrecord", printCurrentRecord);
    os.WriteInteger("recordsspace", recordsSpace);
    os.WriteEndMarker(kObject);
}

} // namespace crv
