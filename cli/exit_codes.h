#pragma once

// The command line's exit status. The numbers are the BSD sysexits values, so
// scripts that already know them read ours the same way.
namespace ExitCode {
constexpr int kDone = 0;
constexpr int kDiffers = 1;        // diff: the keypad differs from the profile
constexpr int kUsage = 64;         // bad command, option or value
constexpr int kInvalidData = 65;   // the profile or the simulated state file is invalid; nothing was sent
constexpr int kNoKeypad = 69;      // no keypad found
constexpr int kCannotCreate = 73;  // the backup of what the keypad held could not be written; nothing was sent
constexpr int kDeviceIo = 74;      // the keypad stopped answering, a write failed, or a file could not be read or written
constexpr int kBusy = 75;          // another program is writing to the keypad (or its state file); try again
constexpr int kNoPermission = 77;  // the keypad's node may not be opened
}  // namespace ExitCode

// The table printed by every --help, so the numbers are documented where they are used.
inline const char* exitCodeHelp()
{
    return "Exit status:\n"
           "  0   done (diff: the keypad matches the profile)\n"
           "  1   diff: the keypad differs from the profile\n"
           "  64  usage error: unknown command, option or value\n"
           "  65  the profile or the simulated keypad's state file is invalid; nothing was sent\n"
           "  69  no keypad found\n"
           "  73  the keypad's configuration could not be backed up, so nothing was sent\n"
           "      (--no-backup writes without one)\n"
           "  74  the keypad stopped answering, a write failed, or a file could not be\n"
           "      read or written (standard output included)\n"
           "  75  another program is writing to the keypad or its state file; try again\n"
           "  77  permission denied on the keypad's node (see the udev rule 70-tessaplex.rules)\n";
}
