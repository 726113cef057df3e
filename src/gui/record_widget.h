// The record window's drawing surface: it draws the lines, labels, selection and caret
// that its CRecordView computes and forwards keys, clicks, input-method text and the
// clipboard to it. Every edit goes through the view; this widget decides nothing about
// the data. Fields whose language runs right to left are laid out right to left here,
// their caret and clicks placed by Qt's layout of the line.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <string>
#include <vector>

#include "app/display_text.h"
#include "app/record_view.h"

class QTextLayout;

namespace crv::gui {

class RecordWidget : public QAbstractScrollArea, private CLineGeometry {
    Q_OBJECT
public:
    RecordWidget(CRecordView& view, QWidget* parent = nullptr);
    ~RecordWidget() override;
    RecordWidget(const RecordWidget&) = delete;
    RecordWidget& operator=(const RecordWidget&) = delete;

    // The view changed (ViewChange bits): redraw, follow the caret.
    void ViewChanged(unsigned changes);
    // Typed text (from the keyboard or an input method) into the field at the caret, in
    // the field's bytes; a character the field's encoding cannot hold is refused.
    void Type(const QString& text);
    // The clipboard commands of the Edit menu.
    void CopySelection();
    void CutSelection();
    void PasteClipboard();

    // What the line at index shows, as Qt text (tests and drawing).
    QString LineText(std::size_t index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct FieldInfo {
        const CField* field = nullptr;
        ByteEncoding encoding = ByteEncoding::Utf8;
        bool rightToLeft = false;
    };
    // The fields of the record shown, by number (hidden ones included).
    void RefreshFields();
    const FieldInfo* Info(int field) const;
    QString Slice(const FieldInfo& info, std::size_t begin, std::size_t end) const;
    // A right-to-left line laid out by Qt: the layout and its left edge.
    void LayoutRtl(const CViewLine& line, QTextLayout& layout, int& left) const;
    int RtlX(const CViewLine& line, std::size_t offset) const;
    // CLineGeometry: right-to-left lines as they are drawn.
    std::optional<int> XOf(const CViewLine& line, std::size_t offset) const override;
    std::optional<std::size_t> OffsetAtX(const CViewLine& line, int x) const override;
    // Where a point (viewport coordinates) falls, right-to-left lines by their layout.
    CViewCaret PlaceAt(QPoint point) const;
    QRect CaretRect() const; // viewport coordinates
    void UpdateScrollBar();
    bool Typing(QKeyEvent* event);

    CRecordView& m_view;
    std::vector<FieldInfo> m_fields;
    const CRecord* m_fieldsOf = nullptr;
    QString m_preedit;
    bool m_caretShown = true;
    bool m_dragging = false;
};

} // namespace crv::gui
