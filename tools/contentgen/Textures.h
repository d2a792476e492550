#pragma once

#include "tools/contentgen/Canvas.h"

// The game's pictures, painted in texture space (canvas row 0 is t = 0).
Canvas PaintWood();       // "wood.bmp": the sides of a block, t = 0 at the top edge
Canvas PaintFloor();      // "board.bmp": one floor cell
Canvas PaintBlockTop();   // "top.bmp": the top of a block
Canvas PaintLandscape();  // "LandScape.bmp": grass and rock, tiling seamlessly
Canvas PaintBombSkin();   // "bomb.bmp", laid out for the bomb model
Canvas PaintEnemySkin();  // "Enemy1.bmp", laid out for the enemy model
Canvas PaintHeroSkin();   // "Hero.bmp", laid out for the hero model
Canvas PaintShadow();     // "Shadow.bmp": grey 1 in the middle, white at the edges
