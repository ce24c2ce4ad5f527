// The process-wide failure reporter.
#include "host/failure_report.h"

namespace kelpo {

namespace {
FailureReporter currentReporter = nullptr;
}

void SetFailureReporter(FailureReporter reporter) { currentReporter = reporter; }

void ReportFailure(const char* message) {
    if (currentReporter) currentReporter(message);
}

}  // namespace kelpo
