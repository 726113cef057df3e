// The main window's commands over the platform services: Print and Print Preview of
// records with the database type's print properties, playing the sound file a field
// names, the user guide, and the language-encoding bar.
#pragma once

#include <QObject>
#include <optional>
#include <vector>

class QMenu;
class QPrinter;

namespace crv {
class CField;
class CLangEnc;
class CProject;
class CRecord;
} // namespace crv

namespace crv::gui {

class DatabaseWindow;
class LanguageBar;
class MainWindow;
class RecordPrinter;

class ServiceCommands : public QObject {
    Q_OBJECT
public:
    // Adds the commands to the main window's menus and toolbar.
    ServiceCommands(MainWindow& main, QMenu* file, QMenu* database, QMenu* view, QMenu* help);
    ~ServiceCommands() override;

    // After any change of the active window, its record or the project.
    void Update();
    LanguageBar* Bar() const { return m_bar; }

    // The field whose language the bar shows until the record window tells it the field
    // at the caret: the current record's sort field, else its first field.
    static CField* CurrentField(DatabaseWindow& window);
    // The records printed: the current one, or each record of the window once, in the
    // window's order (sort and filter).
    static std::vector<const CRecord*> RecordsToPrint(DatabaseWindow& window, bool all);
    // A printer of those records with the window's type's print properties.
    static RecordPrinter PrinterFor(DatabaseWindow& window, bool all);
    // Runs script (or one the user chooses) through the shell; windows of a database it
    // rewrote reopen as they stood when the user reads it again.
    void RunBatchFile(const std::string& script = {});

private:
    // Asks which records to print (the print properties choose the default); nullopt when
    // the user cancels.
    std::optional<bool> AskAllRecords(DatabaseWindow& window);
    void Print(bool preview);
    void PlaySound();
    void ChangeFieldLanguage(CLangEnc* lang);

    MainWindow& m_main;
    LanguageBar* m_bar;
    CProject* m_barProject = nullptr;
};

} // namespace crv::gui
