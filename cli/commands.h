#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class CliContext;
class QCommandLineParser;

// One sub-command. The arguments are read and checked (take) before any
// keypad is touched, so a usage error never reaches the device.
class Command {
public:
    virtual ~Command() = default;
    virtual QString name() const = 0;
    virtual QString synopsis() const = 0;  // the arguments after the name, for --help
    virtual QString summary() const = 0;   // one line for the command list
    virtual void addOptions(QCommandLineParser& parser);
    // positional excludes the command's name. A non-empty result is the usage error.
    virtual QString take(const QCommandLineParser& parser, const QStringList& positional) = 0;
    virtual int run(CliContext& context) = 0;
};

using CommandList = std::vector<std::unique_ptr<Command>>;

void addDeviceCommands(CommandList& commands);   // list, info, doctor
void addProfileCommands(CommandList& commands);  // read, write, diff
void addEditCommands(CommandList& commands);     // set, clear, led
void addBackupCommands(CommandList& commands);   // backups, restore

struct KeypadImage;
// Keeps what the keypad held before anything is sent; not ExitCode::kDone
// (the message printed) when that backup cannot be written.
int backUpBeforeWriting(CliContext& context, const KeypadImage& held);

// A usage error for surplus arguments, or an empty string.
QString noMoreArguments(const QStringList& positional, int expected);
