// Holds a file open without sharing, as another program may: opens PATH
// with no share mode, writes "held" to MARKER, and keeps the file until
// RELEASE exists (or a minute has passed).
//   usage: hold_file PATH MARKER RELEASE
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    if (FILE* marker = std::fopen(argv[2], "w")) {
        std::fputs("held\n", marker);
        std::fclose(marker);
    }
    for (int i = 0; i < 600 && GetFileAttributesA(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(100);
    }
    CloseHandle(file);
    return 0;
}
