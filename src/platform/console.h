#pragma once

#include <string>
#include <vector>

namespace sondrix {

// The arguments of a command-line program as UTF-8, without the program's
// name. Windows hands main() its arguments in the local code page, so they
// are read again from the wide command line there; and as neither cmd.exe
// nor PowerShell expands wildcards for a program, an argument with * or ?
// that names files becomes those files ("records\*.rec"), as a shell does
// (one that names none stays as it is).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Makes the console show the UTF-8 text the program prints (Windows consoles
// use a local code page otherwise).
void UseUtf8Console();

// A window program (Windows) starts without standard output; when it was
// started from a console and nothing else was given, what it prints goes to
// that console. Elsewhere nothing to do.
void ReachParentConsole();

}  // namespace sondrix
