#include "gui_test_support.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>

#include "app/crv_doc.h"
#include "gui/database_window.h"

namespace crv::test {

ModalScript::ModalScript() : m_timer(new QTimer) {
    QObject::connect(m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer->start(20);
}

ModalScript::~ModalScript() { delete m_timer; }

ModalScript& ModalScript::Then(Step step) {
    m_steps.push_back(std::move(step));
    return *this;
}

ModalScript& ModalScript::Press(const QString& button) {
    return Then([this, button](QWidget* w) {
        if (auto* box = qobject_cast<QMessageBox*>(w))
            texts.push_back(box->text());
        ClickButton(w, button);
    });
}

ModalScript& ModalScript::ChooseFile(const std::string& path) {
    return Then([path](QWidget* w) {
        auto* files = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(files, nullptr);
        auto* name = files->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        name->setText(QString::fromStdString(path));
        QTest::keyClick(name, Qt::Key_Return);
    });
}

void ModalScript::Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    // Each dialog is answered once while it stays on top; a dialog that comes back on
    // top (the import dialog after its refusal message) is answered again. A dialog made
    // on the stack may take the address of the last one: the mark tells them apart.
    if (modal == m_last && modal->property("crvScripted").toBool())
        return;
    m_last = modal;
    modal->setProperty("crvScripted", true);
    if (m_steps.empty()) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        unexpected.push_back(box ? box->text() : modal->windowTitle());
        QTimer::singleShot(0, modal, [modal] { modal->close(); });
        return;
    }
    // Run outside this slot: a step that opens another dialog must leave the polling
    // timer free to answer it.
    QTimer::singleShot(0, [step = std::move(m_steps.front()), modal] { step(modal); });
    m_steps.pop_front();
}

std::string Lines(const std::string& path) {
    std::string text = ReadFileBytes(path);
    std::erase(text, '\r');
    return text;
}

void ClickButton(QWidget* dialog, const QString& text) {
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
        if (QString(b->text()).remove('&') == text) {
            b->click();
            return;
        }
    ADD_FAILURE() << "no button " << text.toStdString();
    dialog->close();
}

void PressNamed(QWidget* parent, const char* name) {
    auto* b = parent->findChild<QPushButton*>(name);
    ASSERT_NE(b, nullptr) << name;
    b->click();
}

void ShowPage(QWidget* dialog, const QString& title) {
    auto* tabs = dialog->findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i).remove('&') == title)
            tabs->setCurrentIndex(i);
    ASSERT_EQ(tabs->tabText(tabs->currentIndex()).remove('&'), title);
}

void SelectItem(QListWidget* list, const QString& name) {
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        if (item->data(Qt::UserRole).toString() == name || item->text() == name)
            list->setCurrentRow(i);
    }
}

GuiTest::GuiTest() {
    std::filesystem::copy(CORVANE_SAMPLE_DIR, dir.File("sample"),
                          std::filesystem::copy_options::recursive);
    setenv("CORVANE_CONFIG_DIR", dir.File("config").c_str(), 1);
}

GuiTest::~GuiTest() {
    m_app.reset();
    unsetenv("CORVANE_CONFIG_DIR");
}

gui::DesktopApp& GuiTest::Start(const std::string& project, bool startDialog) {
    m_app = std::make_unique<gui::DesktopApp>();
    std::string path = project.empty() ? SamplePath("sample.prj") : project;
    EXPECT_EQ(m_app->Start(path, startDialog), gui::DesktopApp::StartResult::Running);
    // Shortcuts reach an active window only.
    m_app->Window().activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&m_app->Window()));
    QApplication::processEvents();
    return *m_app;
}

gui::DatabaseWindow* GuiTest::WindowOf(const std::string& title) {
    for (gui::DatabaseWindow* w : Window().Windows())
        if (w->HasDocument() && w->Document().Title() == title)
            return w;
    return nullptr;
}

void GuiTest::Trigger(const char* action) {
    QAction* a = Window().Action(action);
    ASSERT_NE(a, nullptr) << action;
    ASSERT_TRUE(a->isEnabled()) << action;
    a->trigger();
    QApplication::processEvents();
}

bool GuiTest::CloseProgram() {
    bool closed = Window().close();
    QApplication::processEvents();
    return closed;
}

} // namespace crv::test

int main(int argc, char** argv) {
    // Real windows without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(corvane);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
