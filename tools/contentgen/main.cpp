// Writes the game's pictures, sounds and song into a directory.
//   contentgen OUTPUT_DIR
#include <cstdio>
#include <string>

#include "tools/contentgen/FileWriters.h"
#include "tools/contentgen/Sonata.h"
#include "tools/contentgen/Sounds.h"
#include "tools/contentgen/Textures.h"
#include "tools/contentgen/Title.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: contentgen OUTPUT_DIR\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    // BmpImage turns the rows over, so the file's last row is texture row 0;
    // the DIB reader keeps the file's order.
    const RowOrder bmp = RowOrder::LastRowIsCanvasRow0;
    const RowOrder dib = RowOrder::FirstRowIsCanvasRow0;
    bool ok = WriteBmp24(dir + "wood.bmp", PaintWood(), bmp) &&
              WriteBmp24(dir + "board.bmp", PaintFloor(), bmp) &&
              WriteBmp24(dir + "top.bmp", PaintBlockTop(), bmp) &&
              WriteBmp24(dir + "LandScape.bmp", PaintLandscape(), bmp) &&
              WriteBmp24(dir + "Enemy1.bmp", PaintEnemySkin(), bmp) &&
              WriteBmp24(dir + "bomb.bmp", PaintBombSkin(), bmp) &&
              WriteBmp24(dir + "Hero.bmp", PaintHeroSkin(), dib) &&
              WriteBmp8GreyCore(dir + "Shadow.bmp", PaintShadow(), dib);
    ok = ok && WriteFile(dir + "bomb.wav", ExplosionWav()) &&
         WriteFile(dir + "death.wav", DeathWav()) && WriteFile(dir + "over.wav", GameOverWav());
    std::vector<uint8_t> song;
    double seconds = 0;
    ok = ok && ComposeSonata(&song, &seconds) && WriteFile(dir + "SONAT_A1.MID", song);
    ok = ok && WriteJpeg(dir + "First.jpg", PaintTitle(), 92);
    if (!ok) {
        std::fprintf(stderr, "contentgen: failed\n");
        return 1;
    }
    return 0;
}
