// Program entry: start-up, then the screens until the player leaves.

#include "match/startup.h"
#include "screens/screen_loop.h"
#include "snakes/snake.h"

int main(int argc, char **) {
    ravela::startUp(argc);
    ravela::initAllSnakes();
    ravela::runScreens();
}
