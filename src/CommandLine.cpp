#include "CommandLine.h"

CommandLine ReadCommandLine(const QStringList& arguments) { return {arguments.value(1)}; }
