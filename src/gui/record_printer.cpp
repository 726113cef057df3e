#include "gui/record_printer.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextLayout>
#include <cmath>
#include <unordered_map>

#include "app/print_layout.h"
#include "base/message_text.h"
#include "base/platform.h"
#include "gui/browse_model.h"
#include "gui/qt_text.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv::gui {

namespace {

// The painter draws in units of 1/96 inch, the units the fonts of the settings are
// measured in, whatever the printer's resolution.
constexpr double kUnitsPerInch = 96;
constexpr double kGap = 12; // between the marker column and the text

std::vector<const CField*> PrintedFields(const CRecord& record) {
    std::vector<const CField*> out;
    for (const CField* f = record.GetFirst(); f; f = record.GetNext(f))
        if (!f->Marker()->Hidden())
            out.push_back(f);
    return out;
}

QString MarkerLabel(const CMarker* marker) { return Q("\\" + marker->Name()); }

} // namespace

RecordPrinter::RecordPrinter(std::vector<const CRecord*> records, CPrintProperties props,
                             std::string fileName, std::string date, const FontSpec& markerFont)
    : m_records(std::move(records)), m_props(std::move(props)), m_fileName(std::move(fileName)),
      m_date(std::move(date)), m_markerFont(ToQFont(markerFont)) {}

void RecordPrinter::SetUpPage(QPrinter& printer, std::string& message) const {
    PrintMargins m = ResolveMargins(m_props, message);
    QMarginsF now = printer.pageLayout().margins(QPageLayout::Point);
    QMarginsF want(m.left.value_or(now.left()), m.top.value_or(now.top()),
                   m.right.value_or(now.right()), m.bottom.value_or(now.bottom()));
    // Margins that leave less than two inches either way leave no room for records: the
    // printer's own are used rather than print a line a page.
    constexpr double kLeastBody = 144;
    bool set = printer.setPageMargins(want, QPageLayout::Point);
    QRectF body = printer.pageLayout().paintRect(QPageLayout::Point);
    if (!set || body.width() < kLeastBody || body.height() < kLeastBody) {
        printer.setPageMargins(now, QPageLayout::Point);
        if (!message.empty())
            message += "\n\n";
        message += "The print margins leave too little of the page for the records; the "
                   "printer's own margins are used.";
    }
}

std::vector<RecordPrinter::Line>
RecordPrinter::LayOut(const CRecord& record,
                      std::vector<std::unique_ptr<QTextLayout>>* layouts) const {
    std::vector<Line> lines;
    const std::vector<const CField*> fields = PrintedFields(record);
    double textWidth = std::max(m_bodyWidth - m_markerWidth - kGap, 40.0);
    QFontMetricsF markerMetrics(m_markerFont);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const CMarker* marker = fields[i]->Marker();
        auto layout = std::make_unique<QTextLayout>(
            FieldText(fields[i]->Text(), MarkerIsUtf8(marker)), MarkerFont(marker));
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        bool rtl = marker->LangEnc() && marker->LangEnc()->RightToLeft();
        option.setTextDirection(rtl ? Qt::RightToLeft : Qt::LeftToRight);
        option.setAlignment(rtl ? Qt::AlignRight : Qt::AlignLeft);
        layout->setTextOption(option);
        layout->beginLayout();
        int n = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLineWidth(textWidth);
            double h = line.height();
            if (n == 0) // the marker stands on the same baseline
                h = std::max(line.ascent(), markerMetrics.ascent()) +
                    std::max(line.descent(), markerMetrics.descent()) + line.leading();
            lines.push_back({static_cast<int>(i), n++, static_cast<int>(std::ceil(h))});
        }
        layout->endLayout();
        if (layouts)
            layouts->push_back(std::move(layout));
    }
    return lines;
}

void RecordPrinter::DrawRecordLines(QPainter& painter, const CRecord& record, std::size_t first,
                                    std::size_t end, double top) const {
    std::vector<std::unique_ptr<QTextLayout>> layouts;
    std::vector<Line> lines = LayOut(record, &layouts);
    const std::vector<const CField*> fields = PrintedFields(record);
    double textLeft = m_markerWidth + kGap;
    double y = top;
    for (std::size_t k = first; k < end && k < lines.size(); ++k) {
        const Line& l = lines[k];
        QTextLine line = layouts[l.field]->lineAt(l.line);
        QFontMetricsF fm(m_markerFont);
        // The marker stands on the baseline of its field's first line.
        double baseline = y + (l.line == 0 ? std::max(line.ascent(), fm.ascent()) : line.ascent());
        if (l.line == 0 || k == first) {
            // A field's marker by its first line, and again (grey) where the field goes
            // on from the page before.
            painter.setFont(m_markerFont);
            painter.setPen(l.line == 0 ? Qt::darkBlue : Qt::gray);
            painter.drawText(QPointF(0, baseline), MarkerLabel(fields[l.field]->Marker()));
            painter.setPen(Qt::black);
        }
        line.draw(&painter, QPointF(textLeft, baseline - line.ascent() - line.y()));
        y += l.height;
    }
}

QString RecordPrinter::EdgeText(const std::string& text, int page) const {
    // The header's bytes are shown as a field's are; the codes bring the program's text.
    return Q(ExpandPrintCodes(S(FieldText(text)), m_fileName, m_date, page));
}

int RecordPrinter::Print(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    double scale = printer.resolution() / kUnitsPerInch;
    painter.scale(scale, scale);
    QRectF page = printer.pageLayout().paintRectPixels(printer.resolution()).toRectF();
    double pageWidth = page.width() / scale;
    double pageHeight = page.height() / scale;
    m_bodyWidth = pageWidth;

    // The marker column is as wide as the widest marker printed.
    QFontMetricsF markerMetrics(m_markerFont);
    std::unordered_map<const CMarker*, double> seen;
    m_markerWidth = 0;
    for (const CRecord* r : m_records)
        for (const CField* f : PrintedFields(*r))
            if (seen.emplace(f->Marker(), 0).second)
                m_markerWidth = std::max(m_markerWidth,
                                         markerMetrics.horizontalAdvance(MarkerLabel(f->Marker())));
    m_markerWidth = std::min(m_markerWidth, pageWidth / 3);

    QFont edgeFont = m_markerFont;
    QFontMetricsF edge(edgeFont);
    double headerHeight = m_props.header.empty() ? 0 : edge.height() * 2;
    double footerHeight = m_props.footer.empty() ? 0 : edge.height() * 2;
    int bodyHeight = static_cast<int>(pageHeight - headerHeight - footerHeight);

    // Each record is measured, then drawn: two steps of the progress each.
    m_cancelled = false;
    auto progress = platform().BeginProgress(FormatMessage("Printing %1", {m_fileName}),
                                             static_cast<std::int64_t>(m_records.size()) * 2);
    auto cancelled = [&] {
        if (!progress->Cancelled())
            return false;
        m_cancelled = true;
        printer.abort();
        return true;
    };
    std::vector<std::vector<int>> heights;
    heights.reserve(m_records.size());
    for (const CRecord* r : m_records) {
        progress->Step();
        if (cancelled())
            return 0;
        std::vector<int> h;
        for (const Line& l : LayOut(*r, nullptr))
            h.push_back(l.height);
        heights.push_back(std::move(h));
    }
    // The space between records is in points.
    int space = static_cast<int>(std::lround(m_props.recordsSpace * kUnitsPerInch / 72));
    std::vector<PrintPage> pages =
        PaginateRecords(heights, bodyHeight, space, m_props.breakRecordsWithSpace);

    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0)
            printer.newPage();
        int number = static_cast<int>(p) + 1;
        painter.setFont(edgeFont);
        painter.setPen(Qt::black);
        if (!m_props.header.empty())
            painter.drawText(QRectF(0, 0, pageWidth, edge.height()), Qt::AlignLeft | Qt::AlignTop,
                             EdgeText(m_props.header, number));
        if (!m_props.footer.empty())
            painter.drawText(QRectF(0, pageHeight - edge.height(), pageWidth, edge.height()),
                             Qt::AlignHCenter | Qt::AlignBottom, EdgeText(m_props.footer, number));
        painter.save();
        painter.setClipRect(QRectF(0, headerHeight, pageWidth, bodyHeight));
        for (const PrintSlice& s : pages[p].slices) {
            DrawRecordLines(painter, *m_records[s.record], s.firstLine, s.endLine,
                            headerHeight + s.top);
            if (s.firstLine == 0)
                progress->Step();
        }
        painter.restore();
        if (cancelled())
            return 0;
    }
    painter.end();
    return static_cast<int>(pages.size());
}

} // namespace crv::gui
