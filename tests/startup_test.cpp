// Start-up: the depth asked for, the console lines, the caption and the failure to start.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

#include "display/board.h"
#include "match/startup.h"

using namespace ravela;

TEST(StartUp, DepthComesFromTheDesktopWithinFifteenToThirtyTwo) {
    for (const auto &[desktop, chosen] :
         {std::pair{8, 16}, {14, 16}, {15, 15}, {24, 24}, {32, 32}, {33, 16}})
        EXPECT_EQ(chooseDepth(desktop), chosen) << desktop;
}

// A window fits in nine tenths of the desktop, full screen in all of it; an unknown desktop
// (0x0) and a small one get 1.
TEST(StartUp, ScaleIsTheLargestWholeNumberThatFits) {
    // clang-format off
    for (const auto &[w, h, window, n] :
         {std::tuple{1366, 768, true, 1}, {1920, 1080, true, 2}, {2560, 1440, true, 2},
          {3840, 2160, true, 4}, {1423, 1067, true, 2}, {1422, 1067, true, 1},
          {1423, 1066, true, 1}, {0, 0, true, 1}, {1920, 1080, false, 2},
          {1280, 960, false, 2}, {640, 480, false, 1}})
        // clang-format on
        EXPECT_EQ(chooseScale(w, h, window), n) << w << "x" << h << (window ? " window" : "");
}

// Starts up with that many arguments (once a process: SDL keeps memory from a second video
// mode) and gives the console lines.
std::string startUpLines(int arguments) {
    ::testing::internal::CaptureStdout();
    startUp(arguments);
    return ::testing::internal::GetCapturedStdout();
}
std::string depthLine() {
    return "Usando tela 640x480x" + std::to_string(board.surface->format->BitsPerPixel) +
           "  SWSURFACE\n";
}

TEST(StartUp, WindowModePrintsTheDepthAndTheFullScreenHint) {
    const std::string out = startUpLines(1);
    ASSERT_NE(board.surface, nullptr);
    EXPECT_EQ(out, depthLine() + "\nPara tela cheia executar o programa digitando\n"
                                 "qualquer coisa ap\xF3s o nome do programa\n");
    EXPECT_EQ(board.surface->w * 1000 + board.surface->h, 640480);
    char *title = nullptr, *icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    EXPECT_STREQ(title ? title : "(none)", "Ravela");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(SDL_EventState(SDL_MOUSEBUTTONUP, SDL_QUERY), SDL_IGNORE);
    EXPECT_EQ(board.autoPresent, 0);
}

TEST(StartUp, AnyArgumentGivesFullScreenWithoutTheHint) {
    const std::string out = startUpLines(2);
    EXPECT_EQ(out, depthLine());
}

TEST(StartUpDeathTest, NoVideoDriverEndsWithStatusOne) {
    EXPECT_EXIT(
        {
            SDL_Quit();
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            startUp(1);
        },
        ::testing::ExitedWithCode(1), "^Couldn't initialize SDL: .+\n");
}
