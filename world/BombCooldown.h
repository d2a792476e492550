#pragma once

// Program-wide bomb cooldown (there is one game): a held CTRL drops a bomb
// again only after ten ticks.
extern int bombReady;
extern int bombCooldownFrames;

// First step of every tick.
void AdvanceBombCooldown();
