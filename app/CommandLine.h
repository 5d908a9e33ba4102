#pragma once

#include <QStringList>

// The month-end batches without a window: statements as PDF or CSV and the
// balance list as CSV, over the data folder of the working directory. The
// arguments after the program's name; returns the exit status.
bool isCommandLine(int argc, char* argv[]);
int runCommandLine(const QStringList& arguments);
