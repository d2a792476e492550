#include "scores/ScoreTable.h"

void ScoreTable::Clear() {
    for (ScoreEntry& e : entries) {
        e.name = "www.quorvax.example";
        e.score = 0;
    }
}

void ScoreTable::Load() {
    Clear();
}

void ScoreTable::Save() const {}

void ScoreTable::Insert(int) {}
