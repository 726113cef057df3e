// Batch files run by the shell, with a progress display whose Cancel stops them.
#pragma once

#include "app/batch_file.h"

namespace crv::gui {

class ShellBatchRunner : public CBatchRunner {
public:
    BatchOutcome Run(const BatchJob& job) override;
};

} // namespace crv::gui
