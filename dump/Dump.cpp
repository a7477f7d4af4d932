// The debug log. One process-wide lock guards every object's state; a named mutex, shared by all
// processes that log with the same source, guards the file, which is written outside the lock so
// that a slow writer holds up only the writers of its own file.
#include "dump/Dump.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

constexpr char kMutexPrefix[] = "Dump_Cpp_Dump_Foo_Debug_File_";
constexpr char kNoText[] = "No text passed to zorb.dll's dump()\n";
constexpr char kMutexProblems[] = "Mutex problems in zorb.dll's dump()\n";
constexpr char kCantOpen[] = "Can't open '%s' to dump to ( %u )\n";
constexpr char kCantWrite[] = "Can't write to '%s' ( %u )\n";
constexpr char kNameTooLong[] = "Can't dump to a file: the name made from '%.200s' is too long\n";
constexpr DWORD kMutexWaitMs = 5000;
constexpr size_t kLineSlack = 50;
constexpr size_t kFormatSize = 512;
constexpr int kIndentStep = 4;
constexpr int kMaxIndent = 1024;

SRWLOCK stateLock = SRWLOCK_INIT;
std::atomic<bool> fileOpenedBefore{false};  // the first open in a process truncates the file

class StateGuard {
public:
    StateGuard() noexcept { AcquireSRWLockExclusive(&stateLock); }
    ~StateGuard() { ReleaseSRWLockExclusive(&stateLock); }
    StateGuard(const StateGuard&) = delete;
    StateGuard& operator=(const StateGuard&) = delete;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Not isalnum: its answer for bytes above 127 follows the host program's locale, and processes that
// disagree on the name would not share the mutex.
bool IsAsciiAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

HANDLE CreateNamedMutex(const char* source)
{
    char name[MAX_PATH];  // the platform's limit for object names; longer sources are cut
    std::snprintf(name, sizeof name, "%s%s", kMutexPrefix, source);
    for (char* c = name; *c != '\0'; ++c)
        if (!IsAsciiAlnum(*c)) *c = '_';
    return CreateMutexA(nullptr, FALSE, name);
}

// The first token of the source with the tag put before its last dot; false if it does not fit.
bool DeriveFileName(const char* source, const char* tag, char* fileName, size_t size)
{
    while (IsBlank(*source)) ++source;
    if (*source == '\0') return true;

    const char* begin = source;
    char end = ' ';
    if (*source == '"' || *source == '\'') end = *begin++;
    const char* stop = std::strchr(begin, end);
    const size_t tokenLength = stop ? static_cast<size_t>(stop - begin) : std::strlen(begin);
    const std::string token(begin, tokenLength);

    const size_t dot = token.find_last_of('.');
    const std::string name =
        dot == std::string::npos ? token + " " + tag : token.substr(0, dot) + " " + tag + token.substr(dot);
    if (name.size() >= size) return false;
    std::memcpy(fileName, name.c_str(), name.size() + 1);
    return true;
}

void WriteError(const char* text)
{
    std::fprintf(stderr, "%s", text);
    std::fflush(stderr);
}

// Appends one line under the named mutex; false when file output must stop for this object.
bool AppendToFile(HANDLE mutex, const char* fileName, const std::string& line)
{
    const DWORD wait = mutex ? WaitForSingleObject(mutex, kMutexWaitMs) : WAIT_FAILED;
    // An abandoned mutex is ours now: the previous owner died, the file is still worth writing.
    if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
        WriteError(kMutexProblems);
        return true;
    }

    const DWORD disposition = fileOpenedBefore.exchange(true) ? OPEN_ALWAYS : CREATE_ALWAYS;
    bool keep = true;
    HANDLE file = CreateFileA(fileName, GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, kCantOpen, fileName, static_cast<unsigned>(GetLastError()));
        keep = false;
    } else {
        SetFilePointer(file, 0, nullptr, FILE_END);
        DWORD written = 0;
        const DWORD length = static_cast<DWORD>(line.size());
        if (!WriteFile(file, line.data(), length, &written, nullptr) || written < length) {
            std::fprintf(stderr, kCantWrite, fileName, static_cast<unsigned>(GetLastError()));
            keep = false;
        }
        CloseHandle(file);
    }
    ReleaseMutex(mutex);
    return keep;
}

// False for an empty text or when the line cannot be allocated.
bool BuildLine(const char* text, char mode, DWORD thread, int indent, std::string& line) noexcept
{
    if (text == nullptr || text[0] == '\0') return false;
    try {
        const size_t length = std::strlen(text);
        if (mode == '!') {
            line.assign(text, length);
            return true;
        }
        line.resize(length + static_cast<size_t>(indent) + kLineSlack);
        const int written =
            std::snprintf(line.data(), line.size(), "[%5u] %*s%s", static_cast<unsigned>(thread), indent, "", text);
        line.resize(written > 0 ? static_cast<size_t>(written) : 0);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

Dump::Dump() noexcept : mutex(nullptr), threadIndents(nullptr), initialised(false), enabled(true), fileName{} {}

Dump::Dump(char* source, char* tag) noexcept : Dump()
{
    init(source, tag);
}

Dump::~Dump()
{
    StateGuard guard;
    if (initialised) enabled = false;
    if (mutex) CloseHandle(mutex);
    mutex = nullptr;
    delete threadIndents;
    threadIndents = nullptr;
}

void Dump::init(char* source, char* tag) noexcept
{
    StateGuard guard;
    const bool wasEnabled = enabled;
    enabled = false;

    if (!initialised) {
        initialised = true;
        fileName[0] = '\0';
        mutex = nullptr;
        threadIndents = nullptr;
    }
    if (tag != nullptr && source != nullptr && fileName[0] == '\0') {
        delete threadIndents;
        threadIndents = new (std::nothrow) std::map<DWORD, int>;
        // The mutex follows the source that names the file, even after an init that named none.
        if (mutex) CloseHandle(mutex);
        mutex = CreateNamedMutex(source);
        try {
            if (!DeriveFileName(source, tag, fileName, sizeof fileName)) {
                fileName[0] = '\0';
                std::fprintf(stderr, kNameTooLong, source);
            }
        } catch (...) {
            fileName[0] = '\0';
        }
    }
    enabled = wasEnabled;
}

void Dump::print(char* format, ...) noexcept
{
    char text[kFormatSize + 1];
    text[0] = '\0';
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
    }
    print(text, 0);
}

void Dump::print(char* text, char mode) noexcept
{
    std::string line;
    bool built = false;
    char file[kFileNameSize];
    file[0] = '\0';
    HANDLE fileMutex = nullptr;  // a handle of this call's own, so the object may close its own meanwhile
    {
        StateGuard guard;
        if (!enabled || !initialised) return;

        const DWORD thread = GetCurrentThreadId();
        int ownIndent = 0;
        int* indent = &ownIndent;  // without a map every thread prints at indentation 0
        try {
            if (threadIndents) indent = &(*threadIndents)[thread];
        } catch (...) {
        }
        if (mode == '-' && *indent != 0) *indent -= kIndentStep;
        built = BuildLine(text, mode, thread, *indent, line);
        if (mode == '+' && *indent < kMaxIndent) *indent += kIndentStep;

        if (built && fileName[0] != '\0') {
            std::memcpy(file, fileName, sizeof file);
            if (mutex)
                DuplicateHandle(GetCurrentProcess(), mutex, GetCurrentProcess(), &fileMutex, 0, FALSE,
                                DUPLICATE_SAME_ACCESS);
        }
    }
    if (!built) {
        WriteError(kNoText);
        return;
    }
    if (file[0] != '\0' && !AppendToFile(fileMutex, file, line)) {
        StateGuard guard;
        if (std::strcmp(fileName, file) == 0) fileName[0] = '\0';
    }
    if (fileMutex) CloseHandle(fileMutex);
    WriteError(line.c_str());
}
