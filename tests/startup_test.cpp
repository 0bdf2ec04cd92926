// Start-up: the depth asked for, the console lines, the caption and the two failures.

#include <gtest/gtest.h>

#include <SDL.h>
#include <cstdlib>
#include <string>
#include <utility>

#include "display/board.h"
#include "match/match_state.h"
#include "match/startup.h"

using namespace ravela;

TEST(StartUp, DepthComesFromTheDesktopWithinFifteenToThirtyTwo) {
    for (const auto &[desktop, chosen] :
         {std::pair{8, 16}, {14, 16}, {15, 15}, {24, 24}, {32, 32}, {33, 16}})
        EXPECT_EQ(chooseDepth(desktop), chosen) << desktop;
}

TEST(StartUp, WindowModePrintsTheDepthAndTheFullScreenHint) {
    ::testing::internal::CaptureStdout();
    startUp(1);
    const std::string out = ::testing::internal::GetCapturedStdout();

    ASSERT_NE(board.surface, nullptr);
    const int depth = board.surface->format->BitsPerPixel;
    const std::string expected = "Usando tela 640x480x" + std::to_string(depth) +
                                 "  SWSURFACE\n"
                                 "\nPara tela cheia executar o programa digitando\n"
                                 "qualquer coisa ap\xF3s o nome do programa\n";
    EXPECT_EQ(out, expected);
    EXPECT_EQ(board.surface->w, 640);
    EXPECT_EQ(board.surface->h, 480);

    char *title = nullptr;
    char *icon = nullptr;
    SDL_WM_GetCaption(&title, &icon);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title, "Ravela");
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(SDL_EventState(SDL_MOUSEBUTTONUP, SDL_QUERY), SDL_IGNORE);
    // The Board paints on the new surface.
    EXPECT_EQ(board.surface, board.surface);
    EXPECT_EQ(board.autoPresent, 0);
}

TEST(StartUp, AnyArgumentGivesFullScreenWithoutTheHint) {
    ::testing::internal::CaptureStdout();
    startUp(2);
    const std::string out = ::testing::internal::GetCapturedStdout();
    const int depth = board.surface->format->BitsPerPixel;
    EXPECT_EQ(out, "Usando tela 640x480x" + std::to_string(depth) + "  SWSURFACE\n");
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
