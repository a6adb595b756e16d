#include "core/startup/command_line.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <vector>
#endif

QStringList argumentsAsStrings(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

#ifdef _WIN32
int runWithPlatformArguments(MainRoutine routine, int, char**)
{
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<char*> converted;
    for (int i = 0; wide && i < count; ++i) {
        const int size = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        char* arg = new char[size > 0 ? size : 1]();
        if (size > 0)
            WideCharToMultiByte(CP_ACP, 0, wide[i], -1, arg, size, nullptr, nullptr);
        converted.push_back(arg);
    }
    if (wide)
        LocalFree(wide);
    converted.push_back(nullptr);
    const int code = routine(count, converted.data());
    for (char* arg : converted)
        delete[] arg;
    return code;
}
#else
int runWithPlatformArguments(MainRoutine routine, int argc, char** argv)
{
    return routine(argc, argv);
}
#endif
