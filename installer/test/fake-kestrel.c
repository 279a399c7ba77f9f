/* Stand-in for kestrel.exe in the installer test: appends its command-line
 * arguments (after the program name), one per line, UTF-8, to
 * C:\kestrel-fake-args.txt, so the test sees what the file association passed. */
#include <windows.h>
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show)
{
    (void)instance; (void)previous; (void)commandLine; (void)show;
    int argc = 0;
    LPWSTR *argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == NULL)
        return 2;
    HANDLE log = CreateFileW(L"C:\\kestrel-fake-args.txt", FILE_APPEND_DATA, FILE_SHARE_READ, NULL,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (log == INVALID_HANDLE_VALUE)
        return 3;
    for (int i = 1; i < argc; ++i) {
        char buffer[4096];
        int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, buffer, (int)sizeof buffer - 1, NULL, NULL);
        if (n <= 0)
            return 4;
        buffer[n - 1] = '\n';
        DWORD written = 0;
        WriteFile(log, buffer, (DWORD)n, &written, NULL);
    }
    CloseHandle(log);
    LocalFree(argv);
    return 0;
}
