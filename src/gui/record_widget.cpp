#include "gui/record_widget.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

#include "base/platform.h"
#include "gui/qt_text.h"
#include "record/record.h"
#include "schema/lang_enc.h"
#include "schema/marker.h"

namespace crv::gui {

namespace {

constexpr int kRightGap = 4; // right-to-left text ends this far from the window's edge

bool LangUtf8(const CField& field) {
    const CLangEnc* enc = field.Marker() ? field.Marker()->LangEnc() : nullptr;
    return enc && enc->Utf8();
}

const QColor kMarkerArea(0xF2, 0xF2, 0xF0);
const QColor kMarkerText(0x40, 0x40, 0x70);

} // namespace

RecordWidget::~RecordWidget() { m_view.SetLineGeometry(nullptr); }

RecordWidget::RecordWidget(CRecordView& view, QWidget* parent)
    : QAbstractScrollArea(parent), m_view(view) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(1);
    m_view.SetLineGeometry(this);
    // The caret steps over whole characters of a field shown as UTF-8, as it is drawn.
    m_view.SetUtf8Rule([](const CField& f) {
        return DisplayEncoding(f.Text(), LangUtf8(f)) == ByteEncoding::Utf8;
    });
}

void RecordWidget::RefreshFields() {
    m_fields.clear();
    m_fieldsOf = m_view.Record();
    if (!m_fieldsOf)
        return;
    for (const CField& f : *m_fieldsOf) {
        FieldInfo info;
        info.field = &f;
        info.encoding = DisplayEncoding(f.Text(), LangUtf8(f));
        const CLangEnc* enc = f.Marker() ? f.Marker()->LangEnc() : nullptr;
        info.rightToLeft = enc && enc->RightToLeft();
        m_fields.push_back(info);
    }
}

const RecordWidget::FieldInfo* RecordWidget::Info(int field) const {
    if (field < 0 || static_cast<std::size_t>(field) >= m_fields.size())
        return nullptr;
    return &m_fields[static_cast<std::size_t>(field)];
}

QString RecordWidget::Slice(const FieldInfo& info, std::size_t begin, std::size_t end) const {
    std::string_view text = info.field->Text();
    end = std::min(end, text.size());
    begin = std::min(begin, end);
    std::string_view part = text.substr(begin, end - begin);
    return info.encoding == ByteEncoding::Utf8 ? Q(part) : Q(Windows1252ToUtf8(part));
}

QString RecordWidget::LineText(std::size_t index) const {
    const auto& lines = m_view.Lines();
    const_cast<RecordWidget*>(this)->RefreshFields();
    if (index >= lines.size())
        return {};
    const FieldInfo* info = Info(lines[index].field);
    return info ? Slice(*info, lines[index].begin, lines[index].end) : QString();
}

void RecordWidget::LayoutRtl(const CViewLine& line, QTextLayout& layout, int& left) const {
    const FieldInfo* info = Info(line.field);
    layout.setText(info ? Slice(*info, line.begin, line.end) : QString());
    layout.setFont(ToQFont(m_view.LineFont(line)));
    QTextOption option;
    option.setTextDirection(Qt::RightToLeft);
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine l = layout.createLine();
    if (l.isValid())
        l.setLineWidth(1e6);
    layout.endLayout();
    int width = l.isValid() ? qCeil(l.naturalTextWidth()) : 0;
    left = std::max(m_view.TextLeft(), viewport()->width() - kRightGap - width);
}

int RecordWidget::RtlX(const CViewLine& line, std::size_t offset) const {
    QTextLayout layout;
    int left = 0;
    LayoutRtl(line, layout, left);
    const FieldInfo* info = Info(line.field);
    int at = info ? static_cast<int>(Slice(*info, line.begin, offset).size()) : 0;
    QTextLine l = layout.lineAt(0);
    return left + (l.isValid() ? qRound(l.cursorToX(at)) : 0);
}

void RecordWidget::paintEvent(QPaintEvent*) {
    RefreshFields();
    QPainter p(viewport());
    const QRect area = viewport()->rect();
    const QPalette& pal = palette();
    p.fillRect(area, pal.base());
    const int markerWidth = m_view.MarkerAreaWidth();
    if (markerWidth > 0) {
        p.fillRect(QRect(0, 0, markerWidth, area.height()), kMarkerArea);
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(markerWidth, 0, markerWidth, area.height());
    }
    const int top = m_view.ScrollTop();
    const auto& lines = m_view.Lines();
    const std::size_t first = static_cast<std::size_t>(std::max(m_view.ScrollLine(), 0));
    const QFont labelFont = ToQFont(m_view.LabelFont());
    const QColor highlight = hasFocus() ? pal.color(QPalette::Highlight)
                                        : pal.color(QPalette::Inactive, QPalette::Highlight);
    const QColor highlighted = hasFocus()
                                   ? pal.color(QPalette::HighlightedText)
                                   : pal.color(QPalette::Inactive, QPalette::HighlightedText);

    // Selection boxes of left-to-right lines, under the text.
    auto [selA, selB] = m_view.Selection();
    for (const CViewRect& box : m_view.SelectionBoxes()) {
        int y = box.y - top;
        if (y > area.height() || y + box.height < 0)
            continue;
        // Boxes of right-to-left lines are drawn by their layout below.
        bool rtl = false;
        for (std::size_t i = first; i < lines.size() && lines[i].top - top <= area.height(); ++i)
            if (lines[i].top == box.y) {
                const FieldInfo* info = Info(lines[i].field);
                rtl = info && info->rightToLeft;
                break;
            }
        if (!rtl)
            p.fillRect(QRect(box.x, y, box.width, box.height), highlight);
    }

    for (std::size_t i = first; i < lines.size(); ++i) {
        const CViewLine& line = lines[i];
        const int y = line.top - top;
        if (y > area.height())
            break;
        if (line.first && markerWidth > 0 && !line.label.empty()) {
            p.setFont(labelFont);
            p.setPen(kMarkerText);
            // On the baseline of the field's first line.
            QFontMetrics fm(labelFont);
            p.drawText(QPoint(2, y + line.ascent),
                       fm.elidedText(Q(line.label), Qt::ElideRight, markerWidth - 4));
        }
        const FieldInfo* info = Info(line.field);
        if (!info)
            continue;
        QFont font = ToQFont(m_view.LineFont(line));
        if (info->rightToLeft) {
            QTextLayout layout;
            int left = 0;
            LayoutRtl(line, layout, left);
            QList<QTextLayout::FormatRange> selections;
            CViewCaret lineStart{line.field, line.begin};
            CViewCaret lineEnd{line.field, line.end};
            if (!(selA == selB) && !lineEnd.Before(selA) && !selB.Before(lineStart)) {
                std::size_t from =
                    line.field == selA.field ? std::max(selA.offset, line.begin) : line.begin;
                std::size_t to =
                    line.field == selB.field ? std::min(selB.offset, line.end) : line.end;
                QTextLayout::FormatRange range;
                range.start = static_cast<int>(Slice(*info, line.begin, from).size());
                range.length = static_cast<int>(Slice(*info, from, to).size());
                range.format.setBackground(highlight);
                range.format.setForeground(highlighted);
                selections.push_back(range);
            }
            p.setPen(pal.color(QPalette::Text));
            layout.draw(&p, QPointF(left, y + line.ascent - QFontMetrics(font).ascent()),
                        selections);
            continue;
        }
        p.setFont(font);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(QPoint(m_view.TextLeft(), y + line.ascent), Slice(*info, line.begin, line.end));
    }

    // Selected text drawn again in the highlight's text colour, clipped to its boxes.
    for (const CViewRect& box : m_view.SelectionBoxes()) {
        QRect r(box.x, box.y - top, box.width, box.height);
        if (!r.intersects(area))
            continue;
        for (std::size_t i = first; i < lines.size(); ++i) {
            const CViewLine& line = lines[i];
            if (line.top != box.y)
                continue;
            const FieldInfo* info = Info(line.field);
            if (!info || info->rightToLeft)
                break;
            p.save();
            p.setClipRect(r);
            p.setFont(ToQFont(m_view.LineFont(line)));
            p.setPen(highlighted);
            p.drawText(QPoint(m_view.TextLeft(), line.top - top + line.ascent),
                       Slice(*info, line.begin, line.end));
            p.restore();
            break;
        }
    }

    // Text an input method is composing, at the caret, underlined.
    QRect caret = CaretRect();
    if (!m_preedit.isEmpty()) {
        int l = m_view.CaretLine();
        QFont font = l < static_cast<int>(lines.size())
                         ? ToQFont(m_view.LineFont(lines[static_cast<std::size_t>(l)]))
                         : QFont();
        font.setUnderline(true);
        QFontMetrics fm(font);
        QRect r(caret.left(), caret.top(), fm.horizontalAdvance(m_preedit) + 2, caret.height());
        p.fillRect(r, pal.base());
        p.setFont(font);
        p.setPen(pal.color(QPalette::Text));
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, m_preedit);
        caret.moveLeft(r.right());
    }
    if (hasFocus() && m_caretShown && m_view.Record())
        p.fillRect(caret, pal.color(QPalette::Text));
}

QRect RecordWidget::CaretRect() const {
    CViewRect box = m_view.CaretBox();
    int x = box.x;
    const auto& lines = m_view.Lines();
    int l = m_view.CaretLine();
    if (l >= 0 && l < static_cast<int>(lines.size())) {
        const CViewLine& line = lines[static_cast<std::size_t>(l)];
        const FieldInfo* info = Info(line.field);
        if (info && info->rightToLeft)
            x = RtlX(line, m_view.Caret().offset);
    }
    return QRect(x, box.y - m_view.ScrollTop(), 2, box.height);
}

void RecordWidget::UpdateScrollBar() {
    int n = static_cast<int>(m_view.Lines().size());
    QScrollBar* bar = verticalScrollBar();
    QSignalBlocker block(bar);
    // Lines that fit the window at once make a page.
    int page = 1;
    const auto& lines = m_view.Lines();
    if (!lines.empty() && lines.front().height > 0)
        page = std::max(1, viewport()->height() / lines.front().height);
    // A record that fits the window needs no scrolling.
    bool fits = m_view.RecordHeight() <= viewport()->height() && m_view.ScrollLine() == 0;
    bar->setRange(0, fits ? 0 : std::max(n - 1, 0));
    bar->setPageStep(page);
    bar->setValue(m_view.ScrollLine());
}

void RecordWidget::ViewChanged(unsigned changes) {
    if (changes & (kViewRecord | kViewText))
        RefreshFields();
    if (changes & (kViewRecord | kViewText | kViewCaret | kViewSettings))
        UpdateScrollBar();
    if (changes & kViewCaret)
        m_caretShown = true;
    viewport()->update();
    if (changes & kViewCaret)
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImSurroundingText);
}

void RecordWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    m_view.SetClientSize(viewport()->width(), viewport()->height());
    UpdateScrollBar();
}

void RecordWidget::scrollContentsBy(int, int) {
    m_view.SetScrollLine(verticalScrollBar()->value());
    viewport()->update();
}

bool RecordWidget::focusNextPrevChild(bool) {
    // Tab moves between fields, never out of the window.
    return false;
}

void RecordWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void RecordWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void RecordWidget::Type(const QString& text) {
    if (text.isEmpty())
        return;
    RefreshFields();
    const FieldInfo* info = Info(m_view.Caret().field);
    std::string bytes;
    std::string message;
    std::string_view like = info ? std::string_view(info->field->Text()) : std::string_view();
    // The field's own encoding; an empty field's is UTF-8.
    bool utf8 = info && LangUtf8(*info->field);
    if (!TypedBytes(text, like, utf8, bytes, message)) {
        platform().Beep();
        platform().ShowMessage(message);
        return;
    }
    m_view.TypeText(bytes);
}

bool RecordWidget::Typing(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    // Commands use Ctrl and Alt; AltGr (Ctrl+Alt on some systems) types characters.
    bool command =
        (mods & (Qt::ControlModifier | Qt::AltModifier)) &&
        (mods & (Qt::ControlModifier | Qt::AltModifier)) != (Qt::ControlModifier | Qt::AltModifier);
    QString text = event->text();
    if (command || text.isEmpty())
        return false;
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    Type(text);
    return true;
}

void RecordWidget::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    m_caretShown = true;
    switch (event->key()) {
    case Qt::Key_Left:
        m_view.Key(ctrl ? ViewKey::WordLeft : ViewKey::Left, shift);
        return;
    case Qt::Key_Right:
        m_view.Key(ctrl ? ViewKey::WordRight : ViewKey::Right, shift);
        return;
    case Qt::Key_Up:
        m_view.Key(ViewKey::Up, shift);
        return;
    case Qt::Key_Down:
        m_view.Key(ViewKey::Down, shift);
        return;
    case Qt::Key_Home:
        m_view.Key(ctrl ? ViewKey::RecordStart : ViewKey::Home, shift);
        return;
    case Qt::Key_End:
        m_view.Key(ctrl ? ViewKey::RecordEnd : ViewKey::End, shift);
        return;
    case Qt::Key_PageUp:
        if (!ctrl) {
            m_view.Key(ViewKey::PageUp, shift);
            return;
        }
        break;
    case Qt::Key_PageDown:
        if (!ctrl) {
            m_view.Key(ViewKey::PageDown, shift);
            return;
        }
        break;
    case Qt::Key_Tab:
        m_view.Key(ViewKey::NextField);
        return;
    case Qt::Key_Backtab:
        m_view.Key(ViewKey::PrevField);
        return;
    case Qt::Key_Backspace:
        m_view.Key(ViewKey::Backspace);
        return;
    case Qt::Key_Delete:
        if (!shift) {
            m_view.Key(ViewKey::Delete);
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_view.Key(ViewKey::Enter);
        return;
    default:
        break;
    }
    if (Typing(event))
        return;
    QAbstractScrollArea::keyPressEvent(event);
}

CViewCaret RecordWidget::PlaceAt(QPoint point) const {
    const_cast<RecordWidget*>(this)->RefreshFields();
    const int y = point.y() + m_view.ScrollTop();
    for (const CViewLine& line : m_view.Lines()) {
        if (y < line.top || y >= line.top + line.height)
            continue;
        if (point.x() >= m_view.TextLeft())
            if (std::optional<std::size_t> offset = OffsetAtX(line, point.x()))
                return CViewCaret{line.field, *offset};
        break;
    }
    return m_view.HitTest(point.x(), y);
}

std::optional<int> RecordWidget::XOf(const CViewLine& line, std::size_t offset) const {
    const FieldInfo* info = Info(line.field);
    if (!info || !info->rightToLeft)
        return std::nullopt;
    return RtlX(line, std::clamp(offset, line.begin, line.end));
}

std::optional<std::size_t> RecordWidget::OffsetAtX(const CViewLine& line, int x) const {
    const FieldInfo* info = Info(line.field);
    if (!info || !info->rightToLeft)
        return std::nullopt;
    QTextLayout layout;
    int left = 0;
    LayoutRtl(line, layout, left);
    QTextLine l = layout.lineAt(0);
    int at = l.isValid() ? l.xToCursor(x - left) : 0;
    // The character index back to a byte offset in the line.
    const std::string& text = info->field->Text();
    std::size_t offset = line.begin;
    while (offset < line.end && Slice(*info, line.begin, offset).size() < at) {
        ++offset;
        // Whole characters only: never inside a UTF-8 sequence.
        while (info->encoding == ByteEncoding::Utf8 && offset < line.end &&
               (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80)
            ++offset;
    }
    return offset;
}

void RecordWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_view.SetCaret(PlaceAt(event->position().toPoint()), event->modifiers() & Qt::ShiftModifier);
}

void RecordWidget::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging || !(event->buttons() & Qt::LeftButton)) {
        m_dragging = false;
        return;
    }
    m_view.SetCaret(PlaceAt(event->position().toPoint()), true);
}

void RecordWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    QPoint p = event->position().toPoint();
    m_view.DoubleClick(p.x(), p.y() + m_view.ScrollTop());
}

void RecordWidget::inputMethodEvent(QInputMethodEvent* event) {
    m_preedit = event->preeditString();
    if (!event->commitString().isEmpty())
        Type(event->commitString());
    viewport()->update();
    event->accept();
}

QVariant RecordWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImEnabled:
        return m_view.Record() != nullptr;
    case Qt::ImCursorRectangle:
        return CaretRect().translated(viewport()->pos());
    case Qt::ImFont: {
        const auto& lines = m_view.Lines();
        int l = m_view.CaretLine();
        if (l >= 0 && l < static_cast<int>(lines.size()))
            return ToQFont(m_view.LineFont(lines[static_cast<std::size_t>(l)]));
        return font();
    }
    case Qt::ImSurroundingText: {
        const auto& lines = m_view.Lines();
        int l = m_view.CaretLine();
        return l >= 0 && l < static_cast<int>(lines.size()) ? LineText(static_cast<std::size_t>(l))
                                                            : QString();
    }
    case Qt::ImCursorPosition: {
        const auto& lines = m_view.Lines();
        int l = m_view.CaretLine();
        if (l < 0 || l >= static_cast<int>(lines.size()))
            return 0;
        const CViewLine& line = lines[static_cast<std::size_t>(l)];
        const FieldInfo* info = Info(line.field);
        return info ? static_cast<int>(Slice(*info, line.begin, m_view.Caret().offset).size()) : 0;
    }
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

void RecordWidget::CopySelection() {
    if (!m_view.HasSelection())
        return;
    auto text = m_view.Copy();
    if (!text)
        return;
    // The clipboard holds the bytes as shown: each field's part in its own encoding.
    QApplication::clipboard()->setText(FieldText(*text));
}

void RecordWidget::CutSelection() {
    if (!m_view.HasSelection())
        return;
    std::string clip;
    if (m_view.Cut(clip))
        QApplication::clipboard()->setText(FieldText(clip));
}

void RecordWidget::PasteClipboard() {
    QString text = QApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    text.replace("\r\n", "\n");
    RefreshFields();
    const FieldInfo* info = Info(m_view.Caret().field);
    std::string bytes;
    std::string message;
    bool utf8 = !info || LangUtf8(*info->field) || info->encoding == ByteEncoding::Utf8 ||
                info->field->Text().empty();
    if (!TypedBytes(text, info ? std::string_view(info->field->Text()) : std::string_view(), utf8,
                    bytes, message)) {
        platform().Beep();
        platform().ShowMessage(message);
        return;
    }
    m_view.Paste(bytes);
}

} // namespace crv::gui
