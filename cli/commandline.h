#pragma once

#include <QString>

#include <functional>

// The program's commands: "vk508m COMMAND ..." does one job without a
// window and without a display, and ends with an exit status (see
// ExitStatus in cli/commands.h).
namespace CommandLine {

// Whether the arguments name a command (a first argument that is no
// option) or ask for --help or --version. Any other start (none, or Qt's
// own options such as -platform) is the window's.
bool isCommand(int argc, char **argv);

// Runs the command with an application object of its own (painting ones
// on the offscreen platform) and returns its exit status. installCatalogs
// is handed the language of the locale's messages ("zh_CN", or empty for
// English) once the application object exists.
int run(int &argc, char **argv, const std::function<void(const QString &language)> &installCatalogs);

} // namespace CommandLine
