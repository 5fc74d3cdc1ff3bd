#pragma once
// Text for the console VT2 was started from: VT2.exe is a windows program, which has no console
// of its own, so what it prints goes to the output it was given (a pipe or a file), else to the
// console of the program that started it.

#include <string>

void WriteToConsole(const std::string& text);
