#include "shell/game.h"

// Placeholder until the resources are loaded here: every field defined.
Game::Game(std::atomic<bool>* quit)
    : boardWidth(0), boardHeight(0), tileImages{}, board(nullptr), selection(0),
      dogColumn(0), dogRow(0), boneColumn(0), boneRow(0), fallingRockX(0), fallingRockY(0),
      rockFalling(false), dogOffsetX(0), dogOffsetY(0), screenMode(MainMenu), redrawNeeded(true),
      quitFlag(quit), fallColumn(0), fallRow(0), moveCount(0), levelNumber(1),
      ambientEnabled(true), recordMoves(0), stepStartColumn(0), stepStartRow(0) {
    resetBoard(0);
    loadLevel(1);
}

Game::~Game() {}
