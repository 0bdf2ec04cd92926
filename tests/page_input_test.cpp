// The calls a browser page hands its input through: a player's direction says what that
// player's key says, Return and Escape what theirs say, and a tap lands where it taps and
// presses there, also on the spot where the pointer was last seen.

#include "display/platform.h"
#include "match/controls.h"
#include "match/match_state.h"
#include "screens/count_screen.h"
#include "screens/title_menu.h"
#include "tests/fixture.h"

namespace ravela {
namespace {

using testing::keyEvent;
using testing::motion;
using testing::queue;

// The next queued event in the game's words; an empty queue fails the test.
Input nextInput() {
    SDL_Event event;
    EXPECT_EQ(SDL_PollEvent(&event), 1) << "nothing was queued";
    return readEvent(event);
}

struct PageInputTest : testing::GameTest {
    void TearDown() override {
        for (SDL_Event e; SDL_PollEvent(&e);) {
        }
    }
};

// Each of the three players' four directions reads as that player's key, not a pad's: the
// same words, player and direction, so a swipe meets the rule a key meets.
TEST_F(PageInputTest, ADirectionSaysWhatThatPlayersKeySays) {
    const struct {
        int8_t player, direction;
        SDLKey key;
    } keys[] = {{0, kUp, SDLK_UP},       {0, kDown, SDLK_DOWN}, {0, kLeft, SDLK_LEFT},
                {0, kRight, SDLK_RIGHT}, {1, kUp, SDLK_w},      {1, kDown, SDLK_s},
                {1, kLeft, SDLK_a},      {1, kRight, SDLK_d},   {2, kUp, SDLK_i},
                {2, kDown, SDLK_k},      {2, kLeft, SDLK_j},    {2, kRight, SDLK_l}};
    for (const auto &k : keys) {
        SCOPED_TRACE("player " + std::to_string(k.player + 1) + " asks for direction " +
                     std::to_string(k.direction));
        queueSteer(k.player, k.direction);
        const Input page = nextInput(), key = readEvent(keyEvent(k.key));
        EXPECT_EQ(page.words, key.words);
        EXPECT_EQ(page.player, key.player);
        EXPECT_EQ(page.direction, key.direction);
    }
}

// "Pausa" confirms on a menu and pauses a match, as Return does; "Sair" leaves a match and
// goes back from the count screen, as Escape does.
TEST_F(PageInputTest, ReturnAndEscapeSayWhatTheirKeysSay) {
    queueReturn();
    EXPECT_EQ(nextInput().words, readEvent(keyEvent(SDLK_RETURN)).words);
    queueEscape();
    EXPECT_EQ(nextInput().words, readEvent(keyEvent(SDLK_ESCAPE)).words);
}

// On the title menu: the pointer rests on "Começar", Tab then selects "Manual", and a tap on
// the pointer's spot still chooses "Começar", where the finger landed.
TEST_F(PageInputTest, ATapOnTheTitleMenuChoosesTheItemUnderTheFinger) {
    TitleMenuRun menu = setUpTitleMenu();
    queue({motion(300, 200), keyEvent(SDLK_TAB)});
    ASSERT_TRUE(runTitleMenuFrame(menu));
    ASSERT_EQ(menu.selection, kTitleManual) << "Tab moved the selection from Começar";
    queueTap(300, 200);
    ASSERT_TRUE(runTitleMenuFrame(menu));
    EXPECT_EQ(menu.result, kTitleStart);
}

// On the count screen a tap starts the match with the box it lands on, even where the
// pointer last was while a pad moved the highlight elsewhere; a tap above the boxes goes
// back to the title menu, whatever was highlighted before.
TEST_F(PageInputTest, ATapOnTheCountScreenStartsWithTheBoxUnderTheFinger) {
    testing::givePads({5});
    queue({motion(400, 280), testing::padButton(5, kPadButtons.down)});
    queueTap(400, 280);
    EXPECT_TRUE(adversaryCountScreen());
    EXPECT_EQ(matchState.adversaryCount, 5) << "the box under the finger, not the pad's 7";

    queue({motion(400, 280)});
    queueTap(400, 60);
    EXPECT_FALSE(adversaryCountScreen());
    EXPECT_EQ(matchState.adversaryCount, -1);
}

} // namespace
} // namespace ravela
