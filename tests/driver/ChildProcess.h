// Starts a program of the test folder as a second process and waits for it.
#pragma once

#include <string>

// The exit code of "<program> <arguments>", or -1 when it did not start or
// end within a minute. An empty program means this test program itself.
// With output, what the program wrote to its standard output is kept there.
int RunChild(const std::string &program, const std::string &arguments,
             std::string *output = nullptr);
