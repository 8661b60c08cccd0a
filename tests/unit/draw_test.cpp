#include <cstring>
#include <functional>
#include <random>

#include "play/tiles.h"
#include "presentation_fixture.h"

using namespace presentation_test;

namespace {

class DrawTest : public GameFixture {
protected:
    void SetUp() override {
        for (int slot = 0; slot < 256; ++slot) setPicture(slot, nullptr);
        clear_to_color(target, makecol(255, 0, 0));
    }
    void TearDown() override { destroy_bitmap(target); }

    // A dirt background whose every pixel tells where it came from, a tunnel
    // with a magenta hole, a rock, the dog, and a bone covering its left half.
    void boardPictures() {
        BITMAP* dirt = create_bitmap(640, 480);
        for (int i = 0; i < 640 * 480; ++i) putpixel(dirt, i % 640, i / 640, makecol(i % 640 / 4, i / 640 / 4, 200));
        setPicture(DirtBackground, dirt);
        setPicture(Dirt, solid(32, 32, 255, 0, 255));
        BITMAP* tunnel = solid(32, 32, 0, 0, 0);
        rectfill(tunnel, 8, 8, 23, 23, makecol(255, 0, 255));
        setPicture(Tunnel, tunnel);
        setPicture(Rock, solid(32, 32, 120, 120, 120));
        setPicture(DogTile, solid(32, 32, 250, 200, 0));
        BITMAP* bone = solid(32, 32, 255, 0, 255);
        rectfill(bone, 0, 0, 15, 31, makecol(240, 240, 240));
        setPicture(BoneTile, bone);
    }
    void drawMode(int mode) {
        game->screenMode = mode;
        game->redrawNeeded = true;
        game->drawScreen(target);
    }
    bool isDirtAt(int x, int y) { return isColour(target, x, y, x / 4, y / 4, 200); }

    BITMAP* target = create_bitmap(640, 480);
};

TEST_F(DrawTest, MenuHighlightsTheSelectedButtonInAColumnPlacedByThePlayPicture) {
    // A 100x40 Play button and larger others: the column follows Play's size.
    setPicture(251, solid(640, 480, 90, 90, 90));
    const int slots[4][2] = {{245, 246}, {242, 243}, {247, 248}, {249, 250}};
    for (int b = 0; b < 4; ++b)
        for (int lit = 0; lit < 2; ++lit)
            setPicture(slots[b][lit], solid(b ? 120 : 100, b ? 50 : 40, 10 * (b + 1) + lit, 0, 0));
    for (int sel = -1; sel <= 4; ++sel) {
        SCOPED_TRACE(sel);
        game->selection = sel;
        drawMode(MainMenu);
        for (int b = 0; b < 4; ++b) EXPECT_TRUE(isColour(target, 545, 355 + 40 * b, 10 * (b + 1) + (b == sel), 0, 0)) << b;
        EXPECT_TRUE(isColour(target, 530, 445, 90, 90, 90) && isColour(target, 10, 10, 90, 90, 90));
        EXPECT_FALSE(game->redrawNeeded);
    }
}

TEST_F(DrawTest, BoardCellsShowTheirPieceOfDirtThenRockDogAndBone) {
    boardPictures();
    fillBoard(Tunnel);
    game->board[3][4] = Dirt;  // all mask colour: only dirt shows
    game->board[5][6] = 100;   // a code with no picture
    game->dogColumn = game->boneColumn = 5;
    game->dogRow = game->boneRow = 7;
    game->fallingRockX = 300;
    game->fallingRockY = 101;
    game->rockFalling = true;
    drawMode(Playing);
    for (auto [x, y] : {std::pair{128, 96}, {159, 127}, {6 * 32 + 3, 5 * 32 + 30}, {80, 80}}) EXPECT_TRUE(isDirtAt(x, y)) << x << "," << y;
    EXPECT_TRUE(isColour(target, 66, 66, 0, 0, 0));                   // tunnel border
    EXPECT_TRUE(isColour(target, 164, 228, 240, 240, 240));           // the bone over the dog
    EXPECT_TRUE(isColour(target, 188, 228, 250, 200, 0));             // the dog beside it
    EXPECT_TRUE(isColour(target, 300, 101, 120, 120, 120) && isColour(target, 331, 132, 120, 120, 120));
    EXPECT_FALSE(isColour(target, 299, 101, 120, 120, 120));

    // No rock once nothing falls; the dog's offset moves her within her step.
    fillBoard(Dirt);
    game->rockFalling = false;
    game->boneRow = 10;
    game->dogOffsetX = 6;
    game->dogOffsetY = -2;
    drawMode(Playing);
    EXPECT_TRUE(isDirtAt(300, 101) && isDirtAt(165, 234) && isDirtAt(170, 254));
    EXPECT_TRUE(isColour(target, 166, 222, 250, 200, 0));
}

TEST_F(DrawTest, LevelWonShowsThePictureCentredAndTheRightRecordLine) {
    setPicture(253, solid(200, 100, 0, 0, 250));
    const struct { int record, moves; const char* line; } cases[] = {
        {-1, 15, "This is a new record!"}, {-1, 0, "This is a new record!"},
        {12, 15, "The high score for this level is 12."}, {15, 15, "You tied for the high score."},
        {16, 15, nullptr}, {2147483647, 15, nullptr},
    };
    BITMAP* ref = create_bitmap(640, 480);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        clear_to_color(target, makecol(255, 0, 0));
        game->recordMoves = c.record;
        game->moveCount = c.moves;
        drawMode(LevelWon);
        clear_bitmap(ref);
        rectfill(ref, 220, 190, 419, 289, makecol(0, 0, 250));
        textprintf_centre_ex(ref, font, 320, 390, makecol(50, 150, 50), -1,
                             "Congratulations! You beat the level in only %i moves.", c.moves);
        if (c.line) textout_centre_ex(ref, font, c.line, 320, 420, makecol(150, 150, 150), -1);
        EXPECT_EQ(differences(target, ref, 0, 0, 640, 440), 0);  // the fewest-moves line below is tested apart
    }
    destroy_bitmap(ref);
}

TEST_F(DrawTest, HelpCopiesItsPictureAndNothingIsDrawnUnasked) {
    setPicture(244, solid(300, 200, 0, 90, 0));
    drawMode(HelpScreen);  // not cleared first
    EXPECT_TRUE(isColour(target, 299, 199, 0, 90, 0) && isColour(target, 300, 10, 255, 0, 0));
    for (int mode : {MainMenu, Playing, LevelWon, HelpScreen, LevelEditor}) {
        game->screenMode = mode;
        game->redrawNeeded = false;
        clear_to_color(target, makecol(255, 0, 0));
        game->drawScreen(target);
        EXPECT_TRUE(isColour(target, 100, 100, 255, 0, 0)) << mode;
    }
    drawMode(7);  // an unknown mode draws nothing, yet the request is consumed
    EXPECT_TRUE(isColour(target, 100, 100, 255, 0, 0));
    EXPECT_FALSE(game->redrawNeeded);
    // Without any picture an empty cell is black, not a stale frame.
    game->rockFalling = true;
    for (int mode : {MainMenu, LevelWon, HelpScreen, LevelEditor, Playing}) drawMode(mode);
    EXPECT_TRUE(isColour(target, 69, 69, 0, 0, 0));
}

TEST_F(DrawTest, LayeredBoardGivesTheSamePixelsAsTheDirectPass) {
    boardPictures();
    BITMAP* rockInDirt = solid(32, 32, 255, 0, 255);
    circlefill(rockInDirt, 16, 16, 12, makecol(130, 120, 110));
    setPicture(Rock, rockInDirt);
    setPicture(BlackRock, solid(32, 32, 5, 5, 5));
    setPicture(3, solid(40, 40, 0, 255, 0));  // spills into its neighbours
    BITMAP* otherDirt = solid(640, 480, 60, 30, 10);
    BITMAP* firstDirt = game->tileImages[DirtBackground];
    const uint8_t codes[] = {BlackRock, Rock, SkyTop, Dirt, Tunnel, 100, 254, 255};
    std::mt19937 rng(20261206);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    BITMAP* layered = create_bitmap(640, 480);
    BITMAP* direct = create_bitmap(640, 480);
    for (int frame = 0; frame < 300; ++frame) {
        SCOPED_TRACE(frame);
        int changes = frame % 50 == 0 ? 300 : pick(8);
        for (int i = 0; i < changes; ++i) game->board[pick(15)][pick(20)] = codes[pick(8)];
        // Now and then: a tile larger than its cell, another or no dirt
        // picture.
        if (frame % 100 == 40) game->board[3][5] = 3;
        if (frame % 100 == 45) game->board[3][5] = Dirt;
        BITMAP*& dirt = game->tileImages[DirtBackground];
        if (frame % 37 == 36) dirt = dirt == firstDirt ? otherDirt : firstDirt;
        if (frame % 61 == 60) dirt = nullptr;
        if (frame % 61 == 1 && frame > 1) dirt = firstDirt;

        int junk = makecol(pick(256), pick(256), pick(256));
        clear_to_color(layered, junk);
        clear_to_color(direct, junk);
        drawBoardCellsLayered(*game, layered);
        drawBoardCellsDirect(*game, direct);
        for (int y = 0; y < 480; ++y) ASSERT_EQ(std::memcmp(layered->line[y], direct->line[y], 640 * 4), 0) << y;
    }
    game->tileImages[DirtBackground] = firstDirt;
    for (BITMAP* b : {otherDirt, layered, direct}) destroy_bitmap(b);
}

// With the shipped pictures.
class ShippedLook : public ShippedGame {};

TEST_F(ShippedLook, TheDogFacesTheWaySheGoes) {
    BITMAP* dog = game->tileImages[DogTile];
    ASSERT_NE(dog, nullptr);
    BITMAP* target = create_bitmap(640, 480);
    const struct { int mode, direction; bool mirrored; } cases[] = {
        {Playing, Left, true}, {Playing, Right, false}, {Playing, None, false}, {Playing, Up, false},
        {LevelEditor, Left, false},  // there selection is the brush
    };
    for (const auto& c : cases) {
        game->screenMode = c.mode;
        game->selection = c.direction;
        game->redrawNeeded = true;
        game->drawScreen(target);
        int x0 = game->dogColumn * 32, y0 = game->dogRow * 32, wrong = 0;
        for (int i = 0; i < 32 * 32; ++i) {
            int x = i % 32, y = i / 32, c2 = getpixel(dog, c.mirrored ? 31 - x : x, y);
            wrong += c2 != makecol(255, 0, 255) && getpixel(target, x0 + x, y0 + y) != c2;
        }
        EXPECT_EQ(wrong, 0) << c.mode << " " << c.direction;
    }
    destroy_bitmap(target);
}

TEST_F(ShippedLook, ScreensOfTextShowTheirTextOverTheGardenNotOnBlack) {
    ASSERT_TRUE(game->loadLevel(2));
    game->screenMode = Playing;
    const struct { const char* name; int y; const char* text; int colour; std::function<void(Game&)> run; } cases[] = {
        {"options", 120, "Options menu:", makecol(10, 200, 150), [](Game& g) { g.optionsMenu(); }},
        {"restart", 240, "Really restart the level (Y/N)?", makecol(200, 10, 10),
         [](Game& g) { harness::holdKey(KEY_R, 0, 50); harness::holdKey(KEY_N, 400, 450); rest(1); g.handlePlayCommandKeys(); }},
        {"chooser", 10, "Select which level you want to go to:", makecol(50, 150, 200), [](Game& g) { g.chooseLevel(); }},
        {"prompt", 232, "Enter the new level #:", makecol(255, 255, 0), [](Game& g) { g.promptLine("Enter the new level #:"); }},
    };
    // Beside the panel the menu's garden shows, dimmed: the sky brighter than
    // the earth, as in the picture, yet darker than the picture itself.
    BITMAP* garden = game->tileImages[251];
    auto lum = [](int c) { return getr(c) + getg(c) + getb(c); };
    auto gardenShows = [&] {
        int sky = getpixel(screen, 8, 40), earth = getpixel(screen, 8, 300);
        return lum(sky) > lum(earth) + 30 && lum(getpixel(garden, 8, 40)) > lum(sky) + 90;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        harness::reset();
        bool shown = false, behind = false;
        double black = 1;
        harness::at(300, [&] {
            shown = lineShows(screen, c.y, c.text, c.colour);
            behind = gardenShows();
            black = blackShare(screen);
        });
        harness::holdKey(KEY_ESC, 500, 600);
        c.run(*game);
        EXPECT_TRUE(shown && behind);
        EXPECT_LT(black, 0.5);
    }
    // Without the menu picture: still not a black void.
    game->tileImages[251] = nullptr;
    harness::reset();
    harness::at(300, [] { EXPECT_LT(blackShare(screen), 0.5); });
    harness::holdKey(KEY_ESC, 500, 600);
    game->optionsMenu();
    game->tileImages[251] = garden;
}

}  // namespace
