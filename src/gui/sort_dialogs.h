// The window's sort dialog ("Sorting by Fields") and its filter choice ("&Filter
// records:").
#pragma once

#include <QDialog>

#include "engine/index_set.h"

class QCheckBox;
class QComboBox;
class QListWidget;
class QSpinBox;

namespace crv::gui {

class SortDialog : public QDialog {
    Q_OBJECT
public:
    // Starts from the window's unfiltered index; filter is the window's and is kept.
    SortDialog(CIndexSet& set, const CIndex& current, CIndexFilter* filter,
               QWidget* parent = nullptr);
    // After OK: the indexes the window shows now.
    CIndexRef unfiltered, filtered;

    QListWidget* Available() const { return m_available; }
    QListWidget* Fields() const { return m_fields; }
    QComboBox* Orders() const { return m_orders; }
    QCheckBox* FromEnd() const { return m_fromEnd; }
    QSpinBox* KeyLength() const { return m_keyLength; }

    void accept() override;

private:
    void AddField(int where); // 0 first, 1 last, 2 before the selected
    void FillOrders();
    CMarker* MarkerOf(const QString& text) const;

    CIndexSet* m_set;
    CIndexFilter* m_filter;
    QListWidget* m_available;
    QListWidget* m_fields;
    QComboBox* m_orders;
    QCheckBox* m_fromEnd;
    QSpinBox* m_keyLength;
    CMarker* m_ordersFor = nullptr;
};

// The filter choice: "[no filter]" and the filters of the database's type. Returns
// false when cancelled; chosen is null for no filter.
bool ChooseWindowFilter(CIndexSet& set, const CIndex& current, QWidget* parent,
                        CIndexFilter*& chosen);

} // namespace crv::gui
