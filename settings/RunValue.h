// The start-up registration: one value under the Run key of the current
// user (or of the machine).
#pragma once

#include <string>

namespace tolvane {

inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "Tolvane";

// Sets the value (REG_SZ). allUsers selects HKEY_LOCAL_MACHINE instead of
// HKEY_CURRENT_USER. The key is opened, never created. True when the value
// was set.
bool SetRunValue(const std::string& name, const std::string& data, int allUsers);

// Deletes the value. True when the key could be opened and closed again,
// whatever the deletion gave (an absent value is no error).
bool DeleteRunValue(const std::string& name, int allUsers);

// What the Run value holds for a program: its path in double quotes, so that
// a path with blanks cannot be read as another program and its arguments.
std::string RunCommandFor(const std::string& executablePath);

// The full path of the running program.
std::string OwnExecutablePath();

}  // namespace tolvane
