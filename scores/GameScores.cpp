#include "game/Game.h"

void Game::LoadScores() {
    if (startTable.empty()) {
        highScores.Load();
        return;
    }
    highScores.Clear();
    for (size_t i = 0; i < startTable.size() && i < ScoreTable::kEntries; ++i) {
        highScores.entries[i] = startTable[i];
    }
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
