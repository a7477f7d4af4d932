// The exported debug log: thread-tagged, indented lines to a shared file and the error stream.
#pragma once

#include <windows.h>

#include <map>

#ifdef MIRELUNDE_BUILD
#define MIRELUNDE_DUMP_API
#else
#define MIRELUNDE_DUMP_API __declspec(dllimport)
#endif

class MIRELUNDE_DUMP_API Dump {
public:
    static constexpr size_t kFileNameSize = 1024;

    Dump() noexcept;
    Dump(char* source, char* tag) noexcept;
    virtual ~Dump();

    // `source` begins with a file path (quoted or not); `tag` goes between its base name and extension.
    void init(char* source, char* tag) noexcept;
    void print(char* format, ...) noexcept;
    // mode '+' prints then indents this thread, '-' unindents then prints, '!' writes the bare text.
    void print(char* text, char mode) noexcept;

private:
    HANDLE mutex;
    std::map<DWORD, int>* threadIndents;
    bool initialised;
    bool enabled;
    char fileName[kFileNameSize];
};
