#include "game/Game.h"

// Stand-in until the sound effects are built.
int Game::PlaySound(int) {
    return 0;
}
