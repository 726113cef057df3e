// The dialogs a record window opens through its view: the marker chooser after a
// backslash at the start of a line (a known marker chosen, or a new name typed).
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

#include "app/record_view.h"

namespace crv::gui {

class QtViewDialogs : public CViewDialogs {
public:
    explicit QtViewDialogs(QWidget* parent) : m_parent(parent) {}
    std::optional<std::string> ChooseMarker(const CMarkerSet& markers,
                                            const CMarker* suggested) override;
    // The new-marker properties dialog; added tells the owner (which writes the type).
    CMarker* AddNewMarker(CMarkerSet& markers, std::string_view name) override;
    std::function<void(CMarkerSet&)> added;

private:
    QPointer<QWidget> m_parent;
};

} // namespace crv::gui
