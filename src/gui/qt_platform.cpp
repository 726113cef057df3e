#include "gui/qt_platform.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/form_rows.h"
#include "gui/qt_text.h"

namespace crv::gui {

namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::Warning;
}

QMessageBox::StandardButton ButtonOf(Answer a) {
    switch (a) {
    case Answer::Ok:
        return QMessageBox::Ok;
    case Answer::Cancel:
        return QMessageBox::Cancel;
    case Answer::Yes:
        return QMessageBox::Yes;
    case Answer::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

// A progress display: the dialog appears only when the work lasts (Qt's minimum
// duration), and events are handled now and then so that Cancel can be pressed.
class QtProgress : public Progress {
public:
    QtProgress(QWidget* parent, std::string_view text, std::int64_t range, bool cancellable)
        : m_range(std::max<std::int64_t>(range, 0)) {
        m_dialog = std::make_unique<QProgressDialog>(Q(text), cancellable ? "Cancel" : QString(), 0,
                                                     kSteps, parent);
        m_dialog->setWindowTitle("Corvane");
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(500);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
        if (!cancellable)
            m_dialog->setCancelButton(nullptr);
        m_dialog->setValue(0);
        m_clock.start();
        m_pollClock.start();
    }
    ~QtProgress() override { m_dialog->close(); }

    void SetPosition(std::int64_t position) override {
        m_position = position;
        // Loops step once per record: the dialog is touched only every few milliseconds.
        if (m_clock.elapsed() < 30)
            return;
        m_clock.restart();
        int value =
            m_range > 0
                ? static_cast<int>(std::min<std::int64_t>(position, m_range) * kSteps / m_range)
                : 0;
        m_dialog->setValue(value);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    void SetText(std::string_view text) override { m_dialog->setLabelText(Q(text)); }
    bool Cancelled() override {
        // Polled once per record: events (a click on Cancel) are taken every few
        // milliseconds, not at every call.
        if (m_pollClock.elapsed() >= 30) {
            m_pollClock.restart();
            QCoreApplication::processEvents();
        }
        return m_dialog->wasCanceled();
    }

private:
    static constexpr int kSteps = 1000;
    std::unique_ptr<QProgressDialog> m_dialog;
    std::int64_t m_range;
    QElapsedTimer m_clock;
    QElapsedTimer m_pollClock;
};

} // namespace

QtPlatform::QtPlatform() = default;
QtPlatform::~QtPlatform() = default;

void QtPlatform::ShowMessage(std::string_view text, MessageKind kind, bool beep) {
    if (beep)
        Beep();
    QMessageBox box(IconOf(kind), "Corvane", Q(text), QMessageBox::Ok, m_parent);
    box.exec();
}

Answer QtPlatform::Ask(const Question& q) {
    if (q.beep)
        Beep();
    QMessageBox::StandardButtons buttons;
    switch (q.buttons) {
    case Buttons::Ok:
        buttons = QMessageBox::Ok;
        break;
    case Buttons::OkCancel:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case Buttons::YesNo:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case Buttons::YesNoCancel:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(q.kind == MessageKind::Warning && !q.beep ? QMessageBox::Question
                                                              : IconOf(q.kind),
                    "Corvane", Q(q.text), buttons, m_parent);
    box.setDefaultButton(ButtonOf(q.EffectiveDefault()));
    if (q.checked) {
        box.setCheckBox(new QCheckBox(Q(q.checkBox), &box));
        box.checkBox()->setChecked(*q.checked);
    }
    int result = box.exec();
    if (q.checked)
        *q.checked = box.checkBox()->isChecked();
    switch (result) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        // Closed with Escape or the title bar: what the box's Cancel or No would do.
        if (q.buttons == Buttons::YesNo)
            return Answer::No;
        return q.buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
    }
}

std::optional<std::size_t> QtPlatform::ChooseItem(std::string_view prompt,
                                                  const std::vector<std::string>& items,
                                                  std::size_t defaultItem) {
    QDialog dialog(m_parent);
    dialog.setWindowTitle("Corvane");
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(Q(prompt), &dialog);
    auto* list = new QListWidget(&dialog);
    label->setBuddy(list);
    for (const std::string& item : items)
        list->addItem(FieldText(item));
    if (defaultItem < items.size())
        list->setCurrentRow(static_cast<int>(defaultItem));
    auto* box = OkCancelButtons(&dialog);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(list);
    layout->addWidget(box);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return std::nullopt;
    return static_cast<std::size_t>(list->currentRow());
}

std::optional<std::string> QtPlatform::ChooseFile(const FileRequest& request) {
    QFileDialog dialog(m_parent, Q(request.title), Q(request.initialPath),
                       QtFileFilter(request.filter));
    // Qt's own dialog: the same on every desktop, and it shows every file name as the
    // file system holds it.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save || !request.mustExist ? QFileDialog::AnyFile
                                                          : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return S(dialog.selectedFiles().first());
}

std::optional<std::string> QtPlatform::InputText(const TextRequest& request) {
    bool ok = false;
    QString text = QInputDialog::getText(m_parent, Q(request.title), Q(request.prompt),
                                         QLineEdit::Normal, Q(request.initial), &ok);
    if (!ok)
        return std::nullopt;
    return S(text);
}

void QtPlatform::Beep() {
    ++m_beeps;
    QApplication::beep();
}

std::unique_ptr<Progress> QtPlatform::BeginProgress(std::string_view text, std::int64_t range,
                                                    bool cancellable) {
    return std::make_unique<QtProgress>(m_parent, text, range, cancellable);
}

void QtPlatform::InternalError(const char* file, int line, std::string_view detail) {
    // A report raised while one is on screen would stack boxes without end.
    if (m_reportingInternal)
        return;
    m_reportingInternal = true;
    Beep();
    QMessageBox::critical(m_parent, "Corvane", Q(InternalErrorText(file, line, detail)));
    m_reportingInternal = false;
}

const QFontMetrics& QtPlatform::Metrics(const FontSpec& spec) {
    QString key =
        QString("%1|%2|%3|%4").arg(Q(spec.face)).arg(spec.height).arg(spec.weight).arg(spec.italic);
    auto it = m_metrics.find(key);
    if (it == m_metrics.end())
        it = m_metrics.insert(key, std::make_shared<QFontMetrics>(ToQFont(spec)));
    return **it;
}

int QtPlatform::TextWidth(const FontSpec& font, std::string_view text) {
    return Metrics(font).horizontalAdvance(FieldText(text));
}

FontMetrics QtPlatform::MeasureFont(const FontSpec& font) {
    const QFontMetrics& m = Metrics(font);
    return {m.height(), m.ascent(), m.leading()};
}

} // namespace crv::gui
