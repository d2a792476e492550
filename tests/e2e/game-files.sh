# Sourced by the scripts that run the real game: copy_game_files DIR FROM
# makes DIR a working directory with the game's files from FROM and no
# scores.dat.
copy_game_files() {
  mkdir -p "$1"
  local f
  for f in wood.bmp board.bmp top.bmp LandScape.bmp Enemy1.bmp bomb.bmp Hero.bmp Shadow.bmp \
           First.jpg bomb.wav death.wav over.wav SONAT_A1.MID; do
    cp "$2/$f" "$1/"
  done
}
