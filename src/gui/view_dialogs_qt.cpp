#include "gui/view_dialogs_qt.h"

#include <QApplication>
#include <QInputDialog>

#include "gui/marker_dialogs.h"
#include "gui/qt_text.h"
#include "schema/marker.h"

namespace crv::gui {

std::optional<std::string> QtViewDialogs::ChooseMarker(const CMarkerSet& markers,
                                                       const CMarker* suggested) {
    QStringList names;
    int current = 0;
    for (const CMarker& m : markers) {
        if (&m == suggested)
            current = static_cast<int>(names.size());
        QString name = Q(m.Name());
        if (!m.FieldName().empty())
            name += "  (" + Q(m.FieldName()) + ")";
        names << name;
    }
    QInputDialog dialog(m_parent ? m_parent.data() : QApplication::activeWindow());
    dialog.setObjectName("markerChooser");
    dialog.setWindowTitle("Insert Field");
    dialog.setLabelText("&Marker of the new field:");
    dialog.setComboBoxItems(names);
    dialog.setComboBoxEditable(true);
    if (!names.isEmpty())
        dialog.setTextValue(names[current]);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    // The name alone: the field name shown after it and a typed backslash go.
    QString name = dialog.textValue().trimmed();
    int space = name.indexOf(' ');
    if (space >= 0)
        name = name.left(space);
    if (name.startsWith('\\'))
        name = name.mid(1);
    return S(name);
}

CMarker* QtViewDialogs::AddNewMarker(CMarkerSet& markers, std::string_view name) {
    MarkerPropertiesDialog dialog(markers, nullptr, std::string(name), nullptr,
                                  m_parent ? m_parent.data() : QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    if (added)
        added(markers);
    return dialog.Result();
}

} // namespace crv::gui
