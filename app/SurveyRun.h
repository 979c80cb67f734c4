#pragma once
// RMTool --site FILE --survey --report OUT: the survey of an installation
// without any window, for scripted checks. The journal of its writes goes
// beside the settings file as in the windows.
#include "app/CommandLine.h"

// Runs the survey on the application's event loop (a QGuiApplication must
// exist) and returns the exit status: 0 when the survey ran and the report
// was written; 1, with one line on standard error, when the file is
// refused, the gateway cannot be reached or the report cannot be written.
int runSurvey(const StartOptions &options);
