// A profile file from arbitrary bytes, as Import... and "tessaplex-cli write"
// take it: either it is refused with one line naming the file, or it loads,
// imports onto boards of both record formats, and writing it out again gives
// a file that loads to the same keypad.
#include "fuzz_support.h"

#include "core/profile/profile.h"
#include "core/profile/profile_import.h"

#include <QByteArray>
#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceQtLog();
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const QString source = QStringLiteral("fuzz.json");
    QString error;
    const std::optional<LoadedProfile> loaded = Profile::parseProfile(bytes, source, &error);
    if (!loaded) {
        if (!error.startsWith(source + QLatin1String(": ")) || error.contains(QLatin1Char('\n')))
            abort();
        return 0;
    }
    for (const DeviceInfo board : {DeviceInfo{15, 3, 10, 0}, DeviceInfo{3, 1, 9, 0}, DeviceInfo{0, 4, 10, 1}}) {
        KeypadImage current;
        current.identity = board;
        const ProfileImport result = importProfile(*loaded, current);
        if (!(result.image.identity == board) || result.changes < 0)
            abort();
    }
    const std::optional<LoadedProfile> again = Profile::parseProfile(Profile::toJson(loaded->image), source, &error);
    if (!again || again->image != loaded->image)
        abort();
    return 0;
}
