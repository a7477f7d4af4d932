// The usage text piece by piece, its optional "Quib" section, and the box that shows it.
#include "commands/Help.h"
#include "hook/Exports.h"
#include "tests/commands/Boxes.h"
#include "tests/support/ModalBox.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

using namespace testing_support;

namespace {

// The pieces after the banner, up to the contact address.
const char* const kFixedPieces[] = {
    "Usage:\n\n  Mirelunde [<options>]\n\n",
    "Options:\t\t\t[now mostly redundant/deprecated, see 'Configure' menu]\n\n",
    "  -d <level> or --debug <level>\t: amount of debug info to display\n",
    "  --debug-process-detach\t\t: raise a messagebox when dll is detaching from a process\n",
    "  -dm or --depth-on-middle\t\t: enable raise/sink window on middle-click\n",
    "  -h  or --help\t\t\t: display this help message\n",
    "  -2  or --two-button-mouse\t\t: right button behaves as middle button would have done\n",
    "  -i  or --invert\t\t\t: swap behaviour of left and middle button doubleclicks\n",
    "  -k  or --kill\t\t\t: stop any running Mirelunde\n",
    "  --login [on|off]\t\t\t: run Mirelunde with given options at login. Use 'off' to cancel.\n",
    "  -m or --root-menu\t\t\t: enable desktop menu on middle-click\n",
    "  -s or --system-menu [on|off]\t: put the Mirelunde menu item in the System Menu\n\n",
    "email with plaudits or problems (but _only_ after reading the docs!) to:\n\n",
};

// Takes `piece` off the front of `rest`; false when the text goes on differently.
bool Consume(std::string& rest, const std::string& piece)
{
    if (rest.compare(0, piece.size(), piece) != 0) return false;
    rest.erase(0, piece.size());
    return true;
}

// Checks the text piece by piece and returns what follows the fixed part.
std::string AfterFixedPieces(const std::string& text)
{
    const size_t usage = text.find("Usage:");
    EXPECT_NE(usage, std::string::npos);
    const std::string banner = text.substr(0, usage);
    EXPECT_GT(banner.size(), 2u);
    EXPECT_EQ(banner.substr(banner.size() - 2), "\n\n");
    EXPECT_NE(banner.find("Mirelunde"), std::string::npos) << banner;
    EXPECT_NE(banner.find("1.0.0.4"), std::string::npos) << banner;

    std::string rest = text.substr(usage);
    for (const char* piece : kFixedPieces) {
        EXPECT_TRUE(Consume(rest, piece)) << "expected\n" << piece << "\nbut the text goes on\n" << rest;
        if (testing::Test::HasFailure()) return {};
    }
    EXPECT_TRUE(Consume(rest, "\t"));
    const size_t end = rest.find("\n\n");
    const std::string address = rest.substr(0, end);
    EXPECT_NE(address.find('@'), std::string::npos) << address;
    EXPECT_EQ(address.find_first_of(" \t\n"), std::string::npos) << address;
    rest.erase(0, end);
    EXPECT_TRUE(Consume(rest, "\n\n\n"));
    return rest;
}

TEST(UsageText, PiecesInOrderWithoutQuibForNullOrEmptyExtraText)
{
    EXPECT_EQ(AfterFixedPieces(mirelunde::UsageText(nullptr)), "");
    EXPECT_EQ(AfterFixedPieces(mirelunde::UsageText("")), "");
}

TEST(UsageText, ExtraTextEndsItAsAQuib)
{
    for (const std::string& extra : {std::string("made with care"), std::string(5000, 'q')})
        EXPECT_EQ(AfterFixedPieces(mirelunde::UsageText(extra.c_str())), "\nQuib:\t" + extra + "\n");
}

TEST(UsageText, ExtraTextBeyondWhatABoxShowsWholeIsCut)
{
    const std::string extra(40000, 'q');
    const std::string text = mirelunde::UsageText(extra.c_str());
    EXPECT_EQ(text.size(), 32000u);
    const std::string quib = AfterFixedPieces(text);
    ASSERT_GT(quib.size(), 8u);
    EXPECT_EQ(quib, "\nQuib:\t" + std::string(quib.size() - 8, 'q') + "\n");
}

// Owned by no window: the top of the desktop's stacking order is usually another program's.
TEST(DisplayHelpBox, ShowsTheUsageOwnedByNoWindowAndReturnsOk)
{
    const HWND window = MakeWindow(WS_OVERLAPPEDWINDOW);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const std::string extra(3000, 'z');  // more than the box's spare room of old

    std::optional<MessageBoxView> box;
    std::string shown;
    std::thread answerer([&box, &shown] {
        box = WaitForMessageBox(GetCurrentProcessId(), 15000);
        if (!box) return;
        shown = commands_test::FullText(box->window);
        PressButton(*box, IDOK);
    });
    EXPECT_EQ(DisplayHelp(extra.c_str()), IDOK);
    answerer.join();
    DestroyWindow(window);

    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "Mirelunde");
    EXPECT_EQ(box->owner, nullptr);
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    EXPECT_EQ(shown, mirelunde::UsageText(extra.c_str()));
}

}  // namespace
