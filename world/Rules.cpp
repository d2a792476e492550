#include "game/Game.h"

// Stand-ins until the rules of hits, lives and levels are built.
void Game::LoseLife() {}

void Game::ClearLevel() {}
