#pragma once

#include <QByteArray>
#include <QString>

// Reading and writing the program's files so that a failure is always told
// and never costs the file that was there: profiles, backups, the simulated
// keypad's state, command-line output.
namespace FileIo {

// A profile is a few kilobytes, a state file a few tens; anything this big is neither.
constexpr qint64 kSizeLimit = 4 * 1024 * 1024;

// Replaces path with bytes, or leaves whatever was at path untouched and
// returns false with error naming the file and the reason. The bytes go to a
// temporary file beside it, unbuffered so that a full disk shows at the
// write that hit it, and are renamed over path only when all of them are on
// disk. A path that exists but is not a regular file (a FIFO, a device, a
// folder) is refused: it is never replaced by a file.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

enum class OutputKind {
    StandardOutput,  // "-", or a path that names the program's standard output
    Stream,          // a FIFO or a character device: written to, never replaced
    RegularFile,     // a regular file or nothing yet: replaced atomically
    Refused,         // a folder, a socket, a block device
};
OutputKind outputKind(const QString& path);

// Writes bytes to an output path as outputKind() says (not StandardOutput,
// which is the caller's). Refused and failed writes return false with error set.
bool writeOutput(const QString& path, const QByteArray& bytes, QString* error);

// Writes all of bytes to a file descriptor; false (errno kept) on any short
// or failed write.
bool writeAll(int fd, const QByteArray& bytes);

enum class ReadOutcome {
    Read,
    Missing,  // no such file
    Refused,  // not a regular file (and streams not allowed), or larger than the limit
    Failed,   // exists but could not be opened or read
};

// Reads path whole. A regular file is read when it is at most limit bytes;
// with allowStreams a FIFO or character device is read until its end or
// until it gives more than limit bytes (then refused). Without allowStreams
// nothing but a regular file is opened, so the caller never waits for a
// writer at the other end of a FIFO. error names the file (as source) and
// the reason.
ReadOutcome readInput(const QString& path, const QString& source, qint64 limit, bool allowStreams, QByteArray* bytes,
                      QString* error);

// Reads an already open descriptor (standard input) to its end, refusing
// more than limit bytes.
ReadOutcome readStream(int fd, const QString& source, qint64 limit, QByteArray* bytes, QString* error);

// An XDG base folder as the freedesktop.org base directory rules have it: $variable when it is an
// absolute path (a relative one is ignored), else $HOME/underHome when HOME is
// absolute; empty when neither is, and then nothing should be written.
// xdgHome("XDG_CONFIG_HOME", ".config"), xdgHome("XDG_DATA_HOME", ".local/share").
QString xdgHome(const char* variable, const QString& underHome);

}  // namespace FileIo
