// The one central record of the game: every game operation is a method of
// Game, and each subsystem's files define the methods it owns.
#pragma once

#include <allegro.h>

#include <atomic>
#include <cstdint>
#include <ctime>
#include <initializer_list>
#include <memory>
#include <string>

#include "session/play_aid.h"
#include "rules/rules.h"
#include "platform/input_latch.h"
#include "platform/sound.h"

// The screen the game shows; held in Game::screenMode.
enum ScreenMode : int32_t {
    MainMenu = 0,
    Playing = 1,
    LevelWon = 2,
    HelpScreen = 3,
    LevelEditor = 4,
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
    // The board, dog, bone, falling rock, step and move count: one value, so
    // a position is saved or restored (undo, a question to the solver) by
    // assigning it.
    RuleState rules;
    // The rule state's fields under the record's own names.
    static constexpr int32_t boardWidth = RuleState::boardWidth;
    static constexpr int32_t boardHeight = RuleState::boardHeight;
    uint8_t (&board)[RuleState::boardHeight][RuleState::boardWidth] = rules.board;  // board[row][column]
    int32_t& selection = rules.selection;  // menu highlight, step Direction or editor brush
    int32_t& dogColumn = rules.dogColumn;
    int32_t& dogRow = rules.dogRow;
    int32_t& boneColumn = rules.boneColumn;
    int32_t& boneRow = rules.boneRow;
    int32_t& fallingRockX = rules.fallingRockX;
    int32_t& fallingRockY = rules.fallingRockY;
    bool& rockFalling = rules.rockFalling;
    int32_t& dogOffsetX = rules.dogOffsetX;
    int32_t& dogOffsetY = rules.dogOffsetY;
    int32_t& fallColumn = rules.fallColumn;
    int32_t& fallRow = rules.fallRow;
    int32_t& moveCount = rules.moveCount;
    // The dog's cell at the start of the current input step; a refused step
    // puts the dog back here.
    int32_t& stepStartColumn = rules.stepStartColumn;
    int32_t& stepStartRow = rules.stepStartRow;

    BITMAP* tileImages[256];
    int32_t screenMode;
    bool redrawNeeded;
    std::atomic<bool>* quitFlag;
    std::string levelTitle;
    int32_t levelNumber;
    bool ambientEnabled;
    AmbientSound ambientSounds[5];
    int32_t recordMoves;

    // Held keys, the moves to take back and the advisor's answers while
    // playing (play/play_input.cpp).
    PlayAid aid{inputLatch::wake};

    // Drawing's cache of the composed board; empty until the first board pass.
    std::unique_ptr<BoardLayer, BoardLayerDeleter> boardLayer;

    // Said on the won screen's record line in place of a record, when not
    // empty: why no record was kept or stored.
    std::string recordNote;
    // The level file the board was last loaded from or saved to (0: none),
    // and whether the editor has changed the board or its number since. The
    // editor asks before S replaces another file; an edited board's win is
    // not recorded.
    int32_t boardFile = 0;
    bool boardEdited = false;
    // The outcome of the editor's last S, for its note on the screen until
    // saveNoteUntil (seconds of time()).
    std::string saveNote;
    std::time_t saveNoteUntil = 0;
    // The pointer as last polled, and the menu button it moved onto since
    // (-1: none) for the menu to highlight.
    int pointerX = -1, pointerY = -1;
    int pointedItem = -1;

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

    // --- playing (play/play_input.cpp) -------------------------------------
    // One playing input step: keys, the rule ticks, the high scores on a win.
    void handlePlayInput();
    // The rule operations on `rules` (play/rules.h), with the record's side:
    // a visible change asks for a frame, reaching the bone shows the won
    // screen. stepTick returns true on reaching the bone.
    void startMove(bool up, bool down, bool right, bool left);
    bool stepTick();
    void fallTick();
    void stopStep();
    void startNextFall();
    // A level (or board) begins: no history, no notices, fresh questions.
    void beginLevelPlay();
    // Asks the advisor about the level once it can be played; takes its
    // answers into what the screen shows. adviceWaiting: an answer not yet taken.
    void askAdvisor();
    void takeAdvice();
    bool adviceWaiting() const;
    void beginMove();
    void settleMove();
    // U or Backspace: back to the position before the last move.
    void undoMove();
    // H: the next move of a shortest way, or the dead-end notice.
    void showHint();

    // --- screen-mode commands (play/commands.cpp) --------------------------
    void handleMenuInput();
    // Run by every poll: follows the pointer, and tells whether the menu has
    // a pointer to follow onto another button or a click to take.
    bool pollMenuPointer();
    // Enter on the highlighted menu item; `keys` are those to wait for.
    void activateMenuItem(std::initializer_list<int> keys);
    void handleWonInput();
    void handleHelpInput();
    // The non-arrow keys of an idle playing tick (Escape, R, S); returns
    // false when the tick ends there.
    bool handlePlayCommandKeys();
    // A question answered with Y or N, drawn over the whole screen (over
    // the dimmed board when `overBoard`); the window's close button answers No.
    bool askYesNo(const std::string& question, bool overBoard = false);
    // True once the window's close button (or the game) asked to quit; every
    // screen with a loop of its own ends then.
    bool quitting() const { return quitFlag && *quitFlag; }

    // --- high scores (play/highscores.cpp) ---------------------------------
    void updateHighScores();
    // The fewest moves recorded for a level in the table, or -1.
    static int32_t recordedBest(int32_t level);

    // --- level editor (play/editor.cpp) ------------------------------------
    void handleEditorInput();
    void saveFromEditor();
    // V: asks the solver about the board as edited and answers in a message
    // box; Escape stops a long search.
    void checkFromEditor();
    // Whether the save note has had its time on screen.
    bool saveNoteExpired() const;

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
    // True when the player chose a level (it is then restarted).
    bool chooseLevel();

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

// Plays one arrow (a Direction) on the game's rules to its end, as the
// playing screen would without drawing; a win shows the won screen but
// records no high score. True on a win (play/play_input.cpp).
bool playMove(Game& game, int32_t direction);

// "levels/7.lvl" for level 7 (levels/level_file.cpp).
std::string levelFilePath(int32_t number);
