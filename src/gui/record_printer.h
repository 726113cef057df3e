// Printing records: each field as its marker and its text in the field's font, wrapped to
// the page, laid onto pages by app/print_layout.h with the type's print properties, and
// drawn on a QPrinter (a printer, a PDF file, or the print preview).
#pragma once

#include <QFont>
#include <memory>
#include <string>
#include <vector>

#include "base/platform.h"
#include "schema/print_properties.h"

class QPainter;
class QPrinter;
class QTextLayout;

namespace crv {
class CRecord;
}

namespace crv::gui {

class RecordPrinter {
public:
    // fileName and date fill &f and &d of the header and footer.
    // Markers print in markerFont, the font the window shows them in.
    RecordPrinter(std::vector<const CRecord*> records, CPrintProperties props, std::string fileName,
                  std::string date, const FontSpec& markerFont);

    // Sets the printer's margins from the print properties; a margin that is not
    // understood is left to the printer and named in message.
    void SetUpPage(QPrinter& printer, std::string& message) const;
    // Draws every page, with a progress display that can be cancelled (the printer's
    // job is then aborted). The number of pages drawn; 0 when the printer could not
    // start or the user cancelled.
    int Print(QPrinter& printer);
    bool WasCancelled() const { return m_cancelled; }

private:
    struct Line {
        int field = 0;  // index in the record's printed fields
        int line = 0;   // line of the field's layout
        int height = 0; // in the painter's units
    };
    // The lines of a record as they print at the body width; layouts (one per printed
    // field) are kept in layouts when given.
    std::vector<Line> LayOut(const CRecord& record,
                             std::vector<std::unique_ptr<QTextLayout>>* layouts) const;
    QString EdgeText(const std::string& text, int page) const;
    void DrawRecordLines(QPainter& painter, const CRecord& record, std::size_t first,
                         std::size_t end, double top) const;

    std::vector<const CRecord*> m_records;
    CPrintProperties m_props;
    std::string m_fileName;
    std::string m_date;
    QFont m_markerFont;
    double m_bodyWidth = 0;
    double m_markerWidth = 0;
    bool m_cancelled = false;
};

} // namespace crv::gui
