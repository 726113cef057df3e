#include "gui/batch_runner.h"

#include <QFileInfo>
#include <QProcess>

#include "base/message_text.h"
#include "base/platform.h"
#include "gui/qt_text.h"

namespace crv::gui {

BatchOutcome ShellBatchRunner::Run(const BatchJob& job) {
    BatchOutcome outcome;
    QProcess process;
    process.setWorkingDirectory(Q(job.folder));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : job.environment)
        env.insert(Q(name), Q(value));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start("/bin/sh", {Q(job.script)});
    if (!process.waitForStarted()) {
        outcome.error = S(process.errorString());
        return outcome;
    }
    outcome.started = true;
    const std::string name = S(QFileInfo(Q(job.script)).fileName());
    {
        std::unique_ptr<Progress> progress =
            platform().BeginProgress(FormatMessage("Running %1", {name}), 0);
        while (!process.waitForFinished(50)) {
            if (process.state() == QProcess::NotRunning)
                break;
            if (progress->Cancelled()) {
                process.kill();
                process.waitForFinished();
                outcome.cancelled = true;
                break;
            }
            outcome.output += process.readAll().toStdString();
        }
    }
    outcome.output += process.readAll().toStdString();
    if (!outcome.cancelled)
        outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return outcome;
}

} // namespace crv::gui
