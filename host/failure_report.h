// Where host failures go: the projector installs a reporter that shows a
// message box once its main window exists; until then (and in tools and
// tests) failures are dropped unless someone installs a reporter.
#pragma once

namespace kelpo {

using FailureReporter = void (*)(const char* message);

void SetFailureReporter(FailureReporter reporter);
void ReportFailure(const char* message);

}  // namespace kelpo
