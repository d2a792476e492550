#include "game/Game.h"

// Stand-in until the picture readers are built: the title stays blank.
void Game::LoadSplashTexture() {}
