#include "game/Game.h"

void Game::LoadScores() {
    highScores.Load();
}

void Game::SaveScores() {
    highScores.Save();
}

void Game::ClearScores() {
    highScores.Clear();
}

void Game::InsertScore() {
    highScores.Insert(score);
}
