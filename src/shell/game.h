// The one central record of the game: every game operation is a method of
// Game, and each subsystem's files define the methods it owns.
#pragma once

#include <allegro.h>

#include <atomic>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include "shell/sound.h"

// The screen the game shows; held in Game::screenMode.
enum ScreenMode : int32_t {
    MainMenu = 0,
    Playing = 1,
    LevelWon = 2,
    HelpScreen = 3,
    LevelEditor = 4,
};

// The value of Game::selection while playing: the step in progress.
enum Direction : int32_t {
    None = 0,
    Right = 1,
    Down = 2,
    Left = 3,
    Up = 4,
};

// One ambient recording with its fixed rhythm.
struct AmbientSound {
    FSOUND_STREAM* stream = nullptr;  // null when the file could not be opened
    int32_t lastChange = 0;           // seconds of time(): last start or end of playing
    int32_t interval = 0;             // seconds, both of waiting and of playing
    bool enabled = false;
    bool playing = false;
    int32_t channel = 0;
    int32_t volume = 0;               // 0..255, set on the channel at each start
};

// The board cells as last drawn, kept between frames so that only changed
// cells are composed again (presentation/draw.cpp).
struct BoardLayer;
struct BoardLayerDeleter {
    void operator()(BoardLayer* layer) const;
};

class Game {
public:
    // --- the record --------------------------------------------------------
    int32_t boardWidth;
    int32_t boardHeight;
    BITMAP* tileImages[256];
    uint8_t** board;            // board[row][column]
    int32_t selection;          // menu highlight, step Direction or editor brush
    int32_t dogColumn, dogRow;
    int32_t boneColumn, boneRow;
    int32_t fallingRockX, fallingRockY;
    bool rockFalling;
    int32_t dogOffsetX, dogOffsetY;
    int32_t screenMode;
    bool redrawNeeded;
    std::atomic<bool>* quitFlag;
    int32_t fallColumn, fallRow;
    int32_t moveCount;
    std::string levelTitle;
    int32_t levelNumber;
    bool ambientEnabled;
    AmbientSound ambientSounds[5];
    int32_t recordMoves;

    // The dog's cell at the start of the current input step; a refused step
    // puts the dog back here.
    int32_t stepStartColumn, stepStartRow;

    // Drawing's cache of the composed board; empty until the first board pass.
    std::unique_ptr<BoardLayer, BoardLayerDeleter> boardLayer;

    // False while the solver plays the rules: a win then leaves the player's
    // high-score table alone.
    bool recordWins = true;

    // Said on the won screen's record line in place of a record, when not
    // empty: why no record was kept or stored.
    std::string recordNote;
    // The level file the board was last loaded from or saved to (0: none),
    // and whether the editor has changed the board or its number since. The
    // editor asks before S replaces another file; an edited board's win is
    // not recorded.
    int32_t boardFile = 0;
    bool boardEdited = false;
    // The outcome of the editor's last S, for its note on the screen.
    std::string saveNote;

    // --- construction (shell/game.cpp) ------------------------------------
    explicit Game(std::atomic<bool>* quitFlag);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // --- screen modes and polling (shell/input.cpp) ------------------------
    bool pollInput();
    void handleInput();

    // --- board (play/board.cpp) --------------------------------------------
    void resetBoard(int mode);

    // --- move rules (play/move_rules.cpp) ----------------------------------
    void handlePlayInput();
    // The arrow part of an idle tick: accepts the held arrows as moves.
    void startMove(bool up, bool down, bool right, bool left);
    // One tick of the step in progress: move, arrive, probe, edges, wall,
    // arrival processing, goal.
    void stepTick();
    // One tick of the falling rock.
    void fallTick();
    void stopStep();
    void startNextFall();

    // --- screen-mode commands (play/commands.cpp) --------------------------
    void handleMenuInput();
    void handleWonInput();
    void handleHelpInput();
    // The non-arrow keys of an idle playing tick (Escape, R, S); returns
    // false when the tick ends there.
    bool handlePlayCommandKeys();
    // A question answered with Y or N, drawn over the whole screen; the
    // window's close button answers No.
    bool askYesNo(const std::string& question);
    // True once the window's close button (or the game) asked to quit; every
    // screen with a loop of its own ends then.
    bool quitting() const { return quitFlag && *quitFlag; }

    // --- high scores (play/highscores.cpp) ---------------------------------
    void updateHighScores();

    // --- level editor (play/editor.cpp) ------------------------------------
    void handleEditorInput();
    void saveFromEditor();

    // --- level files (levels/level_file.cpp) -------------------------------
    bool loadLevel(int32_t number);
    // Reads the level file at a path; false, changing nothing, when it cannot
    // be opened. loadLevel is this with the path of a level number.
    bool loadLevelFile(const std::string& path);
    // On failure, *reason (when given) says why, in the system's words.
    bool saveLevel(std::string* reason = nullptr);
    void restartLevel();
    void setLevelTitle(const std::string& title);
    void setLevelNumber(int32_t number);

    // --- text prompt (levels/prompt.cpp) -----------------------------------
    std::string promptLine(const std::string& prompt);

    // --- level chooser (levels/chooser.cpp) --------------------------------
    void chooseLevel();

    // --- drawing (presentation/draw.cpp) -----------------------------------
    void drawScreen(BITMAP* target);

    // --- options and settings (presentation/options.cpp) -------------------
    void optionsMenu();
    void readSettings();

    // --- ambient sound (presentation/ambient.cpp) --------------------------
    void openAmbientSounds();
    void updateAmbientSounds();
};

// Fades through black, drawn straight on the screen (presentation/fade.cpp).
void fadeIn(BITMAP* image, int speed);
void fadeOut(int speed);

// "levels/7.lvl" for level 7 (levels/level_file.cpp).
std::string levelFilePath(int32_t number);
