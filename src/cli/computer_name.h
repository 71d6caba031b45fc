// The local computer's name, for the header line of every run.
#ifndef TASKMELD_CLI_COMPUTER_NAME_H_
#define TASKMELD_CLI_COMPUTER_NAME_H_

#include <string>

/// Fills `name` with the computer's name; false when the system cannot say.
bool GetComputerNameText(std::u16string* name);

#endif  // TASKMELD_CLI_COMPUTER_NAME_H_
