// The debug log as its callers see it: the lines in the file and on the error stream, the file's name,
// the named mutex, and several threads and processes writing at once.
#include "dump/Dump.h"
#include "tests/support/ChildMode.h"
#include "tests/support/Paths.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

// A directory no earlier run has used: process ids, and so TempDirectory()'s names, come round again.
std::string TempDirectory()
{
    const std::string base = testing_support::TempDirectory();
    for (unsigned n = 0;; ++n) {
        const std::string path = base + "\\" + std::to_string(n);
        if (CreateDirectoryA(path.c_str(), nullptr) || GetLastError() != ERROR_ALREADY_EXISTS) return path;
    }
}

constexpr char kNoText[] = "No text passed to zorb.dll's dump()\n";
constexpr char kMutexProblems[] = "Mutex problems in zorb.dll's dump()\n";
constexpr DWORD kChildTimeoutMs = 60000;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// Every "%s" in the pattern becomes the scratch directory.
std::string Expand(std::string pattern, const std::string& directory)
{
    for (size_t at = pattern.find("%s"); at != std::string::npos; at = pattern.find("%s", at + directory.size()))
        pattern.replace(at, 2, directory);
    return pattern;
}

void Print(Dump& dump, std::string text, char mode = 0)
{
    dump.print(text.data(), mode);
}

std::string Prefix(DWORD thread, int indent = 0)
{
    const std::string id = std::to_string(thread);
    std::string prefix = "[";
    return prefix.append(id.size() < 5 ? 5 - id.size() : 0, ' ').append(id).append("] ").append(indent, ' ');
}

std::string Numbered(std::string name, int number)
{
    return name.append(" ").append(std::to_string(number));
}

std::string MutexName(const std::string& source)
{
    std::string name = "Dump_Cpp_Dump_Foo_Debug_File_" + source;
    for (char& c : name)
        if (!(c >= '0' && c <= '9') && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z')) c = '_';
    return name.substr(0, MAX_PATH - 1);
}

bool MutexExists(const std::string& name)
{
    const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
    if (mutex) CloseHandle(mutex);
    return mutex != nullptr;
}

struct Line {
    DWORD thread;
    std::string body;
};

// Splits a log into its lines; a line whose "[%5u] " prefix is malformed, or a missing line end, fails.
std::vector<Line> ParseLines(const std::string& log)
{
    std::vector<Line> lines;
    EXPECT_TRUE(log.empty() || log.back() == '\n') << "the last line is cut";
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) {
        const size_t close = line.find("] ");
        const size_t digits = line.find_first_not_of(' ', 1);
        const bool shaped = line.size() > 1 && line[0] == '[' && close != std::string::npos && digits < close &&
                            line.find_first_not_of("0123456789", digits) == close &&
                            close - 1 == std::max<size_t>(5, close - digits);
        EXPECT_TRUE(shaped) << "malformed line: " << line;
        if (shaped) lines.push_back({std::stoul(line.substr(digits, close - digits)), line.substr(close + 2)});
    }
    return lines;
}

std::vector<std::string> Bodies(const std::string& log)
{
    std::vector<std::string> bodies;
    for (const Line& line : ParseLines(log)) bodies.push_back(line.body);
    return bodies;
}

// Sends descriptor 2, and with it the C error stream, to a file until Text() is called.
class StderrCapture {
public:
    StderrCapture() : path(TempDirectory() + "\\stderr.txt")
    {
        std::fflush(stderr);
        saved = _dup(2);
        const int file = _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
        _dup2(file, 2);
        _close(file);
    }
    ~StderrCapture() { Restore(); }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    std::string Text()
    {
        Restore();
        return ReadFile(path);
    }

private:
    void Restore()
    {
        if (saved < 0) return;
        std::fflush(stderr);
        _dup2(saved, 2);
        _close(saved);
        saved = -1;
    }

    std::string path;
    int saved;
};

// Child: logs "ready <name>", waits for the go event, then logs "<name> <i>" count times.
int WriteConcurrently(const std::vector<std::string>& args)
{
    if (args.size() != 5) return 2;
    std::freopen("NUL", "w", stderr);
    std::string source = args[0];
    std::string tag = "shared";
    Dump dump(source.data(), tag.data());
    Print(dump, "ready " + args[1] + "\n");
    const HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, args[2].c_str());
    const HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, args[3].c_str());
    if (!ready || !go || !SetEvent(ready) || WaitForSingleObject(go, kChildTimeoutMs) != WAIT_OBJECT_0) return 3;
    for (int i = 0; i < std::stoi(args[4]); ++i) Print(dump, Numbered(args[1], i) + "\n");
    CloseHandle(ready);
    CloseHandle(go);
    return 0;
}
MIRELUNDE_CHILD_MODE("dump-concurrent", WriteConcurrently);

// Child: two lines through one object, then one through an object with another source.
int WriteTwoFiles(const std::vector<std::string>& args)
{
    if (args.size() != 2) return 2;
    std::freopen("NUL", "w", stderr);
    std::string first = args[0];
    std::string second = args[1];
    std::string tag = "T";
    Dump one(first.data(), tag.data());
    Dump other(second.data(), tag.data());
    Print(one, "first\n");
    Print(one, "second\n");
    Print(other, "other\n");
    return 0;
}
MIRELUNDE_CHILD_MODE("dump-two-files", WriteTwoFiles);

int RunChild(const std::string& mode, const std::vector<std::string>& args)
{
    const PROCESS_INFORMATION child = testing_support::StartChild(mode, args);
    if (!child.hProcess) return -2;
    const int code = testing_support::WaitForExit(child.hProcess, kChildTimeoutMs);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return code;
}

TEST(Dump, DefaultConstructedLogPrintsNothing)
{
    StderrCapture capture;
    Dump dump;
    Print(dump, "plain\n");
    Print(dump, "indent\n", '+');
    std::string format = "formatted %s\n";
    dump.print(format.data(), "text");
    EXPECT_EQ(capture.Text(), "");
}

TEST(Dump, LinesCarryThreadIdAndIndentationInFileAndOnStderr)
{
    constexpr int kBare = -1;
    constexpr int kEmpty = -2;
    struct Step {
        const char* text;
        char mode;
        int indent;  // expected, or kBare for the text alone, or kEmpty for the complaint on stderr only
    };
    const Step steps[] = {
        {"open\n", '+', 0}, {"inner\n", '+', 4},   {"deep\n", 0, 8},       {"raw\n", '!', kBare},   {"back\n", '-', 4},
        {"out\n", '-', 0},  {"floor\n", '-', 0},   {"", '+', kEmpty},      {"after empty\n", 0, 4}, {"", '-', kEmpty},
        {"level\n", 0, 0},  {"no line end", 0, 0}, {"tail\n", '!', kBare},
    };
    const std::string directory = TempDirectory();
    std::string source = directory + "\\walk.log";
    std::string tag = "T";
    std::string expectedFile;
    std::string expectedStderr;
    StderrCapture capture;
    {
        Dump dump(source.data(), tag.data());
        for (const Step& step : steps) {
            Print(dump, step.text, step.mode);
            const std::string line = step.indent == kEmpty  ? ""
                                     : step.indent == kBare ? step.text
                                                            : Prefix(GetCurrentThreadId(), step.indent) + step.text;
            expectedFile += line;
            expectedStderr += step.indent == kEmpty ? kNoText : line;
        }
    }
    EXPECT_EQ(capture.Text(), expectedStderr);
    EXPECT_EQ(ReadFile(directory + "\\walk T.log"), expectedFile);
}

TEST(Dump, FileNameIsTheFirstTokenWithTheTagBeforeItsLastDot)
{
    struct Case {
        const char* source;
        const char* subdirectory;
        const char* file;
    };
    const Case cases[] = {
        {"%s\\log.txt", nullptr, "%s\\log T.txt"},
        {"%s\\log", nullptr, "%s\\log T"},
        {"%s\\archive.tar.gz", nullptr, "%s\\archive.tar T.gz"},
        {" \t\n\v\f\r%s\\lead.txt --verbose 2", nullptr, "%s\\lead T.txt"},
        {"\"%s\\my log.txt\" --verbose", nullptr, "%s\\my log T.txt"},
        {"'%s\\single q.txt' \"x y\"", nullptr, "%s\\single q T.txt"},
        {"\"%s\\it's.txt\" x", nullptr, "%s\\it's T.txt"},
        {"\"%s\\open quote.txt", nullptr, "%s\\open quote T.txt"},
        {"%s\\dir.d\\log", "%s\\dir T.d", "%s\\dir T.d\\log"},
    };
    for (const Case& c : cases) {
        const std::string directory = TempDirectory();
        SCOPED_TRACE(Expand(c.source, directory));
        if (c.subdirectory) CreateDirectoryA(Expand(c.subdirectory, directory).c_str(), nullptr);
        std::string source = Expand(c.source, directory);
        std::string tag = "T";
        StderrCapture capture;
        {
            Dump dump(source.data(), tag.data());
            Print(dump, "line\n");
        }
        const std::string stderrText = capture.Text();
        EXPECT_EQ(ReadFile(Expand(c.file, directory)), Prefix(GetCurrentThreadId()) + "line\n") << stderrText;
    }
}

// A tab inside the first token makes the name too long; a blank there ends the token before the filler.
TEST(Dump, OnlyABlankEndsAnUnquotedToken)
{
    for (const char separator : {' ', '\t'}) {
        const std::string directory = TempDirectory();
        std::string source = directory + "\\log.txt" + separator + std::string(1100, 'x');
        std::string tag = "T";
        StderrCapture capture;
        {
            Dump dump(source.data(), tag.data());
            Print(dump, "line\n");
        }
        const std::string stderrText = capture.Text();
        const bool blank = separator == ' ';
        EXPECT_EQ(Exists(directory + "\\log T.txt"), blank) << int(separator);
        EXPECT_EQ(stderrText.find("too long") != std::string::npos, !blank) << stderrText;
    }
}

TEST(Dump, WhitespaceOnlySourceLogsToStderrOnly)
{
    const std::string directory = TempDirectory();
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(directory.c_str()));
    std::string source = " \t\n\v\f\r";
    std::string tag = "T";
    StderrCapture capture;
    {
        Dump dump(source.data(), tag.data());
        Print(dump, "to stderr\n");
    }
    const std::string stderrText = capture.Text();
    SetCurrentDirectoryA(previous);
    EXPECT_EQ(stderrText, Prefix(GetCurrentThreadId()) + "to stderr\n");
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((directory + "\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int entries = 0;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") ++entries;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(entries, 0);
}

TEST(Dump, SecondInitOnANamedLogChangesNothing)
{
    const std::string directory = TempDirectory();
    std::string first = directory + "\\first.log";
    std::string second = directory + "\\second.log";
    std::string tag = "T";
    std::string otherTag = "U";
    StderrCapture capture;
    Dump dump(first.data(), tag.data());
    Print(dump, "one\n", '+');
    dump.init(second.data(), otherTag.data());
    Print(dump, "two\n");
    EXPECT_EQ(ReadFile(directory + "\\first T.log"),
              Prefix(GetCurrentThreadId()) + "one\n" + Prefix(GetCurrentThreadId(), 4) + "two\n");
    EXPECT_FALSE(Exists(directory + "\\second U.log"));
    EXPECT_FALSE(MutexExists(MutexName(second)));
}

TEST(Dump, MutexIsNamedAfterTheWholeSource)
{
    struct Case {
        const char* earlier;  // an init that named no file, or null
        const char* source;
        const char* locale;  // a character-type locale the host program may have chosen, or null
    };
    const Case cases[] = {
        {nullptr, "%s\\plain.log", nullptr},
        {nullptr, "\"%s\\my log.txt\" -v --level=2 /x", nullptr},
        {nullptr, "%s\\caf\xE9.log \xE9t\xE9", ".1252"},
        {nullptr, "%s\\long.log %s %s %s %s %s %s %s", nullptr},
        {" \t", "%s\\after blank.log", nullptr},
    };
    for (const Case& c : cases) {
        const std::string directory = TempDirectory();
        std::string source = Expand(c.source, directory);
        SCOPED_TRACE(source);
        std::string tag = "T";
        if (c.locale) {
            ASSERT_NE(std::setlocale(LC_CTYPE, c.locale), nullptr);
        }
        Dump dump;
        if (c.earlier) {
            std::string earlier = c.earlier;
            dump.init(earlier.data(), tag.data());
        }
        dump.init(source.data(), tag.data());
        std::setlocale(LC_CTYPE, "C");
        EXPECT_TRUE(MutexExists(MutexName(source)));
    }
}

TEST(Dump, FormattedPrintIsCutAt512Characters)
{
    const std::string directory = TempDirectory();
    std::string source = directory + "\\format.log";
    std::string tag = "T";
    std::string format = "%s=%d\n";
    std::string key = "key";
    std::string bare = "%s";
    const std::string longText(600, 'y');
    StderrCapture capture;
    {
        Dump dump(source.data(), tag.data());
        dump.print(format.data(), key.c_str(), 42);
        dump.print(bare.data(), longText.c_str());
    }
    capture.Text();
    EXPECT_EQ(ReadFile(directory + "\\format T.log"),
              Prefix(GetCurrentThreadId()) + "key=42\n" + Prefix(GetCurrentThreadId()) + std::string(512, 'y'));
}

TEST(Dump, IndentationStopsAt1024AndLongLinesStayWhole)
{
    const std::string directory = TempDirectory();
    std::string source = directory + "\\deep.log";
    std::string tag = "T";
    const std::string longText = std::string(70000, 'z') + "\n";
    StderrCapture capture;
    {
        Dump dump(source.data(), tag.data());
        for (int i = 0; i < 300; ++i) Print(dump, "", '+');
        Print(dump, longText);
    }
    const std::string stderrText = capture.Text();
    const std::string expected = Prefix(GetCurrentThreadId(), 1024) + longText;
    EXPECT_EQ(ReadFile(directory + "\\deep T.log"), expected);
    ASSERT_GE(stderrText.size(), expected.size());
    EXPECT_EQ(stderrText.substr(stderrText.size() - expected.size()), expected);
}

TEST(Dump, ThreadsKeepTheirOwnIndentation)
{
    const std::string directory = TempDirectory();
    std::string source = directory + "\\threads.log";
    std::string tag = "T";
    StderrCapture capture;
    DWORD other = 0;
    {
        Dump dump(source.data(), tag.data());
        Print(dump, "main\n", '+');
        Print(dump, "main\n", '+');
        std::thread([&] {
            other = GetCurrentThreadId();
            Print(dump, "other\n", '+');
            Print(dump, "other\n");
        }).join();
        Print(dump, "main\n");
    }
    capture.Text();
    const DWORD self = GetCurrentThreadId();
    EXPECT_EQ(ReadFile(directory + "\\threads T.log"), Prefix(self) + "main\n" + Prefix(self, 4) + "main\n" +
                                                           Prefix(other) + "other\n" + Prefix(other, 4) + "other\n" +
                                                           Prefix(self, 8) + "main\n");
}

TEST(Dump, ManyThreadsThroughOneLogLoseNoLine)
{
    constexpr int kThreads = 8;
    constexpr int kLines = 500;
    const std::string directory = TempDirectory();
    std::string source = directory + "\\many.log";
    std::string tag = "T";
    std::vector<DWORD> ids(kThreads);
    StderrCapture capture;
    {
        Dump dump(source.data(), tag.data());
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&dump, &ids, t] {
                ids[t] = GetCurrentThreadId();
                for (int i = 0; i < kLines; ++i) Print(dump, Numbered(std::to_string(t), i) + "\n");
            });
        for (std::thread& thread : threads) thread.join();
    }
    const std::string stderrText = capture.Text();
    std::vector<std::vector<std::string>> seen(kThreads);
    const std::vector<Line> lines = ParseLines(ReadFile(directory + "\\many T.log"));
    EXPECT_EQ(lines.size(), size_t{kThreads * kLines});
    for (const Line& line : lines) {
        const int t = std::stoi(line.body);
        ASSERT_TRUE(t >= 0 && t < kThreads) << line.body;
        EXPECT_EQ(line.thread, ids[t]) << line.body;
        seen[t].push_back(line.body);
    }
    for (int t = 0; t < kThreads; ++t) {
        std::vector<std::string> expected;
        for (int i = 0; i < kLines; ++i) expected.push_back(Numbered(std::to_string(t), i));
        EXPECT_EQ(seen[t], expected) << "thread " << t;
    }
    EXPECT_EQ(ParseLines(stderrText).size(), size_t{kThreads * kLines});
}

TEST(Dump, FirstOpenInAProcessTruncatesAndLaterOpensAppend)
{
    const std::string directory = TempDirectory();
    WriteText(directory + "\\one T.log", "stale\n");
    WriteText(directory + "\\two T.log", "kept\n");
    ASSERT_EQ(RunChild("dump-two-files", {directory + "\\one.log", directory + "\\two.log"}), 0);
    EXPECT_EQ(Bodies(ReadFile(directory + "\\one T.log")), (std::vector<std::string>{"first", "second"}));
    const std::string two = ReadFile(directory + "\\two T.log");
    ASSERT_EQ(two.rfind("kept\n", 0), 0u) << two;
    EXPECT_EQ(Bodies(two.substr(5)), std::vector<std::string>{"other"});
}

TEST(Dump, TwoProcessesWithOneSourceLoseNoLine)
{
    constexpr int kLines = 300;
    const std::string directory = TempDirectory();
    const std::string events = "MirelundeDumpTest" + std::to_string(GetCurrentProcessId()) + "_";
    const HANDLE ready[] = {CreateEventA(nullptr, TRUE, FALSE, (events + "readyA").c_str()),
                            CreateEventA(nullptr, TRUE, FALSE, (events + "readyB").c_str())};
    const HANDLE go = CreateEventA(nullptr, TRUE, FALSE, (events + "go").c_str());
    ASSERT_TRUE(ready[0] && ready[1] && go);
    const std::string source = directory + "\\shared.log --from-both";
    PROCESS_INFORMATION children[2];
    const char* names[] = {"A", "B"};
    for (int c = 0; c < 2; ++c)
        children[c] = testing_support::StartChild(
            "dump-concurrent", {source, names[c], events + "ready" + names[c], events + "go", std::to_string(kLines)});
    const bool started = children[0].hProcess && children[1].hProcess;
    const bool bothReady = started && WaitForMultipleObjects(2, ready, TRUE, kChildTimeoutMs) == WAIT_OBJECT_0;
    SetEvent(go);
    for (const PROCESS_INFORMATION& child : children) {
        if (!child.hProcess) continue;
        EXPECT_EQ(testing_support::WaitForExit(child.hProcess, kChildTimeoutMs), 0);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    for (const HANDLE event : {ready[0], ready[1], go}) CloseHandle(event);
    ASSERT_TRUE(bothReady);

    std::map<std::string, std::vector<std::string>> byName;
    for (const std::string& body : Bodies(ReadFile(directory + "\\shared shared.log"))) {
        if (body.rfind("ready ", 0) == 0) continue;  // the later child's first open truncated the earlier one's
        byName[body.substr(0, body.find(' '))].push_back(body);
    }
    EXPECT_EQ(byName.size(), 2u);
    for (const char* name : names) {
        std::vector<std::string> expected;
        for (int i = 0; i < kLines; ++i) expected.push_back(Numbered(name, i));
        EXPECT_EQ(byName[name], expected) << name;
    }
}

TEST(Dump, FileIsClosedBetweenLines)
{
    const std::string directory = TempDirectory();
    std::string source = directory + "\\closed.log";
    std::string tag = "T";
    StderrCapture capture;
    Dump dump(source.data(), tag.data());
    Print(dump, "one\n");
    EXPECT_TRUE(DeleteFileA((directory + "\\closed T.log").c_str()));
    Print(dump, "two\n");
    capture.Text();
    EXPECT_EQ(Bodies(ReadFile(directory + "\\closed T.log")), std::vector<std::string>{"two"});
}

TEST(Dump, FailedOpenStopsFileOutputForThatLog)
{
    const std::string directory = TempDirectory();
    std::string source = directory + "\\missing\\log.txt";
    std::string tag = "T";
    StderrCapture capture;
    Dump dump(source.data(), tag.data());
    Print(dump, "lost\n");
    CreateDirectoryA((directory + "\\missing").c_str(), nullptr);
    Print(dump, "also lost\n");
    const std::string expected = Prefix(GetCurrentThreadId()) + "lost\n";
    EXPECT_EQ(capture.Text(), "Can't open '" + directory + "\\missing\\log T.txt' to dump to ( 3 )\n" + expected +
                                  Prefix(GetCurrentThreadId()) + "also lost\n");
    EXPECT_FALSE(Exists(directory + "\\missing\\log T.txt"));
}

// Names of 1023 characters still fit the 1024-byte buffer (and fail to open in a missing directory).
TEST(Dump, FileNameThatDoesNotFitLeavesFileOutputOff)
{
    for (const size_t length : {size_t{1023}, size_t{1024}, size_t{5000}}) {
        const std::string directory = TempDirectory() + "\\missing\\";
        std::string source = directory + std::string(length - directory.size() - 4, 'n') + ".x";
        std::string tag = "T";
        StderrCapture capture;
        {
            Dump dump(source.data(), tag.data());
            Print(dump, "line\n");
        }
        const std::string stderrText = capture.Text();
        const bool fits = length < Dump::kFileNameSize;
        EXPECT_EQ(stderrText.find("Can't open '" + source.substr(0, source.size() - 2) + " T.x' to dump to") == 0, fits)
            << length;
        EXPECT_EQ(stderrText.find("Can't dump to a file: the name made from '") == 0, !fits) << length;
        const std::string line = Prefix(GetCurrentThreadId()) + "line\n";
        EXPECT_EQ(stderrText.substr(stderrText.size() - std::min(stderrText.size(), line.size())), line) << length;
    }
}

// Another kind of object already holds the mutex's name, so the log has no mutex.
TEST(Dump, WithoutItsMutexTheLogKeepsOutOfTheFile)
{
    const std::string directory = TempDirectory();
    std::string source = directory + "\\squatted.log";
    std::string tag = "T";
    const HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, MutexName(source).c_str());
    ASSERT_NE(squatter, nullptr);
    StderrCapture capture;
    {
        Dump dump(source.data(), tag.data());
        Print(dump, "line\n");
    }
    CloseHandle(squatter);
    EXPECT_EQ(capture.Text(), std::string(kMutexProblems) + Prefix(GetCurrentThreadId()) + "line\n");
    EXPECT_FALSE(Exists(directory + "\\squatted T.log"));
}

TEST(Dump, AbandonedMutexIsTakenOver)
{
    const std::string directory = TempDirectory();
    std::string source = directory + "\\abandoned.log";
    std::string tag = "T";
    StderrCapture capture;
    Dump dump(source.data(), tag.data());
    DWORD taken = WAIT_FAILED;
    std::thread([&] {
        const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, MutexName(source).c_str());
        if (!mutex) return;
        taken = WaitForSingleObject(mutex, 0);
        CloseHandle(mutex);  // ownership stays with this thread until it ends
    }).join();
    ASSERT_EQ(taken, WAIT_OBJECT_0);
    Print(dump, "after abandon\n");
    Print(dump, "and again\n");
    const std::string stderrText = capture.Text();
    EXPECT_EQ(stderrText.find("Mutex"), std::string::npos) << stderrText;
    EXPECT_EQ(Bodies(ReadFile(directory + "\\abandoned T.log")),
              (std::vector<std::string>{"after abandon", "and again"}));
}

// Another process holds one log's file: that log waits for it, and a log of another file goes on.
TEST(Dump, SlowWriterHoldsUpOnlyTheLogsOfItsFile)
{
    const std::string directory = TempDirectory();
    std::string slowSource = directory + "\\slow.log";
    std::string fastSource = directory + "\\fast.log";
    std::string tag = "T";
    StderrCapture capture;
    Dump slow(slowSource.data(), tag.data());
    Dump fast(fastSource.data(), tag.data());

    const HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, MutexName(slowSource).c_str());
        if (mutex && WaitForSingleObject(mutex, 0) == WAIT_OBJECT_0) {
            SetEvent(held);
            WaitForSingleObject(release, kChildTimeoutMs);
            ReleaseMutex(mutex);
        }
        if (mutex) CloseHandle(mutex);
    });
    ASSERT_EQ(WaitForSingleObject(held, kChildTimeoutMs), WAIT_OBJECT_0);
    std::atomic<bool> slowDone{false};
    std::thread slowWriter([&] {
        Print(slow, "slow\n");
        slowDone = true;
    });
    Sleep(300);  // the slow log is waiting for its file by now
    Print(fast, "fast\n");
    EXPECT_FALSE(slowDone) << "the other log waited until the slow one gave up";
    SetEvent(release);
    slowWriter.join();
    holder.join();
    CloseHandle(held);
    CloseHandle(release);
    capture.Text();
    EXPECT_EQ(Bodies(ReadFile(directory + "\\fast T.log")), std::vector<std::string>{"fast"});
    EXPECT_EQ(Bodies(ReadFile(directory + "\\slow T.log")), std::vector<std::string>{"slow"});
}

}  // namespace
